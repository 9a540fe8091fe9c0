#pragma once
// The Java wizard "Velquist Java Wizard": an APPLET element from the
// applet's code file, size, alignment and optional attributes.
#include "wizards/java/JavaAppletWriter.h"

#include "wizards/forms/WizardDialog.h"

class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QPushButton;
class TagEngine;

class TfrmJavaWiz : public WizardDialog {
    Q_OBJECT
public:
    TfrmJavaWiz(TagEngine& engine, QWidget* parent);

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

public slots:
    void OKBtnClick();
    void CancelBtnClick();

private:
    TagEngine& m_engine;
};
