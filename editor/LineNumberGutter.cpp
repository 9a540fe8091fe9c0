#include "editor/LineNumberGutter.h"

#include "editor/TOvcTextFileEditor.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QPainter>

#include <algorithm>

LineNumberGutter::LineNumberGutter(TOvcTextFileEditor* editor) : QWidget(editor), m_editor(editor)
{
    setObjectName(QStringLiteral("LineNumberGutter"));
    setCursor(Qt::ArrowCursor);
}

int LineNumberGutter::neededWidth() const
{
    return widthFor(m_editor->LineCount());
}

int LineNumberGutter::widthFor(qsizetype lines) const
{
    if (isHidden())
        return 0;
    int digits = 1;
    for (qsizetype n = std::max<qsizetype>(1, lines); n >= 10; n /= 10)
        ++digits;
    digits = std::max(digits, 3);
    const int charWidth = m_editor->fontMetrics().horizontalAdvance(QLatin1Char('9'));
    // Room for a bookmark's tab on the left.
    return m_editor->lineHeight() + charWidth * digits + 6;
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

    int caretLine = 0, caretColumn = 0;
    m_editor->CaretPosition(caretLine, caretColumn);
    const int lineHeight = m_editor->lineHeight();
    const int right = width() - 6;
    const int top = m_editor->viewport()->y() - m_editor->contentsRect().y();
    const std::vector<std::pair<int, int>> marks = m_editor->bookmarkLines();
    const QColor markBack = dark ? QColor(0x3A, 0x6E, 0xA5) : QColor(0x2F, 0x6F, 0xC0);
    QFont small = m_editor->font();
    small.setPointSizeF(std::max(6.0, small.pointSizeF() * 0.8));
    const std::vector<TOvcTextFileEditor::LineMark>& lineMarks = m_editor->lineMarks();
    for (const auto& [line, y] : m_editor->visibleLineTops()) {
        if (y + top + lineHeight < e->rect().top() || y + top > e->rect().bottom())
            continue;
        // Line marks: the gravest severity of the line colours a bar at the right edge.
        auto mark = std::lower_bound(lineMarks.begin(), lineMarks.end(), line,
                                     [](const TOvcTextFileEditor::LineMark& m, int l) { return m.line < l; });
        if (mark != lineMarks.end() && mark->line == line) {
            int worst = mark->severity;
            for (auto m = mark; m != lineMarks.end() && m->line == line; ++m)
                worst = std::min(worst, m->severity);
            static const QColor colours[] = {QColor(0xD0, 0x20, 0x20), QColor(0xE0, 0x90, 0x10),
                                             QColor(0x60, 0x80, 0xC0)};
            p.fillRect(QRect(width() - 4, y + top + 1, 3, lineHeight - 2), colours[std::clamp(worst, 0, 2)]);
        }
        p.setPen(line + 1 == caretLine ? current : numbers);
        p.drawText(0, y + top, right, lineHeight, Qt::AlignRight | Qt::AlignVCenter, QString::number(line + 1));
        // A bookmark: its number on a small tab at the gutter's left edge.
        for (const auto& [number, markLine] : marks) {
            if (markLine != line)
                continue;
            const QRect tab(1, y + top + 1, lineHeight - 2, lineHeight - 2);
            p.fillRect(tab, markBack);
            p.setPen(Qt::white);
            p.setFont(small);
            p.drawText(tab, Qt::AlignCenter, QString::number(number));
            p.setFont(m_editor->font());
            break;
        }
    }
}

void LineNumberGutter::mousePressEvent(QMouseEvent* e)
{
    // A click on a number puts the caret at the start of that line.
    const qsizetype at = m_editor->offsetAt(QPoint(0, int(e->position().y())));
    const TextSnapshot& t = m_editor->buffer().Text();
    const qsizetype start = t.LineStart(t.LineOfOffset(at));
    m_editor->setSelection(start, start);
    m_editor->setFocus(Qt::MouseFocusReason);
}

QString LineNumberGutter::markTipAt(const QPoint& pos) const
{
    const std::vector<TOvcTextFileEditor::LineMark>& marks = m_editor->lineMarks();
    if (marks.empty())
        return QString();
    const int top = m_editor->viewport()->y() - m_editor->contentsRect().y();
    const int lineHeight = m_editor->lineHeight();
    for (const auto& [line, y] : m_editor->visibleLineTops()) {
        if (pos.y() < y + top || pos.y() >= y + top + lineHeight)
            continue;
        QStringList tips;
        for (const TOvcTextFileEditor::LineMark& m : marks)
            if (m.line == line)
                tips << m.toolTip;
        return tips.join(u'\n');
    }
    return QString();
}

bool LineNumberGutter::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(e);
        const QString tip = markTipAt(help->pos());
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, this);
        return true;
    }
    return QWidget::event(e);
}
