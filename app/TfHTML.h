#pragma once
// A document window: one editing control holding the whole text of one file.
#include "app/TBag.h"

#include <QWidget>

class FindDialog;
class QMenu;
class QAction;
class ReplaceDialog;
class TOvcTextFileEditor;
class QSplitter;
class DocumentHost;

class TfHTML : public QWidget {
    Q_OBJECT
public:
    explicit TfHTML(DocumentHost& main, QWidget* parent = nullptr);
    ~TfHTML() override;

    TOvcTextFileEditor* txtHTML = nullptr;
    TBag Prefs;

    // The caption is the document's identity: a path, or "New HTML Document n".
    QString caption() const { return windowTitle(); }
    // The last notice about the file (mixed line ends, long lines, ...).
    QString notice() const { return m_notice; }
    void setCaption(const QString& caption);
    bool isUntitled() const;
    static bool isUntitledCaption(const QString& caption);

    // Split view: the document shown twice, side by side or one above the
    // other, each part with its own caret and scroll position; the menu
    // commands act on the first part (txtHTML).
    enum SplitMode { SplitOff, SplitSideBySide, SplitAbove };
    void SetSplitView(int mode);
    int splitView() const;
    TOvcTextFileEditor* secondView() const { return m_second; }

    QMenu* searchMenu() const { return m_searchMenu; }
    QMenu* contextMenu() const { return m_contextMenu; }
    QAction* findAgainAction() const { return m_findAgain; }
    FindDialog* findDialog() const { return m_findDialog; }
    ReplaceDialog* replaceDialog() const { return m_replaceDialog; }

    // Saves the text to path after the checks every save makes: no other
    // window holds that file, the file was not changed by another program
    // meanwhile (or the user agrees to overwrite it), and the file's encoding
    // can hold the text (or the user agrees to UTF-8). False when nothing was
    // saved: the user declined, or the write failed and a message box said why.
    bool saveTo(const QString& path);
    // Loads the file again from the disk, the caret staying on its line.
    void reloadFromDisk();

    // Asks whether the window may close (the save prompt). True: it may.
    bool FormQueryClose();
    // Lets the next close go ahead without asking again.
    void approveClose() { m_closeApproved = true; }
    // True once the window has closed (it is deleted soon after).
    bool isClosed() const { return m_closed; }

public slots:
    void SetProperties();
    void SetFocustoMe();
    void FormClose();
    void FormResize();
    void doUndo();
    void ReDo1Click();
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();
    void Find1Click();
    void Replace1Click();
    void doFind();
    void FindAgain1Click();
    void HandleReplace(bool all);
    // As the user types in the Find dialog: the first match from where the
    // search began, every match marked and counted in the status line.
    void incrementalFind();
    void replaceDialogFind();

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    QString m_notice;
    void addCommand(QMenu* menu, QAction* action, void (TfHTML::*fn)());
    // Finds with wrap-around; says where it is ("3 of 17") or why it failed
    // (quiet: in the status line rather than a message box).
    bool findAndReport(const QString& text, int flags, bool quiet);
    void rememberFindOrigin();
    // Where the folds of a file are kept in the settings ("Folds" section).
    static QString foldsKey(const QString& fileName);
    DocumentHost& m_main;
    QMenu* m_searchMenu = nullptr;
    QMenu* m_contextMenu = nullptr;
    QAction* m_findAgain = nullptr;
    FindDialog* m_findDialog = nullptr;
    ReplaceDialog* m_replaceDialog = nullptr;
    QSplitter* m_split = nullptr;
    TOvcTextFileEditor* m_second = nullptr;
    int m_lastFindFlags = 1;  // SearchFlags::Plain
    qsizetype m_findOrigin = 0;  // where an incremental search starts
    qsizetype m_findOriginEnd = 0;
    bool m_propertiesSet = false;
    bool m_closeApproved = false;
    bool m_closed = false;
};
