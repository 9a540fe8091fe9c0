#pragma once
// The project window "Project Organiser": a tree of document files that the
// user builds, reorders, opens and keeps in a ".vpr" project file.
#include "app/TBag.h"
#include "reuse/ProjectFile.h"

#include <QDialog>

class QLineEdit;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class FrameServices;

class TfProj : public QDialog {
    Q_OBJECT
public:
    explicit TfProj(FrameServices& main);

    enum PromptResult { Proceed, Cancelled };

    TBag Prefs;
    QTreeWidget* outProj = nullptr;
    QLineEdit* txtTitle = nullptr;
    QLineEdit* tFN = nullptr;  // the project file, read only
    QPushButton* btnOpenProj = nullptr;
    QPushButton* btnNewProj = nullptr;
    QPushButton* btnSaveProject = nullptr;
    QPushButton* btnAddFile = nullptr;
    QPushButton* btnRemoveFile = nullptr;
    QPushButton* btnOpenFile = nullptr;
    QPushButton* btnOpenAll = nullptr;
    QPushButton* btnExpandAll = nullptr;
    QPushButton* btnCollapseAll = nullptr;
    QPushButton* btnUp = nullptr;
    QPushButton* btnDown = nullptr;
    QPushButton* btnLeft = nullptr;
    QPushButton* btnRight = nullptr;
    QPushButton* btnClose = nullptr;
    QMenu* popupMenu = nullptr;

    const ProjectTree& tree() const { return m_project.tree; }
    QString title() const;
    QString fileName() const { return m_fileName; }
    bool modified() const { return m_modified; }
    // The position of the selected item in the tree; -1 without one.
    int selectedIndex() const;
    void selectIndex(int index);

    // "Sav&e Open as New Project ...": asks for a name, then replaces the
    // project by one top-level item per caption of the open documents and
    // asks to save it. With no documents it only says so.
    void SaveOpenAsNewProject(const QStringList& captions);
    // Shows the window modally ("Open P&roject Window ...").
    void showModal();

public slots:
    void btnNewProjClick();
    void btnOpenProjClick();
    void btnSaveProjectClick();
    void btnAddFileClick();
    void btnRemoveFileClick();
    void btnOpenFileClick();
    void btnOpenAllClick();
    void ExpandAll();
    void CollapseAll();
    void doMoveUp();
    void DoMoveDown();
    void UpBtnClick();
    void DownBtnClick();
    void btnCloseClick();
    // Offers to save a modified project: Proceed, or Cancelled when the
    // user gave up choosing a file or the file could not be written.
    PromptResult SaveQuery();

protected:
    void showEvent(QShowEvent* e) override;
    void done(int result) override;

private:
    void rebuild(int select);
    void changed(int select);
    bool writeTo(const QString& path);
    FrameServices& m_main;
    Project m_project;
    QString m_fileName;
    bool m_modified = false;
    bool m_rebuilding = false;
};
