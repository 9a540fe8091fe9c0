#pragma once
// Plain text matching for the editor's search and replace: letter case
// folded or not, optionally whole words only.
#include <QList>
#include <QStringView>

namespace TextSearch {

// Letters, digits, combining marks and '_' make up words.
bool isWordChar(QChar c);
// True when text[pos, pos + length) has no word character directly before or after it.
bool isWholeWord(QStringView text, qsizetype pos, qsizetype length);

// First match that starts at or after from; -1 when there is none.
qsizetype indexOf(QStringView text, QStringView needle, qsizetype from,
                  Qt::CaseSensitivity cs, bool wholeWord);
// Last match that ends at or before end; -1 when there is none.
qsizetype lastIndexOf(QStringView text, QStringView needle, qsizetype end,
                      Qt::CaseSensitivity cs, bool wholeWord);
// Start of every match lying inside [from, to), left to right, without overlaps.
QList<qsizetype> findAll(QStringView text, QStringView needle, qsizetype from, qsizetype to,
                         Qt::CaseSensitivity cs, bool wholeWord);

} // namespace TextSearch
