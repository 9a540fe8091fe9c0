#pragma once
// "Velquist Forms Wizard": one form element at a time, from eight pages,
// into the active document or onto the clipboard.
#include "wizards/forms/FormWizard.h"
#include "wizards/forms/WizardDialog.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStackedWidget;
class QTabBar;
class TagEngine;

class TfFormWiz : public WizardDialog {
    Q_OBJECT
public:
    explicit TfFormWiz(TagEngine& engine, QWidget* parent = nullptr);

    // The fields as the controls hold them now.
    FormFields fields() const;
    int pageIndex() const;
    void setPage(int index);

    QTabBar* tabs = nullptr;
    QStackedWidget* pages = nullptr;
    QComboBox* tMethod = nullptr;
    QLineEdit* tAction = nullptr;
    QLineEdit* tMime = nullptr;
    QLineEdit* tSubValue = nullptr;
    QLineEdit* tSubName = nullptr;
    QLineEdit* tResetValue = nullptr;
    QLineEdit* tTextName = nullptr;
    QLineEdit* tTextDefault = nullptr;
    QSpinBox* sTextMax = nullptr;
    QSpinBox* sTextSize = nullptr;
    QLineEdit* tMultiName = nullptr;
    QPlainTextEdit* mMultiText = nullptr;
    QSpinBox* oMultiLines = nullptr;
    QSpinBox* oMultiSize = nullptr;
    QLineEdit* tOptText = nullptr;
    QLineEdit* tOptRetVal = nullptr;
    QCheckBox* oOptCB = nullptr;
    QCheckBox* oOptRB = nullptr;
    QRadioButton* btnLeft = nullptr;
    QRadioButton* btnCentre = nullptr;
    QRadioButton* btnRight = nullptr;
    QLineEdit* tSelName = nullptr;
    QCheckBox* oSelMulti = nullptr;
    QSpinBox* oSelLines = nullptr;
    QPlainTextEdit* mSel = nullptr;
    QPlainTextEdit* mSample = nullptr;
    QPushButton* btnToDoc = nullptr;
    QPushButton* btnToClip = nullptr;

public slots:
    void btnToDocClick();
    void btnToClipClick();
    void btnCancelClick();
    void LoadTable();
    void btnLoadFormClick();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void generate();
    QWidget* buildPage(int index);
    TagEngine& m_engine;
    bool m_toClipboard = false;
    QList<QObject*> m_pagePickers;  // left-column controls, by page
};
