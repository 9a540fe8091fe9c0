#include "editor/FoldModel.h"

#include "editor/HtmlTokenizer.h"
#include "editor/TagMatcher.h"

#include <algorithm>
#include <climits>

using Html::HtmlTokenizer;
using Html::TagEvent;
using Html::Token;
using Html::TokenKind;

namespace {

// Elements a sibling of their own kind ends when their end tag is left out.
bool endsAtSibling(const QString& n)
{
    static const QStringList kNames{QStringLiteral("p"),  QStringLiteral("li"), QStringLiteral("dt"),
                                    QStringLiteral("dd"), QStringLiteral("tr"), QStringLiteral("td"),
                                    QStringLiteral("th"), QStringLiteral("option")};
    return kNames.contains(n);
}

bool isCss(TokenKind k)
{
    return k == TokenKind::CssSelector || k == TokenKind::CssProperty || k == TokenKind::CssValue;
}

// What one line holds for folding.
struct LineFacts {
    bool commentOpenAtEnd = false;   // a comment runs past the line's end
    bool commentFromStart = false;   // the line starts inside a comment
    std::vector<int> cssBraces;      // +1 for "{", -1 for "}", in order
};

// raw: the line starts in the text of a <style> or <script> element (or a
// comment, whose braces lie in its token and do not count).
LineFacts factsOf(QStringView line, const QList<Token>& tokens, bool raw)
{
    LineFacts f;
    bool css = raw;
    for (const Token& t : tokens) {
        css = css || isCss(t.kind);
        if (t.kind == TokenKind::Comment) {
            if (t.start == 0)
                f.commentFromStart = true;
            if (t.start + t.length >= line.size())
                f.commentOpenAtEnd = !line.mid(t.start, t.length).endsWith(QLatin1String("-->"));
        }
    }
    if (css) {
        // Braces of rules and blocks, not of comments or strings.
        qsizetype k = 0;
        for (qsizetype i = 0; i < line.size(); ++i) {
            while (k < tokens.size() && tokens[k].start + tokens[k].length <= i)
                ++k;
            const TokenKind kind = k < tokens.size() && tokens[k].start <= i ? tokens[k].kind : TokenKind::Count;
            const bool inComment = kind == TokenKind::CssComment || kind == TokenKind::Comment
                                || kind == TokenKind::ScriptComment || kind == TokenKind::ScriptString
                                || kind == TokenKind::AttrValue || kind == TokenKind::Doctype;
            if (inComment)
                continue;
            if (line[i] == QLatin1Char('{'))
                f.cssBraces.push_back(1);
            else if (line[i] == QLatin1Char('}'))
                f.cssBraces.push_back(-1);
        }
    }
    return f;
}

bool isRaw(int state)
{
    return !HtmlTokenizer::isTextState(state) && !HtmlTokenizer::isTagState(state);
}

} // namespace

namespace FoldScan {

std::vector<FoldRegion> regions(const TextSnapshot& t)
{
    std::vector<FoldRegion> out;
    struct Open {
        QString name;
        int line;
    };
    std::vector<Open> elements;
    std::vector<int> braces;  // lines of open CSS blocks
    int commentStart = -1;
    bool commentOpen = false;
    int state = HtmlTokenizer::kInitialState;
    QList<Token> tokens;
    QList<TagEvent> tags;
    auto region = [&](int first, int last, int depth) {
        if (last > first)
            out.push_back({first, last, std::max(depth, 1)});
    };
    const int lines = int(t.LineCount());
    for (int l = 0; l < lines; ++l) {
        const qsizetype ls = t.LineStart(l);
        const QString line = t.Text(ls, std::min<qsizetype>(t.LineLength(l), HtmlTokenizer::kMaxLineLength + 1));
        tokens.clear();
        tags.clear();
        const int startState = state;
        state = HtmlTokenizer::tokenize(line, state, &tokens, &tags);
        for (const TagEvent& e : tags) {
            const QString name = e.name.toLower();
            if (e.start < 0) {
                // The end of a tag begun on an earlier line: "/>" opens nothing.
                if (e.selfClosing && !elements.empty() && elements.back().name == name)
                    elements.pop_back();
                continue;
            }
            if (!e.closing) {
                if (e.selfClosing || name.isEmpty() || TagMatcher::isVoidElement(name))
                    continue;
                if (endsAtSibling(name) && !elements.empty() && elements.back().name == name) {
                    region(elements.back().line, l - 1, int(elements.size()));
                    elements.pop_back();
                }
                elements.push_back({name, l});
                continue;
            }
            const auto it = std::find_if(elements.rbegin(), elements.rend(), [&](const Open& o) { return o.name == name; });
            if (it == elements.rend())
                continue;  // a stray end tag
            const size_t at = size_t(elements.rend() - it) - 1;
            // Those left open inside end before it.
            for (size_t k = elements.size() - 1; k > at; --k)
                region(elements[k].line, l - 1, int(k) + 1);
            region(elements[at].line, l, int(at) + 1);
            elements.resize(at);
        }
        const LineFacts f = factsOf(line, tokens, isRaw(startState));
        const bool startsInComment = commentOpen && (f.commentFromStart || line.isEmpty());
        if (commentOpen && !startsInComment)
            commentOpen = false;  // the state moved on without a comment token
        if (commentOpen && !f.commentOpenAtEnd && !line.isEmpty()) {
            region(commentStart, l, int(elements.size()) + int(braces.size()) + 1);
            commentOpen = false;
        }
        if (!commentOpen && f.commentOpenAtEnd) {
            commentOpen = true;
            commentStart = l;
        }
        for (int b : f.cssBraces) {
            if (b > 0) {
                braces.push_back(l);
            } else if (!braces.empty()) {
                region(braces.back(), l, int(elements.size()) + int(braces.size()));
                braces.pop_back();
            }
        }
        // CSS blocks end with their style element.
        if (!braces.empty() && !HtmlTokenizer::isTextState(startState) && HtmlTokenizer::isTextState(state))
            braces.clear();
    }
    std::sort(out.begin(), out.end(), [](const FoldRegion& a, const FoldRegion& b) {
        return a.first != b.first ? a.first < b.first : a.depth < b.depth;
    });
    return out;
}

bool mayStartRegion(QStringView line, int startState, int* endState)
{
    QList<Token> tokens;
    QList<TagEvent> tags;
    const QStringView shown = line.left(HtmlTokenizer::kMaxLineLength + 1);
    const int end = HtmlTokenizer::tokenize(shown, startState, &tokens, &tags);
    if (endState)
        *endState = end;
    std::vector<QString> open;
    for (const TagEvent& e : tags) {
        const QString name = e.name.toLower();
        if (e.start < 0) {
            if (e.selfClosing && !open.empty() && open.back() == name)
                open.pop_back();
            continue;
        }
        if (!e.closing) {
            if (!e.selfClosing && !name.isEmpty() && !TagMatcher::isVoidElement(name))
                open.push_back(name);
            continue;
        }
        const auto it = std::find(open.rbegin(), open.rend(), name);
        if (it != open.rend())
            open.erase(std::next(it).base(), open.end());
    }
    if (!open.empty())
        return true;
    const LineFacts f = factsOf(shown, tokens, isRaw(startState));
    if (f.commentOpenAtEnd && !f.commentFromStart)
        return true;
    int depth = 0;
    for (int b : f.cssBraces)
        depth = std::max(0, depth + b);
    return depth > 0;
}

} // namespace FoldScan

// ---------------------------------------------------------------- FoldModel

FoldModel::FoldModel(TextBuffer& buffer) : m_buf(buffer) {}

FoldModel::~FoldModel()
{
    unfoldAll();
}

const std::vector<FoldRegion>& FoldModel::regions() const
{
    if (m_regionsRevision != m_buf.Revision()) {
        m_regions = FoldScan::regions(m_buf.Text());
        m_regionsRevision = m_buf.Revision();
    }
    return m_regions;
}

const FoldRegion* FoldModel::regionAt(int line) const
{
    const std::vector<FoldRegion>& all = regions();
    const auto it = std::lower_bound(all.begin(), all.end(), line,
                                     [](const FoldRegion& r, int l) { return r.first < l; });
    return it != all.end() && it->first == line ? &*it : nullptr;
}

std::pair<int, int> FoldModel::linesOf(const Fold& f) const
{
    const TextSnapshot& t = m_buf.Text();
    return {int(t.LineOfOffset(m_buf.MarkOffset(f.startMark))), int(t.LineOfOffset(m_buf.MarkOffset(f.endMark)))};
}

void FoldModel::prune()
{
    for (auto it = m_folds.begin(); it != m_folds.end();) {
        const auto [first, last] = linesOf(*it);
        if (last > first) {
            ++it;
            continue;
        }
        m_buf.RemoveMark(it->startMark);
        m_buf.RemoveMark(it->endMark);
        it = m_folds.erase(it);
        changed();
    }
}

bool FoldModel::fold(int first, int last)
{
    const TextSnapshot& t = m_buf.Text();
    last = std::min<int>(last, int(t.LineCount()) - 1);
    if (first < 0 || last <= first || isFolded(first))
        return false;
    m_folds.push_back({m_buf.AddMark(t.LineStart(first), MarkSide::Before),
                       m_buf.AddMark(t.LineEndOffset(last), MarkSide::Before)});
    changed();
    return true;
}

bool FoldModel::unfoldAt(int line)
{
    for (auto it = m_folds.begin(); it != m_folds.end(); ++it) {
        if (linesOf(*it).first != line)
            continue;
        m_buf.RemoveMark(it->startMark);
        m_buf.RemoveMark(it->endMark);
        m_folds.erase(it);
        changed();
        return true;
    }
    return false;
}

bool FoldModel::reveal(int line)
{
    bool any = false;
    for (auto it = m_folds.begin(); it != m_folds.end();) {
        const auto [first, last] = linesOf(*it);
        if (line > first && line <= last) {
            m_buf.RemoveMark(it->startMark);
            m_buf.RemoveMark(it->endMark);
            it = m_folds.erase(it);
            any = true;
            changed();
        } else {
            ++it;
        }
    }
    return any;
}

void FoldModel::unfoldAll()
{
    for (const Fold& f : m_folds) {
        m_buf.RemoveMark(f.startMark);
        m_buf.RemoveMark(f.endMark);
    }
    m_folds.clear();
    changed();
}

void FoldModel::foldAll(int level)
{
    const TextSnapshot& t = m_buf.Text();
    std::vector<int> done;
    for (const auto& f : folds())
        done.push_back(f.first);
    int lastFirst = -1;
    for (const FoldRegion& r : regions()) {
        if (r.depth <= level || r.first == lastFirst || std::binary_search(done.begin(), done.end(), r.first))
            continue;
        // Regions come by first line: one fold a line, the outermost.
        lastFirst = r.first;
        m_folds.push_back({m_buf.AddMark(t.LineStart(r.first), MarkSide::Before),
                           m_buf.AddMark(t.LineEndOffset(r.last), MarkSide::Before)});
    }
    changed();
}

bool FoldModel::isFolded(int firstLine) const
{
    const std::vector<std::pair<int, int>>& all = folds();
    const auto it = std::lower_bound(all.begin(), all.end(), std::make_pair(firstLine, INT_MIN));
    return it != all.end() && it->first == firstLine;
}

int FoldModel::foldCount() const
{
    return int(folds().size());
}

const std::vector<std::pair<int, int>>& FoldModel::folds() const
{
    if (m_cacheRevision == m_buf.Revision())
        return m_cache;
    m_cache.clear();
    for (const Fold& f : m_folds) {
        const auto lines = linesOf(f);
        if (lines.second > lines.first)
            m_cache.push_back(lines);
    }
    std::sort(m_cache.begin(), m_cache.end());
    m_cacheRevision = m_buf.Revision();
    return m_cache;
}

std::vector<std::pair<int, int>> FoldModel::hiddenLines() const
{
    std::vector<std::pair<int, int>> out;
    for (const auto& [first, last] : folds()) {
        if (!out.empty() && first + 1 <= out.back().second + 1)
            out.back().second = std::max(out.back().second, last);
        else
            out.emplace_back(first + 1, last);
    }
    return out;
}

std::vector<int> FoldModel::foldedLines() const
{
    std::vector<int> out;
    for (const auto& f : folds())
        out.push_back(f.first);
    return out;
}

void FoldModel::restore(const std::vector<int>& lines)
{
    for (int l : lines) {
        if (const FoldRegion* r = regionAt(l))
            fold(r->first, r->last);
    }
}
