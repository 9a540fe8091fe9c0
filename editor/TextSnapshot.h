#pragma once
// The text of a document at one moment, as a balanced tree of pieces over
// immutable blocks of UTF-16 text. Copies are cheap (they share the tree) and
// never change, so a copy may be read on another thread while the document
// goes on being edited. Lines are separated by '\n'; every line end keeps its
// own style (CR LF, LF or CR) beside it, so the file comes back byte for byte.
// Offsets count UTF-16 code units from 0, lines count from 0.
#include "editor/EditorContract.h"
#include "editor/TextFileCodec.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <atomic>
#include <memory>
#include <vector>

namespace TextStore {

// A run of text that never changes once pieces refer to it. An indexed block
// knows where its line breaks are; an append block (typed and pasted text) is
// filled at its end and its short pieces are scanned instead.
struct Block {
    std::atomic<int> ref{0};
    QString owner;                     // keeps adopted text alive
    std::unique_ptr<char16_t[]> own;   // storage of an append block
    const char16_t* data = nullptr;
    qsizetype size = 0;                // characters usable (append block: capacity)
    qsizetype used = 0;                // append block: characters filled
    std::vector<quint32> breaks;       // indexed block: offsets of '\n'
    QByteArray styles;                 // per break style, from stylesBase; empty: every break is `style`
    qsizetype stylesBase = 0;
    quint8 style = TextFileFormat::CRLF;
    bool indexed = false;
};

template <class T>
class Ref {
public:
    Ref() = default;
    explicit Ref(T* p) : m_p(p) { if (m_p) m_p->ref.fetch_add(1, std::memory_order_relaxed); }
    Ref(const Ref& o) : Ref(o.m_p) {}
    Ref(Ref&& o) noexcept : m_p(o.m_p) { o.m_p = nullptr; }
    ~Ref() { reset(); }
    Ref& operator=(const Ref& o) { Ref(o).swap(*this); return *this; }
    Ref& operator=(Ref&& o) noexcept { Ref(std::move(o)).swap(*this); return *this; }
    void swap(Ref& o) noexcept { std::swap(m_p, o.m_p); }
    void reset();
    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    T& operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    bool unique() const { return m_p && m_p->ref.load(std::memory_order_acquire) == 1; }

private:
    T* m_p = nullptr;
};

// A stretch of one block. Pieces of append blocks stay short (kMaxScanPiece).
struct Piece {
    Ref<Block> block;
    qint32 start = 0;
    qint32 length = 0;
    qint32 breaks = 0;       // '\n' inside the piece
    qint32 firstBreak = 0;   // indexed block: index in block->breaks of the piece's first break
};

constexpr int kFanout = 32;
constexpr qint32 kMaxScanPiece = 1024;

struct Node {
    std::atomic<int> ref{0};
    bool leaf = true;
    int count = 0;
    qsizetype len[kFanout];
    qsizetype brk[kFanout];
};
struct Leaf : Node {
    Piece piece[kFanout];
};
struct Inner : Node {
    Ref<Node> child[kFanout];
};

void destroy(Node* n);
void destroy(Block* b);
template <class T>
void Ref<T>::reset()
{
    if (m_p && m_p->ref.fetch_sub(1, std::memory_order_acq_rel) == 1)
        destroy(m_p);
    m_p = nullptr;
}

} // namespace TextStore

class TextSnapshot {
public:
    // A line end style of TextFileFormat::LineEnd, or none (the last line).
    static constexpr int NoLineEnd = -1;

    TextSnapshot();

    qsizetype Length() const { return m_length; }
    qsizetype LineCount() const { return m_breaks + 1; }
    bool IsEmpty() const { return m_length == 0; }

    // Offset where a line starts; lines beyond the last give Length().
    qsizetype LineStart(qsizetype line) const;
    // Offset of the line's end (its '\n', or Length() for the last line).
    qsizetype LineEndOffset(qsizetype line) const;
    qsizetype LineLength(qsizetype line) const { return LineEndOffset(line) - LineStart(line); }
    // The line holding offset (offset Length() is on the last line).
    qsizetype LineOfOffset(qsizetype offset) const;
    // The style of the line's end: TextFileFormat::LineEnd, or NoLineEnd for
    // a last line that ends the file without one.
    int LineEndOf(qsizetype line) const;
    // Style that lines made by typing or pasting take.
    int DefaultLineEnd() const { return m_defaultEnd; }
    int FinalLineEnd() const { return m_finalEnd; }

    QChar CharAt(qsizetype offset) const;  // null character outside the text
    QString Text(qsizetype start, qsizetype length) const;
    QString LineText(qsizetype line) const { return Text(LineStart(line), LineLength(line)); }
    // The whole text, lines joined by '\n'.
    QString RawText() const;
    // Calls visit(QStringView) for the stored chunks covering [from, to) in
    // order (backward: last to first) until it returns false. Returns false
    // when stopped.
    template <class F>
    bool ForEachChunk(qsizetype from, qsizetype to, F&& visit) const;
    template <class F>
    bool ForEachChunkBackward(qsizetype from, qsizetype to, F&& visit) const;

    // Pulls the chunks of [from, to) one at a time, for scanners that keep
    // their own state between calls.
    class ChunkReader {
    public:
        ChunkReader(const TextSnapshot& text, qsizetype from, qsizetype to);
        // The next chunk and the offset where it starts; false at the end.
        bool Next(QStringView* chunk, qsizetype* start = nullptr);

    private:
        struct Level { const TextStore::Node* node; int index; };
        std::vector<Level> m_path;
        qsizetype m_pos = 0, m_to = 0, m_skip = 0;
    };

    // SearchFlags: MatchCase, WholeWord, Backward. Forward: the first match
    // starting at or after from; backward: the last one ending at or before
    // from. Matches lie inside [lo, hi) (hi < 0: the end). {-1, 0} when none.
    TextRange Find(QStringView needle, int flags, qsizetype from, qsizetype lo = 0, qsizetype hi = -1) const;
    // Starts of all matches inside [lo, hi), left to right, without overlaps.
    std::vector<qsizetype> FindAll(QStringView needle, int flags, qsizetype lo = 0, qsizetype hi = -1) const;

    // One style per line end in order, the final one included, as
    // TextFileCodec::encode takes them; empty when every end is the default.
    QByteArray LineEnds() const;
    // The file's bytes in format's encoding (its line end fields are the text's own).
    QByteArray Encode(TextFileFormat format) const;
    // Bytes held for the text, its line index and its tree.
    qsizetype MemoryUsed() const;

private:
    friend class TextBuffer;
    friend struct TextStoreAccess;
    struct Located {
        const TextStore::Piece* piece = nullptr;
        qsizetype start = 0;   // offset of the piece's first character
        qsizetype breaks = 0;  // line breaks before the piece
    };
    Located locateOffset(qsizetype offset) const;
    Located locateBreak(qsizetype k) const;
    // Walks down to the piece where before(at, length, breaks) turns false.
    template <class Before>
    Located locate(Before before) const;
    qsizetype breakOffset(qsizetype k) const;  // offset of the k-th '\n'
    template <class F>
    static bool visit(const TextStore::Node* n, qsizetype base, qsizetype from, qsizetype to, F& f);
    template <class F>
    static bool visitBack(const TextStore::Node* n, qsizetype base, qsizetype from, qsizetype to, F& f);
    void refreshTotals();

    TextStore::Ref<TextStore::Node> m_root;
    qsizetype m_length = 0;
    qsizetype m_breaks = 0;
    int m_defaultEnd = TextFileFormat::CRLF;
    int m_finalEnd = NoLineEnd;
};

template <class F>
bool TextSnapshot::visit(const TextStore::Node* n, qsizetype base, qsizetype from, qsizetype to, F& f)
{
    for (int i = 0; i < n->count && base < to; base += n->len[i], ++i) {
        const qsizetype end = base + n->len[i];
        if (end <= from)
            continue;
        if (!n->leaf) {
            if (!visit(static_cast<const TextStore::Inner*>(n)->child[i].get(), base, from, to, f))
                return false;
            continue;
        }
        const TextStore::Piece& p = static_cast<const TextStore::Leaf*>(n)->piece[i];
        const qsizetype a = std::max(from, base), b = std::min(to, end);
        if (!f(QStringView(p.block->data + p.start + (a - base), b - a)))
            return false;
    }
    return true;
}

template <class F>
bool TextSnapshot::visitBack(const TextStore::Node* n, qsizetype base, qsizetype from, qsizetype to, F& f)
{
    qsizetype end = base;
    for (int i = 0; i < n->count; ++i)
        end += n->len[i];
    for (int i = n->count - 1; i >= 0 && end > from; --i) {
        const qsizetype start = end - n->len[i];
        if (start < to) {
            if (!n->leaf) {
                if (!visitBack(static_cast<const TextStore::Inner*>(n)->child[i].get(), start, from, to, f))
                    return false;
            } else {
                const TextStore::Piece& p = static_cast<const TextStore::Leaf*>(n)->piece[i];
                const qsizetype a = std::max(from, start), b = std::min(to, end);
                if (!f(QStringView(p.block->data + p.start + (a - start), b - a)))
                    return false;
            }
        }
        end = start;
    }
    return true;
}

template <class F>
bool TextSnapshot::ForEachChunk(qsizetype from, qsizetype to, F&& f) const
{
    from = std::max<qsizetype>(from, 0);
    to = std::min(to, m_length);
    if (from >= to)
        return true;
    return visit(m_root.get(), 0, from, to, f);
}

template <class F>
bool TextSnapshot::ForEachChunkBackward(qsizetype from, qsizetype to, F&& f) const
{
    from = std::max<qsizetype>(from, 0);
    to = std::min(to, m_length);
    if (from >= to)
        return true;
    return visitBack(m_root.get(), 0, from, to, f);
}

// Building blocks shared by the snapshot and the buffer that edits it.
namespace TextStore {
qsizetype countNewlines(const char16_t* data, qsizetype size);
// Indexed blocks over text (adopted, not copied), one piece each; styles as
// TextFileCodec's lineEnds (one per break) or empty for uniformStyle.
std::vector<Piece> adoptText(const QString& text, const QByteArray& styles, int uniformStyle);
Piece makePiece(const Ref<Block>& block, qsizetype start, qsizetype length);
Piece slicePiece(const Piece& p, qsizetype from, qsizetype length);
bool canJoin(const Piece& a, const Piece& b);
// Line breaks among the piece's first n characters.
qsizetype prefixBreaks(const Piece& p, qsizetype n);
} // namespace TextStore

struct TextStoreAccess {
    // Replaces [a, b) of the text with the pieces ins; the pieces taken out go to *removed.
    static void edit(TextSnapshot& t, qsizetype a, qsizetype b, const std::vector<TextStore::Piece>& ins,
                     std::vector<TextStore::Piece>* removed);
    // A new balanced tree over pieces.
    static void assign(TextSnapshot& t, std::vector<TextStore::Piece> pieces);
    static void pieces(const TextSnapshot& t, std::vector<TextStore::Piece>& out);
    static void setLineEnds(TextSnapshot& t, int defaultEnd, int finalEnd)
    {
        t.m_defaultEnd = defaultEnd;
        t.m_finalEnd = finalEnd;
    }
};
