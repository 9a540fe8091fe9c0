#pragma once
// Which tag pairs with which, as a browser builds the page's elements: void
// elements (<br>, <img>, <HR>) have no closing tag; elements whose closing
// tag may be left out (<P>, <LI>, <TD> ...) end where HTML ends them (the
// next one of their kind, a block that closes a paragraph, their parent's
// closing tag); a closing tag that closes no open element is stray and
// ignored; a closing tag closes the elements left open inside its own.
// Comments, declarations and the text of <style> and <script> hold no tags.
// Pairs are worked out in one pass forwards from the first line, kept, and
// worked out again from a changed line on, so a pair found from one end is
// found from the other and no distance is too far.
#include "editor/HtmlTokenizer.h"

#include <QHash>
#include <climits>
#include <deque>
#include <QString>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

class EditorContract;
class TagStructure;

// The lines of a document, each with the tokenizer state it starts in.
class TagLineSource {
public:
    virtual ~TagLineSource() = default;
    virtual int lineCount() const = 0;
    virtual QString lineText(int line) const = 0;  // 0-based, as stored
    virtual int startState(int line) const = 0;
    // The pairs kept for these lines, when the source keeps them (it then
    // tells them of every change); null: they are worked out for each question.
    virtual TagStructure* structure() const { return nullptr; }
    // Told the state a line ends in whenever the structure tokenizes it
    // whole, so that a source working its states out as it goes need not
    // tokenize the line again.
    virtual void lineTokenized(int /*line*/, int /*endState*/) const {}
    // Told before the structure works lines out up to line (exclusive).
    virtual void aboutToWorkOut(int /*line*/) const {}
    virtual qsizetype lineLength(int line) const { return lineText(line).size(); }
    virtual QString lineSlice(int line, qsizetype from, qsizetype length) const
    {
        return lineText(line).mid(from, length);
    }
    // A point of a line at or before offset, outside any tag, where the
    // tokenizer may start again, with its state there; a source that keeps
    // such points inside long lines saves tokenizing them from the start.
    virtual std::pair<qsizetype, int> resumePoint(int line, qsizetype /*offset*/) const
    {
        return {0, startState(line)};
    }
};

// A document reached through EditorContract; states are worked out from the
// first line as far as they are asked for.
class ContractLines : public TagLineSource {
public:
    explicit ContractLines(const EditorContract& editor) : m_editor(editor) {}
    int lineCount() const override;
    QString lineText(int line) const override;
    int startState(int line) const override;

private:
    const EditorContract& m_editor;
    mutable std::vector<int> m_states;
};

struct TagRef {
    int line = 0;       // 0-based
    int start = 0;      // offset of "<"
    int nameEnd = 0;    // offset after the name
    bool closing = false;
    QString name;       // as written
    bool operator==(const TagRef& o) const
    {
        return line == o.line && start == o.start && nameEnd == o.nameEnd && closing == o.closing && name == o.name;
    }
};

// The elements of a document's lines: which opening tag each closing tag
// closes. Worked out as far as a question needs; invalidateFrom() after a
// change forgets what lies from the changed line on.
class TagStructure {
public:
    explicit TagStructure(const TagLineSource& lines);
    ~TagStructure();

    void invalidateFrom(int line);
    // The other tag of the pair of the tag at (line, start); none for a void
    // or self-closed element, one whose closing tag is left out or missing,
    // or a stray closing tag.
    // Closing tags past lastLine are not looked for.
    std::optional<TagRef> partner(int line, int start, int lastLine = INT_MAX);
    // True for an opening tag at (line, start) whose end the pass has not
    // reached yet (it stopped at a partner's lastLine).
    bool undecided(int line, int start) const;
    // The name, as written, of the innermost element open at the position.
    QString innermostOpen(int line, int offset);
    // Closing tags of lines first..last that close no open element.
    QList<TagRef> strayClosingTags(int first, int last);
    // The elements open at the start of line (their names' keys, innermost
    // first), the pass taken that far; what lines below it depend on.
    std::vector<int> openKeysAt(int line);
    // Lines worked out from the first line.
    int linesDone() const { return int(m_lineAt.size()); }
    // Works the pass out up to line (exclusive).
    void workOut(int line) { advanceTo(line); }
    // Takes over what another structure over the same text worked out
    // (made on another thread, say), when it went further.
    void adopt(TagStructure&& other);
    // True while the pass is going (a line source asked for a state then
    // must not change the structure under it).
    bool busy() const { return m_busy > 0; }

private:
    static constexpr int kRules = 4;  // the searches HTML bounds differently
    // Kept for every element (24 bytes: a page holds about one a line).
    struct Node {
        int line, start, nameEnd;
        int key;
        int parent;     // the node below it on the stack
        int end = kOpen;  // its closing tag (>= 0), still open, or where it ended without one (endAt)
    };
    static constexpr int kOpen = -1;
    static int endAt(int k) { return -2 - k; }  // (and back again)
    struct Position {
        int line, start;
    };
    // Kept only while the element is open; its depth is its place on the stack.
    struct Open {
        int node;
        int prevSame;       // the next open element of its name below it (a depth), -1
        int scope[kRules];  // depth of the nearest element at or below it that bounds each search (-1: none)
    };
    struct Closer {
        int line, start, nameEnd;
        int node;  // the element it closes; -1: stray
    };
    struct LineStart {
        int top, pending;
    };
    void advanceTo(int line);  // works out lines up to line (exclusive)
    void processLine(int line);
    int keyOf(const QString& name);
    void push(int line, const Html::TagEvent& e, int key);
    // Ends the open elements down to the one at depth.
    void popTo(int depth, int endLine, int endStart, int closer);
    void pushOpen(int node, int key);
    // Ends the innermost open element among keys when no node bounding the
    // search by rule stands above it.
    void closeIn(std::initializer_list<int> keys, int rule, int line, int start);
    void closingTag(int line, const Html::TagEvent& e, int key);
    void openingTag(int line, const Html::TagEvent& e, int key);
    int scopeDepth(int rule) const;
    int topDepth() const { return int(m_open.size()) - 1; }
    int top() const { return m_open.empty() ? -1 : m_open.back().node; }  // the node on top of the stack
    Position endOf(const Node& n) const;
    int findNode(int line, int start) const;
    int findCloser(int line, int start) const;
    bool openAt(int node, int line, int offset) const;
    TagRef refOfNode(int node) const;
    TagRef refOfCloser(int closer) const;
    // Sets the stack up again as it stood with topNode on top.
    void rebuildOpenIndex(int topNode);

    const TagLineSource& m_lines;
    // (in blocks: a list that grows by copying itself holds half as much again
    // while it does, and a page has hundreds of thousands of these)
    std::deque<Node> m_nodes;
    std::deque<Closer> m_closers;
    std::deque<LineStart> m_lineAt;  // the pass's state at the start of each line done
    std::deque<Position> m_ends;     // where elements ended without a closing tag
    QHash<QString, int> m_keys;
    std::vector<unsigned> m_flags;  // by key: what the name tells the pass
    std::vector<int> m_lastOpen;  // by key: the depth of the innermost open element of that name, -1
    std::vector<Open> m_open;     // the stack
    int m_pending = -1;  // an opening tag whose ">" is on a later line
    int m_busy = 0;
    QList<Html::TagEvent> m_events;
    struct Busy {
        explicit Busy(int& b) : n(b) { ++n; }
        ~Busy() { --n; }
        int& n;
    };
};

namespace TagMatcher {

// Looks at most this many lines away from the tag (0: no limit).
using LineLimit = int;

bool isVoidElement(QStringView name);
// The tag the position (0-based line, 0-based offset) stands in: from just
// before its "<" to just after its ">".
std::optional<TagRef> tagAt(const TagLineSource& lines, int line, int offset);
// The other tag of the pair; none for a void or self-closed element, one
// whose closing tag is left out or missing, a stray closing tag, or a
// partner further than limit lines away.
std::optional<TagRef> partner(const TagLineSource& lines, const TagRef& tag, LineLimit limit = 0);
// The name, as written, of the innermost element still open before the
// position; empty when every element is closed.
QString innermostOpen(const TagLineSource& lines, int line, int offset);

// "Go to Matching Tag": with the caret in a tag, moves it just inside the
// partner tag's "<" and returns true; false when there is none.
bool gotoPartner(EditorContract& editor);

} // namespace TagMatcher
