// The editor's language commands: toggle comment, abbreviations, the
// closing tag offered after ">", and completion.
#include "editor/TOvcTextFileEditor.h"

#include "editor/Abbreviation.h"
#include "editor/CommentToggle.h"
#include "editor/CompletionModel.h"
#include "editor/CompletionPopup.h"
#include "editor/HtmlHighlighter.h"
#include "editor/TagMatcher.h"
#include "tags/HtmlTagList.h"

#include <QApplication>
#include <QKeyEvent>
#include <QRegularExpression>

void TOvcTextFileEditor::ToggleComment()
{
    if (m_readOnly)
        return;
    const TextSnapshot& t = m_buf.Text();
    const bool selection = hasSelection();
    const qsizetype caret = caretOffset();
    qsizetype a = std::min(caret, anchorOffset()), b = std::max(caret, anchorOffset());
    const qsizetype firstLine = t.LineOfOffset(a);
    qsizetype lastLine = t.LineOfOffset(b);
    if (selection && lastLine > firstLine && b == t.LineStart(lastLine))
        --lastLine;  // a selection ending at a line's start leaves that line alone
    // The language where the text starts.
    qsizetype first = a;
    if (!selection)
        first = t.LineStart(firstLine);
    while (first < t.Length() && (t.CharAt(first) == QLatin1Char(' ') || t.CharAt(first) == QLatin1Char('\t')))
        ++first;
    const int line = int(t.LineOfOffset(first));
    const CommentToggle::Style style =
        CommentToggle::styleFor(m_highlighter->stateAt(line, first - t.LineStart(line)));
    if (!selection || style == CommentToggle::Style::Script) {
        a = t.LineStart(firstLine);
        b = t.LineEndOffset(lastLine);
    }
    const QString before = t.Text(a, b - a);
    const QString after = CommentToggle::toggle(before, style);
    if (after == before)
        return;
    m_buf.BeginEditGroup();
    m_buf.Replace(a, b - a, after);
    m_buf.EndEditGroup();
    if (selection)
        setSelection(a, a + after.size());
    else
        setCaret(a + CommentToggle::positionAfter(before, caret - a, style));
}

bool TOvcTextFileEditor::ExpandAbbreviation(bool onlyLikely)
{
    if (m_readOnly || hasSelection())
        return false;
    const TextSnapshot& t = m_buf.Text();
    const qsizetype caret = caretOffset();
    const int line = int(t.LineOfOffset(caret));
    const qsizetype ls = t.LineStart(line);
    const qsizetype column = caret - ls;
    if (column == 0 || column > 4096)
        return false;
    const QString text = t.Text(ls, column);
    const qsizetype start = Abbreviation::startBefore(text, column);
    if (start < 0)
        return false;
    // Only in the page's text.
    if (!Html::HtmlTokenizer::isTextState(m_highlighter->stateAt(line, start)))
        return false;
    const QString abbreviation = text.mid(start);
    if (onlyLikely && !Abbreviation::isLikely(abbreviation))
        return false;
    Abbreviation::Options options;
    qsizetype indent = 0;
    while (indent < text.size() && (text[indent] == QLatin1Char(' ') || text[indent] == QLatin1Char('\t')))
        ++indent;
    options.lineIndent = text.left(indent);
    if (m_tabType != ttReal)
        options.indentUnit = QString(m_tabSize, QLatin1Char(' '));
    options.upperCase = tagCase() == QLatin1String("U");
    const Abbreviation::Expansion x = Abbreviation::expand(abbreviation, options);
    if (x.text.isEmpty())
        return false;
    m_buf.BeginEditGroup();
    m_buf.Replace(ls + start, column - start, x.text);
    m_buf.EndEditGroup();
    setCaret(ls + start + x.caret);
    return true;
}

bool TOvcTextFileEditor::readyOrDefer(int line, Deferred what)
{
    // The closing tag "</" gets is found by the tag pairs; the rest needs
    // the states.
    const bool ready = what == DeferClosingTag ? m_highlighter->readyNear(line, true)
                                               : m_highlighter->statesReadyNear(line, true);
    if (ready)
        return true;
    if (m_deferredRevision != m_buf.Revision() || m_deferredCaret != caretOffset())
        m_deferred = 0;
    m_deferred |= what;
    m_deferredRevision = m_buf.Revision();
    m_deferredCaret = caretOffset();
    return false;
}

void TOvcTextFileEditor::runDeferred()
{
    const unsigned what = m_deferred;
    m_deferred = 0;
    if (!what || m_deferredRevision != m_buf.Revision() || m_deferredCaret != caretOffset() || m_readOnly)
        return;
    // In the order typing asks for them.
    if (what & DeferCloseTag)
        offerClosingTag();
    if (what & DeferClosingTag)
        completeClosingTag();
    if (what & DeferCompletion)
        updateCompletion(true);
}

void TOvcTextFileEditor::offerClosingTag()
{
    // Just after the ">" of an opening tag: its closing tag after the caret.
    const TextSnapshot& t = m_buf.Text();
    const qsizetype caret = caretOffset();
    const int line = int(t.LineOfOffset(caret));
    const qsizetype column = caret - t.LineStart(line);
    if (column < 2 || t.CharAt(caret - 2) == QLatin1Char('/'))
        return;
    if (!readyOrDefer(line, DeferCloseTag))
        return;
    const TagLineSource& lines = m_highlighter->tagLines();
    const std::optional<TagRef> tag = TagMatcher::tagAt(lines, line, int(column - 1));
    if (!tag || tag->closing || TagMatcher::isVoidElement(tag->name))
        return;
    // (a ">" inside a quoted value ends no tag)
    if (Html::HtmlTokenizer::isTagState(m_highlighter->stateAt(line, column)))
        return;
    const QString close = QStringLiteral("</") + tag->name + QLatin1Char('>');
    if (t.Text(caret, close.size()).compare(close, Qt::CaseInsensitive) == 0)
        return;
    // Its own undo step: undo takes it back and keeps the ">".
    m_buf.Insert(caret, close);
    setCaret(caret);
}

void TOvcTextFileEditor::updateCompletion(bool typed)
{
    if (!m_completionOn || m_readOnly || hasSelection()) {
        if (m_completion)
            m_completion->hide();
        return;
    }
    const TextSnapshot& t = m_buf.Text();
    const qsizetype caret = caretOffset();
    const int line = int(t.LineOfOffset(caret));
    const qsizetype ls = t.LineStart(line);
    const qsizetype column = caret - ls;
    const bool shown = m_completion && m_completion->isVisible();
    if ((!typed && !shown) || column > 4096) {
        if (shown)
            m_completion->hide();
        return;
    }
    if (!readyOrDefer(line, DeferCompletion)) {
        if (shown)
            m_completion->hide();
        return;
    }
    const QString before = t.Text(ls, column);
    const int state = m_highlighter->stateAt(line, column);
    QString element;
    if (Html::HtmlTokenizer::isTagState(state)) {
        if (const std::optional<TagRef> tag = TagMatcher::tagAt(m_highlighter->tagLines(), line, int(column)))
            element = tag->name;
    }
    const Completion::Context context = Completion::contextAt(before, state, element);
    // The entity names of the symbol chooser's list.
    static const QStringList entities = [] {
        QStringList names;
        for (const QString& item : HtmlTagList::builtInSymbols()) {
            const QString text = HtmlTagList::symbolText(item);
            if (text.startsWith(QLatin1Char('&')) && text.endsWith(QLatin1Char(';')) && !text.startsWith(QLatin1String("&#")))
                names << text.mid(1, text.size() - 2);
        }
        return names;
    }();
    QStringList items = Completion::items(context, entities);
    if (context.kind == Completion::Kind::Attribute) {
        // Not the attributes the tag has already.
        const QString rest = t.Text(caret, std::min<qsizetype>(t.LineEndOffset(line) - caret, 4096));
        const qsizetype tagStart = before.lastIndexOf(QLatin1Char('<'));
        const qsizetype gt = rest.indexOf(QLatin1Char('>'));
        const QString tag = before.mid(std::max<qsizetype>(0, tagStart)) + rest.left(gt < 0 ? rest.size() : gt);
        static const QRegularExpression attr(QStringLiteral("\\s([-A-Za-z0-9_:]+)(?=\\s*(=|/|$|\\s))"));
        for (auto it = attr.globalMatch(tag); it.hasNext();) {
            const QString name = it.next().captured(1);
            if (name.compare(context.prefix, Qt::CaseInsensitive) != 0)
                items.removeIf([&name](const QString& item) { return item.compare(name, Qt::CaseInsensitive) == 0; });
        }
    }
    if (items.isEmpty()) {
        if (shown)
            m_completion->hide();
        return;
    }
    if (!m_completion) {
        m_completion = new CompletionPopup(this);
        viewport()->installEventFilter(m_completion);
    }
    const QRect r = inputMethodQuery(Qt::ImCursorRectangle).toRect();
    m_completion->offer(context, items, mapToGlobal(r.bottomLeft()));
}

bool TOvcTextFileEditor::completionKey(QKeyEvent* e)
{
    if (!m_completion || !m_completion->isVisible() || (e->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    switch (m_completion->useKey(e->key())) {
    case CompletionPopup::KeyUse::None: return false;
    case CompletionPopup::KeyUse::Moved: return true;
    case CompletionPopup::KeyUse::Close: m_completion->hide(); return true;
    case CompletionPopup::KeyUse::Accept: break;
    }
    const Completion::Context context = m_completion->context();
    const QString item = m_completion->chosen();
    m_completion->hide();
    const TextSnapshot& t = m_buf.Text();
    const qsizetype caret = caretOffset();
    const qsizetype ls = t.LineStart(t.LineOfOffset(caret));
    const Completion::Insertion in = Completion::insertion(context, item, tagCase());
    const qsizetype from = std::min(ls + context.from, caret);
    m_buf.Replace(from, caret - from, in.text, EditKind::Typing);
    setCaret(from + in.caret);
    // An attribute's quotes open its values.
    if (context.kind == Completion::Kind::Attribute || context.kind == Completion::Kind::CssProperty)
        updateCompletion(true);
    return true;
}

void TOvcTextFileEditor::afterTyping(const QString& text)
{
    // Plain text gets none of the markup's help.
    if (m_highlighter->language() == Html::Language::Plain)
        return;
    if (m_closeOnGreater && text == QLatin1String(">"))
        offerClosingTag();
    updateCompletion(true);
}

bool TOvcTextFileEditor::languageKey(QKeyEvent* e)
{
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    if (mods == Qt::ControlModifier && (e->key() == Qt::Key_Slash || e->key() == Qt::Key_Question)) {
        ToggleComment();
        return true;
    }
    if (mods == Qt::ControlModifier && e->key() == Qt::Key_E) {
        if (!ExpandAbbreviation(false))
            QApplication::beep();
        return true;
    }
    if (mods == Qt::NoModifier && e->key() == Qt::Key_Tab && m_wantTab && !hasSelection()
        && m_highlighter->language() == Html::Language::Html)
        return ExpandAbbreviation(true);
    return false;
}
