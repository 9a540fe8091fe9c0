#include "app/IniFile.h"

#include "app/AppError.h"
#include "app/AppPaths.h"
#include "app/PathUtil.h"
#include "app/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

struct IniFile::Document {
    struct Line {
        QString text;
        QByteArray eol;  // "\r\n", "\n", "\r", or empty for a last line without one
        QByteArray raw;  // the line's bytes as read; empty once the line changed
        bool changed = true;
    };
    QString path;
    QList<Line> lines;
    QByteArray newline = "\n";
    QByteArray original;
    bool bom = false;
    bool existed = false;
    bool unreadable = false;
};

namespace {

const char Utf8Bom[] = "\xEF\xBB\xBF";

enum class Kind { Blank, Comment, Section, Key, Other };

struct Parsed {
    Kind kind = Kind::Blank;
    QString name;   // section or key name
    QString value;  // key lines only
    int eq = -1;    // position of the "=" in the line
};

Parsed classify(const QString& text)
{
    Parsed p;
    const QString t = text.trimmed();
    if (t.isEmpty())
        return p;
    if (t.startsWith(QLatin1Char(';'))) {
        p.kind = Kind::Comment;
        return p;
    }
    if (t.startsWith(QLatin1Char('['))) {
        const int close = t.indexOf(QLatin1Char(']'));
        p.kind = Kind::Section;
        p.name = t.mid(1, close < 0 ? -1 : close - 1).trimmed();
        return p;
    }
    const int eq = text.indexOf(QLatin1Char('='));
    const QString key = eq < 0 ? QString() : text.left(eq).trimmed();
    if (key.isEmpty()) {
        p.kind = Kind::Other;
        return p;
    }
    p.kind = Kind::Key;
    p.name = key;
    p.value = text.mid(eq + 1);
    p.eq = eq;
    return p;
}

bool sameName(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Section, key and value texts are single lines; a line break inside one
// would split the entry, so it becomes a blank.
QString oneLine(QString s)
{
    s.replace(QLatin1String("\r\n"), QLatin1String(" "));
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return s;
}

QString cutValue(const QString& v)
{
    if (v.size() <= IniFile::MaxValueLength)
        return v;
    QString r = v.left(IniFile::MaxValueLength);
    if (r.back().isHighSurrogate())
        r.chop(1);
    return r;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF, and
// a sequence cut off at the end is invalid.
bool isUtf8(QByteArrayView bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int len = 0;
        unsigned min = 0;
        unsigned cp = 0;
        if ((c & 0xE0) == 0xC0) { len = 2; min = 0x80; cp = c & 0x1F; }
        else if ((c & 0xF0) == 0xE0) { len = 3; min = 0x800; cp = c & 0x0F; }
        else if ((c & 0xF8) == 0xF0) { len = 4; min = 0x10000; cp = c & 0x07; }
        else return false;
        if (i + len > n)
            return false;
        for (int k = 1; k < len; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += len;
    }
    return true;
}

bool hasFolder(const QString& name)
{
    return name.contains(QLatin1Char('/'));
}

} // namespace

IniFile::IniFile(const QString& name) : m_name(name) {}

bool IniFile::validSectionName(const QString& name)
{
    const QString t = name.trimmed();
    return !t.isEmpty() && !t.contains(QLatin1Char(']')) && !t.contains(QLatin1Char('\n'))
        && !t.contains(QLatin1Char('\r'));
}

bool IniFile::validKeyName(const QString& name)
{
    const QString t = name.trimmed();
    return !t.isEmpty() && !t.startsWith(QLatin1Char('[')) && !t.startsWith(QLatin1Char(';'))
        && !t.contains(QLatin1Char('=')) && !t.contains(QLatin1Char('\n')) && !t.contains(QLatin1Char('\r'));
}

QString IniFile::resolvePath(const QString& name)
{
    if (name.isEmpty())
        return QString();
    QString full;
    if (!hasFolder(name))
        full = AppPaths::settingsDir() + QLatin1Char('/') + name;
    else if (QDir::isAbsolutePath(name))
        full = QDir::cleanPath(name);
    else
        full = QDir::cleanPath(AppPaths::settingsDir() + QLatin1Char('/') + name);
    if (QFileInfo::exists(full))
        return full;
    // The same file under another letter case of its name.
    const QFileInfo fi(full);
    const QString file = fi.fileName();
    const QDir dir(fi.path());
    const QStringList entries = PathUtil::regularFiles(dir.path(), {}, QDir::Name);
    for (const QString& e : entries) {
        if (sameName(e, file))
            return dir.filePath(e);
    }
    return full;
}

QString IniFile::path() const
{
    return resolvePath(m_name);
}

bool IniFile::exists() const
{
    const QString p = path();
    return !p.isEmpty() && QFileInfo(p).isFile();
}

IniFile::Document IniFile::load() const
{
    Document doc;
    doc.path = path();
    if (doc.path.isEmpty())
        return doc;
    QFile f(doc.path);
    if (!f.exists())
        return doc;
    doc.existed = true;
    if (!f.open(QIODevice::ReadOnly)) {
        doc.unreadable = true;
        return doc;
    }
    QByteArray bytes = f.readAll();
    doc.original = bytes;
    qsizetype pos = 0;
    if (bytes.startsWith(Utf8Bom)) {
        doc.bom = true;
        pos = 3;
    }
    // Lines are split on the bytes, so every line keeps its own bytes and
    // line end; a write re-encodes only the lines it changes. A file that is
    // valid UTF-8 is read as UTF-8; otherwise each line is read as UTF-8 when
    // it is valid on its own, else as Latin-1.
    const bool wholeUtf8 = isUtf8(QByteArrayView(bytes).sliced(pos));
    const qsizetype n = bytes.size();
    qsizetype start = pos;
    auto addLine = [&](qsizetype end, qsizetype eolLen) {
        Document::Line line;
        line.raw = bytes.mid(start, end - start);
        line.eol = bytes.mid(end, eolLen);
        line.text = (wholeUtf8 || isUtf8(line.raw)) ? QString::fromUtf8(line.raw) : QString::fromLatin1(line.raw);
        line.changed = false;
        doc.lines.append(line);
    };
    for (qsizetype i = pos; i < n; ++i) {
        const char c = bytes.at(i);
        if (c != '\n' && c != '\r')
            continue;
        const qsizetype eolLen = (c == '\r' && i + 1 < n && bytes.at(i + 1) == '\n') ? 2 : 1;
        addLine(i, eolLen);
        i += eolLen - 1;
        start = i + 1;
    }
    if (start < n)
        addLine(n, 0);
    for (const auto& l : doc.lines) {
        if (!l.eol.isEmpty()) {
            doc.newline = l.eol;
            break;
        }
    }
    return doc;
}

void IniFile::writeFailed(const QString& reason) const
{
    const QString p = path();
    throw EIniError(QStringLiteral("Unable to write to ") + (p.isEmpty() ? m_name : p), reason);
}

void IniFile::save(const Document& doc) const
{
    QByteArray out;
    if (doc.bom)
        out += Utf8Bom;
    for (qsizetype i = 0; i < doc.lines.size(); ++i) {
        const auto& l = doc.lines.at(i);
        out += l.changed ? l.text.toUtf8() : l.raw;
        QByteArray eol = l.eol;
        // A lone CR followed by an empty line that ends in LF would read back
        // as one CR LF and the empty line would be gone: such an empty line
        // takes the CR of its neighbour instead.
        if (eol == "\n" && l.text.isEmpty() && i > 0 && doc.lines.at(i - 1).eol == "\r")
            eol = "\r";
        out += eol;
    }
    if (doc.existed && out == doc.original)
        return;
    // Atomic, permissions and links kept, as every file the program writes.
    try {
        SafeFile::write(doc.path, out);
    } catch (const EFileError& e) {
        // The reason alone: the message names the settings file itself.
        writeFailed(e.reason().isEmpty() ? e.message() : e.reason());
    }
}

namespace {

// Templates, since the document type is private to IniFile.
template <typename D>
int findSection(const D& doc, const QString& section)
{
    for (int i = 0; i < doc.lines.size(); ++i) {
        const Parsed p = classify(doc.lines.at(i).text);
        if (p.kind == Kind::Section && sameName(p.name, section))
            return i;
    }
    return -1;
}

template <typename D>
int sectionEnd(const D& doc, int header)
{
    for (int i = header + 1; i < doc.lines.size(); ++i) {
        if (classify(doc.lines.at(i).text).kind == Kind::Section)
            return i;
    }
    return doc.lines.size();
}

template <typename D>
int findKey(const D& doc, int header, const QString& key, Parsed* found)
{
    const int end = sectionEnd(doc, header);
    for (int i = header + 1; i < end; ++i) {
        Parsed p = classify(doc.lines.at(i).text);
        if (p.kind == Kind::Key && sameName(p.name, key)) {
            if (found)
                *found = p;
            return i;
        }
    }
    return -1;
}

} // namespace

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const
{
    const QString sec = section.trimmed();
    const QString k = key.trimmed();
    if (sec.isEmpty() || k.isEmpty())
        return def;
    const Document doc = load();
    const int h = findSection(doc, sec);
    if (h < 0)
        return def;
    Parsed p;
    if (findKey(doc, h, k, &p) < 0)
        return def;
    return cutValue(p.value);
}

bool IniFile::hasKey(const QString& section, const QString& key) const
{
    const Document doc = load();
    const int h = findSection(doc, section.trimmed());
    return h >= 0 && findKey(doc, h, key.trimmed(), nullptr) >= 0;
}

bool IniFile::hasSection(const QString& section) const
{
    return findSection(load(), section.trimmed()) >= 0;
}

QStringList IniFile::sectionNames() const
{
    const Document doc = load();
    QStringList names;
    for (const auto& l : doc.lines) {
        const Parsed p = classify(l.text);
        if (p.kind == Kind::Section && !names.contains(p.name, Qt::CaseInsensitive))
            names << p.name;
    }
    return names;
}

namespace {

// Listed keys of a section, each with the value of its first line.
template <typename D>
QList<QPair<QString, QString>> sectionEntries(const D& doc, const QString& section)
{
    QList<QPair<QString, QString>> entries;
    const int h = findSection(doc, section);
    if (h < 0)
        return entries;
    const int end = sectionEnd(doc, h);
    int used = 1;  // the list's closing terminator
    for (int i = h + 1; i < end; ++i) {
        const Parsed p = classify(doc.lines.at(i).text);
        if (p.kind != Kind::Key)
            continue;
        bool seen = false;
        for (const auto& e : entries)
            seen = seen || sameName(e.first, p.name);
        if (seen)
            continue;
        const int need = p.name.toUtf8().size() + 1;
        if (used + need > IniFile::MaxKeyListBytes)
            break;
        used += need;
        entries.append({p.name, cutValue(p.value)});
    }
    return entries;
}

} // namespace

QStringList IniFile::readSectionKeys(const QString& section) const
{
    QStringList keys;
    for (const auto& e : sectionEntries(load(), section.trimmed()))
        keys << e.first;
    return keys;
}

QStringList IniFile::readSectionValues(const QString& section) const
{
    QStringList lines;
    for (const auto& e : sectionEntries(load(), section.trimmed())) {
        if (!e.second.isEmpty())
            lines << e.first + QLatin1Char('=') + e.second;
    }
    return lines;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    writeStrings(section, {{key, value}});
}

void IniFile::writeStrings(const QString& section, const QList<Item>& items)
{
    const QString sec = section.trimmed();
    if (!validSectionName(sec))
        throw EIniError(QStringLiteral("Invalid section name \"%1\" for %2").arg(section, path()));
    for (const Item& it : items) {
        if (!validKeyName(it.first.trimmed()))
            throw EIniError(QStringLiteral("Invalid key name \"%1\" for %2").arg(it.first, path()));
    }
    if (!hasFolder(m_name)) {
        if (!AppPaths::ensureSettingsDir())
            writeFailed(QStringLiteral("The folder %1 cannot be made.").arg(AppPaths::settingsDir()));
    } else if (!QDir::isAbsolutePath(m_name)) {
        const QString dir = QFileInfo(path()).path();
        if (!QDir().mkpath(dir))
            writeFailed(QStringLiteral("The folder %1 cannot be made.").arg(dir));
    }
    Document doc = load();
    if (doc.path.isEmpty() || doc.unreadable)
        writeFailed(doc.unreadable ? QStringLiteral("The file cannot be read.") : QString());
    const QByteArray nl = doc.newline;
    auto newLine = [](const QString& text, const QByteArray& eol) {
        Document::Line line;
        line.text = text;
        line.eol = eol;
        return line;
    };
    auto terminateLast = [&doc, &nl](int index) {
        if (index >= 0 && index < doc.lines.size() && doc.lines[index].eol.isEmpty())
            doc.lines[index].eol = nl;
    };

    for (const Item& it : items) {
        const QString key = it.first.trimmed();
        const QString value = oneLine(it.second);
        int h = findSection(doc, sec);
        if (h < 0) {
            terminateLast(doc.lines.size() - 1);
            if (!doc.lines.isEmpty() && !doc.lines.last().text.trimmed().isEmpty())
                doc.lines.append(newLine(QString(), nl));
            doc.lines.append(newLine(QLatin1Char('[') + sec + QLatin1Char(']'), nl));
            doc.lines.append(newLine(key + QLatin1Char('=') + value, nl));
            continue;
        }
        Parsed p;
        const int at = findKey(doc, h, key, &p);
        if (at >= 0) {
            auto& line = doc.lines[at];
            line.text = line.text.left(p.eq + 1) + value;
            line.changed = true;
            continue;
        }
        // After the section's last line of content, before any blank lines
        // or comments that lead into the next section.
        const int end = sectionEnd(doc, h);
        int insertAt = h + 1;
        for (int i = h + 1; i < end; ++i) {
            const Kind k = classify(doc.lines.at(i).text).kind;
            if (k != Kind::Blank && k != Kind::Comment)
                insertAt = i + 1;
        }
        terminateLast(insertAt - 1);
        doc.lines.insert(insertAt, newLine(key + QLatin1Char('=') + value, nl));
    }
    save(doc);
}

void IniFile::removeKey(const QString& section, const QString& key)
{
    Document doc = load();
    if (doc.unreadable)
        writeFailed(QStringLiteral("The file cannot be read."));
    const int h = findSection(doc, section.trimmed());
    if (h < 0)
        return;
    bool changed = false;
    for (int i = sectionEnd(doc, h) - 1; i > h; --i) {
        const Parsed p = classify(doc.lines.at(i).text);
        if (p.kind == Kind::Key && sameName(p.name, key.trimmed())) {
            doc.lines.removeAt(i);
            changed = true;
        }
    }
    if (changed)
        save(doc);
}

void IniFile::removeSection(const QString& section)
{
    Document doc = load();
    if (doc.unreadable)
        writeFailed(QStringLiteral("The file cannot be read."));
    bool changed = false;
    for (int h = findSection(doc, section.trimmed()); h >= 0; h = findSection(doc, section.trimmed())) {
        doc.lines.erase(doc.lines.begin() + h, doc.lines.begin() + sectionEnd(doc, h));
        changed = true;
    }
    if (changed)
        save(doc);
}

bool IniFile::parseInt(const QString& text, int* out)
{
    const QString t = text.trimmed();
    int i = 0;
    bool negative = false;
    if (!t.isEmpty() && (t.at(0) == QLatin1Char('+') || t.at(0) == QLatin1Char('-'))) {
        negative = t.at(0) == QLatin1Char('-');
        i = 1;
    }
    const QStringView digits = QStringView(t).mid(i);
    if (digits.isEmpty())
        return false;
    if (digits.size() > 2 && digits.at(0) == QLatin1Char('0')
        && (digits.at(1) == QLatin1Char('x') || digits.at(1) == QLatin1Char('X'))) {
        quint64 v = 0;
        for (const QChar c : digits.mid(2)) {
            const int d = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ? c.unicode() - '0'
                : (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ? c.unicode() - 'a' + 10
                : (c >= QLatin1Char('A') && c <= QLatin1Char('F')) ? c.unicode() - 'A' + 10
                : -1;
            if (d < 0)
                return false;
            v = v * 16 + quint64(d);
            if (v > 0xFFFFFFFFull)
                return false;
        }
        const quint32 bits = negative ? quint32(0u - quint32(v)) : quint32(v);
        if (out)
            *out = int(bits);
        return true;
    }
    qint64 v = 0;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        v = v * 10 + (c.unicode() - '0');
        if (v > 2147483648LL)
            return false;
    }
    if (negative)
        v = -v;
    if (v > 2147483647LL)
        return false;
    if (out)
        *out = int(v);
    return true;
}
