#pragma once
// The macros dialog "Velquist Macros": the system macros, and the user's
// own, which the user adds, removes and saves to user.mcr.
#include "app/TBag.h"

#include <QDialog>

class MacroListView;
class QLineEdit;
class QPushButton;
class QTabWidget;
class TagHost;

class TfMacros : public QDialog {
    Q_OBJECT
public:
    explicit TfMacros(QWidget* parent = nullptr);

    TBag Prefs;
    QTabWidget* pages = nullptr;
    MacroListView* lstSystemMacros = nullptr;
    MacroListView* lstUserMacros = nullptr;
    QLineEdit* txtMacro = nullptr;
    QLineEdit* txtExpandTo = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdRemove = nullptr;
    QPushButton* cmdSave = nullptr;
    QPushButton* cmdClose = nullptr;
    QPushButton* cmdHelp = nullptr;

    // The system list as it stands: built in until system.mcr is read.
    QStringList systemMacros() const;

public slots:
    // Reloads both lists from their files; a missing file keeps its list.
    void LoadUser();
    void cmdAddClick();
    void cmdRemoveClick();
    // Writes the user list to user.mcr and closes; a failed write is
    // reported and keeps the dialog open.
    void SaveUser();
    void cmdCloseClick();
    // "&Expand Macros Now !" on the host's active document: the saved user
    // macros first, then this dialog's system list. An unreadable user.mcr
    // throws before the document is touched.
    void ExpandMacrosNow(TagHost& host);

protected:
    void showEvent(QShowEvent* e) override;
    void done(int result) override;
};
