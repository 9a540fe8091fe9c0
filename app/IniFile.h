#pragma once
// A plain INI file read and written in place.
//
// Sections and keys are matched without regard to letter case; a key line is
// "key=value" and the value is the rest of the line after the first "=",
// blanks included. Every call reads the file afresh; writes change only the
// lines of the keys written and leave every other line byte for byte as it
// was (comments, order, unknown lines, line ends, encoding), and reach the
// disk through an atomic save. A file is read as UTF-8 when it is valid
// UTF-8; otherwise each line is read as UTF-8 when it is valid on its own,
// else as Latin-1. Changed and new lines are written as UTF-8.
//
// A name without a folder names a file in AppPaths::settingsDir(); an
// existing file there is found whatever the letter case of its name, so
// "velqopt.ini" and "VelqOpt.ini" are one file.
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

class IniFile {
public:
    // Longest value a read returns; longer stored values are cut.
    static constexpr int MaxValueLength = 1023;
    // Room, in bytes, for the key names of one section (each followed by a
    // terminating byte, the list by one more); keys beyond it are not listed.
    static constexpr int MaxKeyListBytes = 8192;

    using Item = QPair<QString, QString>;

    explicit IniFile(const QString& name);

    // Names that read back as what was written: a section name holds no "]",
    // a key name does not start with "[" or ";" and holds no "="; neither
    // holds a line break or is blank. Writes refuse other names.
    static bool validSectionName(const QString& name);
    static bool validKeyName(const QString& name);

    // The name as given.
    const QString& name() const { return m_name; }
    // The full path the name stands for now.
    QString path() const;
    static QString resolvePath(const QString& name);

    bool exists() const;

    // The stored value cut to MaxValueLength, or def when the key is absent.
    QString readString(const QString& section, const QString& key, const QString& def) const;
    bool hasKey(const QString& section, const QString& key) const;
    bool hasSection(const QString& section) const;
    // Key names of a section in file order, each once, within MaxKeyListBytes.
    QStringList readSectionKeys(const QString& section) const;
    // "key=value" for every listed key whose value is not empty.
    QStringList readSectionValues(const QString& section) const;
    QStringList sectionNames() const;

    // Stores one value. Throws EIniError("Unable to write to <path>") when the
    // file cannot be written, and EIniError naming the name for a name that
    // would not read back. Line breaks in a value become blanks.
    void writeString(const QString& section, const QString& key, const QString& value);
    // Stores several values of one section in a single file write.
    void writeStrings(const QString& section, const QList<Item>& items);
    // Removes a key / a whole section (nothing happens when absent).
    void removeKey(const QString& section, const QString& key);
    void removeSection(const QString& section);

    // Decimal with optional sign, or hexadecimal after "0x"/"0X" (up to eight
    // digits, taken as a 32-bit pattern). Blanks around the number are allowed.
    static bool parseInt(const QString& text, int* out);

private:
    struct Document;
    Document load() const;
    void save(const Document& doc) const;
    [[noreturn]] void writeFailed(const QString& reason = QString()) const;

    QString m_name;
};
