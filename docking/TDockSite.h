#pragma once
// The area docking panels dock to: panels along its four sides, in lines
// (top and bottom first, across the whole width, then left and right), and
// one centre widget in the room left. A line holds panels one after another
// along the side; a panel that would pass the side's end starts a new line.
#include <QWidget>

class TDocPanel;

class TDockSite : public QWidget {
    Q_OBJECT
public:
    explicit TDockSite(QWidget* parent = nullptr);

    void setCentreWidget(QWidget* w);
    QWidget* centreWidget() const { return m_centre; }
    // Takes a panel in (docked) or lets it go (floating).
    void addPanel(TDocPanel* p);
    void removePanel(TDocPanel* p);
    QList<TDocPanel*> panels() const { return m_panels; }
    // The client area the side choosing uses, in screen coordinates.
    QRect clientRect() const;
    // The length of a side (its panels wrap at it).
    int sideLength(int align) const;
    // Makes every docked panel's place keys its current place (site pixels),
    // so a panel put in among them sorts where it lands.
    void normalisePlaces(int align);
    // The outermost line key of a side (0 when it holds no panel).
    int outerLine(int align) const;
    void relayout();
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* e) override;
    bool event(QEvent* e) override;

private:
    QWidget* m_centre = nullptr;
    QList<TDocPanel*> m_panels;
    int m_verticalLength = 0;
    QSize m_used;  // room the docked panels took at the last layout
    bool m_busy = false;
};
