#include "app/TMegaRegistry.h"

#include "app/IniFile.h"

TMegaRegistry::TMegaRegistry(const QString& app, const QString& company, const QString& iniName,
                             Preference pref)
    : m_app(app), m_company(company), m_iniName(iniName), m_pref(pref)
{
    Open();
}

void TMegaRegistry::setApp(const QString& v)
{
    m_app = v;
    m_open = false;
}

void TMegaRegistry::setCompany(const QString& v)
{
    m_company = v;
    m_open = false;
}

void TMegaRegistry::setIniName(const QString& v)
{
    m_iniName = v;
    m_open = false;
}

void TMegaRegistry::setPreference(Preference p)
{
    m_pref = p;
    m_open = false;
}

void TMegaRegistry::Open()
{
    // Every preference, the registry ones included, uses the INI file.
    m_open = !m_app.isEmpty() && !m_company.isEmpty() && !m_iniName.isEmpty();
}

QString TMegaRegistry::filePath() const
{
    return m_open ? IniFile(m_iniName).path() : QString();
}

QString TMegaRegistry::ReadString(const QString& section, const QString& key, const QString& def) const
{
    if (!m_open)
        return def;
    return IniFile(m_iniName).readString(section, key, def);
}

int TMegaRegistry::ReadInteger(const QString& section, const QString& key, int def) const
{
    if (!m_open)
        return def;
    int value = def;
    if (!IniFile::parseInt(IniFile(m_iniName).readString(section, key, QString()), &value))
        return def;
    return value;
}

bool TMegaRegistry::ReadBool(const QString& section, const QString& key, bool def) const
{
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TMegaRegistry::WriteString(const QString& section, const QString& key, const QString& value)
{
    if (m_open) {
        IniFile ini(m_iniName);
        ini.writeString(section, key, value);
    }
}

void TMegaRegistry::WriteInteger(const QString& section, const QString& key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TMegaRegistry::WriteBool(const QString& section, const QString& key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QStringList TMegaRegistry::ReadSectionValues(const QString& section) const
{
    return m_open ? IniFile(m_iniName).readSectionValues(section) : QStringList();
}

QStringList TMegaRegistry::ReadSection(const QString& section) const
{
    return m_open ? IniFile(m_iniName).readSectionKeys(section) : QStringList();
}

bool TMegaRegistry::ValueExists(const QString& section, const QString& key) const
{
    return m_open && IniFile(m_iniName).hasKey(section, key);
}

void TMegaRegistry::DeleteKey(const QString& section, const QString& key)
{
    if (m_open) {
        IniFile ini(m_iniName);
        ini.removeKey(section, key);
    }
}

void TMegaRegistry::EraseSection(const QString& section)
{
    if (m_open) {
        IniFile ini(m_iniName);
        ini.removeSection(section);
    }
}
