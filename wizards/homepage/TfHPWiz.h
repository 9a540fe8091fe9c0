#pragma once
// The home page wizard "Home Page Wizard": six pages of choices that make a
// whole home page in a new document window.
#include "wizards/homepage/HomePageGenerator.h"

#include "wizards/forms/WizardDialog.h"

#include <QWidget>

class QCheckBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QTextBrowser;
class FrameServices;

// The sixteen standard colours: the left button picks the text colour, the
// right button the background colour.
class ColorGrid : public QWidget {
    Q_OBJECT
public:
    explicit ColorGrid(QWidget* parent = nullptr);
    int textColor() const { return m_text; }
    int backColor() const { return m_back; }
    void setTextColor(int index);
    void setBackColor(int index);
    // The cell under a point of the widget, -1 for none.
    int indexAt(const QPoint& p) const;
    QRect cellRect(int index) const;
    QSize sizeHint() const override { return {8 * 28 + 1, 2 * 28 + 1}; }

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    int m_cursor = 0;  // the cell the keyboard is on
    int m_text = 4;
    int m_back = 7;
};

class TfHPWiz : public WizardDialog {
    Q_OBJECT
public:
    explicit TfHPWiz(FrameServices& main);

    QTabWidget* TabSet = nullptr;
    QTextBrowser* Welcome = nullptr;
    QLineEdit* tTitle = nullptr;
    QLineEdit* tSubTitle = nullptr;
    QCheckBox* optWelcome = nullptr;
    QRadioButton* btnLeft = nullptr;
    QRadioButton* btnCentre = nullptr;
    QRadioButton* btnRight = nullptr;
    QCheckBox* optIncImage = nullptr;
    QLineEdit* txtIM = nullptr;
    QPushButton* btnIMBrowse = nullptr;
    QPushButton* btnIMUpper = nullptr;
    QPushButton* btnIMLower = nullptr;
    QCheckBox* optSlash2 = nullptr;
    QRadioButton* optIB = nullptr;
    QRadioButton* optIA = nullptr;
    QSpinBox* spnBorder = nullptr;
    QPlainTextEdit* mSections = nullptr;
    QCheckBox* optLines = nullptr;
    QCheckBox* optMail = nullptr;
    QCheckBox* optAddress = nullptr;
    QPlainTextEdit* mAddress = nullptr;
    QCheckBox* optUpdated = nullptr;
    ColorGrid* grdColor = nullptr;
    QCheckBox* optBColor = nullptr;
    QCheckBox* optFColor = nullptr;
    QCheckBox* optUseBGImage = nullptr;
    QLineEdit* txtImageName = nullptr;
    QPushButton* btnBGBrowse = nullptr;
    QPushButton* btnBGUpper = nullptr;
    QPushButton* btnBGLower = nullptr;
    QCheckBox* chkslash = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* HelpBtn = nullptr;

    // The choices as the pages show them.
    HomePageOptions options() const;

public slots:
    // Writes the page into a new document window and closes the wizard.
    void OKBtnClick();

private:
    void browse(QLineEdit* field);
    FrameServices& m_main;
};
