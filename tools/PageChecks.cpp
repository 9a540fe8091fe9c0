#include "tools/PageChecks.h"

#include "editor/TextFileCodec.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

#include <algorithm>

namespace PageChecks {

QString severityName(Severity s)
{
    switch (s) {
    case Severity::Error: return QStringLiteral("Error");
    case Severity::Warning: return QStringLiteral("Warning");
    case Severity::Legacy: return QStringLiteral("Legacy");
    case Severity::Info: return QStringLiteral("Info");
    }
    return QString();
}

QString checkName(Check c)
{
    switch (c) {
    case Tidy: return QStringLiteral("Tidy");
    case MissingFile: return QStringLiteral("Missing file");
    case MissingFragment: return QStringLiteral("Missing fragment");
    case ImageAlt: return QStringLiteral("Image alt");
    case DuplicateId: return QStringLiteral("Duplicate id");
    case HeadingLevels: return QStringLiteral("Heading levels");
    case Title: return QStringLiteral("Title");
    case Nesting: return QStringLiteral("Open elements");
    case Legacy: return QStringLiteral("HTML 4");
    }
    return QString();
}

QString checkKey(Check c)
{
    static const char* const keys[kCheckCount] = {"Tidy",     "Missing Files", "Missing Fragments",
                                                  "Image Alt", "Duplicate Ids", "Heading Levels",
                                                  "Title",    "Open Elements", "Legacy Markup"};
    return QString::fromLatin1(keys[c]);
}

QString kindOf(const Problem& p)
{
    return p.kind.isEmpty() ? checkKey(p.check) : p.kind;
}

LineIndex::LineIndex(QStringView text)
{
    m_starts.push_back(0);
    for (qsizetype i = text.indexOf(u'\n'); i >= 0; i = text.indexOf(u'\n', i + 1))
        m_starts.push_back(i + 1);
}

void LineIndex::position(qsizetype offset, int* line, int* column) const
{
    if (m_starts.empty()) {
        *line = 1;
        *column = int(offset) + 1;
        return;
    }
    const auto it = std::upper_bound(m_starts.begin(), m_starts.end(), offset) - 1;
    *line = int(it - m_starts.begin()) + 1;
    *column = int(offset - *it) + 1;
}

namespace {

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'-' || c == u':' || c == u'_' || c == u'.';
}

bool isSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

bool isVoid(const QString& n)
{
    static const QSet<QString> set{
        QStringLiteral("area"),  QStringLiteral("base"),   QStringLiteral("br"),      QStringLiteral("col"),
        QStringLiteral("embed"), QStringLiteral("hr"),     QStringLiteral("img"),     QStringLiteral("input"),
        QStringLiteral("link"),  QStringLiteral("meta"),   QStringLiteral("param"),   QStringLiteral("source"),
        QStringLiteral("track"), QStringLiteral("wbr"),    QStringLiteral("basefont"), QStringLiteral("bgsound"),
        QStringLiteral("frame"), QStringLiteral("keygen"), QStringLiteral("isindex"), QStringLiteral("spacer"),
        QStringLiteral("command")};
    return set.contains(n);
}

// Elements whose closing tag may be left out.
bool hasOptionalEnd(const QString& n)
{
    static const QSet<QString> set{
        QStringLiteral("p"),     QStringLiteral("li"),    QStringLiteral("dt"),       QStringLiteral("dd"),
        QStringLiteral("option"), QStringLiteral("optgroup"), QStringLiteral("tr"),   QStringLiteral("td"),
        QStringLiteral("th"),    QStringLiteral("thead"), QStringLiteral("tbody"),    QStringLiteral("tfoot"),
        QStringLiteral("colgroup"), QStringLiteral("rt"), QStringLiteral("rp"),       QStringLiteral("rb"),
        QStringLiteral("rtc"),   QStringLiteral("html"),  QStringLiteral("head"),     QStringLiteral("body")};
    return set.contains(n);
}

bool isBlockForP(const QString& n)
{
    static const QSet<QString> set{
        QStringLiteral("address"), QStringLiteral("article"), QStringLiteral("aside"), QStringLiteral("blockquote"),
        QStringLiteral("center"), QStringLiteral("details"), QStringLiteral("dir"), QStringLiteral("div"),
        QStringLiteral("dl"), QStringLiteral("fieldset"), QStringLiteral("figcaption"), QStringLiteral("figure"),
        QStringLiteral("footer"), QStringLiteral("form"), QStringLiteral("h1"), QStringLiteral("h2"),
        QStringLiteral("h3"), QStringLiteral("h4"), QStringLiteral("h5"), QStringLiteral("h6"),
        QStringLiteral("header"), QStringLiteral("hgroup"), QStringLiteral("hr"), QStringLiteral("main"),
        QStringLiteral("menu"), QStringLiteral("nav"), QStringLiteral("ol"), QStringLiteral("p"),
        QStringLiteral("pre"), QStringLiteral("section"), QStringLiteral("table"), QStringLiteral("ul")};
    return set.contains(n);
}

// True when the opening tag `next` ends the open element `open` whose
// closing tag was left out.
bool closesImplicitly(const QString& open, const QString& next)
{
    auto is = [&next](const char* a) { return next == QLatin1String(a); };
    if (open == QLatin1String("p"))
        return isBlockForP(next);
    if (open == QLatin1String("li"))
        return is("li");
    if (open == QLatin1String("dt") || open == QLatin1String("dd"))
        return is("dt") || is("dd");
    if (open == QLatin1String("option"))
        return is("option") || is("optgroup");
    if (open == QLatin1String("optgroup"))
        return is("optgroup");
    if (open == QLatin1String("tr"))
        return is("tr") || is("tbody") || is("tfoot") || is("thead");
    if (open == QLatin1String("td") || open == QLatin1String("th"))
        return is("td") || is("th") || is("tr") || is("tbody") || is("tfoot") || is("thead");
    if (open == QLatin1String("thead") || open == QLatin1String("tbody") || open == QLatin1String("tfoot"))
        return is("tbody") || is("tfoot") || is("thead");
    if (open == QLatin1String("colgroup"))
        return !is("col");
    if (open == QLatin1String("rt") || open == QLatin1String("rp") || open == QLatin1String("rb"))
        return is("rt") || is("rp") || is("rb") || is("rtc");
    if (open == QLatin1String("head"))
        return is("body");
    return false;
}

bool isRawText(const QString& n)
{
    return n == QLatin1String("script") || n == QLatin1String("style") || n == QLatin1String("textarea")
           || n == QLatin1String("title") || n == QLatin1String("xmp");
}

}  // namespace

bool isLegacyElement(const QString& n)
{
    static const QSet<QString> set{QStringLiteral("center"), QStringLiteral("font"), QStringLiteral("basefont"),
                                   QStringLiteral("strike"), QStringLiteral("big"), QStringLiteral("tt"),
                                   QStringLiteral("blink"), QStringLiteral("marquee"), QStringLiteral("dir"),
                                   QStringLiteral("applet"), QStringLiteral("acronym"), QStringLiteral("frameset"),
                                   QStringLiteral("frame"), QStringLiteral("noframes"), QStringLiteral("bgsound")};
    return set.contains(n);
}

bool isLegacyAttribute(const QString& element, const QString& a)
{
    static const QSet<QString> anywhere{QStringLiteral("bgcolor"), QStringLiteral("align"), QStringLiteral("valign"),
                                        QStringLiteral("alink"), QStringLiteral("vlink"),
                                        QStringLiteral("background")};
    if (anywhere.contains(a))
        return true;
    if (element == QLatin1String("body"))
        return a == QLatin1String("text") || a == QLatin1String("link");
    return false;
}

namespace {

// The attributes that hold one address, and srcset, which holds several.
bool isUrlAttribute(const QString& element, const QString& a)
{
    if (a == QLatin1String("href"))
        return element != QLatin1String("base");
    return a == QLatin1String("src") || a == QLatin1String("action") || a == QLatin1String("background")
           || a == QLatin1String("poster") || a == QLatin1String("formaction")
           || (a == QLatin1String("data") && element == QLatin1String("object"));
}

struct Attr {
    QString name;   // small letters
    QString value;  // entities decoded
    qsizetype nameStart = 0;
    qsizetype valueStart = -1;  // -1: no value
    qsizetype valueLength = 0;
    bool capitals = false;
};

QString decodeEntities(QStringView v)
{
    if (!v.contains(u'&'))
        return v.toString();
    QString out;
    out.reserve(v.size());
    for (qsizetype i = 0; i < v.size(); ++i) {
        if (v[i] != u'&') {
            out += v[i];
            continue;
        }
        const qsizetype semi = v.indexOf(u';', i + 1);
        if (semi < 0 || semi - i > 10) {
            out += v[i];
            continue;
        }
        const QStringView name = v.mid(i + 1, semi - i - 1);
        char32_t code = 0;
        if (name.startsWith(u'#')) {
            bool ok = false;
            const uint n = (name.size() > 1 && (name[1] == u'x' || name[1] == u'X')) ? name.mid(2).toUInt(&ok, 16)
                                                                                    : name.mid(1).toUInt(&ok, 10);
            if (ok && n > 0 && n <= 0x10FFFF)
                code = n;
        } else if (name == QLatin1String("amp")) {
            code = '&';
        } else if (name == QLatin1String("quot")) {
            code = '"';
        } else if (name == QLatin1String("apos")) {
            code = '\'';
        } else if (name == QLatin1String("lt")) {
            code = '<';
        } else if (name == QLatin1String("gt")) {
            code = '>';
        } else if (name == QLatin1String("nbsp")) {
            code = 0xA0;
        }
        if (!code) {
            out += v[i];
            continue;
        }
        out += QString::fromUcs4(&code, 1);
        i = semi;
    }
    return out;
}

// The candidates of a srcset: each address and where it stands in value.
void srcsetUrls(QStringView value, QList<std::pair<qsizetype, qsizetype>>& out)
{
    qsizetype i = 0;
    const qsizetype n = value.size();
    while (i < n) {
        while (i < n && (isSpace(value[i]) || value[i] == u','))
            ++i;
        const qsizetype start = i;
        while (i < n && !isSpace(value[i]))
            ++i;
        qsizetype end = i;
        while (end > start && value[end - 1] == u',')
            --end;
        if (end > start)
            out.append({start, end - start});
        // Descriptors up to the next comma.
        if (end < i)
            continue;
        while (i < n && value[i] != u',')
            ++i;
    }
}

const QRegularExpression& cssUrl()
{
    static const QRegularExpression re(QStringLiteral(R"re(url\(\s*(?:"([^"]*)"|'([^']*)'|([^)'"\s]*))\s*\))re"),
                                       QRegularExpression::CaseInsensitiveOption);
    return re;
}

void cssUrls(const QString& css, qsizetype base, QList<Link>& links)
{
    QRegularExpressionMatchIterator it = cssUrl().globalMatch(css);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        for (int g = 1; g <= 3; ++g) {
            if (m.capturedStart(g) >= 0) {
                links.append({m.captured(g), base + m.capturedStart(g), int(m.capturedLength(g))});
                break;
            }
        }
    }
}

struct OpenElement {
    QString name;
    qsizetype offset;
    int length;
};

class Scanner {
public:
    Scanner(QStringView text, const Options& options, PageScan& out)
        : m_text(text), m_options(options), m_out(out)
    {
    }

    void run()
    {
        const qsizetype n = m_text.size();
        qsizetype i = 0;
        while (i < n && int(m_out.problems.size()) < kMaxProblems) {
            const qsizetype lt = m_text.indexOf(u'<', i);
            if (lt < 0 || lt + 1 >= n)
                break;
            const QChar c = m_text[lt + 1];
            if (c == u'!') {
                if (m_text.mid(lt, 4) == QLatin1String("<!--")) {
                    const qsizetype end = m_text.indexOf(QLatin1String("-->"), lt + 4);
                    i = end < 0 ? n : end + 3;
                } else if (m_text.mid(lt, 9).compare(QLatin1String("<![CDATA["), Qt::CaseInsensitive) == 0) {
                    const qsizetype end = m_text.indexOf(QLatin1String("]]>"), lt + 9);
                    i = end < 0 ? n : end + 3;
                } else {
                    if (m_text.mid(lt + 2, 7).compare(QLatin1String("doctype"), Qt::CaseInsensitive) == 0)
                        m_doctype = true;
                    const qsizetype end = m_text.indexOf(u'>', lt + 2);
                    i = end < 0 ? n : end + 1;
                }
            } else if (c == u'?') {
                const qsizetype end = m_text.indexOf(u'>', lt + 2);
                i = end < 0 ? n : end + 1;
            } else if (c == u'/' && lt + 2 < n && m_text[lt + 2].isLetter()) {
                i = endTag(lt);
            } else if (c.isLetter()) {
                i = startTag(lt);
            } else {
                i = lt + 1;
            }
        }
        finish();
    }

private:
    void add(Severity s, Check c, qsizetype offset, int length, const QString& message)
    {
        if (!m_options.runs(c) || int(m_out.problems.size()) >= kMaxProblems)
            return;
        Problem p;
        p.severity = s;
        p.check = c;
        p.length = length;
        p.message = message;
        m_out.lines.position(offset, &p.line, &p.column);
        m_out.problems.append(p);
    }

    qsizetype readName(qsizetype i, QString* name) const
    {
        const qsizetype start = i;
        while (i < m_text.size() && isNameChar(m_text[i]))
            ++i;
        *name = m_text.mid(start, i - start).toString();
        return i;
    }

    qsizetype endTag(qsizetype lt)
    {
        QString written;
        const qsizetype nameEnd = readName(lt + 2, &written);
        const qsizetype gt = m_text.indexOf(u'>', nameEnd);
        const qsizetype end = gt < 0 ? m_text.size() : gt + 1;
        const QString name = written.toLower();
        noteCapitals(written, lt + 2);
        closeElement(name, written, lt, int(end - lt));
        return end;
    }

    void closeElement(const QString& name, const QString& written, qsizetype at, int length)
    {
        if (isVoid(name))
            return;  // </br> and the like: browsers read them, nothing to pair
        int k = int(m_stack.size()) - 1;
        while (k >= 0 && m_stack[k].name != name)
            --k;
        if (k < 0) {
            // </b> after <b> was closed early by an out-of-order </i>: said once already.
            const qsizetype early = m_forceClosed.indexOf(name);
            if (early >= 0) {
                m_forceClosed.removeAt(early);
                return;
            }
            static const QSet<QString> implied{QStringLiteral("html"), QStringLiteral("head"),
                                               QStringLiteral("body"), QStringLiteral("tbody")};
            if (!implied.contains(name))
                add(Severity::Error, Nesting, at, length,
                    QStringLiteral("</%1> closes no open element").arg(written));
            return;
        }
        for (int j = int(m_stack.size()) - 1; j > k; --j) {
            const OpenElement& e = m_stack[j];
            if (hasOptionalEnd(e.name))
                continue;
            m_forceClosed.append(e.name);
            add(Severity::Error, Nesting, e.offset, e.length,
                QStringLiteral("<%1> is still open at </%2> on line %3: elements closed out of order")
                    .arg(e.name, written, QString::number(lineOf(at))));
        }
        m_stack.resize(k);
    }

    int lineOf(qsizetype offset) const
    {
        int line = 0, column = 0;
        m_out.lines.position(offset, &line, &column);
        return line;
    }

    void noteCapitals(const QString& written, qsizetype at)
    {
        if (m_capitalsNoted)
            return;
        for (QChar ch : written) {
            if (ch.isUpper()) {
                m_capitalsNoted = true;
                add(Severity::Legacy, Legacy, at, int(written.size()),
                    QStringLiteral("Tag names in capitals (HTML 4 style), first <%1>").arg(written));
                return;
            }
        }
    }

    qsizetype startTag(qsizetype lt)
    {
        QString written;
        qsizetype i = readName(lt + 1, &written);
        const QString name = written.toLower();
        const qsizetype n = m_text.size();
        QList<Attr> attrs;
        bool selfClosing = false;
        while (i < n) {
            while (i < n && isSpace(m_text[i]))
                ++i;
            if (i >= n)
                break;
            if (m_text[i] == u'>') {
                ++i;
                break;
            }
            if (m_text[i] == u'/') {
                ++i;
                if (i < n && m_text[i] == u'>') {
                    selfClosing = true;
                    ++i;
                    break;
                }
                continue;
            }
            if (m_text[i] == u'<')
                break;  // an unfinished tag: the next one starts here
            Attr a;
            a.nameStart = i;
            while (i < n && !isSpace(m_text[i]) && m_text[i] != u'=' && m_text[i] != u'>'
                   && !(m_text[i] == u'/' && i + 1 < n && m_text[i + 1] == u'>'))
                ++i;
            const QStringView aname = m_text.mid(a.nameStart, i - a.nameStart);
            a.name = aname.toString().toLower();
            a.capitals = a.name != aname;
            qsizetype j = i;
            while (j < n && isSpace(m_text[j]))
                ++j;
            if (j < n && m_text[j] == u'=') {
                ++j;
                while (j < n && isSpace(m_text[j]))
                    ++j;
                if (j < n && (m_text[j] == u'"' || m_text[j] == u'\'')) {
                    const QChar q = m_text[j];
                    const qsizetype close = m_text.indexOf(q, j + 1);
                    a.valueStart = j + 1;
                    a.valueLength = (close < 0 ? n : close) - a.valueStart;
                    i = close < 0 ? n : close + 1;
                } else {
                    a.valueStart = j;
                    while (j < n && !isSpace(m_text[j]) && m_text[j] != u'>')
                        ++j;
                    a.valueLength = j - a.valueStart;
                    i = j;
                }
                a.value = decodeEntities(m_text.mid(a.valueStart, a.valueLength));
            }
            attrs.append(a);
        }
        const qsizetype end = i;
        element(name, written, lt, int(end - lt), attrs, selfClosing);
        if (isRawText(name) && !selfClosing) {
            const qsizetype close = m_text.indexOf(QStringView(QString(QLatin1String("</") + name)), end,
                                                   Qt::CaseInsensitive);
            const qsizetype contentEnd = close < 0 ? n : close;
            const QStringView content = m_text.mid(end, contentEnd - end);
            if (name == QLatin1String("title")) {
                m_title = true;
                if (content.trimmed().isEmpty() && m_options.runs(Title))
                    add(Severity::Warning, Title, lt, int(end - lt), QStringLiteral("The <title> is empty"));
            } else if (name == QLatin1String("style")) {
                cssUrls(content.toString(), end, m_out.links);
            }
            if (close < 0)
                return n;
            const qsizetype gt = m_text.indexOf(u'>', close);
            return gt < 0 ? n : gt + 1;
        }
        return end;
    }

    void element(const QString& name, const QString& written, qsizetype at, int length, const QList<Attr>& attrs,
                 bool selfClosing)
    {
        noteCapitals(written, at + 1);
        // Nesting: the elements this one ends, then this one.
        while (!m_stack.empty() && closesImplicitly(m_stack.back().name, name))
            m_stack.pop_back();
        if (!isVoid(name) && !selfClosing && !isRawText(name))
            m_stack.push_back({name, at, length});

        if (m_options.runs(Legacy)) {
            if (isLegacyElement(name))
                add(Severity::Legacy, Legacy, at, length,
                    QStringLiteral("<%1> is HTML 4 markup, not part of HTML5").arg(written));
            for (const Attr& a : attrs)
                if (isLegacyAttribute(name, a.name))
                    add(Severity::Legacy, Legacy, a.nameStart, int(a.name.size()),
                        QStringLiteral("%1 on <%2> is an HTML 4 attribute").arg(
                            m_text.mid(a.nameStart, a.name.size()).toString(), written));
        }

        bool hasAlt = false;
        const Attr* id = nullptr;
        const Attr* anchorName = nullptr;
        for (const Attr& a : attrs) {
            if (a.name == QLatin1String("alt"))
                hasAlt = true;
            else if (a.name == QLatin1String("id") && !a.value.isEmpty())
                id = &a;
            else if (a.name == QLatin1String("name") && !a.value.isEmpty()
                     && (name == QLatin1String("a") || name == QLatin1String("map")))
                anchorName = &a;
        }
        if (id)
            noteId(*id, true);
        // <a name="x" id="x"> names one place twice, on purpose.
        if (anchorName && !(id && id->value == anchorName->value))
            noteId(*anchorName, false);
        for (const Attr& a : attrs) {
            if (a.valueStart < 0)
                continue;
            if (isUrlAttribute(name, a.name)) {
                m_out.links.append({a.value, a.valueStart, int(a.valueLength)});
            } else if (a.name == QLatin1String("srcset")) {
                QList<std::pair<qsizetype, qsizetype>> parts;
                srcsetUrls(a.value, parts);
                const bool plain = a.value == m_text.mid(a.valueStart, a.valueLength);
                for (const auto& [s, l] : parts)
                    m_out.links.append({a.value.mid(s, l), plain ? a.valueStart + s : a.valueStart,
                                        int(plain ? l : a.valueLength)});
            } else if (a.name == QLatin1String("style")) {
                const qsizetype before = m_out.links.size();
                cssUrls(a.value, a.valueStart, m_out.links);
                if (a.value != m_text.mid(a.valueStart, a.valueLength))
                    for (qsizetype k = before; k < m_out.links.size(); ++k) {
                        m_out.links[k].offset = a.valueStart;
                        m_out.links[k].length = int(a.valueLength);
                    }
            }
        }
        if (name == QLatin1String("base"))
            for (const Attr& a : attrs)
                if (a.name == QLatin1String("href") && !a.value.trimmed().isEmpty())
                    m_out.hasBase = true;
        if (name == QLatin1String("img") && !hasAlt)
            add(Severity::Warning, ImageAlt, at, length, QStringLiteral("<%1> without alt text").arg(written));
        if (name == QLatin1String("html") || name == QLatin1String("head") || name == QLatin1String("body"))
            m_wholePage = true;
        if (name.size() == 2 && name[0] == u'h' && name[1] >= u'1' && name[1] <= u'6') {
            const int level = name[1].digitValue();
            if (m_lastHeading > 0 && level > m_lastHeading + 1)
                add(Severity::Warning, HeadingLevels, at, length,
                    QStringLiteral("<%1> after <h%2> skips a heading level").arg(written).arg(m_lastHeading));
            m_lastHeading = level;
        }
    }

    void noteId(const Attr& a, bool isId)
    {
        const QString& v = a.value;
        auto it = m_ids.constFind(v);
        if (it == m_ids.cend()) {
            m_ids.insert(v, a.valueStart);
            m_out.anchors.insert(v);
            return;
        }
        add(Severity::Error, DuplicateId, a.valueStart, int(a.valueLength),
            QStringLiteral("Duplicate %1 \"%2\" (first on line %3)")
                .arg(isId ? QStringLiteral("id") : QStringLiteral("name"), v, QString::number(lineOf(it.value()))));
    }

    void finish()
    {
        for (const OpenElement& e : m_stack)
            if (!hasOptionalEnd(e.name))
                add(Severity::Error, Nesting, e.offset, e.length,
                    QStringLiteral("<%1> is never closed").arg(e.name));
        if (!m_title && (m_wholePage || m_doctype))
            add(Severity::Warning, Title, 0, 0, QStringLiteral("The page has no <title>"));
    }

    QStringView m_text;
    const Options& m_options;
    PageScan& m_out;
    std::vector<OpenElement> m_stack;
    QStringList m_forceClosed;
    QHash<QString, qsizetype> m_ids;
    int m_lastHeading = 0;
    bool m_title = false;
    bool m_wholePage = false;
    bool m_doctype = false;
    bool m_capitalsNoted = false;
};

const QRegularExpression& schemeRe()
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z][A-Za-z0-9+.\\-]*:"));
    return re;
}

QString percentDecoded(const QString& s)
{
    if (!s.contains(u'%'))
        return s;
    return QUrl::fromPercentEncoding(s.toUtf8());
}

} // namespace

PageScan scanPage(QStringView text, const Options& options)
{
    PageScan out;
    out.lines = LineIndex(text);
    Scanner(text, options, out).run();
    return out;
}

LinkTarget resolveLink(const QString& url, const QString& baseDir, const QString& siteRoot)
{
    LinkTarget t;
    const QString u = url.trimmed();
    if (u.isEmpty() || schemeRe().match(u).hasMatch() || u.startsWith(QLatin1String("//"))
        || u.startsWith(QLatin1String("\\\\")))
        return t;
    static const char* const placeholders[] = {"{{", "<%", "<?", "${", "[%"};
    for (const char* p : placeholders)
        if (u.contains(QLatin1String(p)))
            return t;
    QString path = u;
    const qsizetype hash = path.indexOf(u'#');
    if (hash >= 0) {
        t.fragment = percentDecoded(path.mid(hash + 1));
        path.truncate(hash);
    }
    const qsizetype query = path.indexOf(u'?');
    if (query >= 0)
        path.truncate(query);
    if (path.isEmpty()) {
        if (t.fragment.isEmpty() || query >= 0)
            return t;
        t.kind = LinkTarget::SamePage;
        return t;
    }
    path = percentDecoded(path);
    if (path.startsWith(u'/')) {
        if (siteRoot.isEmpty())
            return t;
        path = siteRoot + path;
    } else {
        if (baseDir.isEmpty())
            return t;
        path = baseDir + u'/' + path;
    }
    t.kind = LinkTarget::Local;
    t.path = QDir::cleanPath(path);
    return t;
}

bool isPagePath(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QLatin1String("htm") || suffix == QLatin1String("html") || suffix == QLatin1String("xhtml")
           || suffix == QLatin1String("shtml");
}

bool anchorsOfFile(const QString& path, QSet<QString>* anchors)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const DecodedText decoded = TextFileCodec::decode(f.readAll());
    Options only;
    only.checks = 0;
    *anchors = scanPage(decoded.text, only).anchors;
    return true;
}

bool FileFacts::exists(const QString& path)
{
    {
        std::lock_guard<std::mutex> hold(m_lock);
        auto it = m_exists.constFind(path);
        if (it != m_exists.cend())
            return it.value();
    }
    const bool e = QFileInfo::exists(path);
    std::lock_guard<std::mutex> hold(m_lock);
    m_exists.insert(path, e);
    return e;
}

namespace {
// The anchors of pages read lately, for the checks that follow: kept while
// the file keeps its time and size.
struct KnownAnchors {
    QDateTime modified;
    qint64 size = -1;
    std::shared_ptr<const QSet<QString>> anchors;
};
std::mutex g_knownLock;
QHash<QString, KnownAnchors> g_known;
constexpr int kKnownPages = 500;
} // namespace

std::shared_ptr<const QSet<QString>> FileFacts::anchors(const QString& path)
{
    {
        std::lock_guard<std::mutex> hold(m_lock);
        auto it = m_anchors.constFind(path);
        if (it != m_anchors.cend())
            return it.value();
    }
    const QFileInfo info(path);
    const QDateTime modified = info.lastModified();
    std::shared_ptr<const QSet<QString>> result;
    {
        std::lock_guard<std::mutex> hold(g_knownLock);
        auto it = g_known.constFind(path);
        if (it != g_known.cend() && it->modified == modified && it->size == info.size())
            result = it->anchors;
    }
    if (!result) {
        auto set = std::make_shared<QSet<QString>>();
        if (anchorsOfFile(path, set.get())) {
            result = set;
            std::lock_guard<std::mutex> hold(g_knownLock);
            if (g_known.size() >= kKnownPages)
                g_known.clear();
            g_known.insert(path, {modified, info.size(), result});
        }
    }
    std::lock_guard<std::mutex> hold(m_lock);
    m_anchors.insert(path, result);
    return result;
}

QList<Problem> checkLinks(const PageScan& scan, const QString& baseDir, const QString& siteRoot,
                          const Options& options, FileFacts& facts)
{
    QList<Problem> out;
    const bool files = options.runs(MissingFile);
    const bool fragments = options.runs(MissingFragment);
    if (!files && !fragments)
        return out;
    auto add = [&](Check c, const Link& l, const QString& message) {
        Problem p;
        p.severity = Severity::Error;
        p.check = c;
        p.length = l.length;
        p.message = message;
        scan.lines.position(l.offset, &p.line, &p.column);
        out.append(p);
    };
    auto ignoredFragment = [](const QString& f) {
        return f.isEmpty() || f.compare(QLatin1String("top"), Qt::CaseInsensitive) == 0 || f.startsWith(u'!')
               || f.startsWith(QLatin1String(":~:"));
    };
    for (const Link& l : scan.links) {
        if (out.size() >= kMaxProblems)
            break;
        const LinkTarget t = resolveLink(l.url, scan.hasBase ? QString() : baseDir, scan.hasBase ? QString() : siteRoot);
        if (t.kind == LinkTarget::SamePage) {
            if (scan.hasBase)
                continue;  // "#x" then leads to the base's page
            if (fragments && !ignoredFragment(t.fragment) && !scan.anchors.contains(t.fragment))
                add(MissingFragment, l, QStringLiteral("No id \"%1\" in this page").arg(t.fragment));
            continue;
        }
        if (t.kind != LinkTarget::Local)
            continue;
        if (!facts.exists(t.path)) {
            if (files)
                add(MissingFile, l, QStringLiteral("Link to a missing file: \"%1\"").arg(l.url.trimmed()));
            continue;
        }
        if (fragments && !ignoredFragment(t.fragment) && isPagePath(t.path)) {
            const std::shared_ptr<const QSet<QString>> anchors = facts.anchors(t.path);
            if (anchors && !anchors->contains(t.fragment))
                add(MissingFragment, l,
                    QStringLiteral("No id \"%1\" in \"%2\"").arg(t.fragment, QFileInfo(t.path).fileName()));
        }
    }
    return out;
}

QList<Problem> checkPage(QStringView text, const QString& baseDir, const Options& options, FileFacts& facts,
                         const QString& siteRoot)
{
    PageScan scan = scanPage(text, options);
    QList<Problem> out = std::move(scan.problems);
    out += checkLinks(scan, baseDir, siteRoot, options, facts);
    sortProblems(out);
    if (out.size() > kMaxProblems)
        out.resize(kMaxProblems);
    return out;
}

void sortProblems(QList<Problem>& problems)
{
    std::stable_sort(problems.begin(), problems.end(), [](const Problem& a, const Problem& b) {
        return a.line != b.line ? a.line < b.line : a.column < b.column;
    });
}

} // namespace PageChecks
