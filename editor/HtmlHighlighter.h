#pragma once
// Colours the HTML of a text buffer, lazily: only the lines that are drawn
// get colours, and only the lines above them are tokenized, for the state
// they start in. The state at each line's end is kept from the first line
// as far as it was needed; an edit forgets it from the edited line on, and
// the colours of the lines it may change.
#include "editor/HtmlTokenizer.h"

#include <QColor>
#include <QList>
#include <QTextLayout>
#include <array>
#include <map>
#include <unordered_map>
#include <vector>

class TextBuffer;
struct TextChange;

class HtmlHighlighter {
public:
    explicit HtmlHighlighter(const TextBuffer& buffer);

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
    QString tokenText(int line) const;
    // The state at a line's end, from the state it starts in (a long line: over all of it).
    int endState(int line, int start);
    // Where a slice of a long line starting at from ends: after a '>' when
    // there is one in reach.
    qsizetype sliceEnd(qsizetype lineStart, qsizetype length, qsizetype from) const;
    // Checkpoints of long lines: (offset in the line, tokenizer state there).
    std::unordered_map<int, std::vector<std::pair<qsizetype, int>>> m_checkpoints;
    // Tokens of the slices of long lines last drawn: (line, slice start) -> tokens.
    std::map<std::pair<int, qsizetype>, QList<Html::Token>> m_sliceTokens;
    void buildFormats();

    const TextBuffer& m_buf;
    std::array<QTextCharFormat, size_t(Html::TokenKind::Count)> m_formats;
    std::vector<quint8> m_endStates;
    std::unordered_map<int, QList<QTextLayout::FormatRange>> m_coloured;
    bool m_enabled = true;
    bool m_dark = false;
};
