#pragma once
// Several carets: the carets beside the editor's own one, each with its
// selection, kept as marks of the buffer; and the edits that act at every
// caret in one pass (one undo step), working out where each caret goes.
// A column (block) selection is a caret a line, each selecting the same
// columns.
#include "editor/TextBuffer.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

struct CaretSel {
    qsizetype anchor = 0;
    qsizetype caret = 0;
    bool primary = false;  // the editor's own caret
    qsizetype start() const { return std::min(anchor, caret); }
    qsizetype end() const { return std::max(anchor, caret); }
    bool operator==(const CaretSel& o) const { return anchor == o.anchor && caret == o.caret && primary == o.primary; }
};

class CaretSet {
public:
    explicit CaretSet(TextBuffer& buffer);
    ~CaretSet();
    CaretSet(const CaretSet&) = delete;
    CaretSet& operator=(const CaretSet&) = delete;

    bool isEmpty() const { return m_marks.empty(); }
    int count() const { return int(m_marks.size()); }  // besides the editor's own
    void add(qsizetype anchor, qsizetype caret);
    void clear();
    // The extra carets as they stand now.
    std::vector<CaretSel> extras() const;
    // Puts the extra carets at these places (the primary one is passed over).
    void set(const std::vector<CaretSel>& carets);

    // Ordered by place, those that overlap or meet merged (the merged one is
    // primary when either was).
    static std::vector<CaretSel> normalized(std::vector<CaretSel> carets);

    // Edits at every caret, one undo step; return where the carets go.
    // Typing: the text in place of each selection.
    static std::vector<CaretSel> insert(TextBuffer& b, const std::vector<CaretSel>& carets, const QString& text);
    // Each caret its own text (pasting a line a caret); texts has one per caret.
    static std::vector<CaretSel> insertEach(TextBuffer& b, const std::vector<CaretSel>& carets, const QStringList& texts);
    // Backspace (backward) or Delete: the selection, else the character
    // before or after the caret (a surrogate pair whole; never over the
    // start of a column selection's line when inLine).
    static std::vector<CaretSel> erase(TextBuffer& b, const std::vector<CaretSel>& carets, bool backward);
    // Moves each caret by to(offset); keepAnchor extends its selection.
    static std::vector<CaretSel> move(const std::vector<CaretSel>& carets, const std::function<qsizetype(qsizetype)>& to,
                                      bool keepAnchor);
    // The selected texts, first to last.
    static QStringList texts(const TextSnapshot& t, const std::vector<CaretSel>& carets);

private:
    TextBuffer& m_buf;
    std::vector<std::pair<int, int>> m_marks;  // anchor, caret
};
