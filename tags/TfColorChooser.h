#pragma once
// The colour chooser "Color Chooser": picks a colour code ("#RRGGBB") from a
// grid of sixteen colours or the system's colour dialog, and inserts the
// code as typed.
#include "app/TBag.h"
#include "tags/TagEngine.h"

#include <QColor>
#include <QDialog>
#include <QVector>

class QLineEdit;
class QPushButton;

// Sixteen colour squares in two columns and eight rows, filled row by row.
class TColorGrid : public QWidget {
    Q_OBJECT
public:
    explicit TColorGrid(QWidget* parent = nullptr);
    static const QVector<QColor>& defaultColors();
    int count() const { return int(m_colors.size()); }
    QColor color(int index) const { return m_colors.value(index); }
    int selectedIndex() const { return m_selected; }
    QRect cellRect(int index) const;
    int indexAt(const QPoint& pos) const;
    QSize sizeHint() const override;

signals:
    void colorClicked(const QColor& color);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    QVector<QColor> m_colors;
    int m_selected = -1;
};

class TfColorChooser : public QDialog {
    Q_OBJECT
public:
    explicit TfColorChooser(TagEngine& engine, QWidget* parent = nullptr);

    // Shows the window (without waiting for it) and brings it to the front.
    void showChooser();
    // "#RRGGBB" of a colour.
    static QString colorCode(const QColor& color);

    TBag Prefs;
    TColorGrid* ColorGrid = nullptr;
    QPushButton* btnMore = nullptr;
    QLineEdit* txtCl = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

public slots:
    void ColorGridClick(const QColor& color);
    void btnMoreClick();
    void OKBtnClick();
    void CancelBtnClick();
    // Every way of closing (the button, Enter, Escape, the title bar) ends here.
    void reject() override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    TagEngine& m_engine;
};
