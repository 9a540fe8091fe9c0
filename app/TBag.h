#pragma once
// Preference bag: one section of an INI file held in memory; names are kept
// in upper case and every value read back from the file is upper case.
#include <QString>
#include <QStringList>

// A font in the bag's stored form, free of any widget type.
struct FontSpec {
    enum Style { Bold = 1, Italic = 2, Underline = 4, StrikeOut = 8 };
    enum Pitch { DefaultPitch = 0, VariablePitch = 1, FixedPitch = 2 };
    QString name;
    int style = 0;
    int pitch = DefaultPitch;
    int pointSize = 10;
    int height = -13;          // pixels, negative for a character height
    unsigned int color = 0;    // 0x00BBGGRR
    bool operator==(const FontSpec& o) const
    {
        return name == o.name && style == o.style && pitch == o.pitch && pointSize == o.pointSize
            && height == o.height && color == o.color;
    }
};

// The ten numbers of a stored window placement. showCmd: 1 normal, 2 minimized, 3 maximized.
struct WindowPlacement {
    int flags = 0;
    int showCmd = 1;
    int minX = -1, minY = -1;
    int maxX = -1, maxY = -1;
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const WindowPlacement& o) const
    {
        return flags == o.flags && showCmd == o.showCmd && minX == o.minX && minY == o.minY
            && maxX == o.maxX && maxY == o.maxY && left == o.left && top == o.top
            && right == o.right && bottom == o.bottom;
    }
};

class TBag {
public:
    TBag() = default;
    TBag(const QString& iniFile, const QString& iniSect) : IniFile(iniFile), IniSect(iniSect) {}

    QString IniFile;  // file name, kept in AppPaths::settingsDir()
    QString IniSect;

    void LoadSection();
    void SaveSection();
    QString GetValue(const QString& name) const;
    void PutValue(const QString& name, const QString& text);
    void PutInteger(const QString& name, int number);
    // The bag's font: a copy of def, changed by the stored item when there is one.
    const FontSpec& GetFont(const QString& name, const FontSpec& def);
    void PutFont(const QString& name, const FontSpec& font);
    // Parses a stored placement; false leaves the window where it is.
    bool GetPlacement(const QString& name, WindowPlacement& out) const;
    void PutPlacement(const QString& name, const WindowPlacement& placement);

    int itemCount() const { return m_names.size(); }
    QStringList names() const { return m_names; }

    static QString formatFont(const FontSpec& font);
    static QString formatPlacement(const WindowPlacement& p);

private:
    void checkFileAndSection() const;
    QStringList m_names;
    QStringList m_values;
    FontSpec m_font;
};
