#pragma once
// Settings store: single values read and written one file access per call,
// in an INI file kept in AppPaths::settingsDir(). Nothing is cached.
#include <QString>
#include <QStringList>

class TMegaRegistry {
public:
    enum Preference { mrpAuto, mrpIni, mrpRegistry };

    TMegaRegistry() = default;
    TMegaRegistry(const QString& app, const QString& company, const QString& iniName,
                  Preference pref = mrpIni);

    QString App() const { return m_app; }
    QString Company() const { return m_company; }
    QString IniName() const { return m_iniName; }
    Preference preference() const { return m_pref; }
    // Setting a property closes the back-end; Open() chooses it again.
    void setApp(const QString& v);
    void setCompany(const QString& v);
    void setIniName(const QString& v);
    void setPreference(Preference p);
    // Chooses the back-end from the properties (the registry is never used:
    // every preference selects the INI file). No back-end when a property is empty.
    void Open();
    bool isOpen() const { return m_open; }
    // Full path of the INI file, or empty without back-end.
    QString filePath() const;

    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    int ReadInteger(const QString& section, const QString& key, int def) const;
    bool ReadBool(const QString& section, const QString& key, bool def) const;
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);
    // "key=value" lines of a section, keys with empty values left out.
    QStringList ReadSectionValues(const QString& section) const;
    // Key names of a section, in file order.
    QStringList ReadSection(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;
    void DeleteKey(const QString& section, const QString& key);
    void EraseSection(const QString& section);

private:
    QString m_app, m_company, m_iniName;
    Preference m_pref = mrpIni;
    bool m_open = false;
};
