// The editor's search: finding with the dialog's options and wrap-around,
// every match marked and counted, the scope, and Replace on the match found.
#include "editor/TOvcTextFileEditor.h"

#include "app/BusyCursor.h"

#include "editor/SearchMarks.h"

#include <QApplication>
#include <QScrollBar>
#include <algorithm>
#include <tuple>

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

void TOvcTextFileEditor::prepareScope(int flags)
{
    m_scopeFresh = false;
    if (!(flags & SearchFlags::InSelection)) {
        m_searchMarks->clearScope();
        return;
    }
    if (!m_searchMarks->hasScope() && hasSelection()) {
        m_searchMarks->setScope(std::min(caretOffset(), anchorOffset()), std::max(caretOffset(), anchorOffset()));
        m_scopeFresh = true;
    }
}

TextRange TOvcTextFileEditor::findMatch(const QString& text, int flags) const
{
    const TextFinder finder(plainLines(text), flags);
    const bool backward = flags & SearchFlags::Backward;
    const qsizetype a = std::min(caretOffset(), anchorOffset());
    const qsizetype b = std::max(caretOffset(), anchorOffset());
    qsizetype lo = 0, hi = m_buf.Length();
    if (flags & SearchFlags::InSelection)
        std::tie(lo, hi) = m_searchMarks->scope();
    qsizetype origin = backward ? a : b;
    if ((flags & SearchFlags::Global) || m_scopeFresh)
        origin = backward ? hi : lo;
    return finder.find(m_buf.Text(), std::clamp(origin, lo, hi), backward, lo, hi);
}

QString TOvcTextFileEditor::searchMarkText() const
{
    return m_searchMarks->finder().text();
}

bool TOvcTextFileEditor::SearchText(const QString& text, int flags)
{
    m_searchError.clear();
    if (text.isEmpty() || text.size() > MaxSearchLength)
        return false;
    const TextFinder finder(plainLines(text), flags);
    if (!finder.isValid()) {
        m_searchError = finder.errorString();
        return false;
    }
    BusyCursor busy;
    prepareScope(flags);
    const TextRange found = findMatch(text, flags);
    m_scopeFresh = false;
    if (found.start < 0)
        return false;
    m_searchMarks->setSearch(plainLines(text), flags);
    setSelection(found.start, found.start + found.length);
    viewport()->update();
    updatePrimarySelection();
    return true;
}

bool TOvcTextFileEditor::FindNext(const QString& text, int flags, bool* wrapped)
{
    if (wrapped)
        *wrapped = false;
    if (SearchText(text, flags))
        return true;
    if ((flags & SearchFlags::Global) || !m_searchError.isEmpty() || text.isEmpty())
        return false;
    if (!SearchText(text, flags | SearchFlags::Global))
        return false;
    if (wrapped)
        *wrapped = true;
    return true;
}

void TOvcTextFileEditor::MarkSearchMatches(const QString& text, int flags)
{
    m_searchError.clear();
    const TextFinder finder(plainLines(text), flags);
    if (!finder.isValid()) {
        m_searchError = finder.errorString();
        m_searchMarks->clear();
    } else {
        prepareScope(flags);
        m_scopeFresh = false;
        m_searchMarks->setSearch(finder.text(), flags);
    }
    viewport()->update();
}

void TOvcTextFileEditor::ClearSearchMarks()
{
    m_searchMarks->clear();
    viewport()->update();
}

void TOvcTextFileEditor::ClearSearchScope()
{
    m_searchMarks->clearScope();
    viewport()->update();
}

int TOvcTextFileEditor::searchMatchCount() const
{
    return m_searchMarks->isActive() ? m_searchMarks->count() : 0;
}

int TOvcTextFileEditor::searchMatchNumber() const
{
    if (!m_searchMarks->isActive() || !hasSelection())
        return 0;
    const qsizetype a = std::min(caretOffset(), anchorOffset());
    return m_searchMarks->numberOf(TextRange{a, std::max(caretOffset(), anchorOffset()) - a});
}

QString TOvcTextFileEditor::searchStatus() const
{
    const int n = searchMatchCount();
    if (n == 0)
        return QStringLiteral("No matches");
    if (const int k = searchMatchNumber())
        return QStringLiteral("%1 of %2").arg(k).arg(n);
    return n == 1 ? QStringLiteral("1 match") : QStringLiteral("%1 matches").arg(n);
}

int TOvcTextFileEditor::ReplaceText(const QString& text, const QString& replacement, int flags)
{
    m_searchError.clear();
    if (m_readOnly || text.isEmpty() || text.size() > MaxSearchLength || replacement.size() > MaxSearchLength)
        return 0;
    const QString with = plainLines(replacement);
    const TextFinder finder(plainLines(text), flags);
    if (!finder.isValid()) {
        m_searchError = finder.errorString();
        return 0;
    }
    prepareScope(flags);
    const bool backward = flags & SearchFlags::Backward;
    if (flags & SearchFlags::ReplaceAll) {
        BusyCursor busy;
        qsizetype lo = 0, hi = m_buf.Length();
        if (flags & SearchFlags::InSelection)
            std::tie(lo, hi) = m_searchMarks->scope();
        if (!(flags & SearchFlags::Global) && !m_scopeFresh) {
            if (backward)
                hi = std::clamp(std::min(caretOffset(), anchorOffset()), lo, hi);
            else
                lo = std::clamp(std::max(caretOffset(), anchorOffset()), lo, hi);
        }
        m_scopeFresh = false;
        int n = 0;
        if (!finder.isRegExp()) {
            n = m_buf.ReplaceAll(finder.text(), with, flags & (SearchFlags::MatchCase | SearchFlags::WholeWord), lo, hi);
        } else {
            const std::vector<TextRange> all = finder.findAll(m_buf.Text(), lo, hi);
            m_buf.BeginEditGroup();
            for (auto it = all.rbegin(); it != all.rend(); ++it)
                m_buf.Replace(it->start, it->length, finder.replacementFor(m_buf.Text(), *it, with));
            m_buf.EndEditGroup();
            n = int(all.size());
        }
        if (n > 0)
            setCaret(caretOffset());
        return n;
    }
    if (!(flags & SearchFlags::ReplaceOne))
        return 0;
    BusyCursor busy;
    // The match a search selected is the one replaced; else the next one.
    const qsizetype a = std::min(caretOffset(), anchorOffset());
    TextRange found{a, std::max(caretOffset(), anchorOffset()) - a};
    const auto [lo, hi] = (flags & SearchFlags::InSelection) ? m_searchMarks->scope()
                                                             : std::pair<qsizetype, qsizetype>(0, m_buf.Length());
    if (m_scopeFresh || found.start < lo || found.start + found.length > hi || !finder.isMatch(m_buf.Text(), found))
        found = findMatch(text, flags);
    m_scopeFresh = false;
    if (found.start < 0)
        return 0;
    const QString put = finder.replacementFor(m_buf.Text(), found, with);
    m_buf.Replace(found.start, found.length, put);
    m_searchMarks->setSearch(finder.text(), flags);
    // A backward search goes on from before the replacement.
    setCaret(backward ? found.start : found.start + put.size());
    return 1;
}
