#include "editor/TextBuffer.h"

#include "editor/TextSearch.h"

#include <algorithm>
#include <numeric>

using namespace TextStore;

namespace {
// Characters of one append block: short insertions are copied here.
constexpr qsizetype kAppendBlock = 16384;
}

TextBuffer::TextBuffer()
{
    TextStoreAccess::setLineEnds(m_text, m_format.lineEnd, TextSnapshot::NoLineEnd);
}

TextBuffer::~TextBuffer() = default;

TextSnapshot TextBuffer::Prepare(const DecodedText& decoded)
{
    const TextFileFormat& f = decoded.format;
    const QByteArray styles = f.mixedLineEnds ? decoded.lineEnds : QByteArray();
    int finalEnd = TextSnapshot::NoLineEnd;
    if (f.finalLineEnd)
        finalEnd = styles.isEmpty() ? int(f.lineEnd) : int(styles.back());
    TextSnapshot fresh;
    TextStoreAccess::assign(fresh, adoptText(decoded.text, styles, f.lineEnd));
    TextStoreAccess::setLineEnds(fresh, f.lineEnd, finalEnd);
    return fresh;
}

void TextBuffer::Load(const DecodedText& decoded)
{
    Load(Prepare(decoded), decoded.format);
}

void TextBuffer::Load(TextSnapshot fresh, const TextFileFormat& f)
{
    const bool wasModified = Modified();
    TextChange change{0, m_text.Length(), fresh.Length(), 0, m_text.LineCount() - 1, fresh.LineCount() - 1};
    m_text = std::move(fresh);
    m_format = f;
    m_append.reset();
    m_steps.clear();
    m_undoPos = m_cleanPos = 0;
    m_groupDepth = 0;
    m_groupHasStep = false;
    for (Mark& m : m_marks)
        m.offset = 0;
    notify(change);
    if (wasModified)
        for (TextBufferListener* l : m_listeners)
            l->ModifiedChanged(*this, false);
}

void TextBuffer::SetText(const QString& text, const TextFileFormat& format)
{
    DecodedText d;
    d.text = text;
    d.format = format;
    d.format.mixedLineEnds = false;
    Load(d);
}

void TextBuffer::SetFormat(const TextFileFormat& format)
{
    m_format = format;
    SetDefaultLineEnd(format.lineEnd);
}

void TextBuffer::SetDefaultLineEnd(TextFileFormat::LineEnd style)
{
    // An empty text's final line end is the style new text takes.
    const int finalEnd = m_text.Length() == 0 && m_text.FinalLineEnd() != TextSnapshot::NoLineEnd
                             ? int(style)
                             : m_text.FinalLineEnd();
    m_format.lineEnd = style;
    TextStoreAccess::setLineEnds(m_text, style, finalEnd);
}

Block* TextBuffer::appendBlock(qsizetype room)
{
    Block* b = m_append.get();
    if (!b || b->used + room > b->size || b->style != m_text.DefaultLineEnd()) {
        b = new Block;
        b->own.reset(new char16_t[size_t(kAppendBlock)]);
        b->data = b->own.get();
        b->size = kAppendBlock;
        b->style = quint8(m_text.DefaultLineEnd());
        m_append = Ref<Block>(b);
    }
    return b;
}

TextBuffer::Pieces TextBuffer::piecesFor(const QString& text)
{
    if (text.isEmpty())
        return {};
    if (text.size() > kMaxScanPiece)
        return adoptText(text, QByteArray(), m_text.DefaultLineEnd());
    Block* b = appendBlock(text.size());
    std::copy_n(reinterpret_cast<const char16_t*>(text.constData()), text.size(), b->own.get() + b->used);
    Pieces out{makePiece(m_append, b->used, text.size())};
    b->used += text.size();
    return out;
}

qsizetype TextBuffer::MapOffset(qsizetype m, MarkSide side, qsizetype o, qsizetype removed, qsizetype inserted)
{
    if (m < o)
        return m;
    if (m > o + removed)
        return m - removed + inserted;
    // At or inside the replaced stretch: before the new text or after it, by side.
    return side == MarkSide::Before ? o : o + inserted;
}

TextChange TextBuffer::changeFor(qsizetype offset, qsizetype removed, const Pieces& put) const
{
    TextChange c;
    c.offset = offset;
    c.removed = removed;
    c.firstLine = m_text.LineOfOffset(offset);
    c.linesRemoved = removed ? m_text.LineOfOffset(offset + removed) - c.firstLine : 0;
    for (const Piece& p : put) {
        c.inserted += p.length;
        c.linesAdded += p.breaks;
    }
    return c;
}

void TextBuffer::Replace(qsizetype offset, qsizetype length, const QString& text, EditKind kind)
{
    offset = std::clamp<qsizetype>(offset, 0, Length());
    length = std::clamp<qsizetype>(length, 0, Length() - offset);
    if (length == 0 && text.isEmpty())
        return;
    Record r;
    r.offset = offset;
    r.take = length;
    r.put = piecesFor(text);
    r.typing = kind == EditKind::Typing;
    apply(r, true, kind);
}

void TextBuffer::Insert(qsizetype offset, const QString& text, EditKind kind)
{
    Replace(offset, 0, text, kind);
}

void TextBuffer::Remove(qsizetype offset, qsizetype length, EditKind kind)
{
    Replace(offset, length, QString(), kind);
}

void TextBuffer::apply(Record& r, bool record, EditKind kind)
{
    const TextChange change = changeFor(r.offset, r.take, r.put);
    Pieces taken;
    TextStoreAccess::edit(m_text, r.offset, r.offset + r.take, r.put, &taken);
    r.take = change.inserted;
    r.put = std::move(taken);
    for (Mark& m : m_marks)
        if (m.used)
            m.offset = MapOffset(m.offset, m.side, change.offset, change.removed, change.inserted);
    if (record) {
        r.typing = kind == EditKind::Typing;
        if (!merge(r, change.removed))
            push(std::move(r));
    }
    notify(change);
}

bool TextBuffer::merge(const Record& r, qsizetype removed)
{
    if (m_steps.empty() || m_undoPos != int(m_steps.size()))
        return false;
    const bool inGroup = m_groupDepth > 0;
    if (inGroup && !m_groupHasStep)
        return false;
    Step& s = m_steps.back();
    Record& top = s.records.back();
    if (top.bulk)
        return false;
    if (!inGroup && (s.group || s.records.size() != 1 || !r.typing || !top.typing || m_undoPos == m_cleanPos))
        return false;
    const qsizetype o = r.offset;
    if (r.take > 0) {
        if (top.take == 0 || o != top.offset + top.take)
            return false;
        if (!inGroup && TextSearch::isWordChar(m_text.CharAt(o)) && !TextSearch::isWordChar(m_text.CharAt(o - 1)))
            return false;
        top.take += r.take;
        top.put.insert(top.put.end(), r.put.begin(), r.put.end());
        return true;
    }
    if (top.take != 0)
        return false;
    if (o + removed == top.offset) {
        top.offset = o;
        top.put.insert(top.put.begin(), r.put.begin(), r.put.end());
        return true;
    }
    if (o == top.offset) {
        top.put.insert(top.put.end(), r.put.begin(), r.put.end());
        return true;
    }
    return false;
}

void TextBuffer::truncateRedo()
{
    if (m_undoPos < int(m_steps.size())) {
        m_steps.erase(m_steps.begin() + m_undoPos, m_steps.end());
        if (m_cleanPos > m_undoPos)
            m_cleanPos = -1;
    }
}

void TextBuffer::push(Record r)
{
    if (m_groupDepth > 0 && m_groupHasStep) {
        m_steps.back().records.push_back(std::move(r));
        return;
    }
    truncateRedo();
    Step s;
    s.group = m_groupDepth > 0;
    s.records.push_back(std::move(r));
    m_steps.push_back(std::move(s));
    m_groupHasStep = m_groupDepth > 0;
    setUndoPos(m_undoPos + 1);
}

void TextBuffer::setUndoPos(int pos)
{
    const bool was = Modified();
    m_undoPos = pos;
    if (was != Modified())
        for (TextBufferListener* l : m_listeners)
            l->ModifiedChanged(*this, !was);
}

void TextBuffer::notify(const TextChange& change)
{
    ++m_revision;
    for (TextBufferListener* l : m_listeners)
        l->TextChanged(*this, change);
}

void TextBuffer::BeginEditGroup()
{
    if (m_groupDepth++ == 0)
        m_groupHasStep = false;
}

void TextBuffer::EndEditGroup()
{
    if (m_groupDepth > 0 && --m_groupDepth == 0)
        m_groupHasStep = false;
}

bool TextBuffer::Undo()
{
    m_groupDepth = 0;
    m_groupHasStep = false;
    if (m_undoPos == 0)
        return false;
    Step& s = m_steps[size_t(m_undoPos - 1)];
    for (auto it = s.records.rbegin(); it != s.records.rend(); ++it) {
        if (it->bulk)
            applyBulk(*it);
        else
            apply(*it, false, EditKind::Plain);
    }
    setUndoPos(m_undoPos - 1);
    return true;
}

bool TextBuffer::Redo()
{
    m_groupDepth = 0;
    m_groupHasStep = false;
    if (m_undoPos >= int(m_steps.size()))
        return false;
    for (Record& r : m_steps[size_t(m_undoPos)].records) {
        if (r.bulk)
            applyBulk(r);
        else
            apply(r, false, EditKind::Plain);
    }
    setUndoPos(m_undoPos + 1);
    return true;
}

void TextBuffer::ClearHistory()
{
    const bool modified = Modified();
    m_steps.clear();
    m_undoPos = 0;
    m_cleanPos = modified ? -1 : 0;
    m_groupHasStep = false;
}

void TextBuffer::SetModified(bool modified)
{
    const bool was = Modified();
    if (!modified)
        m_cleanPos = m_undoPos;
    else if (!was)
        m_cleanPos = -1;
    if (was != Modified())
        for (TextBufferListener* l : m_listeners)
            l->ModifiedChanged(*this, modified);
}

void TextBuffer::applyBulk(Record& r)
{
    const std::vector<BulkEdit>& e = r.edits;
    // No places: only the final line end's style changes.
    const qsizetype first = e.empty() ? 0 : e.front().offset;
    const qsizetype oldEnd = e.empty() ? 0 : e.back().offset + e.back().removed;
    qsizetype delta = 0;
    for (const BulkEdit& x : e)
        delta += x.inserted - x.removed;
    TextChange change;
    change.offset = first;
    change.removed = oldEnd - first;
    change.inserted = change.removed + delta;
    change.firstLine = m_text.LineOfOffset(first);
    change.linesRemoved = m_text.LineOfOffset(oldEnd) - change.firstLine;

    const int defaultEnd = m_text.DefaultLineEnd();
    int finalEnd = m_text.FinalLineEnd();
    if (r.finalEnd != keepFinal)
        std::swap(finalEnd, r.finalEnd);  // the record keeps the style to go back to
    std::swap(m_text, r.other);
    TextStoreAccess::setLineEnds(m_text, defaultEnd, finalEnd);
    change.linesAdded = m_text.LineOfOffset(first + change.inserted) - change.firstLine;

    // Marks, in offset order, through the edits in one pass.
    std::vector<size_t> order;
    for (size_t i = 0; i < m_marks.size(); ++i)
        if (m_marks[i].used)
            order.push_back(i);
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return m_marks[a].offset < m_marks[b].offset; });
    size_t idx = 0;
    qsizetype shift = 0;
    for (size_t mi : order) {
        Mark& m = m_marks[mi];
        while (idx < e.size() && e[idx].offset + e[idx].removed < m.offset) {
            shift += e[idx].inserted - e[idx].removed;
            ++idx;
        }
        qsizetype at = m.offset + shift, d = shift;
        for (size_t j = idx; j < e.size(); ++j) {
            const qsizetype o = e[j].offset + d;
            if (at < o)
                break;
            at = MapOffset(at, m.side, o, e[j].removed, e[j].inserted);
            d += e[j].inserted - e[j].removed;
        }
        m.offset = at;
    }
    // The record turns into its inverse.
    qsizetype d = 0;
    for (BulkEdit& x : r.edits) {
        const qsizetype grow = x.inserted - x.removed;
        x = {x.offset + d, x.inserted, x.removed};
        d += grow;
    }
    notify(change);
}

void TextBuffer::bulkReplace(const std::vector<TextRange>& spans, const QStringList& replacements, bool oneStep,
                             int finalEnd)
{
    if (spans.empty() && (finalEnd == keepFinal || finalEnd == m_text.FinalLineEnd()))
        return;
    const bool same = replacements.size() != qsizetype(spans.size());
    Pieces rep = piecesFor(replacements.value(0));
    Pieces all;
    TextStoreAccess::pieces(m_text, all);
    Pieces out;
    out.reserve(all.size() + spans.size() * (rep.size() + 2));
    std::vector<Pieces> removed(oneStep ? 0 : spans.size());
    size_t pi = 0;
    qsizetype pieceStart = 0, cur = 0;
    auto take = [&](qsizetype to, Pieces* dst) {
        while (cur < to) {
            const Piece& p = all[pi];
            const qsizetype pieceEnd = pieceStart + p.length;
            const qsizetype a = cur - pieceStart, b = std::min(to, pieceEnd) - pieceStart;
            if (dst)
                dst->push_back(a == 0 && b == p.length ? p : slicePiece(p, a, b - a));
            cur = pieceStart + b;
            if (cur == pieceEnd) {
                pieceStart = pieceEnd;
                ++pi;
            }
        }
    };
    Record bulk;
    bulk.bulk = true;
    bulk.finalEnd = finalEnd;
    bulk.edits.reserve(spans.size());
    for (size_t k = 0; k < spans.size(); ++k) {
        const TextRange& s = spans[k];
        take(s.start, &out);
        take(s.start + s.length, oneStep ? nullptr : &removed[k]);
        if (!same && k > 0)
            rep = piecesFor(replacements.at(qsizetype(k)));
        out.insert(out.end(), rep.begin(), rep.end());
        bulk.edits.push_back({s.start, s.length, replacements.at(same ? 0 : qsizetype(k)).size()});
    }
    take(m_text.Length(), &out);

    TextSnapshot before = m_text;
    bulk.other = before;
    TextStoreAccess::assign(m_text, std::move(out));
    TextStoreAccess::setLineEnds(m_text, before.DefaultLineEnd(), finalEnd == keepFinal ? before.FinalLineEnd() : finalEnd);
    // Apply the marks and tell the listeners as an undo would, then keep the
    // record: swapping twice puts the new text back.
    std::swap(m_text, bulk.other);
    applyBulk(bulk);  // now m_text is the new text and bulk the inverse

    if (oneStep) {
        push(std::move(bulk));
        return;
    }
    // One step per range, first to last, each at its offset after the ones before.
    qsizetype d = 0;
    for (size_t k = 0; k < spans.size(); ++k) {
        const qsizetype inserted = replacements.at(same ? 0 : qsizetype(k)).size();
        Record r;
        r.offset = spans[k].start + d;
        r.take = inserted;
        r.put = std::move(removed[k]);
        d += inserted - spans[k].length;
        push(std::move(r));
    }
}

int TextBuffer::ReplaceAll(const QString& needle, const QString& replacement, int flags, qsizetype lo, qsizetype hi)
{
    const std::vector<qsizetype> starts = m_text.FindAll(needle, flags, lo, hi);
    std::vector<TextRange> spans;
    spans.reserve(starts.size());
    for (qsizetype s : starts)
        spans.push_back({s, needle.size()});
    bulkReplace(spans, {replacement}, true);
    return int(spans.size());
}

void TextBuffer::DeleteRanges(const QList<TextRange>& ranges, bool oneStep)
{
    std::vector<TextRange> spans;
    qsizetype end = 0;
    for (const TextRange& r : ranges) {
        const qsizetype a = std::max(r.start, end), b = std::min(r.start + r.length, Length());
        if (b > a) {
            spans.push_back({a, b - a});
            end = b;
        }
    }
    bulkReplace(spans, {QString()}, oneStep);
}

void TextBuffer::ConvertLineEnds(TextFileFormat::LineEnd style)
{
    SetDefaultLineEnd(style);
    std::vector<TextRange> spans;
    for (qsizetype s : m_text.FindAll(QStringLiteral("\n"), SearchFlags::MatchCase, 0, Length()))
        spans.push_back({s, 1});
    const int finalEnd = m_text.FinalLineEnd() == TextSnapshot::NoLineEnd ? TextSnapshot::NoLineEnd : int(style);
    bulkReplace(spans, {QStringLiteral("\n")}, true, finalEnd);
}

void TextBuffer::ReplaceRanges(const QList<TextRange>& ranges, const QStringList& texts, bool oneStep)
{
    Q_ASSERT(ranges.size() == texts.size());
    std::vector<TextRange> spans;
    QStringList reps;
    qsizetype end = 0;
    for (qsizetype i = 0; i < ranges.size() && i < texts.size(); ++i) {
        const qsizetype a = std::max(ranges[i].start, end), b = std::min(ranges[i].start + ranges[i].length, Length());
        if (b >= a && a <= Length() && (b > a || !texts[i].isEmpty())) {
            spans.push_back({a, b - a});
            reps << texts[i];
            end = b;
        }
    }
    bulkReplace(spans, reps, oneStep);
}

void TextBuffer::ReplaceRanges(const std::vector<TextRange>& ranges, const QString& text)
{
    std::vector<TextRange> spans;
    qsizetype end = 0;
    for (const TextRange& r : ranges) {
        const qsizetype a = std::clamp<qsizetype>(r.start, end, Length());
        const qsizetype b = std::clamp<qsizetype>(r.start + r.length, a, Length());
        if (!spans.empty() && a == spans.back().start + spans.back().length && b == a && text.isEmpty())
            continue;
        spans.push_back({a, b - a});
        end = b;
    }
    if (text.isEmpty()) {
        spans.erase(std::remove_if(spans.begin(), spans.end(), [](const TextRange& r) { return r.length == 0; }),
                    spans.end());
    }
    bulkReplace(spans, {text}, true);
}

int TextBuffer::AddMark(qsizetype offset, MarkSide side)
{
    // Every slot before m_freeFrom is in use: many marks are added in linear time.
    size_t i = m_freeFrom;
    while (i < m_marks.size() && m_marks[i].used)
        ++i;
    m_freeFrom = i + 1;
    if (i == m_marks.size())
        m_marks.emplace_back();
    m_marks[i] = {std::clamp<qsizetype>(offset, 0, Length()), side, true};
    return int(i);
}

void TextBuffer::MoveMark(int mark, qsizetype offset)
{
    m_marks[size_t(mark)].offset = std::clamp<qsizetype>(offset, 0, Length());
}

void TextBuffer::RemoveMark(int mark)
{
    m_marks[size_t(mark)].used = false;
    m_freeFrom = std::min(m_freeFrom, size_t(mark));
}

void TextBuffer::AddListener(TextBufferListener* listener)
{
    m_listeners.push_back(listener);
}

void TextBuffer::RemoveListener(TextBufferListener* listener)
{
    m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
}
