// Several carets and column (block) selections in the editor.
#include "editor/TOvcTextFileEditor.h"

#include "app/UiPrompter.h"
#include "editor/CaretSet.h"
#include "editor/SearchMarks.h"
#include "editor/TextSearch.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <algorithm>
#include <functional>

namespace {

// Text from outside (the program, the clipboard) with its line ends as '\n'.
QString plainLines(QString text)
{
    if (text.contains(QLatin1Char('\r'))) {
        text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    }
    return text;
}

} // namespace

// ---------------------------------------------------------------- several carets

int TOvcTextFileEditor::caretCount() const
{
    return 1 + m_carets->count();
}

std::vector<CaretSel> TOvcTextFileEditor::carets() const
{
    std::vector<CaretSel> all = m_carets->extras();
    all.push_back({anchorOffset(), caretOffset(), true});
    return CaretSet::normalized(all);
}

void TOvcTextFileEditor::applyCarets(const std::vector<CaretSel>& list)
{
    std::vector<CaretSel> all = CaretSet::normalized(list);
    if (all.empty())
        return;
    auto primary = std::find_if(all.begin(), all.end(), [](const CaretSel& c) { return c.primary; });
    if (primary == all.end())
        primary = all.begin();
    m_buf.MoveMark(m_anchorMark, std::clamp<qsizetype>(primary->anchor, 0, m_buf.Length()));
    m_buf.MoveMark(m_caretMark, std::clamp<qsizetype>(primary->caret, 0, m_buf.Length()));
    primary->primary = true;
    m_carets->set(all);
    caretMoved();
    ensureCaretVisible();
    viewport()->update();
    emit selectionChanged();
}

void TOvcTextFileEditor::SetCarets(const std::vector<CaretSel>& list)
{
    m_blockActive = false;
    applyCarets(list);
}

void TOvcTextFileEditor::AddCaret(qsizetype offset)
{
    offset = std::clamp<qsizetype>(offset, 0, m_buf.Length());
    std::vector<CaretSel> all = carets();
    for (CaretSel& c : all)
        c.primary = false;
    // The new caret is the one the view follows.
    all.push_back({offset, offset, true});
    m_blockActive = false;
    applyCarets(all);
}

bool TOvcTextFileEditor::AddNextOccurrence()
{
    if (!hasSelection()) {
        selectWordAt(caretOffset());
        return hasSelection();
    }
    // The text of the selection, next after the last caret (wrapping round).
    const QString text = selectedText();
    std::vector<CaretSel> all = carets();
    const TextFinder finder(text, SearchFlags::MatchCase);
    const TextSnapshot& t = m_buf.Text();
    TextRange found = finder.find(t, all.back().end(), false);
    if (found.start < 0)
        found = finder.find(t, 0, false);
    const bool taken = std::any_of(all.begin(), all.end(), [&](const CaretSel& c) { return c.start() == found.start; });
    if (found.start < 0 || taken) {
        UiPrompter::instance().beep();
        return false;
    }
    for (CaretSel& c : all)
        c.primary = false;
    all.push_back({found.start, found.start + found.length, true});
    m_blockActive = false;
    applyCarets(all);
    return true;
}

void TOvcTextFileEditor::ClearExtraCarets()
{
    m_carets->clear();
    m_blockActive = false;
    viewport()->update();
}

qsizetype TOvcTextFileEditor::displayColumn(qsizetype offset) const
{
    const TextSnapshot& t = m_buf.Text();
    const int line = int(t.LineOfOffset(offset));
    return columnOf(line, offset - t.LineStart(line));
}

qsizetype TOvcTextFileEditor::offsetAtColumn(int line, qsizetype column) const
{
    // The character starting at or after the column (a line too short: its end).
    const TextSnapshot& t = m_buf.Text();
    const qsizetype ls = t.LineStart(line);
    qsizetype at = offsetOfColumn(line, column);
    while (at < t.LineLength(line) && columnOf(line, at) < column)
        ++at;
    return ls + at;
}

void TOvcTextFileEditor::SelectBlock(int line1, int column1, int line2, int column2)
{
    const int last = int(m_buf.LineCount()) - 1;
    m_blockLine[0] = std::clamp(line1, 0, last);
    m_blockLine[1] = std::clamp(line2, 0, last);
    m_blockColumn[0] = std::max(0, column1);
    m_blockColumn[1] = std::max(0, column2);
    m_blockActive = true;
    updateBlock();
}

void TOvcTextFileEditor::updateBlock()
{
    const int from = std::min(m_blockLine[0], m_blockLine[1]), to = std::max(m_blockLine[0], m_blockLine[1]);
    const int c1 = m_blockColumn[0], c2 = m_blockColumn[1];
    std::vector<CaretSel> all;
    all.reserve(size_t(to - from + 1));
    for (int l = from; l <= to; ++l) {
        if (isLineHidden(l))
            continue;
        const qsizetype a = offsetAtColumn(l, c1), b = offsetAtColumn(l, c2);
        // The caret stands on the side the block grows to; the line the drag is on leads.
        all.push_back({a, b, l == m_blockLine[1]});
    }
    const bool keep = m_blockActive;
    applyCarets(all);
    m_blockActive = keep;
}

bool TOvcTextFileEditor::multiCaretKey(QKeyEvent* e)
{
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    const int key = e->key();
    const bool arrow = key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
    // Alt+Shift+arrows: a block from the caret, grown a column or a line at a time.
    if (mods == (Qt::AltModifier | Qt::ShiftModifier) && arrow) {
        if (!m_blockActive) {
            const TextSnapshot& t = m_buf.Text();
            const int line = int(t.LineOfOffset(caretOffset()));
            m_blockLine[0] = m_blockLine[1] = line;
            m_blockColumn[0] = m_blockColumn[1] = int(displayColumn(caretOffset()));
        }
        if (key == Qt::Key_Left)
            m_blockColumn[1] = std::max(0, m_blockColumn[1] - 1);
        else if (key == Qt::Key_Right)
            ++m_blockColumn[1];
        else
            m_blockLine[1] = std::clamp(m_blockLine[1] + (key == Qt::Key_Up ? -1 : 1), 0, int(m_buf.LineCount()) - 1);
        m_blockActive = true;
        updateBlock();
        return true;
    }
    if (mods == Qt::ControlModifier && key == Qt::Key_D) {
        AddNextOccurrence();
        return true;
    }
    if (m_carets->isEmpty())
        return false;
    // A modifier pressed on its own changes nothing yet.
    if (key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt || key == Qt::Key_Meta
        || key == Qt::Key_AltGr || key == Qt::Key_CapsLock || key == Qt::Key_unknown)
        return false;
    if (key == Qt::Key_Escape) {
        ClearExtraCarets();
        return true;
    }
    const std::vector<CaretSel> all = carets();
    const TextSnapshot& t = m_buf.Text();
    if (e->matches(QKeySequence::Copy) || e->matches(QKeySequence::Cut)) {
        const QStringList texts = CaretSet::texts(t, all);
        QGuiApplication::clipboard()->setText(texts.join(QLatin1Char('\n')));
        if (e->matches(QKeySequence::Cut) && !m_readOnly)
            applyCarets(CaretSet::erase(m_buf, all, true));
        return true;
    }
    if (m_readOnly && !arrow && key != Qt::Key_Home && key != Qt::Key_End)
        return false;
    if (e->matches(QKeySequence::Paste)) {
        const QString text = plainLines(QGuiApplication::clipboard()->text());
        QStringList lines = text.split(QLatin1Char('\n'));
        if (lines.size() > 1 && lines.back().isEmpty())
            lines.removeLast();
        // As many lines as carets: a line each; otherwise the whole text at each.
        if (lines.size() == qsizetype(all.size()))
            applyCarets(CaretSet::insertEach(m_buf, all, lines));
        else if (!text.isEmpty())
            applyCarets(CaretSet::insert(m_buf, all, text));
        m_blockActive = false;
        return true;
    }
    const bool shift = mods & Qt::ShiftModifier;
    if ((mods & ~Qt::ShiftModifier) == Qt::NoModifier) {
        if (key == Qt::Key_Backspace || key == Qt::Key_Delete) {
            applyCarets(CaretSet::erase(m_buf, all, key == Qt::Key_Backspace));
            m_blockActive = false;
            return true;
        }
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            applyCarets(CaretSet::insert(m_buf, all, QStringLiteral("\n")));
            m_blockActive = false;
            return true;
        }
        std::function<qsizetype(qsizetype)> to;
        switch (key) {
        case Qt::Key_Left:
            to = [&t](qsizetype c) { return std::max<qsizetype>(0, c - 1); };
            break;
        case Qt::Key_Right:
            to = [&t](qsizetype c) { return std::min(t.Length(), c + 1); };
            break;
        case Qt::Key_Home:
            to = [&t](qsizetype c) { return t.LineStart(t.LineOfOffset(c)); };
            break;
        case Qt::Key_End:
            to = [&t](qsizetype c) { return t.LineEndOffset(t.LineOfOffset(c)); };
            break;
        case Qt::Key_Up:
        case Qt::Key_Down: {
            const int by = key == Qt::Key_Up ? -1 : 1;
            to = [this, &t, by](qsizetype c) {
                const int line = int(t.LineOfOffset(c));
                int target = line + by;
                // Folded lines are passed over.
                while (target >= 0 && target < t.LineCount() && isLineHidden(target))
                    target += by;
                if (target < 0 || target >= t.LineCount())
                    return c;
                return offsetAtColumn(target, displayColumn(c));
            };
            break;
        }
        default:
            break;
        }
        if (to) {
            // Without Shift a selection ends at its edge, as with one caret.
            if (!shift && (key == Qt::Key_Left || key == Qt::Key_Right)) {
                std::vector<CaretSel> moved;
                for (const CaretSel& c : all) {
                    const qsizetype at = c.start() != c.end() ? (key == Qt::Key_Left ? c.start() : c.end()) : to(c.caret);
                    moved.push_back({at, at, c.primary});
                }
                applyCarets(moved);
            } else {
                applyCarets(CaretSet::move(all, to, shift));
            }
            m_blockActive = false;
            return true;
        }
        const QString text = e->text();
        if (!text.isEmpty() && text.at(0).isPrint()) {
            applyCarets(CaretSet::insert(m_buf, all, text));
            m_blockActive = false;
            return true;
        }
        if (key == Qt::Key_Tab) {
            applyCarets(CaretSet::insert(m_buf, all, QStringLiteral("\t")));
            return true;
        }
    }
    // Any other key: back to one caret, and the key does what it always does.
    ClearExtraCarets();
    return false;
}
