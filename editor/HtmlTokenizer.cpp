#include "editor/HtmlTokenizer.h"

#include <algorithm>

namespace Html {

namespace {

// Low four bits: where we are. Bits 4-5: the tag being read opens <style>
// (1) or <script> (2). Bits 6-7: the CSS state a CSS comment returns to.
enum State : int {
    Text = 0,
    InTag = 1,
    AfterEquals = 2,
    ValueDq = 3,
    ValueSq = 4,
    Comment = 5,
    Declaration = 6,
    CssSelector = 7,
    CssProperty = 8,
    CssValue = 9,
    CssComment = 10,
    Script = 11,
    ScriptBlockComment = 12,
    ScriptTemplate = 13,
};
enum Raw : int { NoRaw = 0, RawStyle = 1, RawScript = 2 };

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

bool startsWithAt(QStringView s, int i, QLatin1StringView what)
{
    return s.size() - i >= what.size() && s.mid(i, what.size()).compare(what, Qt::CaseInsensitive) == 0;
}

bool isScriptKeyword(QStringView w)
{
    static const char* const kWords[] = {
        "async",  "await",    "break",   "case",   "catch",    "class",      "const",  "continue",
        "debugger", "default", "delete", "do",     "else",     "export",     "extends", "false",
        "finally", "for",     "function", "if",    "import",   "in",         "instanceof", "let",
        "new",    "null",     "of",      "return", "static",   "super",      "switch", "this",
        "throw",  "true",     "try",     "typeof", "undefined", "var",       "void",   "while",
        "with",   "yield"};
    for (const char* k : kWords) {
        if (w == QLatin1StringView(k))
            return true;
    }
    return false;
}

// Where the text of a <style> or <script> element ends: "</style" or
// "</script" in any case, or -1.
int rawEnd(QStringView line, int from, int raw)
{
    const QLatin1StringView end = raw == RawStyle ? QLatin1StringView("</style") : QLatin1StringView("</script");
    for (int i = from; i + end.size() <= line.size(); ++i) {
        i = int(line.indexOf(QLatin1Char('<'), i));
        if (i < 0)
            return -1;
        if (startsWithAt(line, i, end) && (i + end.size() == line.size() || !isNameChar(line[i + end.size()])))
            return i;
    }
    return -1;
}

class Lexer {
public:
    Lexer(QStringView line, int state, QList<Token>* tokens, QList<TagEvent>* tags)
        : s(line.left(HtmlTokenizer::kMaxLineLength)), n(int(s.size())), tokens(tokens), tags(tags)
    {
        st = state & 0xF;
        raw = (state >> 4) & 0x3;
        cssReturn = (state >> 6) & 0x3;
        if (tags && (st == InTag || st == AfterEquals || st == ValueDq || st == ValueSq)) {
            tags->append(TagEvent{-1, -1, -1, false, false, QString()});
            openTag = int(tags->size()) - 1;
        }
    }

    int run()
    {
        while (i < n) {
            switch (st) {
            case Text: text(); break;
            case InTag: inTag(); break;
            case AfterEquals: afterEquals(); break;
            case ValueDq: quoted(QLatin1Char('"'), i); break;
            case ValueSq: quoted(QLatin1Char('\''), i); break;
            case Comment: comment(i); break;
            case Declaration: declaration(i); break;
            case CssSelector:
            case CssProperty:
            case CssValue: css(); break;
            case CssComment: cssComment(i); break;
            case Script: script(); break;
            case ScriptBlockComment: scriptBlockComment(i); break;
            case ScriptTemplate: scriptTemplate(i); break;
            default: st = Text; break;
            }
        }
        // A quoted string of a script does not go on past its line.
        return st | (raw << 4) | (cssReturn << 6);
    }

private:
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
        if (startsWithAt(s, i, QLatin1StringView("<!--"))) {
            const int start = i;
            i += 4;
            st = Comment;
            comment(start);
            return;
        }
        if (i + 1 < n && (s[i + 1] == QLatin1Char('!') || s[i + 1] == QLatin1Char('?'))) {
            const int start = i;
            i += 2;
            st = Declaration;
            declaration(start);
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
        if (!selfClosing && raw == RawStyle)
            st = CssSelector;
        else if (!selfClosing && raw == RawScript)
            st = Script;
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
        } else if (c == QLatin1Char('<')) {
            // A tag left open: the new one starts here.
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
        const int j = int(s.indexOf(quote, i));
        if (j < 0) {
            add(start, n - start, TokenKind::AttrValue);
            i = n;
            return;
        }
        add(start, j + 1 - start, TokenKind::AttrValue);
        i = j + 1;
        st = InTag;
    }

    void comment(int start)
    {
        const int j = int(s.indexOf(QLatin1StringView("-->"), i));
        const int end = j < 0 ? n : j + 3;
        add(start, end - start, TokenKind::Comment);
        i = end;
        if (j >= 0)
            st = Text;
    }

    void declaration(int start)
    {
        const int j = int(s.indexOf(QLatin1Char('>'), i));
        const int end = j < 0 ? n : j + 1;
        add(start, end - start, TokenKind::Doctype);
        i = end;
        if (j >= 0)
            st = Text;
    }

    // Leaves <style> or <script> text at "</style" / "</script".
    bool leaveRaw()
    {
        if (s[i] == QLatin1Char('<') && rawEnd(s, i, raw) == i) {
            st = Text;
            raw = NoRaw;
            return true;
        }
        return false;
    }

    void css()
    {
        const QChar c = s[i];
        if (isSpace(c)) {
            ++i;
            return;
        }
        if (leaveRaw())
            return;
        if (c == QLatin1Char('/') && i + 1 < n && s[i + 1] == QLatin1Char('*')) {
            cssReturn = st == CssSelector ? 0 : st == CssProperty ? 1 : 2;
            const int start = i;
            i += 2;
            st = CssComment;
            cssComment(start);
            return;
        }
        if (c == QLatin1Char('{')) {
            st = CssProperty;
            ++i;
            return;
        }
        if (c == QLatin1Char('}')) {
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
        const TokenKind kind = st == CssSelector ? TokenKind::CssSelector
                             : st == CssProperty ? TokenKind::CssProperty
                                                 : TokenKind::CssValue;
        int j = i;
        while (j < n && !isSpace(s[j]) && s[j] != QLatin1Char('{') && s[j] != QLatin1Char('}')
               && s[j] != QLatin1Char(';') && !(st == CssProperty && s[j] == QLatin1Char(':'))
               && s[j] != QLatin1Char('<') && !(s[j] == QLatin1Char('/') && j + 1 < n && s[j + 1] == QLatin1Char('*')))
            ++j;
        if (j == i)
            j = i + 1;
        add(i, j - i, kind);
        i = j;
    }

    void cssComment(int start)
    {
        int j = int(s.indexOf(QLatin1StringView("*/"), i));
        const int stop = rawEnd(s, i, RawStyle);
        if (stop >= 0 && (j < 0 || stop < j)) {
            add(start, stop - start, TokenKind::CssComment);
            i = stop;
            st = Text;
            raw = NoRaw;
            return;
        }
        const int end = j < 0 ? n : j + 2;
        add(start, end - start, TokenKind::CssComment);
        i = end;
        if (j >= 0)
            st = cssReturn == 0 ? CssSelector : cssReturn == 1 ? CssProperty : CssValue;
    }

    // Up to "</script" or the end of the line, whichever comes first.
    int scriptStop(int from)
    {
        const int stop = rawEnd(s, from, RawScript);
        return stop < 0 ? n : stop;
    }

    void script()
    {
        const QChar c = s[i];
        if (isSpace(c)) {
            ++i;
            return;
        }
        if (leaveRaw())
            return;
        if (c == QLatin1Char('/') && i + 1 < n && s[i + 1] == QLatin1Char('/')) {
            const int stop = scriptStop(i);
            add(i, stop - i, TokenKind::ScriptComment);
            i = stop;
            return;
        }
        if (c == QLatin1Char('/') && i + 1 < n && s[i + 1] == QLatin1Char('*')) {
            const int start = i;
            i += 2;
            st = ScriptBlockComment;
            scriptBlockComment(start);
            return;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const int stop = scriptStop(i);
            int j = i + 1;
            while (j < stop && s[j] != c) {
                if (s[j] == QLatin1Char('\\'))
                    ++j;
                ++j;
            }
            const int end = std::min(stop, j + 1);
            add(i, end - i, TokenKind::ScriptString);
            i = end;
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
            return;
        }
        if (isIdentChar(c)) {
            int j = i;
            while (j < n && isIdentChar(s[j]))
                ++j;
            if (isScriptKeyword(s.mid(i, j - i)))
                add(i, j - i, TokenKind::ScriptKeyword);
            i = j;
            return;
        }
        ++i;
    }

    void scriptBlockComment(int start)
    {
        const int stop = scriptStop(i);
        const int j = int(s.left(stop).indexOf(QLatin1StringView("*/"), i));
        const int end = j < 0 ? stop : j + 2;
        add(start, end - start, TokenKind::ScriptComment);
        i = end;
        if (j >= 0 || stop < n)
            st = Script;
    }

    void scriptTemplate(int start)
    {
        const int stop = scriptStop(i);
        int j = i;
        while (j < stop && s[j] != QLatin1Char('`')) {
            if (s[j] == QLatin1Char('\\'))
                ++j;
            ++j;
        }
        const int end = std::min(stop, j + 1);
        add(start, end - start, TokenKind::ScriptString);
        i = end;
        if (j < stop || stop < n)
            st = Script;
    }

    QStringView s;
    int n;
    int i = 0;
    int st = Text;
    int raw = NoRaw;
    int cssReturn = 0;
    int openTag = -1;
    QList<Token>* tokens;
    QList<TagEvent>* tags;
};

} // namespace

int HtmlTokenizer::tokenize(QStringView line, int state, QList<Token>* tokens, QList<TagEvent>* tags)
{
    return Lexer(line, state, tokens, tags).run();
}

bool HtmlTokenizer::isTextState(int state)
{
    return (state & 0xF) == Text;
}

bool HtmlTokenizer::isTagState(int state)
{
    const int st = state & 0xF;
    return st == InTag || st == AfterEquals || st == ValueDq || st == ValueSq;
}

} // namespace Html
