#pragma once
// The application options dialog.
#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class TmdiMain;

class TfOptions : public QDialog {
    Q_OBJECT
public:
    explicit TfOptions(TmdiMain& main);

    QTabWidget* pages = nullptr;
    QRadioButton* rbLower = nullptr;
    QRadioButton* rbUpper = nullptr;
    QRadioButton* rbDecide = nullptr;
    QRadioButton* rbStaySelected = nullptr;
    QRadioButton* rbMoveCursor = nullptr;
    QCheckBox* cbSmartTabs = nullptr;
    QSpinBox* spTabWidth = nullptr;
    QCheckBox* cbWordWrap = nullptr;
    QLineEdit* edUserName = nullptr;
    QLineEdit* edEmail = nullptr;
    QLineEdit* edHomePage = nullptr;
    QLineEdit* edOrganisation = nullptr;
    QLineEdit* edStartDir = nullptr;
    QCheckBox* cbLoadTemplate = nullptr;
    QCheckBox* cbBackup = nullptr;
    QCheckBox* cbTips = nullptr;
    QCheckBox* cbSession = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnCancel = nullptr;
    QPushButton* btnHelp = nullptr;

public slots:
    void LoadIniSettings();
    void btnSaveClick();
    void cbTipsClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    TmdiMain& m_main;
};
