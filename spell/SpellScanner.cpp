#include "spell/SpellScanner.h"

#include <QRegularExpression>

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('\'') || c == QChar(0x2019) || c.isMark();
}

bool isApostrophe(QChar c)
{
    return c == QLatin1Char('\'') || c == QChar(0x2019);
}

// Past a tag's end; notes the names of tags that open or close scripts and styles.
void readTag(const QString& line, int& pos, SpellScanState& st)
{
    const int n = int(line.size());
    while (pos < n) {
        const QChar c = line.at(pos);
        if (!st.quote.isNull()) {
            if (c == st.quote)
                st.quote = QChar();
            ++pos;
            continue;
        }
        if (st.readingName) {
            if (c.isLetterOrNumber() || c == QLatin1Char('-')) {
                st.tagName += c.toLower();
                ++pos;
                continue;
            }
            if (c == QLatin1Char('/') && st.tagName.isEmpty() && !st.closingTag) {
                st.closingTag = true;
                ++pos;
                continue;
            }
            st.readingName = false;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            st.quote = c;
        } else if (c == QLatin1Char('>')) {
            ++pos;
            st.mode = SpellScanState::Text;
            if (st.closingTag && st.tagName == st.rawElement)
                st.rawElement.clear();
            else if (!st.closingTag && (st.tagName == QLatin1String("script") || st.tagName == QLatin1String("style")))
                st.rawElement = st.tagName;
            return;
        }
        ++pos;
    }
}

void startTag(SpellScanState& st)
{
    st.mode = SpellScanState::Tag;
    st.tagName.clear();
    st.readingName = true;
    st.closingTag = false;
    st.quote = QChar();
}

// Whether the entity "&name;" writes a letter ("&eacute;", "&#233;"): a word
// holding one is not checked, since its letters are not all as typed.
bool isLetterEntity(const QString& name)
{
    if (name.startsWith(QLatin1Char('#'))) {
        bool ok = false;
        const uint code = name.startsWith(QLatin1String("#x"), Qt::CaseInsensitive) ? name.mid(2).toUInt(&ok, 16)
                                                                                      : name.mid(1).toUInt(&ok);
        return ok && code < 0x110000 && QChar::isLetter(char32_t(code));
    }
    static const QRegularExpression re(QStringLiteral(
        "^(?:[A-Za-z]{1,2}(?:acute|grave|circ|uml|tilde|ring|cedil|slash|lig)|szlig|eth|ETH|thorn|THORN)$"));
    return re.match(name).hasMatch();
}

// The entity starting at pos ("&...;"), or an empty text.
QString entityAt(const QString& line, int pos)
{
    const int n = int(line.size());
    if (pos >= n || line.at(pos) != QLatin1Char('&'))
        return QString();
    int e = pos + 1;
    while (e < n && e - pos <= 32 && (line.at(e).isLetterOrNumber() || line.at(e) == QLatin1Char('#')))
        ++e;
    return e < n && line.at(e) == QLatin1Char(';') && e > pos + 1 ? line.mid(pos + 1, e - pos - 1) : QString();
}

// The entity ending just before pos ("...;"), or an empty text.
QString entityBefore(const QString& line, int pos)
{
    if (pos < 1 || line.at(pos - 1) != QLatin1Char(';'))
        return QString();
    // An entity is short: look no further back than the longest one, so a
    // long line of "a;b;c" is read in one pass.
    for (int amp = pos - 2; amp >= 0 && pos - amp <= 34; --amp)
        if (line.at(amp) == QLatin1Char('&'))
            return entityAt(line, amp);
    return QString();
}

} // namespace

SpellWord SpellScanner::next(const QString& line, int& pos, SpellScanState& st)
{
    const int n = int(line.size());
    while (pos < n) {
        if (st.mode == SpellScanState::Comment) {
            const int end = int(line.indexOf(QLatin1String("-->"), pos));
            if (end < 0) {
                pos = n;
                break;
            }
            pos = end + 3;
            st.mode = SpellScanState::Text;
            continue;
        }
        if (st.mode == SpellScanState::Tag) {
            readTag(line, pos, st);
            continue;
        }
        if (!st.rawElement.isEmpty()) {
            // Inside a script or style: only its closing tag counts.
            const int end = int(line.indexOf(QLatin1String("</") + st.rawElement, pos, Qt::CaseInsensitive));
            if (end < 0) {
                pos = n;
                break;
            }
            pos = end + 1;
            startTag(st);
            continue;
        }
        const QChar c = line.at(pos);
        if (c == QLatin1Char('<')) {
            if (line.mid(pos, 4) == QLatin1String("<!--")) {
                st.mode = SpellScanState::Comment;
                pos += 4;
            } else {
                ++pos;
                startTag(st);
            }
            continue;
        }
        if (c == QLatin1Char('&')) {
            // A character entity: "&name;" or "&#123;" is no word.
            const QString name = entityAt(line, pos);
            pos += name.isEmpty() ? 1 : int(name.size()) + 2;
            continue;
        }
        if (!isWordChar(c)) {
            ++pos;
            continue;
        }
        int start = pos;
        int end = pos;
        while (end < n && isWordChar(line.at(end)))
            ++end;
        pos = end;
        // A word glued to a letter entity ("caf&eacute;") cannot be checked as typed.
        if (isLetterEntity(entityAt(line, end)) || isLetterEntity(entityBefore(line, start))) {
            while (pos < n && (isWordChar(line.at(pos)) || isLetterEntity(entityAt(line, pos)))) {
                const QString e = entityAt(line, pos);
                pos += e.isEmpty() ? 1 : int(e.size()) + 2;
            }
            continue;
        }
        while (start < end && isApostrophe(line.at(start)))
            ++start;
        if (end - start >= 2 && isApostrophe(line.at(end - 2)) && line.at(end - 1).toLower() == QLatin1Char('s'))
            end -= 2;
        while (end > start && isApostrophe(line.at(end - 1)))
            --end;
        if (end <= start)
            continue;
        const QString word = line.mid(start, end - start);
        bool hasDigit = false;
        for (QChar ch : word)
            hasDigit = hasDigit || ch.isDigit();
        if (hasDigit)
            continue;
        return {start, end - start, word};
    }
    return {};
}
