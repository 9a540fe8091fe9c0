#include "editor/LineNumberGutter.h"

#include "editor/TOvcTextFileEditor.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTextBlock>

LineNumberGutter::LineNumberGutter(TOvcTextFileEditor* editor) : QWidget(editor), m_editor(editor)
{
    setObjectName(QStringLiteral("LineNumberGutter"));
    setCursor(Qt::ArrowCursor);
}

int LineNumberGutter::neededWidth() const
{
    if (isHidden())
        return 0;
    int digits = 1;
    for (int n = std::max(1, m_editor->blockCount()); n >= 10; n /= 10)
        ++digits;
    digits = std::max(digits, 3);
    const int charWidth = m_editor->fontMetrics().horizontalAdvance(QLatin1Char('9'));
    return 6 + charWidth * digits + 6;
}

void LineNumberGutter::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    const QColor base = m_editor->Color();
    const bool dark = base.lightness() < 128;
    const QColor back = dark ? base.lighter(130) : base.darker(106);
    const QColor numbers = dark ? QColor(0x9A, 0xA3, 0xAD) : QColor(0x80, 0x80, 0x80);
    const QColor current = m_editor->FixedFontColor();
    p.fillRect(e->rect(), back);
    p.setFont(m_editor->font());

    QTextBlock block = m_editor->firstVisibleBlock();
    const int caretBlock = m_editor->textCursor().blockNumber();
    const QPointF offset = m_editor->contentOffset();
    int top = qRound(m_editor->blockBoundingGeometry(block).translated(offset).top());
    const int lineHeight = m_editor->fontMetrics().height();
    const int right = width() - 6;
    while (block.isValid() && top <= e->rect().bottom()) {
        const int bottom = top + qRound(m_editor->blockBoundingRect(block).height());
        if (block.isVisible() && bottom >= e->rect().top()) {
            p.setPen(block.blockNumber() == caretBlock ? current : numbers);
            p.drawText(0, top, right, lineHeight, Qt::AlignRight | Qt::AlignVCenter,
                       QString::number(block.blockNumber() + 1));
        }
        block = block.next();
        top = bottom;
    }
}

void LineNumberGutter::mousePressEvent(QMouseEvent* e)
{
    // A click on a number puts the caret at the start of that line.
    QTextCursor c = m_editor->cursorForPosition(QPoint(0, int(e->position().y())));
    c.movePosition(QTextCursor::StartOfBlock);
    m_editor->setTextCursor(c);
    m_editor->setFocus(Qt::MouseFocusReason);
}
