#include "editor/TagMatcher.h"

#include "editor/EditorContract.h"

#include <QSet>
#include <algorithm>
#include <climits>

using Html::HtmlTokenizer;
using Html::TagEvent;

// ---------------------------------------------------------------- lines

int ContractLines::lineCount() const
{
    return m_editor.LineCount();
}

QString ContractLines::lineText(int line) const
{
    return m_editor.RawLineText(line + 1);
}

int ContractLines::startState(int line) const
{
    if (m_states.empty())
        m_states.push_back(HtmlTokenizer::kInitialState);
    while (int(m_states.size()) <= line) {
        const int known = int(m_states.size()) - 1;
        m_states.push_back(HtmlTokenizer::tokenize(lineText(known), m_states.back(), nullptr));
    }
    return m_states[size_t(line)];
}

// ---------------------------------------------------------------- structure

namespace {

// What an element's name tells the pass.
enum NameFlag : unsigned {
    ScopeDefault = 1 << 0,  // bounds the search of a closing tag for its element
    ScopeButton = 1 << 1,   // bounds the search of a block for an open paragraph
    ScopeTable = 1 << 2,    // bounds the search of table parts
    ScopeList = 1 << 3,     // bounds the search of <li>, <dt>, <dd> for an open one
    Void = 1 << 4,
    ClosesP = 1 << 5,       // its opening tag ends an open paragraph
    TablePart = 1 << 6,
    Heading = 1 << 7,
};
enum KnownKey : int {
    KeyP, KeyLi, KeyDd, KeyDt, KeyOption, KeyOptgroup, KeyTr, KeyTd, KeyTh, KeyTbody, KeyThead, KeyTfoot, KeyRt, KeyRp
};

bool in(const QString& n, std::initializer_list<const char*> names)
{
    for (const char* k : names) {
        if (n == QLatin1String(k))
            return true;
    }
    return false;
}

unsigned flagsOf(const QString& n)
{
    unsigned f = 0;
    if (in(n, {"applet", "caption", "html", "table", "td", "th", "marquee", "object", "template"}))
        f |= ScopeDefault | ScopeButton;
    if (n == QLatin1String("button"))
        f |= ScopeButton;
    if (in(n, {"html", "table", "template"}))
        f |= ScopeTable;
    // Elements a list item does not reach past (all but address, div and p of HTML's special ones).
    if (in(n, {"applet", "area", "article", "aside", "base", "basefont", "bgsound", "blockquote", "body", "br",
               "button", "caption", "center", "col", "colgroup", "dd", "details", "dir", "dl", "dt", "embed",
               "fieldset", "figcaption", "figure", "footer", "form", "frame", "frameset", "h1", "h2", "h3", "h4",
               "h5", "h6", "head", "header", "hgroup", "hr", "html", "iframe", "img", "input", "li", "link",
               "listing", "main", "marquee", "menu", "meta", "nav", "noembed", "noframes", "noscript", "object",
               "ol", "param", "plaintext", "pre", "script", "search", "section", "select", "source", "style",
               "summary", "table", "tbody", "td", "template", "textarea", "tfoot", "th", "thead", "title", "tr",
               "track", "ul", "wbr", "xmp"}))
        f |= ScopeList;
    if (TagMatcher::isVoidElement(n))
        f |= Void;
    if (in(n, {"address", "article", "aside", "blockquote", "center", "details", "dialog", "dir", "div", "dl",
               "fieldset", "figcaption", "figure", "footer", "form", "h1", "h2", "h3", "h4", "h5", "h6", "header",
               "hgroup", "hr", "main", "menu", "nav", "ol", "p", "pre", "section", "search", "summary", "table",
               "ul", "li", "dd", "dt", "listing", "xmp", "plaintext"}))
        f |= ClosesP;
    if (in(n, {"table", "caption", "colgroup", "tbody", "thead", "tfoot", "tr", "td", "th"}))
        f |= TablePart;
    if (in(n, {"h1", "h2", "h3", "h4", "h5", "h6"}))
        f |= Heading;
    return f;
}

} // namespace

TagStructure::TagStructure(const TagLineSource& lines) : m_lines(lines)
{
    // The names the pass asks about get the first keys, in KnownKey's order.
    for (const char* n : {"p", "li", "dd", "dt", "option", "optgroup", "tr", "td", "th", "tbody", "thead", "tfoot",
                          "rt", "rp"})
        keyOf(QString::fromLatin1(n));
}

TagStructure::~TagStructure() = default;

int TagStructure::keyOf(const QString& name)
{
    // Names as written are kept beside their small-letter form.
    if (auto it = m_keys.constFind(name); it != m_keys.constEnd())
        return it.value();
    const QString n = name.toLower();
    if (auto it = m_keys.constFind(n); it != m_keys.constEnd()) {
        m_keys.insert(name, it.value());
        return it.value();
    }
    const int key = int(m_flags.size());
    m_keys.insert(n, key);
    m_flags.push_back(flagsOf(n));
    m_lastOpen.push_back(-1);
    return key;
}

int TagStructure::scopeDepth(int rule) const
{
    return m_open.empty() ? -1 : m_open.back().scope[rule];
}

void TagStructure::pushOpen(int node, int key)
{
    const int depth = int(m_open.size());
    Open open{node, m_lastOpen[size_t(key)], {}};
    const unsigned f = m_flags[size_t(key)];
    for (int r = 0; r < kRules; ++r)
        open.scope[r] = (f & (1u << r)) ? depth : scopeDepth(r);
    m_open.push_back(open);
    m_lastOpen[size_t(key)] = depth;
}

void TagStructure::push(int line, const TagEvent& e, int key)
{
    const int node = int(m_nodes.size());
    m_nodes.push_back(Node{line, e.start, e.nameEnd, key, top()});
    pushOpen(node, key);
}

void TagStructure::popTo(int depth, int endLine, int endStart, int closer)
{
    while (int(m_open.size()) > depth && depth >= 0) {
        const Open& o = m_open.back();
        Node& t = m_nodes[size_t(o.node)];
        if (int(m_open.size()) - 1 == depth && closer >= 0) {
            t.end = closer;
        } else {
            t.end = endAt(int(m_ends.size()));
            m_ends.push_back(Position{endLine, endStart});
        }
        m_lastOpen[size_t(t.key)] = o.prevSame;
        m_open.pop_back();
    }
}

void TagStructure::closeIn(std::initializer_list<int> keys, int rule, int line, int start)
{
    int best = -1;
    for (int k : keys)
        best = std::max(best, m_lastOpen[size_t(k)]);
    if (best >= 0 && best >= scopeDepth(rule))
        popTo(best, line, start, -1);
}

void TagStructure::openingTag(int line, const TagEvent& e, int key)
{
    const unsigned f = m_flags[size_t(key)];
    // The elements HTML ends before this one.
    if (f & ClosesP)
        closeIn({KeyP}, 1, line, e.start);
    switch (key) {
    case KeyLi: closeIn({KeyLi}, 3, line, e.start); break;
    case KeyDd:
    case KeyDt: closeIn({KeyDd, KeyDt}, 3, line, e.start); break;
    case KeyOption:
    case KeyOptgroup:
        if (top() >= 0 && m_nodes[size_t(top())].key == KeyOption)
            popTo(topDepth(), line, e.start, -1);
        if (key == KeyOptgroup && top() >= 0 && m_nodes[size_t(top())].key == KeyOptgroup)
            popTo(topDepth(), line, e.start, -1);
        break;
    case KeyTr: closeIn({KeyTr}, 2, line, e.start); break;
    case KeyTd:
    case KeyTh: closeIn({KeyTd, KeyTh}, 2, line, e.start); break;
    case KeyTbody:
    case KeyThead:
    case KeyTfoot: closeIn({KeyTbody, KeyThead, KeyTfoot}, 2, line, e.start); break;
    case KeyRt:
    case KeyRp: closeIn({KeyRt, KeyRp}, 0, line, e.start); break;
    default:
        if ((f & Heading) && top() >= 0 && (m_flags[size_t(m_nodes[size_t(top())].key)] & Heading))
            popTo(topDepth(), line, e.start, -1);
        break;
    }
    if (e.selfClosing || (f & Void))
        return;
    push(line, e, key);
    m_pending = e.end < 0 ? top() : -1;
}

void TagStructure::closingTag(int line, const TagEvent& e, int key)
{
    const unsigned f = m_flags[size_t(key)];
    const int rule = (f & TablePart) ? 2 : key == KeyP ? 1 : 0;
    const int depth = m_lastOpen[size_t(key)];
    const int closer = int(m_closers.size());
    if (depth >= 0 && depth >= scopeDepth(rule)) {
        m_closers.push_back(Closer{line, e.start, e.nameEnd, m_open[size_t(depth)].node});
        popTo(depth, line, e.start, closer);
    } else {
        m_closers.push_back(Closer{line, e.start, e.nameEnd, -1});  // stray: ignored
    }
}

void TagStructure::processLine(int line)
{
    m_lineAt.push_back(LineStart{top(), m_pending});
    QList<TagEvent>& events = m_events;  // (kept: its room is used again line after line)
    events.clear();
    const int end = HtmlTokenizer::tokenize(m_lines.lineText(line), m_lines.startState(line), nullptr, &events);
    m_lines.lineTokenized(line, end);
    for (const TagEvent& e : std::as_const(events)) {
        if (e.start < 0) {
            // The rest of a tag begun on an earlier line.
            if (e.end >= 0) {
                if (e.selfClosing && m_pending >= 0 && m_pending == top())
                    popTo(topDepth(), line, e.end, -1);
                m_pending = -1;
            }
            continue;
        }
        m_pending = -1;
        const int key = keyOf(e.name);
        if (e.closing)
            closingTag(line, e, key);
        else
            openingTag(line, e, key);
    }
}

void TagStructure::advanceTo(int line)
{
    line = std::min(line, m_lines.lineCount());
    if (line > linesDone() && m_busy == 0)
        m_lines.aboutToWorkOut(line);
    const Busy busy(m_busy);
    while (int(m_lineAt.size()) < line)
        processLine(int(m_lineAt.size()));
}

void TagStructure::adopt(TagStructure&& other)
{
    if (m_busy > 0 || other.linesDone() <= linesDone())
        return;
    m_nodes = std::move(other.m_nodes);
    m_closers = std::move(other.m_closers);
    m_lineAt = std::move(other.m_lineAt);
    m_ends = std::move(other.m_ends);
    m_keys = std::move(other.m_keys);
    m_flags = std::move(other.m_flags);
    m_lastOpen = std::move(other.m_lastOpen);
    m_open = std::move(other.m_open);
    m_pending = other.m_pending;
}

void TagStructure::invalidateFrom(int line)
{
    line = std::max(line, 0);
    if (line >= int(m_lineAt.size()))
        return;
    const LineStart at = m_lineAt[size_t(line)];
    m_lineAt.resize(size_t(line));
    // What began on the line and below goes.
    const auto node = std::lower_bound(m_nodes.begin(), m_nodes.end(), line,
                                       [](const Node& n, int l) { return n.line < l; });
    m_nodes.erase(node, m_nodes.end());
    const auto closer = std::lower_bound(m_closers.begin(), m_closers.end(), line,
                                         [](const Closer& c, int l) { return c.line < l; });
    m_closers.erase(closer, m_closers.end());
    const auto end = std::lower_bound(m_ends.begin(), m_ends.end(), line,
                                      [](const Position& p, int l) { return p.line < l; });
    m_ends.erase(end, m_ends.end());
    m_pending = at.pending;
    rebuildOpenIndex(at.top);
}

void TagStructure::rebuildOpenIndex(int topNode)
{
    // The stack as it stood: the open elements from the top down, pushed again
    // from the bottom up.
    std::vector<int> open;
    for (int k = topNode; k >= 0; k = m_nodes[size_t(k)].parent) {
        Node& node = m_nodes[size_t(k)];
        node.end = kOpen;
        open.push_back(k);
    }
    std::fill(m_lastOpen.begin(), m_lastOpen.end(), -1);
    m_open.clear();
    for (auto it = open.rbegin(); it != open.rend(); ++it)
        pushOpen(*it, m_nodes[size_t(*it)].key);
}

int TagStructure::findNode(int line, int start) const
{
    const auto it = std::lower_bound(m_nodes.begin(), m_nodes.end(), std::make_pair(line, start),
                                     [](const Node& n, const std::pair<int, int>& p) {
                                         return std::make_pair(n.line, n.start) < p;
                                     });
    return it != m_nodes.end() && it->line == line && it->start == start ? int(it - m_nodes.begin()) : -1;
}

int TagStructure::findCloser(int line, int start) const
{
    const auto it = std::lower_bound(m_closers.begin(), m_closers.end(), std::make_pair(line, start),
                                     [](const Closer& c, const std::pair<int, int>& p) {
                                         return std::make_pair(c.line, c.start) < p;
                                     });
    return it != m_closers.end() && it->line == line && it->start == start ? int(it - m_closers.begin()) : -1;
}

TagRef TagStructure::refOfNode(int node) const
{
    const Node& n = m_nodes[size_t(node)];
    const QString name = m_lines.lineSlice(n.line, n.start + 1, n.nameEnd - n.start - 1);
    return TagRef{n.line, n.start, n.nameEnd, false, name};
}

TagRef TagStructure::refOfCloser(int closer) const
{
    const Closer& c = m_closers[size_t(closer)];
    const QString name = m_lines.lineSlice(c.line, c.start + 2, c.nameEnd - c.start - 2);
    return TagRef{c.line, c.start, c.nameEnd, true, name};
}

bool TagStructure::openAt(int node, int line, int offset) const
{
    const Node& n = m_nodes[size_t(node)];
    if (n.end == kOpen)
        return true;
    const Position end = endOf(n);
    return std::make_pair(end.line, end.start) > std::make_pair(line, offset);
}

TagStructure::Position TagStructure::endOf(const Node& n) const
{
    if (n.end >= 0) {
        const Closer& c = m_closers[size_t(n.end)];
        return Position{c.line, c.start};
    }
    return m_ends[size_t(endAt(n.end))];
}

std::optional<TagRef> TagStructure::partner(int line, int start, int lastLine)
{
    advanceTo(line + 1);
    if (int node = findNode(line, start); node >= 0) {
        const int end = std::min(lastLine, m_lines.lineCount() - 1);
        // Without a bound, a closing tag not found near is looked for after
        // the source is told how far the pass may have to go.
        const int near = lastLine == INT_MAX ? std::min(end, line + 4096) : end;
        {
            const Busy busy(m_busy);
            while (m_nodes[size_t(node)].end == kOpen && int(m_lineAt.size()) <= near)
                processLine(int(m_lineAt.size()));
        }
        if (m_nodes[size_t(node)].end == kOpen && int(m_lineAt.size()) <= end && m_busy == 0) {
            m_lines.aboutToWorkOut(end + 1);
            node = findNode(line, start);
            if (node < 0)
                return std::nullopt;
            const Busy busy(m_busy);
            while (m_nodes[size_t(node)].end == kOpen && int(m_lineAt.size()) <= end)
                processLine(int(m_lineAt.size()));
        }
        const int closer = m_nodes[size_t(node)].end;
        return closer >= 0 ? std::optional<TagRef>(refOfCloser(closer)) : std::nullopt;
    }
    if (const int closer = findCloser(line, start); closer >= 0 && m_closers[size_t(closer)].node >= 0)
        return refOfNode(m_closers[size_t(closer)].node);
    return std::nullopt;
}

bool TagStructure::undecided(int line, int start) const
{
    const int node = findNode(line, start);
    return node >= 0 && m_nodes[size_t(node)].end == kOpen && linesDone() < m_lines.lineCount();
}

QString TagStructure::innermostOpen(int line, int offset)
{
    advanceTo(line + 1);
    // The last element opened before the position; the stack there is what
    // stood below it once those above were closed.
    auto it = std::lower_bound(m_nodes.begin(), m_nodes.end(), std::make_pair(line, offset),
                               [](const Node& n, const std::pair<int, int>& p) {
                                   return std::make_pair(n.line, n.start) < p;
                               });
    int k = int(it - m_nodes.begin()) - 1;
    while (k >= 0 && !openAt(k, line, offset))
        k = m_nodes[size_t(k)].parent;
    return k < 0 ? QString() : refOfNode(k).name;
}

std::vector<int> TagStructure::openKeysAt(int line)
{
    advanceTo(line + 1);
    std::vector<int> keys;
    if (line >= int(m_lineAt.size()))
        return keys;
    for (int k = m_lineAt[size_t(line)].top; k >= 0; k = m_nodes[size_t(k)].parent) {
        // (those ended on this line by now were open at its start)
        keys.push_back(m_nodes[size_t(k)].key);
    }
    keys.push_back(m_lineAt[size_t(line)].pending >= 0 ? 1 : 0);
    return keys;
}

QList<TagRef> TagStructure::strayClosingTags(int first, int last)
{
    advanceTo(last + 1);
    QList<TagRef> out;
    auto it = std::lower_bound(m_closers.begin(), m_closers.end(), first,
                               [](const Closer& c, int l) { return c.line < l; });
    for (; it != m_closers.end() && it->line <= last; ++it) {
        if (it->node < 0)
            out.append(refOfCloser(int(it - m_closers.begin())));
    }
    return out;
}

// ---------------------------------------------------------------- matcher

namespace TagMatcher {

namespace {

// The structure the lines keep, or one made for this question.
class StructureOf {
public:
    explicit StructureOf(const TagLineSource& lines) : m_kept(lines.structure())
    {
        if (!m_kept)
            m_own = std::make_unique<TagStructure>(lines);
    }
    TagStructure* operator->() { return m_kept ? m_kept : m_own.get(); }

private:
    TagStructure* m_kept;
    std::unique_ptr<TagStructure> m_own;
};

// Lines up to this long are tokenized whole for the tag at an offset.
constexpr qsizetype kWholeLine = 16384;

TagRef refOf(int line, const TagEvent& e)
{
    return TagRef{line, e.start, e.nameEnd, e.closing, e.name};
}

} // namespace

bool isVoidElement(QStringView name)
{
    static const QSet<QString> set{
        QStringLiteral("area"),  QStringLiteral("base"),   QStringLiteral("basefont"), QStringLiteral("bgsound"),
        QStringLiteral("br"),    QStringLiteral("col"),    QStringLiteral("embed"),    QStringLiteral("frame"),
        QStringLiteral("hr"),    QStringLiteral("img"),    QStringLiteral("input"),    QStringLiteral("isindex"),
        QStringLiteral("keygen"), QStringLiteral("link"),  QStringLiteral("meta"),     QStringLiteral("param"),
        QStringLiteral("source"), QStringLiteral("track"), QStringLiteral("wbr"),      QStringLiteral("spacer")};
    return set.contains(name.toString().toLower());
}

std::optional<TagRef> tagAt(const TagLineSource& lines, int line, int offset)
{
    if (line < 0 || line >= lines.lineCount())
        return std::nullopt;
    // A long line is tokenized from a point before the offset outside any
    // tag, a little past it (for the name of a tag begun just before).
    if (const qsizetype length = lines.lineLength(line); length > kWholeLine) {
        const auto [from, state] = lines.resumePoint(line, offset);
        if (from > 0) {
            const qsizetype to = std::min(length, qsizetype(offset) + 1024);
            QList<TagEvent> events;
            HtmlTokenizer::tokenize(lines.lineSlice(line, from, to - from), state, nullptr, &events);
            for (TagEvent& e : events) {
                const int end = e.end < 0 ? INT_MAX : int(from) + e.end;
                if (e.start >= 0 && offset >= from + e.start && offset <= end) {
                    e.start += int(from);
                    e.nameEnd += int(from);
                    return refOf(line, e);
                }
            }
            return std::nullopt;
        }
    }
    QList<TagEvent> events;
    HtmlTokenizer::tokenize(lines.lineText(line), lines.startState(line), nullptr, &events);
    for (const TagEvent& e : std::as_const(events)) {
        const int end = e.end < 0 ? INT_MAX : e.end;
        if (e.start < 0) {
            // The caret is in a tag that began on an earlier line: the last
            // tag begun above.
            if (offset > end)
                continue;
            for (int l = line - 1; l >= 0 && l >= line - 200; --l) {
                QList<TagEvent> above;
                HtmlTokenizer::tokenize(lines.lineText(l), lines.startState(l), nullptr, &above);
                for (qsizetype k = above.size() - 1; k >= 0; --k) {
                    if (above[k].start >= 0)
                        return refOf(l, above[k]);
                }
            }
            return std::nullopt;
        }
        if (offset >= e.start && offset <= end)
            return refOf(line, e);
    }
    return std::nullopt;
}

std::optional<TagRef> partner(const TagLineSource& lines, const TagRef& tag, LineLimit limit)
{
    StructureOf s(lines);
    const std::optional<TagRef> other =
        s->partner(tag.line, tag.start, limit > 0 ? tag.line + limit : INT_MAX);
    if (other && limit > 0 && std::abs(other->line - tag.line) > limit)
        return std::nullopt;
    return other;
}

QString innermostOpen(const TagLineSource& lines, int line, int offset)
{
    StructureOf s(lines);
    return s->innermostOpen(line, offset);
}

bool gotoPartner(EditorContract& editor)
{
    int line = 0, column = 0;
    editor.CaretPosition(line, column);
    const ContractLines own(editor);
    const TagLineSource* kept = editor.tagLines();
    const TagLineSource& lines = kept ? *kept : own;
    const std::optional<TagRef> tag = tagAt(lines, line - 1, column - 1);
    if (!tag)
        return false;
    const std::optional<TagRef> other = partner(lines, *tag);
    if (!other)
        return false;
    editor.MoveCaret(other->line + 1, other->start + 2);
    return true;
}

} // namespace TagMatcher
