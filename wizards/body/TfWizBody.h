#pragma once
// The body wizard "Velquist Body Wizard": a BODY tag with a background image
// and five page colours, previewed live and put into the active document.
#include "wizards/body/BodyTag.h"
#include "wizards/forms/WizardDialog.h"

class BodyPreview;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class TagEngine;

class TfWizBody : public WizardDialog {
    Q_OBJECT
public:
    TfWizBody(TagEngine& engine, QWidget* parent);

    enum Field { Background, Text, Link, Visited, Active };
    QLineEdit* tImage = nullptr;
    QLineEdit* tBGCOLOR = nullptr;
    QLineEdit* tText = nullptr;
    QLineEdit* tLink = nullptr;
    QLineEdit* tVLink = nullptr;
    QLineEdit* tALink = nullptr;
    QLineEdit* colorField(int field) const { return m_fields[field]; }
    // The spinner's up (true) or down arrow beside a colour field.
    QToolButton* spinButton(int field, bool up) const { return m_spins[field][up ? 0 : 1]; }
    QPushButton* btnBrowse = nullptr;
    QPushButton* btnUpper = nullptr;
    QPushButton* btnLower = nullptr;
    QPushButton* btnSlash = nullptr;
    QPlainTextEdit* Memo = nullptr;
    BodyPreview* Preview = nullptr;
    QPushButton* btnPreview = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    QPushButton* HelpBtn = nullptr;

    BodyColors colors() const;

public slots:
    // Rebuilds the memo and draws it in the preview pane.
    void btnPreviewClick();
    void OKBtnClick();
    void btnBrowseClick();

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void spin(int field, int delta);
    TagEngine& m_engine;
    QLineEdit* m_fields[5] = {};
    QToolButton* m_spins[5][2] = {};
};
