#pragma once
// The Java wizard's fields and the APPLET tag pair they make.
#include "tags/TagEngine.h"

#include <QString>
#include <QStringList>

struct JavaAppletOptions {
    QString code = QStringLiteral("AppletFile");
    qint64 width = 100;
    qint64 height = 100;
    QString align = QStringLiteral("Left");
    QString codeBase = QStringLiteral("CodeBaseURL");
    QString alt = QStringLiteral("AlternateText");
    QString name = QStringLiteral("AppletInstanceName");
    qint64 vspace = 0;
    qint64 hspace = 0;
};

namespace JavaAppletWriter {
// The alignment list, in the order the wizard offers it.
const QStringList& alignments();
// The opening APPLET tag and "</APPLET>"; values go in as typed.
TagPair tags(const JavaAppletOptions& o);
}
