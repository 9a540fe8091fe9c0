#pragma once
// A line-at-a-time tokenizer for HTML with the CSS of <style>, the script of
// <script> and PHP blocks (<?php ... ?>) anywhere, and for stylesheets and
// scripts on their own. The state at a line's end (an integer) is the state
// the next line starts in, so a document can be tokenized from any line
// whose start state is known; a long line can be tokenized in pieces, each
// starting in the state the one before it ended in. Upper- and lower-case
// markup are alike. The work is linear in the length of the line, whatever
// it holds.
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
    Doctype,        // <!DOCTYPE ...> and other <! ...> declarations
    CssSelector,
    CssProperty,
    CssValue,
    CssComment,
    ScriptKeyword,
    ScriptString,
    ScriptComment,
    ScriptNumber,
    CssString,
    CssAtRule,      // @media, @import ...
    ScriptRegex,
    ServerCode,     // <?php ... ?> and other <? ... ?> blocks
    CData,          // <![CDATA[ ... ]]>
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
    int end;         // offset after ">" or "/>", or of the "<" that cuts it off; -1 when it goes on past this line
    bool closing;    // "</name"
    bool selfClosing;  // ends in "/>"
    QString name;    // as written
};

// What a file holds, for its colours.
enum class Language : unsigned char {
    Html,    // markup with its stylesheets, scripts and PHP blocks
    Css,     // a stylesheet on its own
    Script,  // a script on its own
    Plain,   // no colours
};

class HtmlTokenizer {
public:
    // The state of a page's first line.
    static constexpr int kInitialState = 0;
    // The state of the first line of a file in that language.
    static int initialState(Language language);
    // Lines longer than this are coloured a piece at a time (their state is
    // still worked out over the whole line).
    static constexpr int kMaxLineLength = 10000;

    // Tokenizes one line (without its line end) that starts in state;
    // returns the state at its end. Plain text gets no token. Either output
    // may be null.
    static int tokenize(QStringView line, int state, QList<Token>* tokens, QList<TagEvent>* tags = nullptr);

    // Tokenizes text (a piece of a line starting in state) up to the first
    // point at or after until where a token ends, or to its end; *stop
    // receives that point. lineEnds: the piece ends where its line does.
    // Token offsets count from the piece's start.
    static int tokenizePiece(QStringView text, int state, qsizetype until, bool lineEnds, qsizetype* stop,
                             QList<Token>* tokens);

    // True for a state in ordinary text: not in a tag, a comment, a
    // declaration, a PHP block, or a stylesheet or script.
    static bool isTextState(int state);
    // True for a state inside a tag (its attributes or a quoted value).
    static bool isTagState(int state);
    // True for a state in a stylesheet (a <style> element's or a file's).
    static bool isCssState(int state);
    // In a stylesheet, where a property's name or value goes.
    static bool isCssPropertyState(int state);
    static bool isCssValueState(int state);
    // True for a state in a script (a <script> element's or a file's).
    static bool isScriptState(int state);
};

} // namespace Html
