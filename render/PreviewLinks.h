#pragma once
// What the preview does with a clicked link. A link is local when it has no
// ":" beyond a drive letter, or names "file:"; any other link (a web
// address, "mailto:") goes to the rendering control. Of a local link the
// first 80 characters count; from its first blank on it holds the
// parameters of a program. A sound file is played, a program started, any
// other file followed by the control.
#include <QString>
#include <functional>

namespace PreviewLinks {

enum class Action { Remote, PlaySound, StartProgram, Follow };

struct Decision {
    Action action = Action::Remote;
    QString fileName;    // the full file name of a local link
    QString parameters;  // blank first, at most 80 characters
};

bool isLocal(const QString& link);
// expand turns a link's file name into a full file name (relative to the
// current page).
Decision decide(const QString& link, const std::function<QString(const QString&)>& expand);

}
