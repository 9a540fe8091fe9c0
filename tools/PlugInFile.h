#pragma once
// Plug-in files ("*.plg"): one insertion per line, as a description, an
// opening text and a closing text separated by tabs.
#include <QString>
#include <QStringList>

struct PlugInEntry {
    QString description;
    QString open;
    QString close;
    bool operator==(const PlugInEntry& o) const
    {
        return description == o.description && open == o.open && close == o.close;
    }
};

namespace PlugInFile {
// Only this many characters after the first tab are used.
constexpr int kUsedLength = 255;

// Splits one line: the description up to the first tab; of the first 255
// characters after it, the opening text up to the second tab and the
// closing text after it. One tab only (within those 255): empty opening
// text, the rest as closing text. No tab: empty opening text, the line's
// first 255 characters as closing text.
PlugInEntry splitLine(const QString& line);

// The entries the window holds before any file is loaded: page backgrounds.
QStringList builtInLines();

// Sorts lines as the list shows them: by the whole line, ignoring letter case.
void sortLines(QStringList& lines);

// The plug-in files the user can choose: the shipped ones in the program's
// folder and the user's own in the data folder, as names without folder,
// sorted, each once. The first found on disk comes first in *firstFound.
QStringList fileNames(QString* firstFound = nullptr);
// Where a listed name is read: the user's own copy when there is one.
QString pathOf(const QString& name);
}
