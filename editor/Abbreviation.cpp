#include "editor/Abbreviation.h"

#include "editor/CompletionData.h"

#include <QList>
#include <QStringList>
#include <optional>
#include <vector>

namespace Abbreviation {

namespace {

// Where the caret may go; taken out of the text at the end.
constexpr QChar kSpot(0xE000);

struct Attr {
    QString name;
    QString value;
    bool hasValue = true;
};

struct Node {
    bool group = false;
    QString name;
    QString id;
    QStringList classes;
    QList<Attr> attrs;
    QString text;
    bool hasText = false;
    int count = 1;
    std::vector<Node> children;
};

bool isOneOf(const QString& n, std::initializer_list<const char*> names)
{
    for (const char* k : names) {
        if (n.compare(QLatin1String(k), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool isInline(const QString& n)
{
    return isOneOf(n, {"a", "abbr", "b", "bdi", "bdo", "br", "button", "cite", "code", "data", "dfn", "em", "i",
                       "img", "input", "kbd", "label", "mark", "q", "s", "samp", "select", "small", "span", "strong",
                       "sub", "sup", "textarea", "time", "u", "var", "wbr"});
}

bool isVoid(const QString& n)
{
    return isOneOf(n, {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "param", "source",
                       "track", "wbr"});
}

QString impliedName(const QString& parent)
{
    if (isOneOf(parent, {"ul", "ol", "menu"}))
        return QStringLiteral("li");
    if (isOneOf(parent, {"table", "tbody", "thead", "tfoot"}))
        return QStringLiteral("tr");
    if (isOneOf(parent, {"tr"}))
        return QStringLiteral("td");
    if (isOneOf(parent, {"select", "optgroup", "datalist"}))
        return QStringLiteral("option");
    if (!parent.isEmpty() && isInline(parent))
        return QStringLiteral("span");
    return QStringLiteral("div");
}

QList<Attr> defaultAttrs(const QString& n)
{
    auto empty = [](const char* a) { return Attr{QString::fromLatin1(a), QString(), true}; };
    if (isOneOf(n, {"a"}))
        return {empty("href")};
    if (isOneOf(n, {"img"}))
        return {empty("src"), empty("alt")};
    if (isOneOf(n, {"link"}))
        return {Attr{QStringLiteral("rel"), QStringLiteral("stylesheet"), true}, empty("href")};
    if (isOneOf(n, {"form"}))
        return {empty("action")};
    if (isOneOf(n, {"label"}))
        return {empty("for")};
    if (isOneOf(n, {"input"}))
        return {Attr{QStringLiteral("type"), QStringLiteral("text"), true}};
    if (isOneOf(n, {"iframe"}))
        return {empty("src")};
    return {};
}

class Parser {
public:
    explicit Parser(const QString& s) : s(s) {}

    std::optional<std::vector<Node>> parseAll()
    {
        std::vector<Node> nodes;
        if (!expr(nodes) || i != s.size())
            return std::nullopt;
        return nodes;
    }

private:
    bool at(char c) const { return i < s.size() && s[i] == QLatin1Char(c); }

    // Siblings (with what they hold) up to ")" or the end.
    bool expr(std::vector<Node>& out)
    {
        Node root;
        root.group = true;
        std::vector<Node*> parents{&root};
        for (;;) {
            Node node;
            if (!term(node))
                return false;
            parents.back()->children.push_back(std::move(node));
            Node* last = &parents.back()->children.back();
            if (at('>')) {
                ++i;
                parents.push_back(last);
            } else if (at('+')) {
                ++i;
            } else if (at('^')) {
                while (at('^')) {
                    ++i;
                    if (parents.size() > 1)
                        parents.pop_back();
                }
            } else {
                break;
            }
        }
        out = std::move(root.children);
        return true;
    }

    QString word(QStringView stops)
    {
        const qsizetype from = i;
        while (i < s.size() && !stops.contains(s[i]) && !s[i].isSpace())
            ++i;
        return s.mid(from, i - from);
    }

    bool term(Node& node)
    {
        static const QString kStops = QStringLiteral(".#[{>+^*()");
        if (at('(')) {
            ++i;
            node.group = true;
            if (!expr(node.children) || !at(')'))
                return false;
            ++i;
        } else {
            node.name = word(kStops);
            bool any = !node.name.isEmpty();
            for (;;) {
                if (at('#')) {
                    ++i;
                    node.id = word(kStops);
                    if (node.id.isEmpty())
                        return false;
                } else if (at('.')) {
                    ++i;
                    const QString c = word(kStops);
                    if (c.isEmpty())
                        return false;
                    node.classes << c;
                } else if (at('[')) {
                    ++i;
                    if (!attributes(node.attrs))
                        return false;
                } else if (at('{')) {
                    const qsizetype close = s.indexOf(QLatin1Char('}'), i);
                    if (close < 0)
                        return false;
                    node.text = s.mid(i + 1, close - i - 1);
                    node.hasText = true;
                    i = close + 1;
                } else {
                    break;
                }
                any = true;
            }
            if (!any)
                return false;
            for (QChar c : std::as_const(node.name)) {
                if (!c.isLetterOrNumber() && c != QLatin1Char('-') && c != QLatin1Char(':') && c != QLatin1Char('$')
                    && c != QLatin1Char('_'))
                    return false;
            }
        }
        if (at('*')) {
            ++i;
            const qsizetype from = i;
            while (i < s.size() && s[i].isDigit())
                ++i;
            node.count = s.mid(from, i - from).toInt();
            if (node.count < 1 || node.count > 1000)
                return false;
        }
        return true;
    }

    bool attributes(QList<Attr>& attrs)
    {
        for (;;) {
            while (i < s.size() && s[i].isSpace())
                ++i;
            if (at(']')) {
                ++i;
                return true;
            }
            const qsizetype from = i;
            while (i < s.size() && !s[i].isSpace() && s[i] != QLatin1Char('=') && s[i] != QLatin1Char(']'))
                ++i;
            Attr a{s.mid(from, i - from), QString(), false};
            if (a.name.isEmpty())
                return false;
            if (at('=')) {
                ++i;
                a.hasValue = true;
                if (at('"') || at('\'')) {
                    const QChar q = s[i];
                    const qsizetype close = s.indexOf(q, i + 1);
                    if (close < 0)
                        return false;
                    a.value = s.mid(i + 1, close - i - 1);
                    i = close + 1;
                } else {
                    const qsizetype v = i;
                    while (i < s.size() && !s[i].isSpace() && s[i] != QLatin1Char(']'))
                        ++i;
                    a.value = s.mid(v, i - v);
                }
            }
            attrs << a;
            if (i >= s.size())
                return false;
        }
    }

    const QString& s;
    qsizetype i = 0;
};

// "$" as the number, "$$" padded to two digits ...
QString numbered(const QString& text, int number)
{
    if (!text.contains(QLatin1Char('$')))
        return text;
    QString out;
    for (qsizetype k = 0; k < text.size();) {
        if (text[k] != QLatin1Char('$')) {
            out += text[k++];
            continue;
        }
        qsizetype n = 0;
        while (k < text.size() && text[k] == QLatin1Char('$')) {
            ++n;
            ++k;
        }
        out += QStringLiteral("%1").arg(number, int(n), 10, QLatin1Char('0'));
    }
    return out;
}

// An element with its name, attributes and number settled.
struct Element {
    QString name;
    QList<Attr> attrs;
    QString text;
    bool hasText = false;
    std::vector<Element> children;
};

void settle(const std::vector<Node>& nodes, const QString& parent, int number, std::vector<Element>& out);

void settleOne(const Node& n, const QString& parent, int number, std::vector<Element>& out)
{
    if (n.group) {
        settle(n.children, parent, number, out);
        return;
    }
    Element e;
    e.name = n.name.isEmpty() ? impliedName(parent) : numbered(n.name, number);
    e.attrs = defaultAttrs(e.name);
    auto set = [&e](const Attr& a) {
        for (Attr& have : e.attrs) {
            if (have.name == a.name) {
                have = a;
                return;
            }
        }
        e.attrs << a;
    };
    if (!n.id.isEmpty())
        set(Attr{QStringLiteral("id"), numbered(n.id, number), true});
    if (!n.classes.isEmpty())
        set(Attr{QStringLiteral("class"), numbered(n.classes.join(QLatin1Char(' ')), number), true});
    for (const Attr& a : n.attrs)
        set(Attr{numbered(a.name, number), numbered(a.value, number), a.hasValue});
    e.text = numbered(n.text, number);
    e.hasText = n.hasText;
    settle(n.children, e.name, number, e.children);
    out.push_back(std::move(e));
}

void settle(const std::vector<Node>& nodes, const QString& parent, int number, std::vector<Element>& out)
{
    for (const Node& n : nodes) {
        for (int k = 1; k <= n.count; ++k)
            settleOne(n, parent, n.count > 1 ? k : number, out);
    }
}

bool allInline(const std::vector<Element>& list)
{
    for (const Element& e : list) {
        if (!isInline(e.name) || !allInline(e.children))
            return false;
    }
    return true;
}

class Writer {
public:
    explicit Writer(const Options& o) : o(o) {}

    QString list(const std::vector<Element>& elements, int level)
    {
        QString out;
        const bool inlineRun = allInline(elements);
        for (size_t k = 0; k < elements.size(); ++k) {
            if (k > 0 && !inlineRun)
                out += QLatin1Char('\n') + indent(level);
            out += element(elements[k], level);
        }
        return out;
    }

private:
    QString indent(int level) const { return o.lineIndent + o.indentUnit.repeated(level); }

    QString element(const Element& e, int level)
    {
        const QString name = o.upperCase ? e.name.toUpper() : e.name;
        QString out = QLatin1Char('<') + name;
        for (const Attr& a : e.attrs) {
            out += QLatin1Char(' ') + a.name;
            if (a.hasValue)
                out += QStringLiteral("=\"") + (a.value.isEmpty() ? QString(kSpot) : a.value) + QLatin1Char('"');
        }
        out += QLatin1Char('>');
        if (isVoid(e.name))
            return out;
        if (e.hasText)
            out += e.text;
        if (e.children.empty()) {
            if (!e.hasText || e.text.isEmpty())
                out += kSpot;
        } else if (allInline(e.children)) {
            out += list(e.children, level + 1);
        } else {
            out += QLatin1Char('\n') + indent(level + 1) + list(e.children, level + 1) + QLatin1Char('\n') + indent(level);
        }
        return out + QStringLiteral("</") + name + QLatin1Char('>');
    }

    const Options& o;
};

bool allowedOutside(QChar c)
{
    return c.isLetterOrNumber() || QStringView(u"-_:.#$@!*+>^()").contains(c);
}

} // namespace

Expansion expand(const QString& abbreviation, const Options& options)
{
    const std::optional<std::vector<Node>> nodes = Parser(abbreviation).parseAll();
    if (abbreviation.isEmpty() || !nodes)
        return Expansion{QString(), 0};
    std::vector<Element> elements;
    settle(*nodes, QString(), 1, elements);
    QString text = Writer(options).list(elements, 0);
    const qsizetype spot = text.indexOf(kSpot);
    text.remove(kSpot);
    return Expansion{text, spot < 0 ? text.size() : spot};
}

qsizetype startBefore(const QString& line, qsizetype end)
{
    qsizetype i = std::min(end, line.size());
    int depth = 0;  // inside [...] or {...}, walking backwards
    while (i > 0) {
        const QChar c = line[i - 1];
        if (c == QLatin1Char(']') || c == QLatin1Char('}')) {
            ++depth;
        } else if (c == QLatin1Char('[') || c == QLatin1Char('{')) {
            if (depth == 0)
                break;
            --depth;
        } else if (depth == 0 && !allowedOutside(c)) {
            break;
        }
        --i;
    }
    if (depth != 0)
        return -1;
    // Right after a tag: what the tag's ">" ends is not part of it.
    if (i > 0 && (line[i - 1] == QLatin1Char('<') || (line[i - 1] == QLatin1Char('/') && i > 1 && line[i - 2] == QLatin1Char('<')))) {
        const qsizetype gt = line.indexOf(QLatin1Char('>'), i);
        if (gt < 0 || gt >= end)
            return -1;
        i = gt + 1;
    }
    while (i < end && QStringView(u">+^*").contains(line[i]))
        ++i;
    return i < end ? i : -1;
}

bool isLikely(const QString& abbreviation)
{
    if (abbreviation.isEmpty() || expand(abbreviation).text.isEmpty())
        return false;
    for (QChar c : abbreviation) {
        if (QStringView(u">+^*.#[{(").contains(c))
            return true;
    }
    return CompletionData::isElement(abbreviation);
}

} // namespace Abbreviation
