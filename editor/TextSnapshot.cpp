#include "editor/TextSnapshot.h"

#include "editor/TextSearch.h"

#include <QStringMatcher>

#include <algorithm>
#include <unordered_set>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace TextStore {

void destroy(Node* n)
{
    if (n->leaf)
        delete static_cast<Leaf*>(n);
    else
        delete static_cast<Inner*>(n);
}

void destroy(Block* b) { delete b; }

// The root of every empty text: shared, so never changed in place.
static Node* emptyLeaf()
{
    static Node* const leaf = [] {
        auto* l = new Leaf;
        l->ref = 1;  // held for good
        return l;
    }();
    return leaf;
}


qsizetype countNewlines(const char16_t* p, qsizetype n)
{
    qsizetype c = 0, i = 0;
#ifdef __SSE2__
    const __m128i nl = _mm_set1_epi16('\n');
    for (; i + 8 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        c += __builtin_popcount(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(v, nl))));
    }
    c /= 2;  // two mask bits per character
#endif
    for (; i < n; ++i)
        c += p[i] == u'\n';
    return c;
}

static void collectNewlines(const char16_t* p, qsizetype n, std::vector<quint32>& out)
{
    qsizetype i = 0;
#ifdef __SSE2__
    const __m128i nl = _mm_set1_epi16('\n');
    for (; i + 8 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        unsigned m = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi16(v, nl)));
        while (m) {
            const int bit = __builtin_ctz(m);
            out.push_back(quint32(i + bit / 2));
            m &= ~(3u << bit);
        }
    }
#endif
    for (; i < n; ++i)
        if (p[i] == u'\n')
            out.push_back(quint32(i));
}

// Blocks stay below this size so their offsets fit 32 bits with room to spare.
constexpr qsizetype kMaxBlock = qsizetype(1) << 30;

std::vector<Piece> adoptText(const QString& text, const QByteArray& styles, int uniformStyle)
{
    std::vector<Piece> out;
    QString owner = text;
    if (!owner.isEmpty() && !owner.data_ptr().d_ptr())
        owner.detach();  // raw data the caller owns: take a copy
    const auto* data = reinterpret_cast<const char16_t*>(owner.constData());
    qsizetype breaksSoFar = 0;
    for (qsizetype from = 0; from < owner.size(); from += kMaxBlock) {
        auto* b = new Block;
        b->owner = owner;
        b->data = data + from;
        b->size = b->used = std::min(kMaxBlock, owner.size() - from);
        b->indexed = true;
        collectNewlines(b->data, b->size, b->breaks);
        b->breaks.shrink_to_fit();
        b->styles = styles;
        b->stylesBase = breaksSoFar;
        b->style = quint8(uniformStyle);
        breaksSoFar += qsizetype(b->breaks.size());
        const Ref<Block> ref(b);
        Piece p;
        p.block = ref;
        p.start = 0;
        p.length = qint32(b->size);
        p.breaks = qint32(b->breaks.size());
        out.push_back(std::move(p));
    }
    return out;
}

Piece makePiece(const Ref<Block>& block, qsizetype start, qsizetype length)
{
    Piece p;
    p.block = block;
    p.start = qint32(start);
    p.length = qint32(length);
    if (block->indexed) {
        const auto& br = block->breaks;
        const auto first = std::lower_bound(br.begin(), br.end(), quint32(start));
        p.firstBreak = qint32(first - br.begin());
        p.breaks = qint32(std::lower_bound(first, br.end(), quint32(start + length)) - first);
    } else {
        p.breaks = qint32(countNewlines(block->data + start, length));
    }
    return p;
}

qsizetype prefixBreaks(const Piece& p, qsizetype n)
{
    if (n <= 0)
        return 0;
    if (n >= p.length)
        return p.breaks;
    if (p.block->indexed) {
        const auto first = p.block->breaks.begin() + p.firstBreak;
        return std::lower_bound(first, first + p.breaks, quint32(p.start + n)) - first;
    }
    return countNewlines(p.block->data + p.start, n);
}

Piece slicePiece(const Piece& p, qsizetype from, qsizetype length)
{
    Piece s;
    s.block = p.block;
    s.start = qint32(p.start + from);
    s.length = qint32(length);
    const qsizetype before = prefixBreaks(p, from);
    s.firstBreak = qint32(p.firstBreak + before);
    s.breaks = qint32(prefixBreaks(p, from + length) - before);
    return s;
}

bool canJoin(const Piece& a, const Piece& b)
{
    return a.block.get() == b.block.get() && a.start + a.length == b.start
        && (a.block->indexed || a.length + b.length <= kMaxScanPiece);
}

static void pushJoin(std::vector<Piece>& out, const Piece& p)
{
    if (!out.empty() && canJoin(out.back(), p)) {
        out.back().length += p.length;
        out.back().breaks += p.breaks;
    } else {
        out.push_back(p);
    }
}

static qsizetype pieceBreakOffset(const Piece& p, qsizetype j)
{
    if (p.block->indexed)
        return qsizetype(p.block->breaks[size_t(p.firstBreak + j)]) - p.start;
    const char16_t* d = p.block->data + p.start;
    for (qsizetype i = 0;; ++i)
        if (d[i] == u'\n' && j-- == 0)
            return i;
}

static int pieceBreakStyle(const Piece& p, qsizetype j)
{
    const Block& b = *p.block;
    if (b.styles.isEmpty())
        return b.style;
    const qsizetype k = b.stylesBase + p.firstBreak + j;
    return k < b.styles.size() ? int(b.styles[k]) : int(b.style);
}

static Node* clone(const Node* n)
{
    Node* c;
    if (n->leaf) {
        auto* l = new Leaf;
        const auto* s = static_cast<const Leaf*>(n);
        std::copy(s->piece, s->piece + n->count, l->piece);
        c = l;
    } else {
        auto* in = new Inner;
        const auto* s = static_cast<const Inner*>(n);
        std::copy(s->child, s->child + n->count, in->child);
        in->leaf = false;
        c = in;
    }
    c->count = n->count;
    std::copy(n->len, n->len + n->count, c->len);
    std::copy(n->brk, n->brk + n->count, c->brk);
    return c;
}

static void makeUnique(Ref<Node>& r)
{
    if (!r.unique())
        r = Ref<Node>(clone(r.get()));
}

static void totals(const Node* n, qsizetype& len, qsizetype& brk)
{
    len = brk = 0;
    for (int i = 0; i < n->count; ++i) {
        len += n->len[i];
        brk += n->brk[i];
    }
}

static void setLeaf(Leaf* l, const Piece* p, int count)
{
    for (int i = 0; i < count; ++i) {
        l->piece[i] = p[i];
        l->len[i] = p[i].length;
        l->brk[i] = p[i].breaks;
    }
    for (int i = count; i < l->count; ++i)
        l->piece[i] = Piece();
    l->count = count;
}

static void setInner(Inner* in, const Ref<Node>* c, int count)
{
    for (int i = 0; i < count; ++i) {
        in->child[i] = c[i];
        totals(c[i].get(), in->len[i], in->brk[i]);
    }
    for (int i = count; i < in->count; ++i)
        in->child[i].reset();
    in->count = count;
}

// Splits count entries into nodes of at most `most`, as even as possible.
static std::vector<int> spread(size_t count, int most)
{
    const size_t nodes = std::max<size_t>(1, (count + size_t(most) - 1) / size_t(most));
    std::vector<int> sizes;
    for (size_t i = 0; i < nodes; ++i)
        sizes.push_back(int(count / nodes + (i < count % nodes ? 1 : 0)));
    return sizes;
}

static void collect(const Node* n, std::vector<Piece>& out)
{
    if (n->leaf) {
        const auto* l = static_cast<const Leaf*>(n);
        out.insert(out.end(), l->piece, l->piece + n->count);
        return;
    }
    for (int i = 0; i < n->count; ++i)
        collect(static_cast<const Inner*>(n)->child[i].get(), out);
}

static void editNode(Node* n, qsizetype a, qsizetype b, const std::vector<Piece>* ins,
                     std::vector<Piece>* removed, std::vector<Ref<Node>>& extra)
{
    if (n->leaf) {
        auto* leaf = static_cast<Leaf*>(n);
        std::vector<Piece> out;
        out.reserve(size_t(n->count) + (ins ? ins->size() : 0) + 2);
        bool inserted = ins == nullptr;
        auto emitIns = [&] {
            if (!inserted) {
                for (const Piece& p : *ins)
                    pushJoin(out, p);
                inserted = true;
            }
        };
        qsizetype s = 0;
        for (int i = 0; i < n->count; ++i) {
            const Piece& p = leaf->piece[i];
            const qsizetype e = s + p.length;
            if (e <= a) {
                pushJoin(out, p);
            } else if (s >= b) {
                emitIns();
                pushJoin(out, p);
            } else {
                if (s < a)
                    pushJoin(out, slicePiece(p, 0, a - s));
                const qsizetype r0 = std::max(a, s) - s, r1 = std::min(b, e) - s;
                if (removed && r1 > r0)
                    removed->push_back(r0 == 0 && r1 == p.length ? p : slicePiece(p, r0, r1 - r0));
                emitIns();
                if (e > b)
                    pushJoin(out, slicePiece(p, b - s, e - b));
            }
            s = e;
        }
        emitIns();
        const std::vector<int> sizes = spread(out.size(), kFanout);
        setLeaf(leaf, out.data(), out.empty() ? 0 : sizes[0]);
        size_t at = size_t(leaf->count);
        for (size_t k = 1; k < sizes.size(); ++k) {
            auto* l = new Leaf;
            setLeaf(l, out.data() + at, sizes[k]);
            at += size_t(sizes[k]);
            extra.emplace_back(l);
        }
        return;
    }

    auto* in = static_cast<Inner*>(n);
    int insChild = -1;
    if (ins) {
        qsizetype s = 0;
        for (int i = 0; i < n->count; ++i) {
            const qsizetype e = s + n->len[i];
            if (a == b ? a <= e : a < e) {
                insChild = i;
                break;
            }
            s = e;
        }
    }
    std::vector<Ref<Node>> kids;
    kids.reserve(size_t(n->count) + 4);
    qsizetype s = 0;
    for (int i = 0; i < n->count; ++i) {
        const qsizetype e = s + n->len[i];
        const bool overlaps = (e > a && s < b) || i == insChild;
        if (!overlaps) {
            kids.push_back(std::move(in->child[i]));
        } else if (i != insChild && s >= a && e <= b) {
            if (removed)
                collect(in->child[i].get(), *removed);
        } else {
            Ref<Node>& c = in->child[i];
            makeUnique(c);
            std::vector<Ref<Node>> more;
            editNode(c.get(), std::max(a, s) - s, std::min(b, e) - s, i == insChild ? ins : nullptr, removed, more);
            if (c->count > 0)
                kids.push_back(std::move(c));
            for (Ref<Node>& m : more)
                kids.push_back(std::move(m));
        }
        s = e;
    }
    // Merge thin neighbours so that removals do not leave a sparse tree.
    for (size_t j = 0; j + 1 < kids.size();) {
        Node* x = kids[j].get();
        Node* y = kids[j + 1].get();
        if ((x->count < kFanout / 4 || y->count < kFanout / 4) && x->count + y->count <= kFanout) {
            makeUnique(kids[j]);
            x = kids[j].get();
            if (x->leaf) {
                auto* dst = static_cast<Leaf*>(x);
                const auto* src = static_cast<const Leaf*>(y);
                for (int k = 0; k < y->count; ++k) {
                    dst->piece[x->count] = src->piece[k];
                    dst->len[x->count] = y->len[k];
                    dst->brk[x->count] = y->brk[k];
                    ++x->count;
                }
            } else {
                auto* dst = static_cast<Inner*>(x);
                const auto* src = static_cast<const Inner*>(y);
                for (int k = 0; k < y->count; ++k) {
                    dst->child[x->count] = src->child[k];
                    dst->len[x->count] = y->len[k];
                    dst->brk[x->count] = y->brk[k];
                    ++x->count;
                }
            }
            kids.erase(kids.begin() + std::ptrdiff_t(j + 1));
        } else {
            ++j;
        }
    }
    const std::vector<int> sizes = spread(kids.size(), kFanout);
    setInner(in, kids.data(), kids.empty() ? 0 : sizes[0]);
    size_t at = size_t(in->count);
    for (size_t k = 1; k < sizes.size(); ++k) {
        auto* x = new Inner;
        x->leaf = false;
        setInner(x, kids.data() + at, sizes[k]);
        at += size_t(sizes[k]);
        extra.emplace_back(x);
    }
}

// Stacks levels of inner nodes over nodes until one root remains.
static Ref<Node> pack(std::vector<Ref<Node>> nodes, int fill)
{
    while (nodes.size() > 1) {
        std::vector<Ref<Node>> up;
        size_t at = 0;
        for (int size : spread(nodes.size(), fill)) {
            auto* in = new Inner;
            in->leaf = false;
            setInner(in, nodes.data() + at, size);
            at += size_t(size);
            up.emplace_back(in);
        }
        nodes.swap(up);
    }
    return nodes.empty() ? Ref<Node>(emptyLeaf()) : nodes.front();
}

} // namespace TextStore

using namespace TextStore;

void TextStoreAccess::edit(TextSnapshot& t, qsizetype a, qsizetype b, const std::vector<Piece>& ins,
                           std::vector<Piece>* removed)
{
    makeUnique(t.m_root);
    std::vector<Ref<Node>> extra;
    editNode(t.m_root.get(), a, b, ins.empty() ? nullptr : &ins, removed, extra);
    if (!extra.empty()) {
        extra.insert(extra.begin(), t.m_root);
        t.m_root = pack(std::move(extra), kFanout);
    }
    while (!t.m_root->leaf && t.m_root->count == 1) {
        Ref<Node> only = static_cast<Inner*>(t.m_root.get())->child[0];
        t.m_root = std::move(only);
    }
    if (!t.m_root->leaf && t.m_root->count == 0)
        t.m_root = Ref<Node>(emptyLeaf());
    t.refreshTotals();
}

void TextStoreAccess::assign(TextSnapshot& t, std::vector<Piece> pieces)
{
    std::vector<Piece> joined;
    joined.reserve(pieces.size());
    for (const Piece& p : pieces)
        if (p.length > 0)
            pushJoin(joined, p);
    // Leaves three quarters full leave room for edits.
    constexpr int fill = kFanout * 3 / 4;
    std::vector<Ref<Node>> leaves;
    size_t at = 0;
    for (int size : spread(joined.size(), fill)) {
        auto* l = new Leaf;
        setLeaf(l, joined.data() + at, joined.empty() ? 0 : size);
        at += size_t(size);
        leaves.emplace_back(l);
    }
    t.m_root = pack(std::move(leaves), fill);
    t.refreshTotals();
}

void TextStoreAccess::pieces(const TextSnapshot& t, std::vector<Piece>& out)
{
    collect(t.m_root.get(), out);
}

TextSnapshot::TextSnapshot() : m_root(emptyLeaf()) {}

void TextSnapshot::refreshTotals()
{
    totals(m_root.get(), m_length, m_breaks);
}

template <class Before>
TextSnapshot::Located TextSnapshot::locate(Before before) const
{
    Located at;
    const Node* n = m_root.get();
    for (;;) {
        int i = 0;
        for (; i < n->count - 1 && before(at, n->len[i], n->brk[i]); ++i) {
            at.start += n->len[i];
            at.breaks += n->brk[i];
        }
        if (n->leaf) {
            at.piece = &static_cast<const Leaf*>(n)->piece[i];
            return at;
        }
        n = static_cast<const Inner*>(n)->child[i].get();
    }
}

TextSnapshot::Located TextSnapshot::locateOffset(qsizetype offset) const
{
    if (m_root->count == 0)
        return Located();
    return locate([offset](const Located& at, qsizetype len, qsizetype) { return offset >= at.start + len; });
}

TextSnapshot::Located TextSnapshot::locateBreak(qsizetype k) const
{
    return locate([k](const Located& at, qsizetype, qsizetype brk) { return k >= at.breaks + brk; });
}

qsizetype TextSnapshot::breakOffset(qsizetype k) const
{
    const Located at = locateBreak(k);
    return at.start + pieceBreakOffset(*at.piece, k - at.breaks);
}

qsizetype TextSnapshot::LineStart(qsizetype line) const
{
    if (line <= 0)
        return 0;
    if (line > m_breaks)
        return m_length;
    return breakOffset(line - 1) + 1;
}

qsizetype TextSnapshot::LineEndOffset(qsizetype line) const
{
    if (line >= m_breaks)
        return m_length;
    return breakOffset(std::max<qsizetype>(line, 0));
}

qsizetype TextSnapshot::LineOfOffset(qsizetype offset) const
{
    if (offset >= m_length)
        return m_breaks;
    if (offset <= 0)
        return 0;
    const Located at = locateOffset(offset);
    return at.breaks + prefixBreaks(*at.piece, offset - at.start);
}

int TextSnapshot::LineEndOf(qsizetype line) const
{
    if (line >= m_breaks)
        return m_finalEnd;
    const Located at = locateBreak(std::max<qsizetype>(line, 0));
    return pieceBreakStyle(*at.piece, line - at.breaks);
}

QChar TextSnapshot::CharAt(qsizetype offset) const
{
    if (offset < 0 || offset >= m_length)
        return QChar();
    const Located at = locateOffset(offset);
    return QChar(at.piece->block->data[at.piece->start + (offset - at.start)]);
}

QString TextSnapshot::Text(qsizetype start, qsizetype length) const
{
    start = std::clamp<qsizetype>(start, 0, m_length);
    length = std::clamp<qsizetype>(length, 0, m_length - start);
    QString out;
    out.reserve(length);
    ForEachChunk(start, start + length, [&](QStringView c) {
        out.append(c);
        return true;
    });
    return out;
}

QString TextSnapshot::RawText() const
{
    return Text(0, m_length);
}

TextSnapshot::ChunkReader::ChunkReader(const TextSnapshot& text, qsizetype from, qsizetype to)
    : m_pos(std::clamp<qsizetype>(from, 0, text.m_length)), m_to(std::min(to, text.m_length))
{
    if (m_pos >= m_to)
        return;
    const Node* n = text.m_root.get();
    qsizetype base = 0;
    for (;;) {
        int i = 0;
        for (; i < n->count - 1 && m_pos >= base + n->len[i]; ++i)
            base += n->len[i];
        m_path.push_back({n, i});
        if (n->leaf)
            break;
        n = static_cast<const Inner*>(n)->child[i].get();
    }
    m_skip = m_pos - base;
}

bool TextSnapshot::ChunkReader::Next(QStringView* chunk, qsizetype* start)
{
    if (m_pos >= m_to || m_path.empty())
        return false;
    const Level& top = m_path.back();
    const Piece& p = static_cast<const Leaf*>(top.node)->piece[top.index];
    const qsizetype len = std::min<qsizetype>(p.length - m_skip, m_to - m_pos);
    *chunk = QStringView(p.block->data + p.start + m_skip, len);
    if (start)
        *start = m_pos;
    m_pos += len;
    m_skip = 0;
    // Step to the next piece.
    while (!m_path.empty() && ++m_path.back().index >= m_path.back().node->count)
        m_path.pop_back();
    while (!m_path.empty() && !m_path.back().node->leaf) {
        const Node* c = static_cast<const Inner*>(m_path.back().node)->child[m_path.back().index].get();
        m_path.push_back({c, 0});
    }
    return true;
}

namespace {

// Finds a needle regardless of letter case: a skip search over characters
// folded as QStringMatcher folds them, with letters below 128 folded from a
// table. Needles holding surrogates go to QStringMatcher.
class Matcher {
public:
    Matcher(QStringView needle, Qt::CaseSensitivity cs) : m_qt(needle, cs)
    {
        m_own = cs == Qt::CaseInsensitive && needle.size() > 1;
        for (QChar c : needle)
            m_own = m_own && !c.isSurrogate();
        if (!m_own)
            return;
        for (QChar c : needle)
            m_folded.push_back(fold(c.unicode()));
        const qsizetype m = qsizetype(m_folded.size());
        std::fill(std::begin(m_skip), std::end(m_skip), m);
        for (qsizetype k = 0; k + 1 < m; ++k)
            m_skip[m_folded[size_t(k)] & 0xFF] = m - 1 - k;
    }
    qsizetype indexIn(QStringView s, qsizetype from) const
    {
        if (!m_own)
            return m_qt.indexIn(s, from);
        const qsizetype m = qsizetype(m_folded.size()), n = s.size();
        const char16_t* d = s.utf16();
        const char16_t last = m_folded.back();
        for (qsizetype p = std::max<qsizetype>(from, 0) + m - 1; p < n;) {
            const char16_t c = fold(d[p]);
            if (c == last) {
                qsizetype k = m - 2;
                const qsizetype at = p - m + 1;
                while (k >= 0 && fold(d[at + k]) == m_folded[size_t(k)])
                    --k;
                if (k < 0)
                    return at;
            }
            p += m_skip[c & 0xFF];
        }
        return -1;
    }

private:
    static char16_t fold(char16_t c)
    {
        if (c < 128)
            return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
        return QChar::isSurrogate(c) ? c : char16_t(QChar::toCaseFolded(char32_t(c)));
    }
    QStringMatcher m_qt;
    bool m_own = false;
    std::vector<char16_t> m_folded;
    qsizetype m_skip[256];
};

// Calls onMatch(start) for every match starting in [from, hi - m], left to
// right; onMatch returns the least start of the next match it wants, or -1
// to stop.
template <class F>
void scanForward(const TextSnapshot& t, QStringView needle, int flags, qsizetype from, qsizetype hi, F onMatch)
{
    const qsizetype m = needle.size();
    if (m == 0 || from + m > hi)
        return;
    const Qt::CaseSensitivity cs = flags & SearchFlags::MatchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const bool whole = flags & SearchFlags::WholeWord;
    const Matcher matcher(needle, cs);
    QString carry, window;
    qsizetype pos = from, next = from;
    // The chunk being scanned, to judge word edges without a lookup.
    QStringView chunk;
    qsizetype chunkStart = 0;
    auto charAt = [&](qsizetype i) {
        return i >= chunkStart && i < chunkStart + chunk.size() ? chunk[i - chunkStart] : t.CharAt(i);
    };
    auto accept = [&](qsizetype at) {
        if (at < next)
            return true;  // overlaps the last match: keep going
        if (whole && ((at > 0 && TextSearch::isWordChar(charAt(at - 1)))
                      || TextSearch::isWordChar(charAt(at + m))))
            return true;
        next = onMatch(at);
        return next >= 0;
    };
    t.ForEachChunk(from, hi, [&](QStringView c) {
        chunk = c;
        chunkStart = pos;
        if (!carry.isEmpty()) {
            window = carry;
            window.append(c.first(std::min(m - 1, c.size())));
            for (qsizetype p = matcher.indexIn(window, 0); p >= 0 && p < carry.size(); p = matcher.indexIn(window, p + 1))
                if (!accept(pos - carry.size() + p))
                    return false;
        }
        for (qsizetype p = matcher.indexIn(c, std::max<qsizetype>(0, next - pos)); p >= 0;) {
            if (!accept(pos + p))
                return false;
            p = matcher.indexIn(c, std::max(p + 1, next - pos));
        }
        if (m > 1) {
            if (c.size() >= m - 1) {
                carry = c.last(m - 1).toString();
            } else {
                carry.append(c);
                carry.remove(0, std::max<qsizetype>(0, carry.size() - (m - 1)));
            }
        }
        pos += c.size();
        return true;
    });
}

} // namespace

TextRange TextSnapshot::Find(QStringView needle, int flags, qsizetype from, qsizetype lo, qsizetype hi) const
{
    const qsizetype m = needle.size();
    lo = std::max<qsizetype>(lo, 0);
    hi = hi < 0 ? m_length : std::min(hi, m_length);
    TextRange found{-1, 0};
    if (m == 0 || m > hi - lo)
        return found;
    if (!(flags & SearchFlags::Backward)) {
        scanForward(*this, needle, flags, std::max(from, lo), hi, [&](qsizetype at) {
            found = {at, m};
            return qsizetype(-1);
        });
        return found;
    }
    // Backward: chunks from the end; matches starting in a chunk are checked
    // right to left, the ones running into the following text first.
    const Qt::CaseSensitivity cs = flags & SearchFlags::MatchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const bool whole = flags & SearchFlags::WholeWord;
    const qsizetype end = std::min(from, hi);
    QString carry, window;
    qsizetype pos = end;
    auto ok = [&](qsizetype at) {
        return !whole || ((at == 0 || !TextSearch::isWordChar(CharAt(at - 1))) && !TextSearch::isWordChar(CharAt(at + m)));
    };
    ForEachChunkBackward(lo, end, [&](QStringView c) {
        pos -= c.size();
        if (!carry.isEmpty()) {
            const qsizetype head = std::min(m - 1, c.size());
            window = c.last(head).toString();
            window.append(carry);
            for (qsizetype p = window.lastIndexOf(needle, head - 1, cs); p >= 0; p = p > 0 ? window.lastIndexOf(needle, p - 1, cs) : -1) {
                const qsizetype at = pos + c.size() - head + p;
                if (ok(at)) {
                    found = {at, m};
                    return false;
                }
            }
        }
        for (qsizetype p = c.size() - m; p >= 0;) {
            p = c.lastIndexOf(needle, p, cs);
            if (p < 0)
                break;
            if (ok(pos + p)) {
                found = {pos + p, m};
                return false;
            }
            --p;
        }
        if (m > 1) {
            if (c.size() >= m - 1) {
                carry = c.first(m - 1).toString();
            } else {
                carry.prepend(c);
                carry.truncate(m - 1);
            }
        }
        return true;
    });
    return found;
}

std::vector<qsizetype> TextSnapshot::FindAll(QStringView needle, int flags, qsizetype lo, qsizetype hi) const
{
    std::vector<qsizetype> out;
    hi = hi < 0 ? m_length : std::min(hi, m_length);
    const qsizetype m = needle.size();
    scanForward(*this, needle, flags, std::max<qsizetype>(lo, 0), hi, [&](qsizetype at) {
        out.push_back(at);
        return at + m;
    });
    return out;
}

namespace {
template <class F>
void forEachPiece(const Node* n, F& f)
{
    if (n->leaf) {
        for (int i = 0; i < n->count; ++i)
            f(static_cast<const Leaf*>(n)->piece[i]);
        return;
    }
    for (int i = 0; i < n->count; ++i)
        forEachPiece(static_cast<const Inner*>(n)->child[i].get(), f);
}
} // namespace

QByteArray TextSnapshot::LineEnds() const
{
    QByteArray out;
    out.reserve(m_breaks + 1);
    auto add = [&](const Piece& p) {
        if (p.breaks == 0)
            return;
        const Block& b = *p.block;
        if (b.styles.isEmpty())
            out.append(p.breaks, char(b.style));
        else
            for (qsizetype j = 0; j < p.breaks; ++j)
                out.append(char(pieceBreakStyle(p, j)));
    };
    forEachPiece(m_root.get(), add);
    if (m_finalEnd != NoLineEnd)
        out.append(char(m_finalEnd));
    if (std::all_of(out.cbegin(), out.cend(), [&](char e) { return e == char(m_defaultEnd); }))
        out.clear();
    return out;
}

QByteArray TextSnapshot::Encode(TextFileFormat format) const
{
    format.lineEnd = TextFileFormat::LineEnd(m_defaultEnd);
    format.finalLineEnd = m_finalEnd != NoLineEnd;
    const QByteArray ends = LineEnds();
    format.mixedLineEnds = !ends.isEmpty();
    return TextFileCodec::encode(RawText(), format, ends);
}

qsizetype TextSnapshot::MemoryUsed() const
{
    std::unordered_set<const Block*> blocks;
    qsizetype bytes = 0;
    auto add = [&](const Piece& p) {
        const Block* b = p.block.get();
        if (!blocks.insert(b).second)
            return;
        bytes += qsizetype(sizeof(Block)) + qsizetype(b->breaks.capacity() * sizeof(quint32));
        if (b->own)
            bytes += b->size * 2;
        else if (b->data == reinterpret_cast<const char16_t*>(b->owner.constData()))
            bytes += b->owner.capacity() * 2 + b->styles.capacity();
    };
    forEachPiece(m_root.get(), add);
    struct Count {
        static qsizetype nodes(const Node* n)
        {
            if (n->leaf)
                return sizeof(Leaf);
            qsizetype s = sizeof(Inner);
            for (int i = 0; i < n->count; ++i)
                s += nodes(static_cast<const Inner*>(n)->child[i].get());
            return s;
        }
    };
    return bytes + Count::nodes(m_root.get());
}
