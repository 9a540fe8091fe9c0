#pragma once
// The editor colours dialog "Set Editing Colors": the background, text colour
// and fixed-pitch font of the active document's editor ("Apply"), or the
// default for new document windows as well ("Default").
#include "app/TBag.h"

#include <QColor>
#include <QDialog>
#include <QFont>
#include <functional>

class QListWidget;
class QPushButton;
class TmdiMain;

// Sixteen colours in two columns of eight: a left click chooses the
// foreground, a right click the background. -1: none chosen.
class TEditColorGrid : public QWidget {
public:
    explicit TEditColorGrid(QWidget* parent = nullptr);
    static QColor colorAt(int index);
    static int indexOf(const QColor& color);  // -1 when not one of the sixteen
    int foregroundIndex() const { return m_fg; }
    int backgroundIndex() const { return m_bg; }
    void setIndexes(int foreground, int background);
    QRect cellRect(int index) const;
    QSize sizeHint() const override;
    std::function<void()> onChange;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    int m_fg = -1;
    int m_bg = 15;  // white
};

class TfColor : public QDialog {
    Q_OBJECT
public:
    explicit TfColor(TmdiMain& main);

    TBag Prefs;
    QListWidget* mSamp = nullptr;
    TEditColorGrid* ColorGrid = nullptr;
    QPushButton* btnFont = nullptr;
    QPushButton* btnApply = nullptr;
    QPushButton* btnDefault = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnHelp = nullptr;

    QColor sampleBackground() const { return m_background; }
    QColor sampleText() const { return m_text; }
    QFont sampleFont() const { return m_font; }
    static QStringList sampleLines();

public slots:
    void SetDefC();
    void ColorGridChange();
    void btnFontClick();
    void btnApplyClick();
    void btnDefaultClick();
    void FormClose();
    void done(int result) override;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void showSample();
    TmdiMain& m_main;
    QColor m_background = Qt::white;
    QColor m_text = Qt::black;
    QFont m_font;
};
