#pragma once
// Macro entries: "[KEY]<TAB>expansion" lines, and the files that hold them.
#include <QString>
#include <QStringList>

class MacroList {
public:
    static inline const QString SystemFile = QStringLiteral("system.mcr");
    static inline const QString UserFile = QStringLiteral("user.mcr");

    // The lists in effect until a file replaces them.
    static QStringList builtInSystem();
    static QStringList builtInUser();
    // The macro window's list before its first load.
    static QStringList builtInWindow();

    // "[" + name + "]" + tab + expansion.
    static QString makeEntry(const QString& name, const QString& expansion);
    // The text before the first tab (the whole entry when it has none).
    static QString keyOf(const QString& entry);
    // The expansion of the first entry whose first characters are the
    // bracketed text (letters A to Z in either case); false when none is.
    static bool findExpansion(const QStringList& entries, const QString& bracketed, QString* expansion);

    // Reads a macro file; false with the reason in *error.
    static bool read(const QString& path, QStringList* entries, QString* error);
    // The user's macros: their own copy, else the shipped one. Throws
    // EFileError naming the file when neither can be read.
    static QStringList readUser();
};
