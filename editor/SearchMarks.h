#pragma once
// What a search looks for (plain text or a regular expression, letter case,
// whole words), where it finds it in a text, and the list of every match
// kept up to date while the text is edited, for marking them on screen and
// counting them ("3 of 17").
//
// Regular expressions match within one line: "^" and "$" are a line's start
// and end, and a match never runs over a line end. Plain texts may hold
// line ends. Empty matches (a pattern like "a*" where no "a" is) count as
// none.
#include "editor/EditorContract.h"
#include "editor/TextBuffer.h"

#include <QRegularExpression>
#include <QString>

#include <utility>
#include <vector>

class TextFinder {
public:
    // flags: SearchFlags MatchCase, WholeWord and RegExp; others are ignored.
    TextFinder(const QString& text, int flags);

    const QString& text() const { return m_text; }
    int flags() const { return m_flags; }
    bool isRegExp() const { return m_flags & SearchFlags::RegExp; }
    // False for an empty text or a pattern that does not compile.
    bool isValid() const;
    // Why a pattern does not compile ("" when it does).
    QString errorString() const;
    // A match may hold a line end (plain texts with one).
    bool spansLines() const { return !isRegExp() && m_text.contains(QLatin1Char('\n')); }

    // Forward: the first match starting at or after from. Backward: the last
    // match ending at or before from. Only matches inside [lo, hi) count (hi
    // -1: the text's end). {-1, 0} when there is none.
    TextRange find(const TextSnapshot& t, qsizetype from, bool backward, qsizetype lo = 0, qsizetype hi = -1) const;
    // Every match inside [lo, hi), left to right, none overlapping.
    std::vector<TextRange> findAll(const TextSnapshot& t, qsizetype lo = 0, qsizetype hi = -1) const;
    // True when exactly r is a match (a selection a search made).
    bool isMatch(const TextSnapshot& t, TextRange r) const;
    // What replaces the match r: for regular expressions "\1" or "$1" (up to
    // 9) stand for the groups, "\0" or "$0" for the whole match, "\n" and "\t"
    // for a line end and a tab, "\\" and "$$" for the characters themselves.
    // Plain searches take the replacement as it is.
    QString replacementFor(const TextSnapshot& t, TextRange r, const QString& replacement) const;
    static QString expandReplacement(const QString& replacement, const QRegularExpressionMatch& match);

private:
    // Calls f(lineStart, line) for the lines holding [lo, hi), whole, in order,
    // until it returns false.
    template <class F>
    static void forEachLine(const TextSnapshot& t, qsizetype lo, qsizetype hi, F&& f);
    bool acceptable(QStringView line, qsizetype pos, qsizetype length) const;
    QRegularExpressionMatch matchAt(const TextSnapshot& t, TextRange r) const;

    QString m_text;
    int m_flags = 0;
    QRegularExpression m_re;
};

// Every match of one search in a buffer, kept up to date as it is edited.
// Edits are followed line by line: only the changed lines are searched
// again (a plain text that holds a line end: the whole text, when next asked).
class SearchMarks : private TextBufferListener {
public:
    explicit SearchMarks(TextBuffer& buffer);
    ~SearchMarks() override;
    SearchMarks(const SearchMarks&) = delete;
    SearchMarks& operator=(const SearchMarks&) = delete;

    // Marks the matches of text; an empty or invalid search marks none.
    // Nothing is searched again when the search and the scope are the same.
    void setSearch(const QString& text, int flags);
    void clear();
    bool isActive() const { return m_finder.isValid(); }
    const TextFinder& finder() const { return m_finder; }

    // A part of the text the search keeps to (it moves with edits); none: all.
    void setScope(qsizetype from, qsizetype to);
    void clearScope();
    bool hasScope() const { return m_scopeFrom >= 0; }
    std::pair<qsizetype, qsizetype> scope() const;

    const std::vector<TextRange>& matches() const;
    int count() const { return int(matches().size()); }
    // 1-based number of the match that is exactly r; 0 when r is none.
    int numberOf(TextRange r) const;
    // The matches that overlap [from, to), as indices [first, last).
    std::pair<size_t, size_t> overlapping(qsizetype from, qsizetype to) const;

private:
    void TextChanged(const TextBuffer& buffer, const TextChange& change) override;
    void recompute() const;

    TextBuffer& m_buf;
    TextFinder m_finder{QString(), 0};
    int m_scopeFrom = -1;  // marks of the buffer
    int m_scopeTo = -1;
    mutable std::vector<TextRange> m_matches;
    mutable bool m_stale = false;
};
