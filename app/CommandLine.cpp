#include "app/CommandLine.h"

CommandLine CommandLine::parse(const QStringList& args)
{
    CommandLine result;
    bool optionsEnded = false;
    for (const QString& arg : args) {
        if (!optionsEnded) {
            if (arg == QLatin1String("--")) {
                optionsEnded = true;
                continue;
            }
            if (arg == QLatin1String("--help")) {
                result.help = true;
                continue;
            }
            if (arg == QLatin1String("--version")) {
                result.version = true;
                continue;
            }
        }
        result.files.append(arg);
    }
    return result;
}

QString CommandLine::usage(const QString& programName)
{
    return QStringLiteral(
               "Usage: %1 [FILE]...\n"
               "       %1 -- FILE...\n"
               "Opens each FILE as a document of the HTML editor. Every argument is a file name;\n"
               "\"--\" ends the options, so later names may start with \"-\".\n"
               "\n"
               "  --help     show this text and exit\n"
               "  --version  show the version and exit\n")
        .arg(programName);
}
