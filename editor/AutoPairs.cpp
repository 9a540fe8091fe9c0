#include "editor/AutoPairs.h"

#include "editor/TextSearch.h"

namespace AutoPairs {

namespace {
bool isQuote(QChar c)
{
    return c == QLatin1Char('"') || c == QLatin1Char('\'');
}
} // namespace

QChar closerFor(QChar typed, QChar before, QChar after)
{
    const bool wordAfter = !after.isNull() && TextSearch::isWordChar(after);
    switch (typed.unicode()) {
    case u'(':
        return wordAfter ? QChar() : QLatin1Char(')');
    case u'[':
        return wordAfter ? QChar() : QLatin1Char(']');
    case u'{':
        return wordAfter ? QChar() : QLatin1Char('}');
    case u'"':
    case u'\'': {
        static const QString kValueStarts = QStringLiteral("=([{,:");
        if (wordAfter || after == typed || before.isNull() || !kValueStarts.contains(before))
            return QChar();
        return typed;
    }
    default:
        return QChar();
    }
}

bool isCloser(QChar c)
{
    return c == QLatin1Char(')') || c == QLatin1Char(']') || c == QLatin1Char('}') || isQuote(c);
}

QChar openerOf(QChar closer)
{
    switch (closer.unicode()) {
    case u')':
        return QLatin1Char('(');
    case u']':
        return QLatin1Char('[');
    case u'}':
        return QLatin1Char('{');
    default:
        return closer;
    }
}

qsizetype partner(const TextSnapshot& t, qsizetype offset, qsizetype limit)
{
    if (offset < 0 || offset >= t.Length())
        return -1;
    const QChar c = t.CharAt(offset);
    if (isQuote(c)) {
        const qsizetype line = t.LineOfOffset(offset);
        const qsizetype ls = t.LineStart(line), le = t.LineEndOffset(line);
        if (le - ls > limit)
            return -1;
        const QString s = t.Text(ls, le - ls);
        const qsizetype at = offset - ls;
        const qsizetype before = s.left(at).count(c);
        const qsizetype p = before % 2 == 0 ? s.indexOf(c, at + 1) : s.lastIndexOf(c, at - 1);
        return p < 0 ? -1 : ls + p;
    }
    static const QString kOpen = QStringLiteral("([{"), kClose = QStringLiteral(")]}");
    const qsizetype open = kOpen.indexOf(c), close = kClose.indexOf(c);
    if (open < 0 && close < 0)
        return -1;
    const bool forward = open >= 0;
    const QChar self = c, other = forward ? kClose.at(open) : kOpen.at(close);
    int depth = 0;
    qsizetype found = -1;
    if (forward) {
        qsizetype pos = offset;
        t.ForEachChunk(offset, std::min(t.Length(), offset + limit), [&](QStringView chunk) {
            for (QChar ch : chunk) {
                if (ch == self) {
                    ++depth;
                } else if (ch == other && --depth == 0) {
                    found = pos;
                    return false;
                }
                ++pos;
            }
            return true;
        });
    } else {
        qsizetype pos = offset + 1;
        t.ForEachChunkBackward(std::max<qsizetype>(0, offset - limit), offset + 1, [&](QStringView chunk) {
            for (qsizetype i = chunk.size() - 1; i >= 0; --i) {
                --pos;
                const QChar ch = chunk[i];
                if (ch == self) {
                    ++depth;
                } else if (ch == other && --depth == 0) {
                    found = pos;
                    return false;
                }
            }
            return true;
        });
    }
    return found;
}

} // namespace AutoPairs
