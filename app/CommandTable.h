#pragma once
// Builds the main frame's menus and tool bars from CommandTable.def.

#include <QStringList>

class CommandBinder;
class TmdiMain;

class CommandTable {
public:
    // Builds the frame's menus and tool bars, each entry running the handler
    // bound to its name. Stops the program when check finds a fault.
    static void build(TmdiMain& main, const CommandBinder& handlers);
    // What is wrong with the handlers bound: a handler of the table bound
    // by no one, a name bound twice, a bound name the table does not have.
    // Empty when every handler is bound exactly once.
    static QStringList check(const CommandBinder& handlers);
    // The handler names of the table's built entries.
    static QStringList handlerNames();
};
