#pragma once
// Colours the HTML of a text buffer, lazily: only the lines that are drawn
// get colours, and only the lines above them are tokenized, for the state
// they start in. The state at each line's end is kept from the first line
// as far as it was needed; an edit forgets it from the edited line on, and
// the colours of the lines it may change.
// A line far below the known states is not held up for them: its colours
// are a guess made from a few lines above it while a worker thread works
// the states and the tag pairs out on a copy of the text; when they come
// back (for the lines an edit has not touched since) the guessed colours
// are made again and onStatesReady is called.
#include "editor/HtmlTokenizer.h"
#include "editor/TagMatcher.h"

#include <QColor>
#include <QElapsedTimer>
#include <QList>
#include <QTextLayout>
#include <array>
#include <climits>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <vector>

class QTimer;
class TextBuffer;
struct TextChange;

class HtmlHighlighter {
public:
    explicit HtmlHighlighter(const TextBuffer& buffer);
    ~HtmlHighlighter();
    HtmlHighlighter(const HtmlHighlighter&) = delete;
    HtmlHighlighter& operator=(const HtmlHighlighter&) = delete;

    // Called (on this object's thread, between events) when states worked
    // out in the background came in and guessed colours may have changed.
    void setOnStatesReady(std::function<void()> f) { m_onStatesReady = std::move(f); }
    // True when the state and the tag pairs of a line can be had at once
    // (they are known or near the known ones); otherwise the background
    // work starts, if it has not, and false.
    // (asked for by the user: the background work starts without waiting
    // for typing to pause)
    bool readyNear(int line, bool asked = false);
    // The same for the states alone (what colours and completion need).
    bool statesReadyNear(int line, bool asked = false);
    // Where the tokenizer may start again in a line at or before offset,
    // outside any tag, and its state there (long lines keep such points).
    std::pair<qsizetype, int> resumePoint(int line, qsizetype offset);
    // True while colours of some lines are guesses.
    bool guessing() const { return !m_guessed.empty(); }
    // Waits for the background work, if any, and takes its result.
    void finishBackground();
    // Pairs far below what is known are wanted: the background work goes
    // there (what it finds comes with the states-ready call).
    void wantPairsBelow() { requestBackground(true); }

    bool isEnabled() const { return m_enabled; }
    // Off: the text is plain; states are still worked out when asked for.
    void setEnabled(bool on);
    // Light or dark colours, for the editor's background.
    void setDarkBackground(bool dark);
    bool darkBackground() const { return m_dark; }
    QColor colorOf(Html::TokenKind kind) const { return m_formats[size_t(kind)].foreground().color(); }

    // The colours of a line (0-based), worked out now if need be; empty while disabled.
    const QList<QTextLayout::FormatRange>& lineFormats(int line);
    // The colours of [from, to) of a line longer than the tokenizer takes at
    // once, offsets in the line; worked out from the nearest checkpoint.
    QList<QTextLayout::FormatRange> formatsIn(int line, qsizetype from, qsizetype to);
    static bool isLongLine(qsizetype length) { return length > Html::HtmlTokenizer::kMaxLineLength; }
    // The colours a line carries now (none when it was not drawn since its last change).
    QList<QTextLayout::FormatRange> formats(int line) const;
    // The tokenizer state line n starts in.
    int startState(int line);
    // The tokenizer state at an offset of a line (inside a token: the
    // state of that token's text so far).
    int stateAt(int line, qsizetype offset);

    // What the text is, for its colours (Plain: none).
    Html::Language language() const { return m_language; }
    void setLanguage(Html::Language language);
    // The lines with these states and their tag pairs, kept up to date.
    const TagLineSource& tagLines() const { return m_lines; }

    // Lines from the text's start whose states are known.
    int knownStates() const { return int(m_endStates.size()); }
    // Lines that carry colours (for checks of laziness).
    int colouredBlocks() const { return int(m_coloured.size()); }
    // Forgets the colours of lines outside [first, last].
    void keepOnly(int first, int last);

    // After a change of the buffer: returns the last line whose colours may
    // have changed (INT_MAX: every line from change.firstLine on; below
    // change.firstLine: none).
    int textChanged(const TextChange& change);

private:
    struct Background;
    // True when the states up to line can be worked out here without a pause.
    bool nearKnown(int line, int done) const;
    bool statesNear(int line) const { return nearKnown(line, knownStates()); }
    // The same for the tag pairs of every line up to line's end.
    bool pairsNear(int line) const;
    // Starts the background work, after an edit once typing has paused.
    void requestBackground(bool asked = false);
    void startBackground();
    void cancelBackground();
    void takeBackground();
    // Waits for the worker's states (it works them out before the pairs) and takes them.
    void takeStates();
    // Takes the worker's states if they are done, without waiting; true if it did.
    bool takeStatesIfDone();
    void tellStatesReady();
    // The state a far line starts in, guessed from a few lines above it.
    int guessedStart(int line);
    void dropGuesses();
    QString tokenText(int line) const;
    // The state at a line's end, from the state it starts in (a long line: over all of it).
    int endState(int line, int start);
    // Tokenizes a slice of a long line from at (in state) to the first point
    // at or after until where a token ends; that point and the state there.
    std::pair<qsizetype, int> slice(int line, qsizetype at, int state, qsizetype until, QList<Html::Token>* tokens) const;
    void forgetStates();
    // Marks closing tags of [from, to) of a line that close no element.
    void markStrays(int line, qsizetype from, qsizetype to, QList<QTextLayout::FormatRange>& ranges);
    QTextCharFormat m_strayFormat;
    // Checkpoints of long lines: (offset in the line, tokenizer state there).
    std::unordered_map<int, std::vector<std::pair<qsizetype, int>>> m_checkpoints;
    // Tokens of the slices of long lines last drawn: (line, slice start) -> tokens.
    std::map<std::pair<int, qsizetype>, QList<Html::Token>> m_sliceTokens;
    void buildFormats();

    const TextBuffer& m_buf;
    std::array<QTextCharFormat, size_t(Html::TokenKind::Count)> m_formats;
    std::vector<int> m_endStates;
    std::unordered_map<int, QList<QTextLayout::FormatRange>> m_coloured;
    bool m_enabled = true;
    bool m_dark = false;
    Html::Language m_language = Html::Language::Html;

    class Lines : public TagLineSource {
    public:
        explicit Lines(HtmlHighlighter& h) : m_h(h), m_structure(*this) {}
        int lineCount() const override;
        QString lineText(int line) const override;
        int startState(int line) const override { return m_h.startState(line); }
        TagStructure* structure() const override { return &m_structure; }
        void aboutToWorkOut(int line) const override;
        qsizetype lineLength(int line) const override;
        QString lineSlice(int line, qsizetype from, qsizetype length) const override;
        std::pair<qsizetype, int> resumePoint(int line, qsizetype offset) const override
        {
            return m_h.resumePoint(line, offset);
        }

    private:
        HtmlHighlighter& m_h;
        mutable TagStructure m_structure;
    };
    Lines m_lines{*this};

    std::function<void()> m_onStatesReady;
    std::unique_ptr<QObject> m_context;  // receives the background result
    std::unique_ptr<Background> m_bg;
    bool m_bgStarted = false;  // since the text was loaded
    int m_dirtyFrom = INT_MAX;  // first line changed since the background work began
    std::set<int> m_guessed;  // lines coloured from a guessed state
    std::unordered_map<int, int> m_guessedEnds;  // guessed end states
    std::set<int> m_strayPending;  // lines coloured without their stray closing tags
    QElapsedTimer m_sinceEdit;  // invalid after a new text
    QTimer* m_quietTimer = nullptr;  // starts the background work once typing pauses
    int m_quietWanted = 0;  // the pause it waits for, in ms
};
