#include "editor/HtmlHighlighter.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <climits>

using Html::HtmlTokenizer;
using Html::Token;
using Html::TokenKind;

namespace {

// A block's user state: -1 while never looked at, else its end state (bits
// 0-7), the state it started in (bits 8-15; 0xFF after an edit) and the
// colouring round its colours come from (bits 16-30; 0: no colours,
// 0x7FFF: colours of an earlier state, to be redone).
constexpr int kUnknownStart = 0xFF;
int pack(int end, int start, int epoch)
{
    return (end & 0xFF) | ((start & 0xFF) << 8) | ((epoch & 0x7FFF) << 16);
}
int endOf(int s) { return s & 0xFF; }
int startOf(int s) { return (s >> 8) & 0xFF; }
int epochOf(int s) { return (s >> 16) & 0x7FFF; }

struct Colour {
    TokenKind kind;
    QRgb light;
    QRgb dark;
};
// Readable on white and on a dark background alike.
constexpr Colour kColours[] = {
    {TokenKind::Tag, 0x1A3FA8, 0x7FB2FF},          {TokenKind::AttrName, 0x8A3B00, 0xE8B46C},
    {TokenKind::AttrValue, 0x0B7A28, 0x98D98A},    {TokenKind::Comment, 0x7A7A7A, 0x8F9AA3},
    {TokenKind::Entity, 0x8B1A8B, 0xE39BE3},       {TokenKind::Doctype, 0x5B4BA8, 0xB9A8FF},
    {TokenKind::CssSelector, 0x8B1E1E, 0xF2A2A2},  {TokenKind::CssProperty, 0x1558B0, 0x8CC8FF},
    {TokenKind::CssValue, 0x00696B, 0x7FE0D2},     {TokenKind::CssComment, 0x7A7A7A, 0x8F9AA3},
    {TokenKind::ScriptKeyword, 0x2036A8, 0x6CB6FF}, {TokenKind::ScriptString, 0xA31515, 0xE6A07C},
    {TokenKind::ScriptComment, 0x3A7A1A, 0x7CC67C}, {TokenKind::ScriptNumber, 0x09705A, 0xB5CEA8},
};

} // namespace

HtmlHighlighter::HtmlHighlighter(QTextDocument* document) : QObject(document), m_doc(document)
{
    buildFormats();
    connect(m_doc, &QTextDocument::contentsChange, this, &HtmlHighlighter::onContentsChange);
}

void HtmlHighlighter::buildFormats()
{
    for (const Colour& c : kColours) {
        QTextCharFormat f;
        f.setForeground(QColor(m_dark ? c.dark : c.light));
        m_formats[size_t(c.kind)] = f;
    }
}

void HtmlHighlighter::setEnabled(bool on)
{
    if (on == m_enabled)
        return;
    m_enabled = on;
    if (!on)
        uncolourAll();
    m_epoch = m_epoch % 0x7FFE + 1;
}

void HtmlHighlighter::setDarkBackground(bool dark)
{
    if (dark == m_dark)
        return;
    m_dark = dark;
    buildFormats();
    // Every block's colours are out of date; they are redone when shown.
    m_epoch = m_epoch % 0x7FFE + 1;
}

void HtmlHighlighter::uncolourAll()
{
    int from = INT_MAX, to = -1;
    for (QTextBlock b = m_doc->begin(); b.isValid(); b = b.next()) {
        const int s = b.userState();
        if (s == -1 || epochOf(s) == 0)
            continue;
        b.layout()->clearFormats();
        b.setUserState(pack(endOf(s), startOf(s), 0));
        from = std::min(from, b.position());
        to = std::max(to, b.position() + b.length());
    }
    if (to >= 0) {
        m_applying = true;
        m_doc->markContentsDirty(from, to - from);
        m_applying = false;
    }
}

void HtmlHighlighter::onContentsChange(int position, int removed, int added)
{
    Q_UNUSED(removed);
    if (m_applying)
        return;
    QTextBlock b = m_doc->findBlock(position);
    if (!b.isValid())
        return;
    m_known = std::min(m_known, b.blockNumber());
    const int end = position + added;
    for (; b.isValid() && b.position() <= end; b = b.next()) {
        const int s = b.userState();
        if (s != -1)
            b.setUserState(pack(endOf(s), kUnknownStart, epochOf(s)));
    }
}

int HtmlHighlighter::process(QTextBlock& block, int start, bool colour, int& dirtyFrom, int& dirtyTo)
{
    const int old = block.userState();
    colour = colour && m_enabled;
    if (old != -1 && startOf(old) == start && (!colour || epochOf(old) == m_epoch))
        return endOf(old);
    if (!colour) {
        const int end = HtmlTokenizer::tokenize(block.text(), start, nullptr);
        // Colours it may carry are kept until it is shown and redone.
        block.setUserState(pack(end, start, old == -1 ? 0 : (epochOf(old) == 0 ? 0 : 0x7FFF)));
        return end;
    }
    QList<Token> tokens;
    const int end = HtmlTokenizer::tokenize(block.text(), start, &tokens);
    QList<QTextLayout::FormatRange> ranges;
    ranges.reserve(tokens.size());
    for (const Token& t : std::as_const(tokens))
        ranges.append(QTextLayout::FormatRange{t.start, t.length, m_formats[size_t(t.kind)]});
    block.layout()->setFormats(ranges);
    block.setUserState(pack(end, start, m_epoch));
    dirtyFrom = std::min(dirtyFrom, block.position());
    dirtyTo = std::max(dirtyTo, block.position() + block.length());
    return end;
}

void HtmlHighlighter::run(int firstColoured, int last)
{
    last = std::min(last, m_doc->blockCount() - 1);
    if (last < 0)
        return;
    int from = std::min(m_known, firstColoured);
    from = std::max(0, from);
    QTextBlock b = m_doc->findBlockByNumber(from);
    int state = HtmlTokenizer::kInitialState;
    if (from > 0) {
        const int prev = b.previous().userState();
        state = prev == -1 ? HtmlTokenizer::kInitialState : endOf(prev);
    }
    int dirtyFrom = INT_MAX, dirtyTo = -1;
    for (; b.isValid() && b.blockNumber() <= last; b = b.next())
        state = process(b, state, b.blockNumber() >= firstColoured, dirtyFrom, dirtyTo);
    m_known = std::max(m_known, last + 1);
    if (dirtyTo >= 0) {
        m_applying = true;
        m_doc->markContentsDirty(dirtyFrom, dirtyTo - dirtyFrom);
        m_applying = false;
    }
}

void HtmlHighlighter::highlight(int first, int last)
{
    if (!m_enabled || first > last)
        return;
    run(std::max(0, first), last);
}

int HtmlHighlighter::startState(int block)
{
    if (block <= 0)
        return HtmlTokenizer::kInitialState;
    if (block > m_known)
        run(INT_MAX, block - 1);
    const int s = m_doc->findBlockByNumber(block - 1).userState();
    return s == -1 ? HtmlTokenizer::kInitialState : endOf(s);
}

int HtmlHighlighter::colouredBlocks() const
{
    int n = 0;
    for (QTextBlock b = m_doc->begin(); b.isValid(); b = b.next()) {
        const int s = b.userState();
        if (s != -1 && epochOf(s) != 0)
            ++n;
    }
    return n;
}
