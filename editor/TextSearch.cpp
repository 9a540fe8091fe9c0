#include "editor/TextSearch.h"

#include <QStringMatcher>

namespace TextSearch {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c.isMark() || c == QLatin1Char('_');
}

bool isWholeWord(QStringView text, qsizetype pos, qsizetype length)
{
    const qsizetype end = pos + length;
    return (pos == 0 || !isWordChar(text.at(pos - 1)))
        && (end >= text.size() || !isWordChar(text.at(end)));
}

qsizetype indexOf(QStringView text, QStringView needle, qsizetype from, Qt::CaseSensitivity cs,
                  bool wholeWord)
{
    if (needle.isEmpty() || from < 0)
        return -1;
    for (qsizetype p = from; p <= text.size() - needle.size();) {
        p = text.indexOf(needle, p, cs);
        if (p < 0 || !wholeWord || isWholeWord(text, p, needle.size()))
            return p;
        ++p;
    }
    return -1;
}

qsizetype lastIndexOf(QStringView text, QStringView needle, qsizetype end, Qt::CaseSensitivity cs,
                      bool wholeWord)
{
    if (needle.isEmpty())
        return -1;
    // A negative start would count from the end of the text: stop before that.
    for (qsizetype p = std::min(end, text.size()) - needle.size(); p >= 0;) {
        p = text.lastIndexOf(needle, p, cs);
        if (p < 0 || !wholeWord || isWholeWord(text, p, needle.size()))
            return p;
        --p;
    }
    return -1;
}

QList<qsizetype> findAll(QStringView text, QStringView needle, qsizetype from, qsizetype to,
                         Qt::CaseSensitivity cs, bool wholeWord)
{
    QList<qsizetype> found;
    if (needle.isEmpty())
        return found;
    from = std::max<qsizetype>(from, 0);
    to = std::min(to, text.size());
    const QStringMatcher matcher(needle, cs);
    const QStringView range = text.first(to);
    for (qsizetype p = matcher.indexIn(range, from); p >= 0; p = matcher.indexIn(range, p)) {
        if (!wholeWord || isWholeWord(text, p, needle.size())) {
            found.append(p);
            p += needle.size();
        } else {
            ++p;
        }
    }
    return found;
}

} // namespace TextSearch
