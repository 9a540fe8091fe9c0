#pragma once
// The main frame: menus, tool bars, status line, document windows, tabs and
// recent files, with the file, edit, window and view commands. Everything
// else lives in the subsystems' modules, which the frame makes and which
// bind their handlers by name into the command table.
#include "app/FrameModule.h"
#include "app/DocumentHost.h"
#include "app/MruList.h"
#include "app/TMegaRegistry.h"

#include <QHash>
#include <QMainWindow>
#include <memory>
#include <vector>

class QLabel; class QMdiArea; class QMdiSubWindow; class QMenu; class QMimeData; class QTabBar; class QTimer;
class FileGuard; class TAboutBox; class TfColor; class TfOptions;

class TmdiMain : public QMainWindow, public DocumentHost {
    Q_OBJECT
public:
    explicit TmdiMain(QWidget* parent = nullptr);
    ~TmdiMain() override;

    TMegaRegistry IniControl;  // "VELQUIST.INI"
    MruList RecentFiles;
    int NewDocumentCount = 0;  // numbers untitled documents for the whole run
    QString LastSearchText;    // the most recent find in any document window
    QString& lastSearchText() override { return LastSearchText; }
    QString UserName;
    QString HelpFile;

    // Paths named on the command line, opened by the start-up step once the frame is on screen.
    void setCommandLine(const QStringList& args) { m_commandLine = args; }
    bool startUpDone() const { return m_startUpDone; }

    // A subsystem's module.
    template <class M> M& module() const
    {
        for (const auto& m : m_modules) if (auto* found = dynamic_cast<M*>(m.get())) return *found;
        qFatal("no such module");
    }
    // Runs a command of the command table by its handler name, as its menu
    // entry does; false when there is no such command or it failed.
    bool run(const QString& handler);

    // FrameServices
    QWidget* frameWindow() override { return this; }
    TagEngine& tagEngine() override { return *m_tags; }
    TfHTML* activeDocument() const override;
    QList<TfHTML*> documents() const override;
    void OpenDocumentFile(const QString& path) override;
    TfHTML* createUntitledDocument() override;
    void showNewDocument(TfHTML* doc) override;
    void showDocument(TfHTML* doc) override;
    MruList& recentFiles() override { return RecentFiles; }
    QStringList commandLine() const override { return m_commandLine; }
    ProgressWindow& progressWindow() override;
    QList<QAction*> actions(const QString& handler) const override { return m_actions.value(handler); }
    TDocPanel* toolBar(const QString& objectName) const override { return m_toolBars.value(objectName); }
    std::function<void()> command(const QString& handler) const override { return m_commands.handler(handler); }
    QString openFilter() const override;
    // TagHost
    EditorContract* activeEditor() override;
    void SetStatusText(const QString& text) override;
    void SetTagPanel(const QString& text) override;
    TMegaRegistry& settings() override { return IniControl; }
    void ShowMessage(const QString& text) override;

    QAction* action(const QString& handler) const;
    QMenu* menu(const QString& caption) const;  // a top-level or sub menu by caption
    QList<QAction*> mruActions() const { return m_mruActions; }
    QAction* mruSeparator() const { return m_mruSeparator; }
    QMdiArea* mdiArea() const { return m_mdi; } QTabBar* tabSet() const { return TabSet1; }
    QString statusText() const;
    QLabel* panel(const QString& objectName) const;
    FileGuard* fileGuard() const override { return m_fileGuard; }
    TfOptions* optionsDialog(); TAboutBox* aboutBox(); TfColor* editorColorsDialog();
    bool wordWrapChecked() const override;
    // Where a submenu opened by its key appears: under the caret of the
    // active document, else below its top-level menu.
    QPoint submenuPosition(QMenu* top) const;

    // Documents, recent files and tabs.
    bool IsFileNotOpen(const QString& path) const;
    TfHTML* createDocument(const QString& caption) override;  // a new window; the caller fills it
    int nextUntitledNumber() override { return ++NewDocumentCount; }
    void MRUUpdate(const QString& path); void MRUDisplay(); void MRUOpenChild(int index);
    void TabsUpdate(const QString& name) override; void TabsRefresh(); void RemovefromTabs(const QString& name) override;
    void SelectTabName(const QString& name) override; void DisplayTabName();
    // The files a later start of the program handed over.
    void OpenFilesFromAnotherStart(const QStringList& files);
    bool OpenDroppedFiles(const QMimeData* data) override;  // false when the drop holds no local file

    // The frame's own commands.
    void FileNew(); void FileOpen(); void FileCloseChild(); void CloseAll1Click(); void FileSave();
    void FileSaveAs(); void FileExit();
    void EditUndo(); void EditRedoClick(); void EditCut(); void EditCopy(); void EditPaste(); void EditDelete();
    void EditClear();
    void WindowTile(); void WindowCascade(); void WindowArrange();
    void WordWrap1Click(); void SmartTabs1Click(); void DocumentTabs1Click(); void SetEditorColors1Click();
    void SyntaxHighlighting1Click(); void LineNumbers1Click(); void AutoCloseTags1Click();
    void ToggleComment1Click(); void ExpandAbbreviation1Click(); void CloseTagOnGreater1Click(); void CompletionLists1Click();
    void GotoMatchingTag1Click(); void GotoLine1Click();
    void ApplicationOptions1Click(); void HelpAbout();
    void CheckExternalChanges() override; void RecoverDocuments();
    // Start-up, exit and the status line.
    void GetCommandLine(); void LoadIniSettings(); void doIniSettings();
    void ShowStatus(); void ShowHint(const QString& hint); void AppException(const QString& message);
    void AdjustControls();

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool event(QEvent* e) override;

private:
    friend class CommandTable;
    void bindCommands(CommandBinder& binder);
    void FormCreate(); void startUpWhenExposed(int tries); void buildStatusLine(); void setupEditingView();
    void placeCascaded(QMdiSubWindow* sub, int index); void onSubWindowActivated(QMdiSubWindow* w); void updateTitle();
    void setChecked(const QString& handler, bool on); bool isChecked(const QString& handler) const;
    QString askSaveName(); int tabIndexOf(const QString& name, bool last = true) const; void appendTab(const QString& name);
    void onActiveDocument(void (TfHTML::*command)());

    std::unique_ptr<TagEngine> m_tags;
    std::vector<std::unique_ptr<FrameModule>> m_modules;
    CommandBinder m_commands;
    QMdiArea* m_mdi = nullptr;
    QTabBar* TabSet1 = nullptr;
    QLabel *StatusLine = nullptr, *pnlMode = nullptr, *pnlPos = nullptr, *pnlSize = nullptr;
    QLabel *pnlFormat = nullptr, *pnlApp = nullptr, *pnlTag = nullptr;
    QTimer* m_timer = nullptr;
    QHash<QString, QList<QAction*>> m_actions;
    QHash<QString, TDocPanel*> m_toolBars;
    QList<QMenu*> m_menus;
    QList<QAction*> m_mruActions; QAction* m_mruSeparator = nullptr;
    QAction* m_searchAnchor = nullptr;  // the menu entry the "&Search" menu goes before
    QAction* m_mergedSearch = nullptr;
    FileGuard* m_fileGuard = nullptr;
    TfOptions* m_options = nullptr; TAboutBox* m_about = nullptr; TfColor* m_editorColors = nullptr;
    ProgressWindow* m_progress = nullptr;
    QStringList m_commandLine;
    bool m_started = false, m_startUpDone = false;
};
