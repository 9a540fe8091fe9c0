#include "editor/SearchMarks.h"

#include "editor/TextSearch.h"

#include <algorithm>

// ---------------------------------------------------------------- TextFinder

TextFinder::TextFinder(const QString& text, int flags)
    : m_text(text), m_flags(flags & (SearchFlags::MatchCase | SearchFlags::WholeWord | SearchFlags::RegExp))
{
    if (isRegExp() && !text.isEmpty()) {
        QRegularExpression::PatternOptions options = QRegularExpression::UseUnicodePropertiesOption;
        if (!(m_flags & SearchFlags::MatchCase))
            options |= QRegularExpression::CaseInsensitiveOption;
        m_re = QRegularExpression(text, options);
        m_re.optimize();
    }
}

bool TextFinder::isValid() const
{
    if (m_text.isEmpty() || m_text.size() > EditorContract::MaxSearchLength)
        return false;
    return !isRegExp() || m_re.isValid();
}

QString TextFinder::errorString() const
{
    if (!isRegExp() || m_text.isEmpty() || m_re.isValid())
        return QString();
    return QStringLiteral("The regular expression is not valid: %1 (at character %2).")
        .arg(m_re.errorString(), QString::number(m_re.patternErrorOffset() + 1));
}

bool TextFinder::acceptable(QStringView line, qsizetype pos, qsizetype length) const
{
    return length > 0 && (!(m_flags & SearchFlags::WholeWord) || TextSearch::isWholeWord(line, pos, length));
}

template <class F>
void TextFinder::forEachLine(const TextSnapshot& t, qsizetype lo, qsizetype hi, F&& f)
{
    const qsizetype start = t.LineStart(t.LineOfOffset(lo));
    const qsizetype end = t.LineEndOffset(t.LineOfOffset(hi));
    TextSnapshot::ChunkReader reader(t, start, end);
    QString pending;
    qsizetype lineStart = start;
    QStringView c;
    qsizetype chunkStart = 0;
    while (reader.Next(&c, &chunkStart)) {
        qsizetype i = 0;
        while (i < c.size()) {
            const qsizetype nl = c.indexOf(QLatin1Char('\n'), i);
            if (nl < 0) {
                pending.append(c.mid(i));
                break;
            }
            bool go;
            if (pending.isEmpty()) {
                go = f(lineStart, c.mid(i, nl - i));
            } else {
                pending.append(c.mid(i, nl - i));
                go = f(lineStart, QStringView(pending));
                pending.clear();
            }
            if (!go)
                return;
            lineStart = chunkStart + nl + 1;
            i = nl + 1;
        }
    }
    f(lineStart, QStringView(pending));
}

TextRange TextFinder::find(const TextSnapshot& t, qsizetype from, bool backward, qsizetype lo, qsizetype hi) const
{
    TextRange none{-1, 0};
    if (!isValid())
        return none;
    lo = std::max<qsizetype>(lo, 0);
    hi = hi < 0 ? t.Length() : std::min(hi, t.Length());
    if (!isRegExp())
        return t.Find(m_text, m_flags | (backward ? SearchFlags::Backward : 0), from, lo, hi);
    if (!backward) {
        from = std::max(from, lo);
        if (from > hi)
            return none;
        const qsizetype first = t.LineOfOffset(from), last = t.LineOfOffset(hi);
        for (qsizetype l = first; l <= last; ++l) {
            const qsizetype ls = t.LineStart(l);
            const QString s = t.LineText(l);
            for (qsizetype p = l == first ? from - ls : 0; p <= s.size();) {
                const QRegularExpressionMatch m = m_re.match(s, p);
                if (!m.hasMatch())
                    break;
                const qsizetype a = m.capturedStart(), n = m.capturedLength();
                if (ls + a + n > hi)
                    return none;
                if (acceptable(s, a, n))
                    return {ls + a, n};
                p = a + 1;
            }
        }
        return none;
    }
    const qsizetype end = std::min(from, hi);
    if (end < lo)
        return none;
    const qsizetype first = t.LineOfOffset(end), last = t.LineOfOffset(lo);
    for (qsizetype l = first; l >= last; --l) {
        const qsizetype ls = t.LineStart(l);
        const QString s = t.LineText(l);
        TextRange best = none;
        for (qsizetype p = std::max<qsizetype>(0, lo - ls); p <= s.size();) {
            const QRegularExpressionMatch m = m_re.match(s, p);
            if (!m.hasMatch())
                break;
            const qsizetype a = m.capturedStart(), n = m.capturedLength();
            if (ls + a + n > end)
                break;
            if (acceptable(s, a, n)) {
                best = {ls + a, n};
                p = a + n;
            } else {
                p = a + 1;
            }
        }
        if (best.start >= 0)
            return best;
    }
    return none;
}

std::vector<TextRange> TextFinder::findAll(const TextSnapshot& t, qsizetype lo, qsizetype hi) const
{
    std::vector<TextRange> out;
    if (!isValid())
        return out;
    lo = std::max<qsizetype>(lo, 0);
    hi = hi < 0 ? t.Length() : std::min(hi, t.Length());
    if (lo > hi)
        return out;
    if (!isRegExp()) {
        const qsizetype m = m_text.size();
        for (qsizetype at : t.FindAll(m_text, m_flags, lo, hi))
            out.push_back({at, m});
        return out;
    }
    forEachLine(t, lo, hi, [&](qsizetype ls, QStringView s) {
        for (qsizetype p = std::max<qsizetype>(0, lo - ls); p <= s.size();) {
            const QRegularExpressionMatch m = m_re.match(s, p);
            if (!m.hasMatch())
                break;
            const qsizetype a = m.capturedStart(), n = m.capturedLength();
            if (ls + a + n > hi)
                return false;
            if (acceptable(s, a, n)) {
                out.push_back({ls + a, n});
                p = a + n;
            } else {
                p = a + 1;
            }
        }
        return ls + s.size() < hi;
    });
    return out;
}

QRegularExpressionMatch TextFinder::matchAt(const TextSnapshot& t, TextRange r) const
{
    const qsizetype l = t.LineOfOffset(r.start);
    const qsizetype ls = t.LineStart(l);
    return m_re.match(t.LineText(l), r.start - ls, QRegularExpression::NormalMatch,
                      QRegularExpression::AnchorAtOffsetMatchOption);
}

bool TextFinder::isMatch(const TextSnapshot& t, TextRange r) const
{
    if (!isValid() || r.start < 0 || r.length <= 0 || r.start + r.length > t.Length())
        return false;
    if (!isRegExp()) {
        if (r.length != m_text.size())
            return false;
        const Qt::CaseSensitivity cs = m_flags & SearchFlags::MatchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
        if (t.Text(r.start, r.length).compare(m_text, cs) != 0)
            return false;
        return !(m_flags & SearchFlags::WholeWord)
            || ((r.start == 0 || !TextSearch::isWordChar(t.CharAt(r.start - 1)))
                && !TextSearch::isWordChar(t.CharAt(r.start + r.length)));
    }
    const qsizetype line = t.LineOfOffset(r.start);
    const qsizetype ls = t.LineStart(line);
    const QString s = t.LineText(line);
    const QRegularExpressionMatch m = m_re.match(s, r.start - ls, QRegularExpression::NormalMatch,
                                                 QRegularExpression::AnchorAtOffsetMatchOption);
    return m.hasMatch() && m.capturedLength() == r.length && acceptable(s, r.start - ls, r.length);
}

QString TextFinder::replacementFor(const TextSnapshot& t, TextRange r, const QString& replacement) const
{
    if (!isRegExp())
        return replacement;
    const QRegularExpressionMatch m = matchAt(t, r);
    return m.hasMatch() ? expandReplacement(replacement, m) : replacement;
}

QString TextFinder::expandReplacement(const QString& replacement, const QRegularExpressionMatch& match)
{
    QString out;
    out.reserve(replacement.size());
    for (qsizetype i = 0; i < replacement.size(); ++i) {
        const QChar c = replacement.at(i);
        const QChar next = i + 1 < replacement.size() ? replacement.at(i + 1) : QChar();
        if ((c == QLatin1Char('\\') || c == QLatin1Char('$')) && next.isDigit()) {
            const int group = next.digitValue();
            if (group <= match.lastCapturedIndex())
                out += match.captured(group);
            ++i;
        } else if (c == QLatin1Char('\\') && next == QLatin1Char('n')) {
            out += QLatin1Char('\n');
            ++i;
        } else if (c == QLatin1Char('\\') && next == QLatin1Char('t')) {
            out += QLatin1Char('\t');
            ++i;
        } else if ((c == QLatin1Char('\\') || c == QLatin1Char('$')) && next == c) {
            out += c;
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

// ---------------------------------------------------------------- SearchMarks

SearchMarks::SearchMarks(TextBuffer& buffer) : m_buf(buffer)
{
    m_buf.AddListener(this);
}

SearchMarks::~SearchMarks()
{
    clearScope();
    m_buf.RemoveListener(this);
}

void SearchMarks::setSearch(const QString& text, int flags)
{
    const TextFinder finder(text, flags);
    if (finder.text() == m_finder.text() && finder.flags() == m_finder.flags() && !m_stale)
        return;
    m_finder = finder;
    m_stale = true;
}

void SearchMarks::clear()
{
    m_finder = TextFinder(QString(), 0);
    m_matches.clear();
    m_stale = false;
}

void SearchMarks::setScope(qsizetype from, qsizetype to)
{
    if (from > to)
        std::swap(from, to);
    if (m_scopeFrom < 0) {
        // Text typed at either edge of the scope goes inside it.
        m_scopeFrom = m_buf.AddMark(from, MarkSide::Before);
        m_scopeTo = m_buf.AddMark(to, MarkSide::After);
    } else {
        m_buf.MoveMark(m_scopeFrom, from);
        m_buf.MoveMark(m_scopeTo, to);
    }
    m_stale = true;
}

void SearchMarks::clearScope()
{
    if (m_scopeFrom < 0)
        return;
    m_buf.RemoveMark(m_scopeFrom);
    m_buf.RemoveMark(m_scopeTo);
    m_scopeFrom = m_scopeTo = -1;
    m_stale = true;
}

std::pair<qsizetype, qsizetype> SearchMarks::scope() const
{
    if (m_scopeFrom < 0)
        return {0, m_buf.Length()};
    return {m_buf.MarkOffset(m_scopeFrom), m_buf.MarkOffset(m_scopeTo)};
}

void SearchMarks::recompute() const
{
    m_stale = false;
    const auto [lo, hi] = scope();
    m_matches = m_finder.findAll(m_buf.Text(), lo, hi);
}

const std::vector<TextRange>& SearchMarks::matches() const
{
    if (m_stale)
        recompute();
    return m_matches;
}

int SearchMarks::numberOf(TextRange r) const
{
    const std::vector<TextRange>& all = matches();
    const auto it = std::lower_bound(all.begin(), all.end(), r.start,
                                     [](const TextRange& m, qsizetype s) { return m.start < s; });
    if (it == all.end() || it->start != r.start || it->length != r.length)
        return 0;
    return int(it - all.begin()) + 1;
}

std::pair<size_t, size_t> SearchMarks::overlapping(qsizetype from, qsizetype to) const
{
    const std::vector<TextRange>& all = matches();
    const auto a = std::partition_point(all.begin(), all.end(),
                                        [from](const TextRange& m) { return m.start + m.length <= from; });
    const auto b = std::partition_point(a, all.end(), [to](const TextRange& m) { return m.start < to; });
    return {size_t(a - all.begin()), size_t(b - all.begin())};
}

void SearchMarks::TextChanged(const TextBuffer& buffer, const TextChange& c)
{
    if (!m_finder.isValid() || m_stale)
        return;
    // A search that may run over line ends: all again when next asked.
    if (m_finder.spansLines()) {
        m_stale = true;
        return;
    }
    const TextSnapshot& t = buffer.Text();
    const qsizetype delta = c.inserted - c.removed;
    // The changed lines, before and after the change.
    const qsizetype a = t.LineStart(c.firstLine);
    const qsizetype newB = t.LineEndOffset(c.firstLine + c.linesAdded);
    const qsizetype oldB = newB - delta;
    auto first = std::partition_point(m_matches.begin(), m_matches.end(),
                                      [a](const TextRange& m) { return m.start < a; });
    auto last = std::partition_point(first, m_matches.end(), [oldB](const TextRange& m) { return m.start <= oldB; });
    for (auto it = last; it != m_matches.end(); ++it)
        it->start += delta;
    const auto [lo, hi] = scope();
    std::vector<TextRange> fresh = m_finder.findAll(t, std::max(a, lo), std::min(newB, hi));
    const qsizetype at = first - m_matches.begin();
    m_matches.erase(first, last);
    m_matches.insert(m_matches.begin() + at, fresh.begin(), fresh.end());
}
