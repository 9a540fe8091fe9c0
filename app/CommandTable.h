#pragma once
// Builds the main frame's menus and tool bars from CommandTable.def.
#include <QIcon>
#include <QString>

class TmdiMain;

class CommandTable {
public:
    static void build(TmdiMain& main);
    // Handler names of entries that carry a check mark.
    static bool isToggle(const QString& handler);
    // Handler names whose entries exist but whose command is not built yet.
    static bool isPending(const QString& handler);
    static QIcon pictureFor(const QString& handler, const QString& hint);
};
