#pragma once
// Folding: the regions of a page that span lines (elements, comments, CSS
// rule blocks), and the folds the user made, kept as marks of the buffer so
// that they move with edits. A fold shows its first line and hides the rest
// of the region, its last line included.
#include "editor/TextBuffer.h"

#include <QString>

#include <utility>
#include <vector>

struct FoldRegion {
    int first = 0;  // 0-based line where it starts (shown when folded)
    int last = 0;   // line where it ends (hidden when folded)
    int depth = 1;  // 1: outermost
    bool operator==(const FoldRegion& o) const { return first == o.first && last == o.last && depth == o.depth; }
};

namespace FoldScan {
// Every region of the text that spans lines, ordered by first line (outer
// before inner): elements (an element whose end tag is left out ends before
// its next sibling of the same kind or where its parent ends), comments,
// and the rule blocks of CSS. Stray end tags are passed over.
std::vector<FoldRegion> regions(const TextSnapshot& t);
// Lines where a region may start, judged from the line alone (an element
// not closed on it, a comment or CSS block left open): for the fold markers.
bool mayStartRegion(QStringView line, int startState, int* endState = nullptr);
} // namespace FoldScan

class FoldModel {
public:
    explicit FoldModel(TextBuffer& buffer);
    ~FoldModel();
    FoldModel(const FoldModel&) = delete;
    FoldModel& operator=(const FoldModel&) = delete;

    // The regions of the current text, worked out once per revision.
    const std::vector<FoldRegion>& regions() const;
    // The outermost region starting on line, if any.
    const FoldRegion* regionAt(int line) const;

    // Folds lines first..last (first shown). False when there is nothing to hide.
    bool fold(int first, int last);
    // Unfolds the fold whose first line is line; false when there is none.
    bool unfoldAt(int line);
    // Unfolds every fold that hides line; true when one did.
    bool reveal(int line);
    void unfoldAll();
    // Folds every region, or those deeper than level (1: the outermost shown open).
    void foldAll(int level = 0);
    bool isFolded(int firstLine) const;
    int foldCount() const;
    // The folds as (first, last) lines, ordered, those emptied by edits left out.
    const std::vector<std::pair<int, int>>& folds() const;
    // Hidden lines as merged ranges [from, to], ordered.
    std::vector<std::pair<int, int>> hiddenLines() const;
    // Folded first lines, for keeping between sessions; restore folds regions
    // starting on those lines again (others are passed over).
    std::vector<int> foldedLines() const;
    void restore(const std::vector<int>& lines);
    // Forgets folds that edits left with nothing to hide.
    void prune();

private:
    struct Fold {
        int startMark;  // at the first line's start
        int endMark;    // at the last line's end
    };
    std::pair<int, int> linesOf(const Fold& f) const;

    void changed() { m_cacheRevision = ~quint64(0); }

    TextBuffer& m_buf;
    std::vector<Fold> m_folds;
    // folds() as of a revision of the text (its lines move with edits).
    mutable std::vector<std::pair<int, int>> m_cache;
    mutable quint64 m_cacheRevision = ~quint64(0);
    mutable std::vector<FoldRegion> m_regions;
    mutable quint64 m_regionsRevision = ~quint64(0);
};
