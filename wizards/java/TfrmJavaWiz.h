#pragma once
// The Java wizard "Velquist Java Wizard": an APPLET element from the
// applet's code file, size, alignment and optional attributes.
#include "app/TBag.h"
#include "wizards/java/JavaAppletWriter.h"

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QPushButton;
class TagEngine;

class TfrmJavaWiz : public QDialog {
    Q_OBJECT
public:
    TfrmJavaWiz(TagEngine& engine, QWidget* parent);

    TBag Prefs;
    QLineEdit* tCode = nullptr;
    QDoubleSpinBox* tWidth = nullptr;
    QDoubleSpinBox* tHeight = nullptr;
    QComboBox* tAlign = nullptr;
    QLineEdit* tCBase = nullptr;
    QLineEdit* tAlt = nullptr;
    QLineEdit* tName = nullptr;
    QDoubleSpinBox* tVSpace = nullptr;
    QDoubleSpinBox* tHSpace = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* HelpBtn = nullptr;

    JavaAppletOptions options() const;
    // Shows the window without waiting for it and brings it to the front.
    void showWindow();

public slots:
    void OKBtnClick();
    void CancelBtnClick();

protected:
    void showEvent(QShowEvent* e) override;
    void done(int r) override;

private:
    TagEngine& m_engine;
};
