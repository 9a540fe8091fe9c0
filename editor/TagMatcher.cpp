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

namespace TagMatcher {

namespace {

QString lower(const QString& s)
{
    return s.toLower();
}

// Elements whose closing tag HTML lets one leave out.
bool hasOptionalEnd(const QString& n)
{
    static const QSet<QString> set{QStringLiteral("p"),     QStringLiteral("li"),    QStringLiteral("dt"),
                                   QStringLiteral("dd"),    QStringLiteral("option"), QStringLiteral("optgroup"),
                                   QStringLiteral("tr"),    QStringLiteral("td"),    QStringLiteral("th"),
                                   QStringLiteral("thead"), QStringLiteral("tbody"), QStringLiteral("tfoot"),
                                   QStringLiteral("colgroup"), QStringLiteral("rt"), QStringLiteral("rp")};
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
        QStringLiteral("header"), QStringLiteral("hr"), QStringLiteral("main"), QStringLiteral("menu"),
        QStringLiteral("nav"), QStringLiteral("ol"), QStringLiteral("p"), QStringLiteral("pre"),
        QStringLiteral("section"), QStringLiteral("table"), QStringLiteral("ul")};
    return set.contains(n);
}

// True when an opening tag "next" ends an open element "open" whose closing
// tag was left out.
bool closesImplicitly(const QString& open, const QString& next)
{
    if (open == QLatin1String("p"))
        return isBlockForP(next);
    if (open == QLatin1String("li"))
        return next == QLatin1String("li");
    if (open == QLatin1String("dt") || open == QLatin1String("dd"))
        return next == QLatin1String("dt") || next == QLatin1String("dd");
    if (open == QLatin1String("option"))
        return next == QLatin1String("option") || next == QLatin1String("optgroup");
    if (open == QLatin1String("optgroup"))
        return next == QLatin1String("optgroup");
    if (open == QLatin1String("tr"))
        return next == QLatin1String("tr") || next == QLatin1String("tbody") || next == QLatin1String("tfoot");
    if (open == QLatin1String("td") || open == QLatin1String("th"))
        return next == QLatin1String("td") || next == QLatin1String("th") || next == QLatin1String("tr")
               || next == QLatin1String("tbody") || next == QLatin1String("tfoot");
    if (open == QLatin1String("thead") || open == QLatin1String("tbody"))
        return next == QLatin1String("tbody") || next == QLatin1String("tfoot");
    if (open == QLatin1String("rt") || open == QLatin1String("rp"))
        return next == QLatin1String("rt") || next == QLatin1String("rp");
    return false;
}

// The tags of the lines, one at a time, forwards or backwards from a line.
class Walker {
public:
    Walker(const TagLineSource& lines, int line, int limit) : m_lines(lines), m_first(line), m_line(line), m_limit(limit) {}

    // Events of the current line.
    const QList<TagEvent>& events()
    {
        if (!m_loaded) {
            m_events.clear();
            Html::HtmlTokenizer::tokenize(m_lines.lineText(m_line), m_lines.startState(m_line), nullptr, &m_events);
            // A tag carried over from an earlier line belongs to that line.
            if (!m_events.isEmpty() && m_events.first().start < 0)
                m_events.removeFirst();
            m_loaded = true;
        }
        return m_events;
    }
    int line() const { return m_line; }
    bool next()
    {
        if (m_line + 1 >= m_lines.lineCount() || (m_limit > 0 && m_line + 1 - m_first > m_limit))
            return false;
        ++m_line;
        m_loaded = false;
        return true;
    }
    bool previous()
    {
        if (m_line == 0 || (m_limit > 0 && m_first - (m_line - 1) > m_limit))
            return false;
        --m_line;
        m_loaded = false;
        return true;
    }

private:
    const TagLineSource& m_lines;
    int m_first;
    int m_line;
    int m_limit;
    bool m_loaded = false;
    QList<TagEvent> m_events;
};

TagRef refOf(int line, const TagEvent& e)
{
    return TagRef{line, e.start, e.nameEnd, e.closing, e.name};
}

// Calls visit(line, event) for every tag after (line, offset) until it
// returns true.
template <typename Visit>
void forwardFrom(const TagLineSource& lines, int line, int offset, int limit, Visit visit)
{
    Walker w(lines, line, limit);
    do {
        for (const TagEvent& e : w.events()) {
            if (w.line() == line && e.start <= offset)
                continue;
            if (visit(w.line(), e))
                return;
        }
    } while (w.next());
}

// Calls visit(line, event) for every tag before (line, offset), nearest first.
template <typename Visit>
void backwardFrom(const TagLineSource& lines, int line, int offset, int limit, Visit visit)
{
    Walker w(lines, line, limit);
    do {
        const QList<TagEvent>& ev = w.events();
        for (qsizetype k = ev.size() - 1; k >= 0; --k) {
            if (w.line() == line && ev[k].start >= offset)
                continue;
            if (visit(w.line(), ev[k]))
                return;
        }
    } while (w.previous());
}

// Walks backwards over complete elements; returns true when the opening tag
// at depth 0 (one that no later closing tag belongs to) is still open.
class BackwardStack {
public:
    // Feeds one tag; true when it is an opening tag left open at depth 0.
    bool feed(const TagEvent& e)
    {
        const QString n = lower(e.name);
        if (e.closing) {
            m_closers.push_back(n);
            return false;
        }
        if (e.selfClosing || isVoidElement(n)) {
            if (m_closers.empty())
                m_later.insert(n);
            return false;
        }
        if (!m_closers.empty()) {
            if (m_closers.back() == n) {
                m_closers.pop_back();
            } else if (!hasOptionalEnd(n)) {
                const auto it = std::find(m_closers.rbegin(), m_closers.rend(), n);
                if (it != m_closers.rend())
                    m_closers.erase(std::next(it).base(), m_closers.end());
            }
            if (m_closers.empty())
                m_later.insert(n);
            return false;
        }
        // Depth 0: open, unless a later sibling ended it.
        if (hasOptionalEnd(n)) {
            for (const QString& later : std::as_const(m_later)) {
                if (closesImplicitly(n, later)) {
                    m_later.insert(n);
                    return false;
                }
            }
        }
        m_later.insert(n);
        return true;
    }

private:
    std::vector<QString> m_closers;
    QSet<QString> m_later;  // elements met at depth 0 after the point reached
};

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
    QList<TagEvent> events;
    HtmlTokenizer::tokenize(lines.lineText(line), lines.startState(line), nullptr, &events);
    for (const TagEvent& e : std::as_const(events)) {
        const int end = e.end < 0 ? INT_MAX : e.end;
        if (e.start < 0) {
            // The caret is in a tag that began on an earlier line.
            if (offset > end)
                continue;
            std::optional<TagRef> found;
            backwardFrom(lines, line, 0, 200, [&](int l, const TagEvent& before) {
                found = refOf(l, before);
                return true;
            });
            return found;
        }
        if (offset >= e.start && offset <= end)
            return refOf(line, e);
    }
    return std::nullopt;
}

std::optional<TagRef> partner(const TagLineSource& lines, const TagRef& tag, LineLimit limit)
{
    const QString name = lower(tag.name);
    std::optional<TagRef> found;
    if (!tag.closing) {
        if (isVoidElement(name))
            return std::nullopt;
        // Is it closed by "/>"?
        bool selfClosed = false;
        {
            QList<TagEvent> events;
            HtmlTokenizer::tokenize(lines.lineText(tag.line), lines.startState(tag.line), nullptr, &events);
            for (const TagEvent& e : std::as_const(events)) {
                if (e.start == tag.start)
                    selfClosed = e.selfClosing;
            }
        }
        if (selfClosed)
            return std::nullopt;
        std::vector<QString> open{name};
        forwardFrom(lines, tag.line, tag.start, limit, [&](int l, const TagEvent& e) {
            const QString n = lower(e.name);
            if (e.closing) {
                const auto it = std::find(open.rbegin(), open.rend(), n);
                if (it == open.rend())
                    return true;  // the parent ends first: no closing tag of ours
                open.erase(std::next(it).base(), open.end());
                if (open.empty()) {
                    found = refOf(l, e);
                    return true;
                }
                return false;
            }
            while (!open.empty() && hasOptionalEnd(open.back()) && closesImplicitly(open.back(), n))
                open.pop_back();
            if (open.empty())
                return true;  // ended by a sibling
            if (!e.selfClosing && !isVoidElement(n))
                open.push_back(n);
            return false;
        });
        return found;
    }
    BackwardStack stack;
    backwardFrom(lines, tag.line, tag.start, limit, [&](int l, const TagEvent& e) {
        if (stack.feed(e)) {
            if (lower(e.name) == name) {
                found = refOf(l, e);
                return true;
            }
            // An element left open inside ours (<b> in <div><b></div>) is passed.
            return false;
        }
        return false;
    });
    return found;
}

QString innermostOpen(const TagLineSource& lines, int line, int offset, LineLimit limit)
{
    QString found;
    BackwardStack stack;
    backwardFrom(lines, line, offset, limit, [&](int, const TagEvent& e) {
        if (stack.feed(e)) {
            found = e.name;
            return true;
        }
        return false;
    });
    return found;
}

bool gotoPartner(EditorContract& editor)
{
    int line = 0, column = 0;
    editor.CaretPosition(line, column);
    const ContractLines lines(editor);
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
