#include "app/TBag.h"

#include "app/AppError.h"
#include "app/IniFile.h"

namespace {

const int MaxLoadedValue = 255;
const int MaxFontName = 99;
const int MaxPlacementText = 99;
const int PlacementFields = 10;

int toNumber(const QString& field)
{
    int v = 0;
    if (!IniFile::parseInt(field, &v))
        throw EBagError(QStringLiteral("'") + field + QStringLiteral("' is not a valid integer value"));
    return v;
}

// Loaded values are cut to MaxLoadedValue units, never inside a character.
QString cutValue(const QString& value)
{
    if (value.size() <= MaxLoadedValue)
        return value;
    QString cut = value.left(MaxLoadedValue);
    if (cut.back().isHighSurrogate())
        cut.chop(1);
    return cut;
}

} // namespace

void TBag::checkFileAndSection() const
{
    if (IniFile.isEmpty())
        throw EBagError(QStringLiteral("No INI file specified"));
    if (IniSect.isEmpty())
        throw EBagError(QStringLiteral("No INI file section specified"));
    if (!::IniFile::validSectionName(IniSect))
        throw EBagError(QStringLiteral("Invalid INI file section name \"%1\"").arg(IniSect));
}

void TBag::LoadSection()
{
    checkFileAndSection();
    const QStringList lines = ::IniFile(IniFile).readSectionValues(IniSect);
    for (const QString& line : lines) {
        const QString upper = line.toUpper();
        const int eq = upper.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        PutValue(upper.left(eq), cutValue(upper.mid(eq + 1)));
    }
}

void TBag::SaveSection()
{
    checkFileAndSection();
    if (m_names.isEmpty())
        throw EBagError(QStringLiteral("No items to write to INI file"));
    QList<::IniFile::Item> items;
    items.reserve(m_names.size());
    for (int i = 0; i < m_names.size(); ++i)
        items.append({m_names.at(i), m_values.at(i)});
    ::IniFile ini(IniFile);
    ini.writeStrings(IniSect, items);
}

QString TBag::GetValue(const QString& name) const
{
    if (name.isEmpty())
        throw EBagError(QStringLiteral("No item specified"));
    if (m_names.isEmpty())
        return QString();
    const int i = m_names.indexOf(name.toUpper());
    return i < 0 ? QString() : m_values.at(i);
}

void TBag::PutValue(const QString& name, const QString& text)
{
    if (name.isEmpty())
        throw EBagError(QStringLiteral("No item specified"));
    // A name the settings file could not give back is refused here, before
    // anything is written.
    if (!::IniFile::validKeyName(name))
        throw EBagError(QStringLiteral("Invalid item name \"%1\"").arg(name));
    const QString key = name.toUpper();
    const int i = m_names.indexOf(key);
    if (i >= 0) {
        m_values[i] = text;
        return;
    }
    m_names.append(key);
    m_values.append(text);
}

void TBag::PutInteger(const QString& name, int number)
{
    PutValue(name, QString::number(number));
}

QString TBag::formatFont(const FontSpec& font)
{
    return QString::number(font.style) + QLatin1Char(',') + QString::number(font.pitch)
        + QLatin1Char('<') + QString::number(font.pointSize) + QLatin1Char('>')
        + QString::number(font.height) + QLatin1Char(';') + QString::number(int(font.color))
        + QLatin1Char(':') + font.name;
}

const FontSpec& TBag::GetFont(const QString& name, const FontSpec& def)
{
    m_font = def;
    const QString text = GetValue(name);
    if (text.isEmpty())
        return m_font;

    const QChar separators[5] = {QLatin1Char(','), QLatin1Char('<'), QLatin1Char('>'),
                                 QLatin1Char(';'), QLatin1Char(':')};
    int pos[5];
    for (int i = 0; i < 5; ++i)
        pos[i] = text.indexOf(separators[i]);
    bool valid = pos[0] > 0 && pos[4] < text.size() - 1;
    for (int i = 1; i < 5 && valid; ++i)
        valid = pos[i] > pos[i - 1];
    if (!valid)
        throw EBagError(QStringLiteral("Invalid font in INI file"));

    auto between = [&text](int from, int to) { return text.mid(from + 1, to - from - 1); };
    // Every field is checked before the bag's font changes.
    const QString fontName = text.mid(pos[4] + 1).left(MaxFontName);
    const int color = toNumber(between(pos[3], pos[4]));
    const int height = toNumber(between(pos[2], pos[3]));
    const int size = toNumber(between(pos[1], pos[2]));
    const int pitch = toNumber(between(pos[0], pos[1]));
    const int style = toNumber(text.left(pos[0]));

    m_font.name = fontName;
    m_font.color = static_cast<unsigned int>(color);
    // The point size governs the font; the height is kept as stored and is
    // used only by fonts without a positive size.
    m_font.height = height;
    m_font.pointSize = size;
    m_font.pitch = (pitch >= FontSpec::DefaultPitch && pitch <= FontSpec::FixedPitch)
        ? pitch : int(FontSpec::DefaultPitch);
    m_font.style = style & (FontSpec::Bold | FontSpec::Italic | FontSpec::Underline | FontSpec::StrikeOut);
    return m_font;
}

void TBag::PutFont(const QString& name, const FontSpec& font)
{
    PutValue(name, formatFont(font));
}

QString TBag::formatPlacement(const WindowPlacement& p)
{
    const int fields[PlacementFields] = {p.flags, p.showCmd, p.minX, p.minY, p.maxX,
                                         p.maxY,  p.left,    p.top,  p.right, p.bottom};
    QStringList parts;
    for (int v : fields)
        parts << QString::number(v);
    return parts.join(QLatin1Char(','));
}

bool TBag::GetPlacement(const QString& name, WindowPlacement& out) const
{
    QString work = (GetValue(name) + QLatin1Char(',')).left(MaxPlacementText);
    int fields[PlacementFields];
    for (int i = 0; i < PlacementFields; ++i) {
        const int comma = work.indexOf(QLatin1Char(','));
        if (comma <= 0)
            return false;
        // A field that is not a number leaves the window alone, like a missing one.
        if (!::IniFile::parseInt(work.left(comma), &fields[i]))
            return false;
        work.remove(0, comma + 1);
    }
    WindowPlacement p;
    p.flags = fields[0];
    p.showCmd = fields[1];
    p.minX = fields[2];
    p.minY = fields[3];
    p.maxX = fields[4];
    p.maxY = fields[5];
    p.left = fields[6];
    p.top = fields[7];
    p.right = fields[8];
    p.bottom = fields[9];
    if (p.left >= p.right)
        return false;
    out = p;
    return true;
}

void TBag::PutPlacement(const QString& name, const WindowPlacement& placement)
{
    PutValue(name, formatPlacement(placement));
}
