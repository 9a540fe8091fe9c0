#pragma once
// "Edit Default Font and Colors": the font, text colour, size, link colour
// and background the preview uses for pages that set none of their own,
// with a sample page that shows each choice at once.
#include "app/TBag.h"

#include <QColor>
#include <QDialog>
#include <memory>

class QGridLayout;
class QListWidget;
class QPushButton;
class QSpinBox;
class QWidget;
class THTMLViewer;

class TFontForm : public QDialog {
    Q_OBJECT
public:
    explicit TFontForm(QWidget* parent = nullptr);
    ~TFontForm() override;

    // The values the caller gives before showing and reads back after "O&K".
    void setFontName(const QString& name);
    void setFontColor(const QColor& c);
    void setFontSize(int points);
    void setLinkColor(const QColor& c);
    void setBackground(const QColor& c);
    QString fontName() const { return m_fontName; }
    QColor fontColor() const { return m_fontColor; }
    int fontSize() const { return m_fontSize; }
    QColor linkColor() const { return m_linkColor; }
    QColor background() const { return m_background; }

    // The sixteen standard colours by name, in the grids' order.
    static const QStringList& colorNames();
    // The font families installed, by the names pages and the engine use
    // ("C059", not "C059 [urw]"), each once, sorted.
    static QStringList familyNames();
    // name when it is installed; else the family it stands for here: an
    // installed serif, or the fixed-pitch face for a typewriter font.
    static QString installedFamily(const QString& name);
    static QColor standardColor(int index);
    // A background's name in the list: its standard name, or "$" and eight
    // hexadecimal digits of its stored value.
    static QString colorName(const QColor& c);

    QListWidget* lstFonts = nullptr;
    QListWidget* lstBackground = nullptr;
    QSpinBox* edtSize = nullptr;
    QList<QPushButton*> fontGrid;
    QList<QPushButton*> linkGrid;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnReset = nullptr;
    TBag Prefs;
    THTMLViewer* sample() const { return m_sample.get(); }

public slots:
    void ResetClick();

protected:
    void showEvent(QShowEvent* e) override;
    void done(int result) override;

private:
    QWidget* makeGrid(const QString& caption, QList<QPushButton*>& buttons, bool link);
    void chooseInGrid(QList<QPushButton*>& buttons, int index);
    void updateSample();

    std::unique_ptr<THTMLViewer> m_sample;
    QWidget* m_sampleArea = nullptr;
    QString m_fontName;
    QColor m_fontColor = Qt::black;
    int m_fontSize = 12;
    QColor m_linkColor = Qt::blue;
    QColor m_background = Qt::white;
    struct Remembered {
        QString fontName;
        QColor fontColor, linkColor, background;
        int fontSize = 12;
    } m_remembered;
};
