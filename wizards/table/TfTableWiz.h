#pragma once
// "Velquist Table Wizard": a table laid out in a grid, given titles, a
// header row and a border, pasted into the active document as HTML and kept
// in table files.
#include "wizards/forms/WizardDialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class TagEngine;
class tHTMLStringGrid;

class TfTableWiz : public WizardDialog {
    Q_OBJECT
public:
    explicit TfTableWiz(TagEngine& engine, QWidget* parent = nullptr);

    tHTMLStringGrid* grdTable = nullptr;
    QSpinBox* spnRows = nullptr;
    QSpinBox* spnCols = nullptr;
    QSpinBox* spnBorder = nullptr;
    QCheckBox* chkHeader = nullptr;
    QLineEdit* txtHead = nullptr;
    QPushButton* btnSet = nullptr;
    QLineEdit* txtTitle1 = nullptr;
    QCheckBox* optUseTitle1 = nullptr;
    QLineEdit* txtTitle2 = nullptr;
    QCheckBox* optUseTitle2 = nullptr;
    QCheckBox* opt2asfooter = nullptr;
    QLabel* lblHint = nullptr;
    QPushButton* OKBtn = nullptr;

public slots:
    void SaveHTMLClick();
    void CancelBtnClick();
    void btnLoadTableClick();
    void btnSaveTableClick();
    void btnSaveTableAsClick();
    void cmdClearClick();
    void btnSetClick();
    // Copies the title fields into the grid.
    void SetTitles();

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void showCounts();
    // The counts and the title fields as the grid now has them (after a load).
    void showFields();
    void saveTable();
    QString askTableName();
    TagEngine& m_engine;
};
