// Folding in the editor: folded lines take no row, the caret keeps out of them.
#include "editor/TOvcTextFileEditor.h"

#include "app/BusyCursor.h"

#include "app/UiPrompter.h"
#include "editor/FoldGutter.h"
#include "editor/FoldModel.h"
#include "editor/LineNumberGutter.h"

#include <QApplication>
#include <QScrollBar>
#include <algorithm>

// ---------------------------------------------------------------- folding

void TOvcTextFileEditor::foldsChanged()
{
    m_folds->prune();
    m_hiddenRanges = m_folds->hiddenLines();
    if (m_wordWrap)
        rebuildRowIndex();
    else
        recomputeAllRows();
    updateScrollBars();
    keepCaretOutOfFolds();
    viewport()->update();
    m_gutter->update();
    m_foldGutter->update();
}

void TOvcTextFileEditor::keepCaretOutOfFolds()
{
    if (m_hiddenRanges.empty())
        return;
    const TextSnapshot& t = m_buf.Text();
    const int line = int(t.LineOfOffset(caretOffset()));
    const std::pair<int, int>* hidden = hiddenRangeOf(line);
    if (!hidden)
        return;
    if (m_keyStep != 0) {
        // A key steps over the folded lines.
        const qsizetype to = m_keyStep > 0 && hidden->second + 1 < t.LineCount() ? t.LineStart(hidden->second + 1)
                                                                                 : t.LineEndOffset(hidden->first - 1);
        const bool selecting = caretOffset() != anchorOffset();
        m_buf.MoveMark(m_caretMark, to);
        if (!selecting)
            m_buf.MoveMark(m_anchorMark, to);
        return;
    }
    // Put there by a search, Go to or a bookmark: what hides it opens.
    while (m_folds->reveal(line)) {
    }
    m_hiddenRanges = m_folds->hiddenLines();
    if (m_wordWrap)
        rebuildRowIndex();
    else
        recomputeAllRows();
    viewport()->update();
    m_gutter->update();
    m_foldGutter->update();
}

bool TOvcTextFileEditor::ToggleFold(int line)
{
    if (m_folds->unfoldAt(line)) {
        foldsChanged();
        return true;
    }
    const FoldRegion* r = m_folds->regionAt(line);
    if (!r || !m_folds->fold(r->first, r->last)) {
        UiPrompter::instance().beep();
        return false;
    }
    foldsChanged();
    return true;
}

bool TOvcTextFileEditor::FoldAtCaret()
{
    const int line = int(m_buf.Text().LineOfOffset(caretOffset()));
    // The innermost region holding the caret's line.
    const FoldRegion* best = nullptr;
    for (const FoldRegion& r : m_folds->regions()) {
        if (r.first > line)
            break;
        if (r.last >= line && !m_folds->isFolded(r.first) && (!best || r.depth >= best->depth))
            best = &r;
    }
    if (!best || !m_folds->fold(best->first, best->last)) {
        UiPrompter::instance().beep();
        return false;
    }
    // The caret goes to the line left shown.
    const TextSnapshot& t = m_buf.Text();
    if (line != best->first)
        setCaret(t.LineStart(best->first));
    foldsChanged();
    return true;
}

bool TOvcTextFileEditor::UnfoldAtCaret()
{
    const int line = int(m_buf.Text().LineOfOffset(caretOffset()));
    if (!m_folds->unfoldAt(line)) {
        UiPrompter::instance().beep();
        return false;
    }
    foldsChanged();
    return true;
}

void TOvcTextFileEditor::FoldAll()
{
    BusyCursor busy;
    m_folds->foldAll(0);
    foldsChanged();
}

void TOvcTextFileEditor::UnfoldAll()
{
    m_folds->unfoldAll();
    foldsChanged();
}

void TOvcTextFileEditor::FoldToLevel(int level)
{
    BusyCursor busy;
    m_folds->unfoldAll();
    m_folds->foldAll(std::max(0, level));
    foldsChanged();
}

void TOvcTextFileEditor::RestoreFolds(const std::vector<int>& lines)
{
    m_folds->restore(lines);
    foldsChanged();
}

bool TOvcTextFileEditor::Folding() const
{
    return !m_foldGutter->isHidden();
}

void TOvcTextFileEditor::SetFolding(bool on)
{
    m_foldGutter->setVisible(on);
    updateGutterGeometry();
}
