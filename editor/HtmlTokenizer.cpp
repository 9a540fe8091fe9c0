#include "editor/HtmlTokenizer.h"

#include <algorithm>

namespace Html {

using namespace Qt::Literals::StringLiterals;

namespace {

// Bits 0-4: where we are. Bits 5-6: the tag being read opens <style> (1)
// or <script> (2). Bits 7-8: the CSS place a CSS comment or string returns
// to. Bit 9: a "/" in a script starts a regular expression here. Bits
// 10-13: how many @media-like blocks (holding rules) are open. Bit 14: the
// at-rule being read holds rules. Bit 15: a stylesheet or script file (no
// markup around it). Bits 16-18: in a PHP block (code, a string, a
// comment); the lower bits then hold the state it returns to.
enum State : int {
    Text = 0,
    InTag = 1,
    AfterEquals = 2,
    ValueDq = 3,
    ValueSq = 4,
    Comment = 5,
    Declaration = 6,
    CData = 7,
    CssSelector = 8,
    CssProperty = 9,
    CssValue = 10,
    CssComment = 11,
    CssDq = 12,
    CssSq = 13,
    CssUrl = 14,
    CssAtRule = 15,
    Script = 16,
    ScriptBlockComment = 17,
    ScriptTemplate = 18,
    ScriptDq = 19,
    ScriptSq = 20,
    ScriptLineComment = 21,
};
enum Raw : int { NoRaw = 0, RawStyle = 1, RawScript = 2 };
enum Php : int { NoPhp = 0, PhpCode = 1, PhpDq = 2, PhpSq = 3, PhpBlockComment = 4, PhpLineComment = 5 };
// CSS places a comment or string returns to.
enum CssPlace : int { AtSelector = 0, AtProperty = 1, AtValue = 2, AtAtRule = 3 };

constexpr int kModeMask = 0x1F;
constexpr int kRegexOk = 1 << 9;
constexpr int kAtRules = 1 << 14;
constexpr int kPure = 1 << 15;

bool isNameStart(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

bool isNameChar(QChar c)
{
    return isNameStart(c) || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('-')
           || c == QLatin1Char(':') || c == QLatin1Char('_') || c == QLatin1Char('.');
}

bool isSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\f') || c == QLatin1Char('\r');
}

bool isIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

bool startsWithAt(QStringView s, qsizetype i, QLatin1StringView what)
{
    return s.size() - i >= what.size() && s.mid(i, what.size()).compare(what, Qt::CaseInsensitive) == 0;
}

bool isScriptKeyword(QStringView w)
{
    static constexpr QLatin1StringView kWords[] = {
        "async"_L1,  "await"_L1,    "break"_L1,   "case"_L1,   "catch"_L1,    "class"_L1,      "const"_L1,  "continue"_L1,
        "debugger"_L1, "default"_L1, "delete"_L1, "do"_L1,     "else"_L1,     "export"_L1,     "extends"_L1, "false"_L1,
        "finally"_L1, "for"_L1,     "function"_L1, "if"_L1,    "import"_L1,   "in"_L1,         "instanceof"_L1, "let"_L1,
        "new"_L1,    "null"_L1,     "of"_L1,      "return"_L1, "static"_L1,   "super"_L1,      "switch"_L1, "this"_L1,
        "throw"_L1,  "true"_L1,     "try"_L1,     "typeof"_L1, "undefined"_L1, "var"_L1,       "void"_L1,   "while"_L1,
        "with"_L1,   "yield"_L1};
    for (QLatin1StringView k : kWords) {
        if (w == k)
            return true;
    }
    return false;
}

// Keywords after which a "/" starts a regular expression, not a division.
bool keywordBeforeOperand(QStringView w)
{
    static constexpr QLatin1StringView kWords[] = {"return"_L1, "typeof"_L1, "instanceof"_L1, "in"_L1,   "of"_L1,    "new"_L1,  "delete"_L1,
                                         "void"_L1,   "throw"_L1,  "case"_L1,       "do"_L1,   "else"_L1,  "yield"_L1, "await"_L1};
    for (QLatin1StringView k : kWords) {
        if (w == k)
            return true;
    }
    return false;
}

// At-rules whose block holds rules (selectors), not declarations.
bool atRuleHoldsRules(QStringView name)
{
    static constexpr QLatin1StringView kNames[] = {"@media"_L1,    "@supports"_L1, "@document"_L1,      "@-moz-document"_L1,
                                         "@layer"_L1,    "@container"_L1, "@scope"_L1,        "@starting-style"_L1};
    for (QLatin1StringView k : kNames) {
        if (name.compare(k, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

class Lexer {
public:
    Lexer(QStringView line, int state, qsizetype until, bool lineEnds, QList<Token>* tokens, QList<TagEvent>* tags)
        : s(line), n(int(line.size())), until(until), lineEnds(lineEnds), tokens(tokens), tags(tags)
    {
        st = state & kModeMask;
        raw = (state >> 5) & 0x3;
        cssRet = (state >> 7) & 0x3;
        regexOk = (state & kRegexOk) != 0;
        depth = (state >> 10) & 0xF;
        atRules = (state & kAtRules) != 0;
        pure = (state & kPure) != 0;
        php = (state >> 16) & 0x7;
        if (tags && (st == InTag || st == AfterEquals || st == ValueDq || st == ValueSq)) {
            tags->append(TagEvent{-1, -1, -1, false, false, QString()});
            openTag = int(tags->size()) - 1;
        }
    }

    int run()
    {
        while (i < n && i < until) {
            if (php != NoPhp) {
                phpBlock(i);
                continue;
            }
            switch (st) {
            case Text: text(); break;
            case InTag: inTag(); break;
            case AfterEquals: afterEquals(); break;
            case ValueDq: quoted(QLatin1Char('"'), i); break;
            case ValueSq: quoted(QLatin1Char('\''), i); break;
            case Comment: untilText(i, QLatin1StringView("-->"), TokenKind::Comment); break;
            case Declaration: untilText(i, QLatin1StringView(">"), TokenKind::Doctype); break;
            case CData: untilText(i, QLatin1StringView("]]>"), TokenKind::CData); break;
            case CssSelector:
            case CssProperty:
            case CssValue:
            case CssAtRule: css(); break;
            case CssComment: cssComment(i); break;
            case CssDq: cssString(QLatin1Char('"'), i); break;
            case CssSq: cssString(QLatin1Char('\''), i); break;
            case CssUrl: cssUrl(i); break;
            case Script: script(); break;
            case ScriptBlockComment: scriptBlockComment(i); break;
            case ScriptTemplate: scriptTemplate(i); break;
            case ScriptDq: scriptString(QLatin1Char('"'), i); break;
            case ScriptSq: scriptString(QLatin1Char('\''), i); break;
            case ScriptLineComment: scriptLineComment(i); break;
            default: st = Text; break;
            }
        }
        stoppedAt = i;
        if (i >= n && lineEnds)
            endOfLine();
        return st | (raw << 5) | (cssRet << 7) | (regexOk ? kRegexOk : 0) | (depth << 10) | (atRules ? kAtRules : 0)
               | (pure ? kPure : 0) | (php << 16);
    }

    qsizetype stoppedAt = 0;

private:
    // What does not go on past a line's end.
    void endOfLine()
    {
        const bool escaped = n > 0 && s[n - 1] == QLatin1Char('\\');
        if (php == PhpLineComment)
            php = PhpCode;
        if (php != NoPhp)
            return;
        if (st == ScriptLineComment || ((st == ScriptDq || st == ScriptSq) && !escaped)) {
            st = Script;
            regexOk = true;
        } else if ((st == CssDq || st == CssSq) && !escaped) {
            st = cssPlace(cssRet);
        }
    }

    void add(int start, int length, TokenKind kind)
    {
        if (tokens && length > 0) {
            // Neighbouring runs of one kind become one token.
            if (!tokens->isEmpty() && tokens->last().kind == kind
                && tokens->last().start + tokens->last().length == start)
                tokens->last().length += length;
            else
                tokens->append(Token{start, length, kind});
        }
    }

    bool phpAt(int j) const { return !pure && j + 1 < n && s[j] == QLatin1Char('<') && s[j + 1] == QLatin1Char('?'); }

    // Where the text of a <style> or <script> element ends ("</style" or
    // "</script" in any case), from offset from on; n when it goes on past
    // the line. Remembered, so that the line is looked through once.
    int rawStop(int from)
    {
        if (pure || raw == NoRaw)
            return n;
        if (raw == cachedRaw && from >= cachedFrom && from <= cachedStop)
            return cachedStop;
        const QLatin1StringView end = raw == RawStyle ? QLatin1StringView("</style") : QLatin1StringView("</script");
        int found = n;
        for (int j = from; j + end.size() <= n; ++j) {
            j = int(s.indexOf(QLatin1Char('<'), j));
            if (j < 0)
                break;
            if (startsWithAt(s, j, end) && (j + end.size() == n || !isNameChar(s[j + end.size()]))) {
                found = j;
                break;
            }
        }
        cachedRaw = raw;
        cachedFrom = from;
        cachedStop = found;
        return found;
    }

    // Leaves <style> or <script> text at "</style" / "</script".
    bool leaveRaw()
    {
        if (s[i] == QLatin1Char('<') && rawStop(i) == i) {
            st = Text;
            raw = NoRaw;
            depth = 0;
            return true;
        }
        return false;
    }

    // At "<?".
    void startPhp()
    {
        const int start = i;
        i += 2;
        php = PhpCode;
        phpBlock(start);
    }

    // A PHP block up to its "?>"; strings and comments may hold one.
    void phpBlock(int start)
    {
        int j = i;
        while (j < n) {
            const QChar c = s[j];
            if (php == PhpCode || php == PhpLineComment) {
                if (c == QLatin1Char('?') && j + 1 < n && s[j + 1] == QLatin1Char('>')) {
                    add(start, j + 2 - start, TokenKind::ServerCode);
                    i = j + 2;
                    php = NoPhp;
                    return;
                }
                if (php == PhpCode) {
                    if (c == QLatin1Char('"'))
                        php = PhpDq;
                    else if (c == QLatin1Char('\''))
                        php = PhpSq;
                    else if (c == QLatin1Char('/') && j + 1 < n && s[j + 1] == QLatin1Char('*')) {
                        php = PhpBlockComment;
                        ++j;
                    } else if (c == QLatin1Char('#') || (c == QLatin1Char('/') && j + 1 < n && s[j + 1] == QLatin1Char('/')))
                        php = PhpLineComment;
                }
                ++j;
            } else if (php == PhpDq || php == PhpSq) {
                if (c == QLatin1Char('\\'))
                    ++j;
                else if (c == (php == PhpDq ? QLatin1Char('"') : QLatin1Char('\'')))
                    php = PhpCode;
                ++j;
            } else {  // block comment
                if (c == QLatin1Char('*') && j + 1 < n && s[j + 1] == QLatin1Char('/')) {
                    php = PhpCode;
                    ++j;
                }
                ++j;
            }
        }
        add(start, n - start, TokenKind::ServerCode);
        i = n;
    }

    void text()
    {
        int j = i;
        while (j < n && s[j] != QLatin1Char('<') && s[j] != QLatin1Char('&'))
            ++j;
        i = j;
        if (i >= n)
            return;
        if (s[i] == QLatin1Char('&')) {
            entity();
            return;
        }
        // '<'
        const int start = i;
        if (startsWithAt(s, i, QLatin1StringView("<!--"))) {
            i += 4;
            st = Comment;
            untilText(start, QLatin1StringView("-->"), TokenKind::Comment);
            return;
        }
        if (s.mid(i).startsWith(QLatin1StringView("<![CDATA["))) {
            i += 9;
            st = CData;
            untilText(start, QLatin1StringView("]]>"), TokenKind::CData);
            return;
        }
        if (i + 1 < n && s[i + 1] == QLatin1Char('!')) {
            i += 2;
            st = Declaration;
            untilText(start, QLatin1StringView(">"), TokenKind::Doctype);
            return;
        }
        if (phpAt(i)) {
            startPhp();
            return;
        }
        const bool closing = i + 1 < n && s[i + 1] == QLatin1Char('/');
        const int nameStart = i + (closing ? 2 : 1);
        if (nameStart < n && isNameStart(s[nameStart])) {
            int j2 = nameStart;
            while (j2 < n && isNameChar(s[j2]))
                ++j2;
            const QStringView name = s.mid(nameStart, j2 - nameStart);
            add(i, j2 - i, TokenKind::Tag);
            if (tags) {
                tags->append(TagEvent{i, j2, -1, closing, false, name.toString()});
                openTag = int(tags->size()) - 1;
            }
            raw = NoRaw;
            if (!closing) {
                if (name.compare(QLatin1StringView("style"), Qt::CaseInsensitive) == 0)
                    raw = RawStyle;
                else if (name.compare(QLatin1StringView("script"), Qt::CaseInsensitive) == 0)
                    raw = RawScript;
            }
            i = j2;
            st = InTag;
            return;
        }
        // A "<" that starts no tag is text.
        ++i;
    }

    void entity()
    {
        int j = i + 1;
        if (j < n && s[j] == QLatin1Char('#')) {
            ++j;
            if (j < n && (s[j] == QLatin1Char('x') || s[j] == QLatin1Char('X')))
                ++j;
        }
        const int body = j;
        while (j < n && s[j].isLetterOrNumber() && s[j].unicode() < 128)
            ++j;
        if (j == body) {
            ++i;  // a lone "&" is text
            return;
        }
        if (j < n && s[j] == QLatin1Char(';'))
            ++j;
        add(i, j - i, TokenKind::Entity);
        i = j;
    }

    void endTag(int length, bool selfClosing)
    {
        add(i, length, TokenKind::Tag);
        i += length;
        if (tags && openTag >= 0) {
            (*tags)[openTag].end = i;
            (*tags)[openTag].selfClosing = selfClosing;
        }
        openTag = -1;
        st = Text;
        depth = 0;
        if (!selfClosing && raw == RawStyle) {
            st = CssSelector;
        } else if (!selfClosing && raw == RawScript) {
            st = Script;
            regexOk = true;
        }
        if (st == Text)
            raw = NoRaw;
    }

    void inTag()
    {
        while (i < n && isSpace(s[i]))
            ++i;
        if (i >= n)
            return;
        const QChar c = s[i];
        if (c == QLatin1Char('>')) {
            endTag(1, false);
        } else if (c == QLatin1Char('/') && i + 1 < n && s[i + 1] == QLatin1Char('>')) {
            endTag(2, true);
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const int start = i++;
            st = c == QLatin1Char('"') ? ValueDq : ValueSq;
            quoted(c, start);
        } else if (c == QLatin1Char('=')) {
            ++i;
            st = AfterEquals;
        } else if (phpAt(i)) {
            startPhp();
        } else if (c == QLatin1Char('<')) {
            // A tag left open ends where the new one starts.
            if (tags && openTag >= 0)
                (*tags)[openTag].end = i;
            openTag = -1;
            raw = NoRaw;
            st = Text;
        } else {
            int j = i;
            while (j < n && !isSpace(s[j]) && s[j] != QLatin1Char('=') && s[j] != QLatin1Char('>')
                   && s[j] != QLatin1Char('"') && s[j] != QLatin1Char('\'') && s[j] != QLatin1Char('<')
                   && !(s[j] == QLatin1Char('/') && j + 1 < n && s[j + 1] == QLatin1Char('>')))
                ++j;
            if (j == i)
                j = i + 1;
            add(i, j - i, TokenKind::AttrName);
            i = j;
        }
    }

    void afterEquals()
    {
        while (i < n && isSpace(s[i]))
            ++i;
        if (i >= n)
            return;
        const QChar c = s[i];
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const int start = i++;
            st = c == QLatin1Char('"') ? ValueDq : ValueSq;
            quoted(c, start);
            return;
        }
        if (phpAt(i)) {
            startPhp();
            return;
        }
        st = InTag;
        if (c == QLatin1Char('>') || c == QLatin1Char('<'))
            return;
        int j = i;
        while (j < n && !isSpace(s[j]) && s[j] != QLatin1Char('>') && s[j] != QLatin1Char('<'))
            ++j;
        add(i, j - i, TokenKind::AttrValue);
        i = j;
    }

    void quoted(QChar quote, int start)
    {
        int j = i;
        while (j < n && s[j] != quote && !phpAt(j))
            ++j;
        if (j >= n) {
            add(start, n - start, TokenKind::AttrValue);
            i = n;
            return;
        }
        if (s[j] != quote) {
            add(start, j - start, TokenKind::AttrValue);
            i = j;
            startPhp();
            return;
        }
        add(start, j + 1 - start, TokenKind::AttrValue);
        i = j + 1;
        st = InTag;
    }

    // A comment, declaration or CDATA section up to its end text.
    void untilText(int start, QLatin1StringView endText, TokenKind kind)
    {
        const int j = int(s.indexOf(endText, i));
        const int end = j < 0 ? n : j + int(endText.size());
        add(start, end - start, kind);
        i = end;
        if (j >= 0)
            st = Text;
    }

    static int cssPlace(int ret)
    {
        return ret == AtSelector ? CssSelector : ret == AtProperty ? CssProperty : ret == AtValue ? CssValue : CssAtRule;
    }
    int placeOf(int mode) const
    {
        return mode == CssSelector ? AtSelector : mode == CssProperty ? AtProperty : mode == CssValue ? AtValue : AtAtRule;
    }

    void css()
    {
        while (i < n && isSpace(s[i]))
            ++i;
        if (i >= n)
            return;
        const QChar c = s[i];
        if (c == QLatin1Char('<') && !pure) {
            if (phpAt(i)) {
                startPhp();
                return;
            }
            if (leaveRaw())
                return;
        }
        if (c == QLatin1Char('/') && i + 1 < n && s[i + 1] == QLatin1Char('*')) {
            cssRet = placeOf(st);
            const int start = i;
            i += 2;
            st = CssComment;
            cssComment(start);
            return;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            cssRet = placeOf(st);
            const int start = i++;
            st = c == QLatin1Char('"') ? CssDq : CssSq;
            cssString(c, start);
            return;
        }
        if (st == CssAtRule) {
            if (c == QLatin1Char('{')) {
                if (atRules) {
                    depth = std::min(depth + 1, 15);
                    st = CssSelector;
                } else {
                    st = CssProperty;
                }
                atRules = false;
                ++i;
                return;
            }
            if (c == QLatin1Char(';') || c == QLatin1Char('}')) {
                st = CssSelector;
                atRules = false;
                ++i;
                return;
            }
        } else if (c == QLatin1Char('@') && st != CssValue) {
            int j = i + 1;
            while (j < n && (isNameChar(s[j]) || s[j] == QLatin1Char('-')))
                ++j;
            add(i, j - i, TokenKind::CssAtRule);
            atRules = atRuleHoldsRules(s.mid(i, j - i));
            st = CssAtRule;
            i = j;
            return;
        }
        if (c == QLatin1Char('{')) {
            st = CssProperty;
            ++i;
            return;
        }
        if (c == QLatin1Char('}')) {
            if (st == CssSelector && depth > 0)
                --depth;
            st = CssSelector;
            ++i;
            return;
        }
        if (st == CssProperty && c == QLatin1Char(':')) {
            st = CssValue;
            ++i;
            return;
        }
        if (st == CssValue && c == QLatin1Char(';')) {
            st = CssProperty;
            ++i;
            return;
        }
        if (c == QLatin1Char(';')) {
            ++i;
            return;
        }
        if (st == CssValue && startsWithAt(s, i, QLatin1StringView("url("))) {
            int k = i + 4;
            while (k < n && isSpace(s[k]))
                ++k;
            if (k >= n || (s[k] != QLatin1Char('"') && s[k] != QLatin1Char('\''))) {
                const int start = i;
                i += 4;
                cssRet = AtValue;
                st = CssUrl;
                cssUrl(start);
                return;
            }
            add(i, 4, TokenKind::CssValue);
            i += 4;
            return;
        }
        const TokenKind kind = st == CssSelector ? TokenKind::CssSelector
                             : st == CssProperty ? TokenKind::CssProperty
                                                 : TokenKind::CssValue;
        int j = i;
        while (j < n && !isSpace(s[j]) && s[j] != QLatin1Char('{') && s[j] != QLatin1Char('}')
               && s[j] != QLatin1Char(';') && !(st == CssProperty && s[j] == QLatin1Char(':'))
               && s[j] != QLatin1Char('<') && s[j] != QLatin1Char('"') && s[j] != QLatin1Char('\'')
               && !(s[j] == QLatin1Char('/') && j + 1 < n && s[j + 1] == QLatin1Char('*')))
            ++j;
        if (j == i)
            j = i + 1;
        add(i, j - i, kind);
        i = j;
    }

    void cssComment(int start)
    {
        const int j = int(s.indexOf(QLatin1StringView("*/"), i));
        const int stop = rawStop(i);
        if (stop < n && (j < 0 || stop < j)) {
            add(start, stop - start, TokenKind::CssComment);
            i = stop;
            st = CssSelector;
            return;
        }
        const int end = j < 0 ? n : j + 2;
        add(start, end - start, TokenKind::CssComment);
        i = end;
        if (j >= 0)
            st = cssPlace(cssRet);
    }

    // A quoted string from i to its closing quote, the end of the raw text
    // (stop) or a PHP block inside it, coloured as kind. Returns whether the
    // string ended (closed, or cut by the raw text's end) rather than PHP
    // taking over.
    bool quotedString(QChar quote, int start, int stop, TokenKind kind)
    {
        int j = i;
        while (j < stop && s[j] != quote && !phpAt(j))
            j += s[j] == QLatin1Char('\\') ? 2 : 1;
        j = std::min(j, stop);
        if (j < stop && s[j] != quote) {  // PHP inside
            add(start, j - start, kind);
            i = j;
            startPhp();
            return false;
        }
        const int end = j < stop ? j + 1 : j;
        add(start, end - start, kind);
        i = end;
        return j < stop || stop < n;
    }

    void cssString(QChar quote, int start)
    {
        if (quotedString(quote, start, rawStop(i), TokenKind::CssString))
            st = cssPlace(cssRet);
    }

    // An unquoted url( ... ): a data URI's ";" and "," are part of it.
    void cssUrl(int start)
    {
        const int stop = rawStop(i);
        int j = i;
        while (j < stop && s[j] != QLatin1Char(')'))
            ++j;
        const int end = j < stop ? j + 1 : j;
        add(start, end - start, TokenKind::CssValue);
        i = end;
        if (j < stop || stop < n)
            st = CssValue;
    }

    void script()
    {
        while (i < n && isSpace(s[i]))
            ++i;
        if (i >= n)
            return;
        const QChar c = s[i];
        if (c == QLatin1Char('<') && !pure) {
            if (phpAt(i)) {
                startPhp();
                return;
            }
            if (leaveRaw())
                return;
        }
        if (c == QLatin1Char('/') && i + 1 < n && s[i + 1] == QLatin1Char('/')) {
            st = ScriptLineComment;
            scriptLineComment(i);
            return;
        }
        if (c == QLatin1Char('/') && i + 1 < n && s[i + 1] == QLatin1Char('*')) {
            const int start = i;
            i += 2;
            st = ScriptBlockComment;
            scriptBlockComment(start);
            return;
        }
        if (c == QLatin1Char('/') && regexOk && regex())
            return;
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const int start = i++;
            st = c == QLatin1Char('"') ? ScriptDq : ScriptSq;
            scriptString(c, start);
            return;
        }
        if (c == QLatin1Char('`')) {
            const int start = i++;
            st = ScriptTemplate;
            scriptTemplate(start);
            return;
        }
        if (c.isDigit()) {
            int j = i;
            while (j < n && (s[j].isLetterOrNumber() || s[j] == QLatin1Char('.')))
                ++j;
            add(i, j - i, TokenKind::ScriptNumber);
            i = j;
            regexOk = false;
            return;
        }
        if (isIdentChar(c)) {
            int j = i;
            while (j < n && isIdentChar(s[j]))
                ++j;
            const QStringView word = s.mid(i, j - i);
            if (isScriptKeyword(word))
                add(i, j - i, TokenKind::ScriptKeyword);
            regexOk = keywordBeforeOperand(word);
            i = j;
            return;
        }
        regexOk = c != QLatin1Char(')') && c != QLatin1Char(']');
        ++i;
    }

    // A regular expression literal at the "/": true when there is one.
    bool regex()
    {
        const int stop = rawStop(i);
        int j = i + 1;
        bool inClass = false;
        while (j < stop) {
            const QChar c = s[j];
            if (c == QLatin1Char('\\')) {
                j += 2;
                continue;
            }
            if (c == QLatin1Char('['))
                inClass = true;
            else if (c == QLatin1Char(']'))
                inClass = false;
            else if (c == QLatin1Char('/') && !inClass)
                break;
            ++j;
        }
        if (j >= stop)
            return false;
        ++j;
        while (j < n && isIdentChar(s[j]))
            ++j;
        add(i, j - i, TokenKind::ScriptRegex);
        i = j;
        regexOk = false;
        return true;
    }

    void scriptLineComment(int start)
    {
        const int stop = rawStop(i);
        add(start, stop - start, TokenKind::ScriptComment);
        i = stop;
        if (stop < n) {
            st = Script;
            regexOk = true;
        }
    }

    void scriptString(QChar quote, int start)
    {
        if (quotedString(quote, start, rawStop(i), TokenKind::ScriptString)) {
            st = Script;
            regexOk = false;
        }
    }

    void scriptBlockComment(int start)
    {
        const int stop = rawStop(i);
        const int j = int(s.left(stop).indexOf(QLatin1StringView("*/"), i));
        const int end = j < 0 ? stop : j + 2;
        add(start, end - start, TokenKind::ScriptComment);
        i = end;
        if (j >= 0 || stop < n)
            st = Script;
    }

    void scriptTemplate(int start)
    {
        const int stop = rawStop(i);
        int j = i;
        while (j < stop && s[j] != QLatin1Char('`'))
            j += s[j] == QLatin1Char('\\') ? 2 : 1;
        j = std::min(j, stop);
        const int end = j < stop ? j + 1 : j;
        add(start, end - start, TokenKind::ScriptString);
        i = end;
        if (j < stop || stop < n) {
            st = Script;
            regexOk = false;
        }
    }

    QStringView s;
    int n;
    qsizetype until;
    bool lineEnds;
    int i = 0;
    int st = Text;
    int raw = NoRaw;
    int cssRet = 0;
    bool regexOk = false;
    int depth = 0;
    bool atRules = false;
    bool pure = false;
    int php = NoPhp;
    int openTag = -1;
    int cachedRaw = -1;
    int cachedFrom = 0;
    int cachedStop = 0;
    QList<Token>* tokens;
    QList<TagEvent>* tags;
};

int modeOf(int state)
{
    return ((state >> 16) & 0x7) != NoPhp ? -1 : state & kModeMask;
}

} // namespace

int HtmlTokenizer::initialState(Language language)
{
    switch (language) {
    case Language::Css: return CssSelector | kPure;
    case Language::Script: return Script | kPure | kRegexOk;
    default: return kInitialState;
    }
}

int HtmlTokenizer::tokenize(QStringView line, int state, QList<Token>* tokens, QList<TagEvent>* tags)
{
    return Lexer(line, state, line.size(), true, tokens, tags).run();
}

int HtmlTokenizer::tokenizePiece(QStringView text, int state, qsizetype until, bool lineEnds, qsizetype* stop,
                                 QList<Token>* tokens)
{
    Lexer lexer(text, state, until, lineEnds, tokens, nullptr);
    const int end = lexer.run();
    if (stop)
        *stop = lexer.stoppedAt;
    return end;
}

bool HtmlTokenizer::isTextState(int state)
{
    return modeOf(state) == Text;
}

bool HtmlTokenizer::isTagState(int state)
{
    const int st = modeOf(state);
    return st == InTag || st == AfterEquals || st == ValueDq || st == ValueSq;
}

bool HtmlTokenizer::isCssState(int state)
{
    const int st = modeOf(state);
    return st >= CssSelector && st <= CssAtRule;
}

bool HtmlTokenizer::isCssPropertyState(int state)
{
    return modeOf(state) == CssProperty;
}

bool HtmlTokenizer::isCssValueState(int state)
{
    return modeOf(state) == CssValue;
}

bool HtmlTokenizer::isScriptState(int state)
{
    const int st = modeOf(state);
    return st >= Script && st <= ScriptLineComment;
}

} // namespace Html
