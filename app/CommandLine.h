#pragma once
// The program's command line: every argument is the path of a file to open,
// except exactly "--help" and "--version" before a "--", which ends them.
#include <QString>
#include <QStringList>

struct CommandLine {
    QStringList files;
    bool help = false;
    bool version = false;

    // args without the program's own name, as given.
    static CommandLine parse(const QStringList& args);
    // The text "--help" prints.
    static QString usage(const QString& programName);
};
