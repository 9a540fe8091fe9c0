#pragma once
// Which tag pairs with which, as HTML reads them: void elements (<br>,
// <img>, <HR>) have no closing tag, and elements whose closing tag may be
// left out (<P>, <LI>, <TD> ...) end where the next one of their kind or
// their parent's closing tag begins. Comments, declarations and the text of
// <style> and <script> hold no tags.
#include "editor/HtmlTokenizer.h"

#include <QString>
#include <optional>
#include <vector>

class EditorContract;

// The lines of a document, each with the tokenizer state it starts in.
class TagLineSource {
public:
    virtual ~TagLineSource() = default;
    virtual int lineCount() const = 0;
    virtual QString lineText(int line) const = 0;  // 0-based, as stored
    virtual int startState(int line) const = 0;
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

namespace TagMatcher {

// Looks at most this many lines away from the tag (0: no limit).
using LineLimit = int;

bool isVoidElement(QStringView name);
// The tag the position (0-based line, 0-based offset) stands in: from just
// before its "<" to just after its ">".
std::optional<TagRef> tagAt(const TagLineSource& lines, int line, int offset);
// The other tag of the pair; none for a void or self-closed element, or
// one whose closing tag is left out or missing.
std::optional<TagRef> partner(const TagLineSource& lines, const TagRef& tag, LineLimit limit = 0);
// The name, as written, of the innermost element still open before the
// position; empty when every element is closed.
QString innermostOpen(const TagLineSource& lines, int line, int offset, LineLimit limit = 0);

// "Go to Matching Tag": with the caret in a tag, moves it just inside the
// partner tag's "<" and returns true; false when there is none.
bool gotoPartner(EditorContract& editor);

} // namespace TagMatcher
