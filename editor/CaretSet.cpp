#include "editor/CaretSet.h"

#include <algorithm>

CaretSet::CaretSet(TextBuffer& buffer) : m_buf(buffer) {}

CaretSet::~CaretSet()
{
    clear();
}

void CaretSet::add(qsizetype anchor, qsizetype caret)
{
    m_marks.emplace_back(m_buf.AddMark(anchor, MarkSide::After), m_buf.AddMark(caret, MarkSide::After));
}

void CaretSet::clear()
{
    for (const auto& [a, c] : m_marks) {
        m_buf.RemoveMark(a);
        m_buf.RemoveMark(c);
    }
    m_marks.clear();
}

std::vector<CaretSel> CaretSet::extras() const
{
    std::vector<CaretSel> out;
    out.reserve(m_marks.size());
    for (const auto& [a, c] : m_marks)
        out.push_back({m_buf.MarkOffset(a), m_buf.MarkOffset(c), false});
    return out;
}

void CaretSet::set(const std::vector<CaretSel>& carets)
{
    size_t k = 0;
    for (const CaretSel& s : carets) {
        if (s.primary)
            continue;
        if (k < m_marks.size()) {
            m_buf.MoveMark(m_marks[k].first, s.anchor);
            m_buf.MoveMark(m_marks[k].second, s.caret);
        } else {
            add(s.anchor, s.caret);
        }
        ++k;
    }
    while (m_marks.size() > k) {
        m_buf.RemoveMark(m_marks.back().first);
        m_buf.RemoveMark(m_marks.back().second);
        m_marks.pop_back();
    }
}

std::vector<CaretSel> CaretSet::normalized(std::vector<CaretSel> carets)
{
    std::stable_sort(carets.begin(), carets.end(),
                     [](const CaretSel& a, const CaretSel& b) { return a.start() < b.start(); });
    std::vector<CaretSel> out;
    for (const CaretSel& s : carets) {
        if (!out.empty()) {
            CaretSel& last = out.back();
            const bool same = s.start() == last.start() && s.end() == last.end();
            // Selections that overlap, or a caret on another: one.
            if (same || s.start() < last.end() || (s.start() == last.end() && (s.start() == s.end() || last.start() == last.end()))) {
                const qsizetype a = std::min(last.start(), s.start()), b = std::max(last.end(), s.end());
                const bool forward = last.caret >= last.anchor;
                last.anchor = forward ? a : b;
                last.caret = forward ? b : a;
                last.primary = last.primary || s.primary;
                continue;
            }
        }
        out.push_back(s);
    }
    return out;
}

std::vector<CaretSel> CaretSet::insert(TextBuffer& b, const std::vector<CaretSel>& carets, const QString& text)
{
    std::vector<TextRange> spans;
    spans.reserve(carets.size());
    for (const CaretSel& s : carets)
        spans.push_back({s.start(), s.end() - s.start()});
    b.ReplaceRanges(spans, text);
    std::vector<CaretSel> out;
    out.reserve(carets.size());
    qsizetype shift = 0;
    for (const CaretSel& s : carets) {
        const qsizetype at = s.start() + shift + text.size();
        out.push_back({at, at, s.primary});
        shift += text.size() - (s.end() - s.start());
    }
    return out;
}

std::vector<CaretSel> CaretSet::insertEach(TextBuffer& b, const std::vector<CaretSel>& carets, const QStringList& texts)
{
    std::vector<CaretSel> out(carets.size());
    b.BeginEditGroup();
    // Last to first: the places before stay where they were.
    for (size_t i = carets.size(); i-- > 0;)
        b.Replace(carets[i].start(), carets[i].end() - carets[i].start(), texts.value(qsizetype(i)));
    b.EndEditGroup();
    qsizetype shift = 0;
    for (size_t i = 0; i < carets.size(); ++i) {
        const CaretSel& s = carets[i];
        const QString t = texts.value(qsizetype(i));
        const qsizetype at = s.start() + shift + t.size();
        out[i] = {at, at, s.primary};
        shift += t.size() - (s.end() - s.start());
    }
    return out;
}

std::vector<CaretSel> CaretSet::erase(TextBuffer& b, const std::vector<CaretSel>& carets, bool backward)
{
    const TextSnapshot& t = b.Text();
    QList<TextRange> ranges;
    std::vector<TextRange> spans;  // per caret, possibly empty
    for (const CaretSel& s : carets) {
        qsizetype from = s.start(), to = s.end();
        if (from == to) {
            if (backward && from > 0) {
                from -= (from > 1 && t.CharAt(from - 1).isLowSurrogate() && t.CharAt(from - 2).isHighSurrogate()) ? 2 : 1;
            } else if (!backward && to < t.Length()) {
                to += (t.CharAt(to).isHighSurrogate() && t.CharAt(to + 1).isLowSurrogate()) ? 2 : 1;
            }
        }
        // Never into the range of the caret before.
        if (!spans.empty())
            from = std::max(from, spans.back().start + spans.back().length);
        to = std::max(to, from);
        spans.push_back({from, to - from});
        if (to > from)
            ranges.append({from, to - from});
    }
    if (!ranges.isEmpty())
        b.DeleteRanges(ranges, true);
    std::vector<CaretSel> out;
    qsizetype removed = 0;
    for (size_t i = 0; i < carets.size(); ++i) {
        const qsizetype at = spans[i].start - removed;
        out.push_back({at, at, carets[i].primary});
        removed += spans[i].length;
    }
    return normalized(out);
}

std::vector<CaretSel> CaretSet::move(const std::vector<CaretSel>& carets, const std::function<qsizetype(qsizetype)>& to,
                                     bool keepAnchor)
{
    std::vector<CaretSel> out;
    out.reserve(carets.size());
    for (const CaretSel& s : carets) {
        const qsizetype c = to(s.caret);
        out.push_back({keepAnchor ? s.anchor : c, c, s.primary});
    }
    return normalized(out);
}

QStringList CaretSet::texts(const TextSnapshot& t, const std::vector<CaretSel>& carets)
{
    QStringList out;
    for (const CaretSel& s : carets)
        out << t.Text(s.start(), s.end() - s.start());
    return out;
}
