// Auto pairs of brackets and quotes, their marks, and centring the caret.
#include "editor/TOvcTextFileEditor.h"

#include "editor/AutoPairs.h"

#include <QScrollBar>
#include <algorithm>
#include <climits>

void TOvcTextFileEditor::SetAutoPairs(bool on)
{
    m_autoPairs = on;
    if (!on)
        forgetPendingClosers();
}

void TOvcTextFileEditor::forgetPendingClosers()
{
    for (int m : m_pendingClosers)
        m_buf.RemoveMark(m);
    m_pendingClosers.clear();
}

bool TOvcTextFileEditor::typePairChar(const QString& text)
{
    if (!m_autoPairs || text.size() != 1 || m_overwrite)
        return false;
    const QChar c = text.at(0);
    const TextSnapshot& t = m_buf.Text();
    const qsizetype caret = caretOffset();
    // Typing the closing character put in before steps over it.
    if (!hasSelection() && AutoPairs::isCloser(c) && t.CharAt(caret) == c) {
        for (auto it = m_pendingClosers.begin(); it != m_pendingClosers.end(); ++it) {
            if (m_buf.MarkOffset(*it) == caret) {
                m_buf.RemoveMark(*it);
                m_pendingClosers.erase(it);
                setCaret(caret + 1);
                return true;
            }
        }
    }
    if (hasSelection()) {
        // Brackets and quotes go around the selection, which stays selected.
        static const QString kWrapping = QStringLiteral("([{\"'");
        if (!kWrapping.contains(c))
            return false;
        const QChar closer = c == QLatin1Char('(') ? QLatin1Char(')')
                           : c == QLatin1Char('[') ? QLatin1Char(']')
                           : c == QLatin1Char('{') ? QLatin1Char('}') : c;
        const qsizetype a = std::min(caret, anchorOffset()), b = std::max(caret, anchorOffset());
        m_buf.BeginEditGroup();
        m_buf.Insert(b, QString(closer));
        m_buf.Insert(a, QString(c));
        m_buf.EndEditGroup();
        setSelection(a + 1, b + 1);
        return true;
    }
    const QChar closer = AutoPairs::closerFor(c, caret > 0 ? t.CharAt(caret - 1) : QChar(), t.CharAt(caret));
    if (closer.isNull())
        return false;
    // The pair is one undo step with the typing around it.
    m_buf.Replace(caret, 0, QString(c) + closer, EditKind::Typing);
    setCaret(caret + 1);
    if (m_pendingClosers.size() >= 16)
        forgetPendingClosers();
    m_pendingClosers.push_back(m_buf.AddMark(caret + 1, MarkSide::After));
    return true;
}

bool TOvcTextFileEditor::deletePair()
{
    const qsizetype caret = caretOffset();
    const TextSnapshot& t = m_buf.Text();
    for (auto it = m_pendingClosers.begin(); it != m_pendingClosers.end(); ++it) {
        if (m_buf.MarkOffset(*it) != caret || caret == 0)
            continue;
        const QChar closer = t.CharAt(caret);
        if (!AutoPairs::isCloser(closer) || t.CharAt(caret - 1) != AutoPairs::openerOf(closer))
            return false;
        m_buf.RemoveMark(*it);
        m_pendingClosers.erase(it);
        removeRange(caret - 1, caret + 1, EditKind::Typing);
        return true;
    }
    return false;
}

void TOvcTextFileEditor::addBracketMarks()
{
    const QList<TextRange> old = m_bracketMarks;
    m_bracketMarks.clear();
    findBracketPair();
    if (old.size() != m_bracketMarks.size()
        || !std::equal(old.begin(), old.end(), m_bracketMarks.begin(),
                       [](const TextRange& a, const TextRange& b) { return a.start == b.start; }))
        viewport()->update();
}

void TOvcTextFileEditor::findBracketPair()
{
    if (!m_tagMarks.isEmpty() || hasSelection())
        return;
    const TextSnapshot& t = m_buf.Text();
    const qsizetype caret = caretOffset();
    // The character after the caret first, then the one before it.
    for (qsizetype at : {caret, caret - 1}) {
        const QChar c = t.CharAt(at);
        if (at < 0 || c.isNull() || QStringLiteral("()[]{}\"'").indexOf(c) < 0)
            continue;
        const qsizetype other = AutoPairs::partner(t, at);
        if (other < 0)
            continue;
        m_bracketMarks << TextRange{std::min(at, other), 1} << TextRange{std::max(at, other), 1};
        return;
    }
}

void TOvcTextFileEditor::CentreCaret()
{
    const TextSnapshot& t = m_buf.Text();
    const qsizetype caret = caretOffset();
    const int line = int(t.LineOfOffset(caret));
    const qint64 row = rowOfLine(line) + rowInLineOf(line, caret - t.LineStart(line));
    verticalScrollBar()->setValue(int(std::clamp<qint64>(row - visibleRows() / 2, 0, INT_MAX)));
}
