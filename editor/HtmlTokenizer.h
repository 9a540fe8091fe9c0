#pragma once
// A line-at-a-time tokenizer for HTML with the CSS of <style> and the script
// of <script>. The state at a line's end (a small integer) is the state the
// next line starts in, so a document can be tokenized from any line whose
// start state is known. Upper- and lower-case markup are alike.
#include <QList>
#include <QString>
#include <QStringView>

namespace Html {

enum class TokenKind : unsigned char {
    Tag,            // "<", "</", the element name, ">", "/>"
    AttrName,
    AttrValue,      // quoted or not, quotes included
    Comment,
    Entity,         // &amp; &#160; &#x2014;
    Doctype,        // <!DOCTYPE ...> and other <! ...> or <? ...> declarations
    CssSelector,
    CssProperty,
    CssValue,
    CssComment,
    ScriptKeyword,
    ScriptString,
    ScriptComment,
    ScriptNumber,
    Count
};

struct Token {
    int start;
    int length;
    TokenKind kind;
    bool operator==(const Token& o) const { return start == o.start && length == o.length && kind == o.kind; }
};

// One tag met on a line, for the tag matcher: where its "<" stands, where
// its name ends and where it closes.
struct TagEvent {
    int start;       // offset of "<"; -1 for a tag that began on an earlier line
    int nameEnd;     // offset after the name (-1 for a continued tag)
    int end;         // offset after ">" or "/>"; -1 when it goes on past this line
    bool closing;    // "</name"
    bool selfClosing;  // ends in "/>"
    QString name;    // as written
};

class HtmlTokenizer {
public:
    // The state of a document's first line.
    static constexpr int kInitialState = 0;
    // Characters of a line that are looked at; the rest is left plain.
    static constexpr int kMaxLineLength = 10000;

    // Tokenizes one line (without its line end) that starts in state;
    // returns the state at its end. Plain text gets no token. Either output
    // may be null.
    static int tokenize(QStringView line, int state, QList<Token>* tokens, QList<TagEvent>* tags = nullptr);

    // True for a state in ordinary text: not in a tag, a comment, a
    // declaration, or the text of <style> or <script>.
    static bool isTextState(int state);
    // True for a state inside a tag (its attributes or a quoted value).
    static bool isTagState(int state);
};

} // namespace Html
