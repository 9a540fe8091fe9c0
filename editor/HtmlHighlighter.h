#pragma once
// Colours the HTML of a text document, lazily: only the blocks that are
// shown get colours, and only the blocks above them are tokenized, for the
// state they start in. An edit makes its blocks and, where it changes the
// state at a line's end, the blocks after them wait to be done again when
// they are next shown or asked for.
#include "editor/HtmlTokenizer.h"

#include <QObject>
#include <QTextCharFormat>
#include <array>

class QTextDocument;
class QTextBlock;

class HtmlHighlighter : public QObject {
    Q_OBJECT
public:
    explicit HtmlHighlighter(QTextDocument* document);

    bool isEnabled() const { return m_enabled; }
    // Off: the text is plain; states are still worked out when asked for.
    void setEnabled(bool on);
    // Light or dark colours, for the editor's background.
    void setDarkBackground(bool dark);
    bool darkBackground() const { return m_dark; }
    QColor colorOf(Html::TokenKind kind) const { return m_formats[size_t(kind)].foreground().color(); }

    // Colours blocks first..last (block numbers, clamped).
    void highlight(int first, int last);
    // The tokenizer state block n starts in.
    int startState(int block);

    // Blocks from the document's start whose states are known.
    int knownStates() const { return m_known; }
    // Blocks that carry colours (for checks of laziness).
    int colouredBlocks() const;

private:
    void onContentsChange(int position, int removed, int added);
    // Brings the state of every block up to and including last; colours
    // those from firstColoured on.
    void run(int firstColoured, int last);
    int process(QTextBlock& block, int start, bool colour, int& dirtyFrom, int& dirtyTo);
    void uncolourAll();
    void buildFormats();

    QTextDocument* m_doc;
    std::array<QTextCharFormat, size_t(Html::TokenKind::Count)> m_formats;
    int m_known = 0;
    int m_epoch = 1;
    bool m_enabled = true;
    bool m_dark = false;
    bool m_applying = false;
};
