#pragma once
// The small window a floating docking panel lives in: a title strip of its
// own (so a double click on it reaches the panel on every window system)
// with a close box, the panel below it, and a right edge that sizes the
// panel's width when the border is sizeable.
#include <QPointer>
#include <QWidget>

class TDocPanel;

class TDocForm : public QWidget {
    Q_OBJECT
public:
    TDocForm(TDocPanel* panel, QWidget* owner);

    TDocPanel* panel() const { return m_panel; }
    // Where the panel sits inside the window.
    QPoint panelOrigin() const { return QPoint(1, 1 + titleHeight()); }
    int titleHeight() const;
    QRect titleRect() const;
    QRect closeBoxRect() const;
    // The second display state of the close box: only the title shows.
    bool isRolledUp() const { return m_rolledUp; }
    void setRolledUp(bool on);
    // Takes the size of the panel and the title.
    void fit();
    // The width the title needs to be read whole.
    int titleWidth() const;
    // The panel length (MaxWidth) that makes the panel at most width wide.
    int lengthForWidth(int width) const;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    bool onSizingEdge(const QPoint& pos) const;
    QPointer<TDocPanel> m_panel;
    bool m_rolledUp = false;
    enum Drag { None, Moving, Sizing } m_drag = None;
    QPoint m_pressOffset;
    bool m_moved = false;
};
