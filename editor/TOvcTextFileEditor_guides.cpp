// The editor's guides: wrap column, visible blanks, indentation guides,
// wrapped-row markers and indented wrapped rows.
#include "editor/TOvcTextFileEditor.h"

#include "editor/LineNumberGutter.h"
#include "editor/ViewGuides.h"

#include <algorithm>

void TOvcTextFileEditor::SetWrapAtColumn(int column)
{
    column = std::max(0, column);
    if (column == m_wrapAt)
        return;
    m_wrapAt = column;
    if (m_wordWrap) {
        recomputeAllRows();
        ensureCaretVisible();
        m_gutter->update();
    }
    viewport()->update();
}

void TOvcTextFileEditor::SetShowWhitespace(bool on)
{
    m_showWhitespace = on;
    viewport()->update();
}

void TOvcTextFileEditor::SetIndentGuides(bool on)
{
    m_indentGuides = on;
    viewport()->update();
}

void TOvcTextFileEditor::SetWrapMarkers(bool on)
{
    m_wrapMarkers = on;
    viewport()->update();
}

void TOvcTextFileEditor::SetWrapIndent(bool on)
{
    if (on == m_wrapIndent)
        return;
    m_wrapIndent = on;
    if (m_wordWrap) {
        recomputeAllRows();
        ensureCaretVisible();
        m_gutter->update();
    }
    viewport()->update();
}

qsizetype TOvcTextFileEditor::wrapHang(int line) const
{
    if (!m_wrapIndent || !m_wordWrap)
        return 0;
    const TextSnapshot& t = m_buf.Text();
    const qsizetype n = std::min<qsizetype>(t.LineLength(line), 1024);
    const int indent = ViewGuides::indentColumns(t.Text(t.LineStart(line), n), m_tabSize);
    const int width = m_rowsWidth > 0 ? m_rowsWidth : wrapColumns();
    return std::clamp<qsizetype>(indent, 0, width / 2);
}

int TOvcTextFileEditor::guideIndent(int line) const
{
    const TextSnapshot& t = m_buf.Text();
    auto indentOf = [&](int l) {
        const qsizetype ls = t.LineStart(l);
        const qsizetype n = std::min<qsizetype>(t.LineLength(l), 512);
        return ViewGuides::indentColumns(t.Text(ls, n), m_tabSize);
    };
    const int own = indentOf(line);
    if (own >= 0 || t.LineLength(line) > 512)
        return std::max(own, 0);
    // A blank line: as the lines with text nearest above and below it.
    int above = -1, below = -1;
    for (int l = line - 1; l >= 0 && l >= line - 50 && above < 0; --l)
        above = indentOf(l);
    for (int l = line + 1; l < t.LineCount() && l <= line + 50 && below < 0; ++l)
        below = indentOf(l);
    return std::max(ViewGuides::blankLineIndent(above, below), 0);
}
