#pragma once
// Builds the main frame's menus and tool bars from CommandTable.def.

class TmdiMain;

class CommandTable {
public:
    static void build(TmdiMain& main);
};
