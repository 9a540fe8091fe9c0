#pragma once
// The main frame: menus, tool bars, status line, document windows, tabs and
// the commands that act on the active document.
#include "app/MruList.h"
#include "app/TMegaRegistry.h"

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QStringList>

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTabBar;
class QTimer;
class QToolBar;
class TAboutBox;
class TfHTML;
class TfOptions;
class ProgressWindow;

class TmdiMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TmdiMain(QWidget* parent = nullptr);
    ~TmdiMain() override;

    // Settings store of the application ("VELQUIST.INI").
    TMegaRegistry IniControl;
    MruList RecentFiles;
    // Numbers untitled documents for the whole run; never goes back.
    int NewDocumentCount = 0;
    // Text of the most recent find in any document window.
    QString LastSearchText;
    QString UserName;
    QString HelpFile;

    // Paths named on the command line, opened when the frame is first shown.
    void setCommandLine(const QStringList& args) { m_commandLine = args; }

    TfHTML* activeDocument() const;
    QList<TfHTML*> documents() const;  // the frame's child order, active first
    QMdiArea* mdiArea() const { return m_mdi; }
    QTabBar* tabSet() const { return TabSet1; }
    QString statusText() const;
    QLabel* panel(const QString& objectName) const;
    // Actions bound to a handler name (menu entries and tool bar buttons).
    QList<QAction*> actions(const QString& handler) const;
    QAction* action(const QString& handler) const;
    QToolBar* toolBar(const QString& objectName) const;
    QMenu* menu(const QString& caption) const;  // a top-level or sub menu by caption
    QList<QAction*> mruActions() const { return m_mruActions; }
    QAction* mruSeparator() const { return m_mruSeparator; }
    TfOptions* optionsDialog() const { return m_options; }
    TAboutBox* aboutBox() const { return m_about; }

    // Shared helpers for every part of the program.
    void SetStatusText(const QString& text);
    void OpenDocumentFile(const QString& path);
    bool IsFileNotOpen(const QString& path) const;
    void MRUUpdate(const QString& path);
    void MRUDisplay();
    void TabsUpdate(const QString& name);
    void TabsRefresh();
    void RemovefromTabs(const QString& name);
    void SelectTabName(const QString& name);
    void SetTagPanel(const QString& text);
    // Makes a new untitled document window; the caller fills it.
    TfHTML* createDocument(const QString& caption);
    void showDocument(TfHTML* doc);
    int nextUntitledNumber() { return ++NewDocumentCount; }
    bool wordWrapChecked() const;

public slots:
    // File
    void FileNew();
    void FileOpen();
    void FileCloseChild();
    void CloseAll1Click();
    void FileSave();
    void FileSaveAs();
    void FileExit();
    void MRUOpenChild(int index);
    // Edit
    void EditUndo();
    void EditRedoClick();
    void EditCut();
    void EditCopy();
    void EditPaste();
    void EditDelete();
    void EditClear();
    // Window
    void WindowTile();
    void WindowCascade();
    void WindowArrange();
    // View
    void FileToolbar1Click();
    void TagsToolbar1Click();
    void FormattingToolbar1Click();
    void TableToolbar1Click();
    void FormsToolbar1Click();
    void ListToolBarClick();
    void WordWrap1Click();
    void SmartTabs1Click();
    void DocumentTabs1Click();
    // Options and help
    void ApplicationOptions1Click();
    void HelpAbout();
    // Start-up, status line and the application-wide handlers
    void GetCommandLine();
    void LoadIniSettings();
    void doIniSettings();
    void ShowStatus();
    void Timer1Timer() { ShowStatus(); }
    void ShowHint(const QString& hint);
    void AppException(const QString& message);
    void DisplayTabName();
    void AdjustControls();

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool event(QEvent* e) override;

private:
    friend class CommandTable;
    void FormCreate();
    void buildStatusLine();
    void onSubWindowActivated(QMdiSubWindow* w);
    void updateTitle();
    void toggleToolBar(const QString& handler, const QString& barName);
    void setToolBarShown(const QString& handler, const QString& barName, bool shown);
    void setChecked(const QString& handler, bool on);
    bool isChecked(const QString& handler) const;
    void saveDocument(TfHTML* doc, const QString& path);
    QString askSaveName();
    int tabIndexOf(const QString& name, bool last = true) const;

    QMdiArea* m_mdi = nullptr;
    QTabBar* TabSet1 = nullptr;
    QLabel* StatusLine = nullptr;
    QLabel* pnlMode = nullptr;
    QLabel* pnlPos = nullptr;
    QLabel* pnlSize = nullptr;
    QLabel* pnlApp = nullptr;
    QLabel* pnlTag = nullptr;
    QTimer* m_timer = nullptr;
    QHash<QString, QList<QAction*>> m_actions;
    QHash<QString, QToolBar*> m_toolBars;
    QList<QMenu*> m_menus;
    QList<QAction*> m_mruActions;
    QAction* m_mruSeparator = nullptr;
    QAction* m_searchAnchor = nullptr;  // the menu entry the "&Search" menu goes before
    QAction* m_mergedSearch = nullptr;
    TfOptions* m_options = nullptr;
    TAboutBox* m_about = nullptr;
    ProgressWindow* m_progress = nullptr;
    QStringList m_commandLine;
    bool m_started = false;
    bool m_exitApproved = false;
};
