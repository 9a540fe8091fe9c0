#pragma once
// The editable text of a document: a piece tree (TextSnapshot) with its own
// undo history, marks that move with edits and listeners told of every
// change. Reading goes through the snapshot API (Text() gives the current
// one without copying); Snapshot() hands out a copy that stays as it is while
// editing goes on and may be read on another thread.
#include "editor/TextSnapshot.h"

#include <QList>

#include <vector>

// What one change did, in offsets and lines of the text before it.
struct TextChange {
    qsizetype offset = 0;
    qsizetype removed = 0;        // characters taken out at offset
    qsizetype inserted = 0;       // characters put in at offset
    qsizetype firstLine = 0;      // line holding offset
    qsizetype linesRemoved = 0;   // line breaks taken out
    qsizetype linesAdded = 0;     // line breaks put in
};

class TextBuffer;

class TextBufferListener {
public:
    virtual ~TextBufferListener() = default;
    // After the text changed; marks have moved already. A load is one change
    // over the whole text.
    virtual void TextChanged(const TextBuffer& buffer, const TextChange& change) = 0;
    virtual void ModifiedChanged(const TextBuffer&, bool /*modified*/) {}
};

// Where a mark goes when text is inserted exactly at it: it stays before the
// new text, or moves after it.
enum class MarkSide { Before, After };

// How an edit joins the undo history. Typing merges consecutive edits at the
// caret into one step per word (and runs of Backspace or Delete into one).
enum class EditKind { Plain, Typing };

class TextBuffer {
public:
    TextBuffer();
    ~TextBuffer();
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;

    // Takes the codec's output without copying its text: lines, their ends
    // and the format. Clears the undo history; marks move to the start.
    void Load(const DecodedText& decoded);
    // The same in two steps: Prepare (on any thread) builds the text and its
    // line index, Load takes it with the format it was decoded with.
    static TextSnapshot Prepare(const DecodedText& decoded);
    void Load(TextSnapshot prepared, const TextFileFormat& format);
    // A new text with '\n' between lines, each line end in format.lineEnd.
    void SetText(const QString& text, const TextFileFormat& format = TextFileFormat());
    const TextFileFormat& Format() const { return m_format; }
    void SetFormat(const TextFileFormat& format);
    // The file's bytes: the format's encoding with every line's own end.
    QByteArray Encode() const { return m_text.Encode(m_format); }

    // The current text (valid until the next edit) and a lasting copy of it.
    const TextSnapshot& Text() const { return m_text; }
    TextSnapshot Snapshot() const { return m_text; }
    qsizetype Length() const { return m_text.Length(); }
    qsizetype LineCount() const { return m_text.LineCount(); }
    // Grows with every change: caches keyed by it know when they are stale.
    quint64 Revision() const { return m_revision; }

    // Edits; offsets are clamped into the text. New line breaks take the
    // default line end style.
    void Insert(qsizetype offset, const QString& text, EditKind kind = EditKind::Plain);
    void Remove(qsizetype offset, qsizetype length, EditKind kind = EditKind::Plain);
    void Replace(qsizetype offset, qsizetype length, const QString& text, EditKind kind = EditKind::Plain);
    // Style of the line ends that later insertions make.
    void SetDefaultLineEnd(TextFileFormat::LineEnd style);

    // Replaces every match of needle (SearchFlags MatchCase, WholeWord) in
    // [lo, hi) in one pass, as one undo step. Returns the number replaced.
    int ReplaceAll(const QString& needle, const QString& replacement, int flags, qsizetype lo = 0, qsizetype hi = -1);
    // Removes the ranges (ascending, apart, offsets in the text before) in
    // one pass: one undo step, or one per range as the editor contract has it.
    void DeleteRanges(const QList<TextRange>& ranges, bool oneStep = false);
    // Replaces each range (ascending, apart, offsets in the text before) by
    // the text of the same index, in one pass: one undo step, or one per range.
    void ReplaceRanges(const QList<TextRange>& ranges, const QStringList& texts, bool oneStep = false);
    // Gives every line end, the final one included, the style, as one undo
    // step; new lines take it too.
    void ConvertLineEnds(TextFileFormat::LineEnd style);
    // Puts text in place of each range (ascending, apart; empty ranges are
    // places to insert at) in one pass: one undo step. For typing at many
    // carets at once.
    void ReplaceRanges(const std::vector<TextRange>& ranges, const QString& text);

    // Undo history. Groups nest; edits inside the outermost one undo as one step.
    void BeginEditGroup();
    void EndEditGroup();
    bool CanUndo() const { return m_groupDepth == 0 && m_undoPos > 0; }
    bool CanRedo() const { return m_groupDepth == 0 && m_undoPos < int(m_steps.size()); }
    bool Undo();
    bool Redo();
    void ClearHistory();
    int UndoSteps() const { return m_undoPos; }
    // True unless the history stands where it stood when last marked clean.
    bool Modified() const { return m_undoPos != m_cleanPos; }
    void SetModified(bool modified);

    // Marks: positions that move with the text.
    int AddMark(qsizetype offset, MarkSide side = MarkSide::Before);
    void MoveMark(int mark, qsizetype offset);
    void RemoveMark(int mark);
    qsizetype MarkOffset(int mark) const { return m_marks[size_t(mark)].offset; }

    void AddListener(TextBufferListener* listener);
    void RemoveListener(TextBufferListener* listener);

    // Where a mark at offset lands after [o, o + removed) became inserted characters.
    static qsizetype MapOffset(qsizetype offset, MarkSide side, qsizetype o, qsizetype removed, qsizetype inserted);

private:
    using Pieces = std::vector<TextStore::Piece>;
    struct BulkEdit {
        qsizetype offset;  // in the text before the edit, as applied first to last
        qsizetype removed;
        qsizetype inserted;
    };
    // One undoable change. Applying it (undo or redo) turns it into its inverse.
    struct Record {
        qsizetype offset = 0;
        qsizetype take = 0;   // characters at offset to take out
        Pieces put;           // pieces to put in their place
        bool typing = false;
        // A one-pass change over many places: the other tree and the places.
        bool bulk = false;
        TextSnapshot other;
        std::vector<BulkEdit> edits;
        int finalEnd = -2;  // bulk: the final line end's style it sets (-2: kept)
    };
    struct Step {
        std::vector<Record> records;
        bool group = false;  // made by an edit group: typing never joins it
    };

    Pieces piecesFor(const QString& text);
    TextStore::Block* appendBlock(qsizetype room);
    void apply(Record& r, bool record, EditKind kind);
    void applyBulk(Record& r);
    bool merge(const Record& r, qsizetype removedLength);
    void push(Record r);
    void notify(const TextChange& change);
    void setUndoPos(int pos);
    void truncateRedo();
    TextChange changeFor(qsizetype offset, qsizetype removed, const Pieces& put) const;
    // Each span replaced by replacements[k]; every span by replacements[0]
    // when the counts differ.
    // keepFinal: the text's final line end keeps its style; else it takes
    // finalEnd, and undo gives it back its own.
    static constexpr int keepFinal = -2;
    void bulkReplace(const std::vector<TextRange>& spans, const QStringList& replacements, bool oneStep,
                     int finalEnd = keepFinal);

    struct Mark {
        qsizetype offset = 0;
        MarkSide side = MarkSide::Before;
        bool used = false;
    };

    TextSnapshot m_text;
    TextFileFormat m_format;
    TextStore::Ref<TextStore::Block> m_append;  // where short insertions are stored
    std::vector<Step> m_steps;
    int m_undoPos = 0;
    int m_cleanPos = 0;   // -1: the clean state is out of reach
    int m_groupDepth = 0;
    bool m_groupHasStep = false;
    std::vector<Mark> m_marks;
    size_t m_freeFrom = 0;  // no free slot before this one
    std::vector<TextBufferListener*> m_listeners;
    quint64 m_revision = 0;
};
