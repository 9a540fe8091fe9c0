#include "editor/FoldGutter.h"

#include "editor/FoldModel.h"
#include "editor/HtmlHighlighter.h"
#include "editor/TOvcTextFileEditor.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

FoldGutter::FoldGutter(TOvcTextFileEditor* editor) : QWidget(editor), m_editor(editor)
{
    setObjectName(QStringLiteral("FoldGutter"));
    setCursor(Qt::ArrowCursor);
}

int FoldGutter::neededWidth() const
{
    return isHidden() ? 0 : std::max(10, m_editor->lineHeight() * 3 / 4);
}

void FoldGutter::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    const QColor base = m_editor->Color();
    const bool dark = base.lightness() < 128;
    p.fillRect(e->rect(), dark ? base.lighter(115) : base.darker(103));
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink = dark ? QColor(0xA0, 0xA8, 0xB0) : QColor(0x70, 0x78, 0x80);
    const int lineHeight = m_editor->lineHeight();
    const int top = m_editor->viewport()->y() - m_editor->contentsRect().y();
    const TextSnapshot& t = m_editor->buffer().Text();
    HtmlHighlighter* h = m_editor->highlighter();
    const qreal w = width();
    for (const auto& [line, y] : m_editor->visibleLineTops()) {
        if (y + top + lineHeight < e->rect().top() || y + top > e->rect().bottom() || m_editor->isLineHidden(line))
            continue;
        const bool folded = m_editor->folds().isFolded(line);
        // (far down a long page the marks wait for its states)
        // (only the start of a long line is looked at)
        const QString head = t.Text(t.LineStart(line), std::min<qsizetype>(t.LineLength(line), 16384));
        if (!folded && (!h->statesReadyNear(line) || !FoldScan::mayStartRegion(head, h->startState(line))))
            continue;
        const qreal cx = w / 2, cy = y + top + lineHeight / 2.0, r = std::min(w, qreal(lineHeight)) * 0.3;
        QPainterPath arrow;
        if (folded) {  // pointing right
            arrow.moveTo(cx - r * 0.6, cy - r);
            arrow.lineTo(cx + r * 0.8, cy);
            arrow.lineTo(cx - r * 0.6, cy + r);
        } else {  // pointing down
            arrow.moveTo(cx - r, cy - r * 0.6);
            arrow.lineTo(cx + r, cy - r * 0.6);
            arrow.lineTo(cx, cy + r * 0.8);
        }
        arrow.closeSubpath();
        if (folded)
            p.fillPath(arrow, ink);
        else
            p.strokePath(arrow, QPen(ink, 1));
    }
}

void FoldGutter::mousePressEvent(QMouseEvent* e)
{
    const int top = m_editor->viewport()->y() - m_editor->contentsRect().y();
    const int y = int(e->position().y()) - top;
    for (const auto& [line, lineTop] : m_editor->visibleLineTops()) {
        if (y >= lineTop && y < lineTop + m_editor->lineHeight() * std::max(1, m_editor->displayRows(line + 1))) {
            m_editor->ToggleFold(line);
            return;
        }
    }
}
