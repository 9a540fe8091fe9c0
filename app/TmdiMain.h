#pragma once
// The main frame: menus, tool bars, status line, document windows, tabs and
// the commands that act on the active document.
#include "app/MruList.h"
#include "app/TMegaRegistry.h"
#include "docking/TDocPanel.h"
#include "tags/TagEngine.h"

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QStringList>
#include <memory>

class QAction;
class QMimeData;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTabBar;
class QTimer;
class QToolBar;
class FileGuard;
class TAboutBox;
class TfHTML;
class TfOptions;
class ProgressWindow;
class TfColorChooser;
class TfColor;
class TfHTMLTags;
class TfSymbol;
class TFontForm;
class TfPreview;
class TAddictSpell;
class TfTemplate;
class TfAddMac;
class TfMacros;
class TfProj;
class TfFormWiz;
class TfURLLibrary;
class TfrmURLWizard;
class TfTableWiz;
class TfHPWiz;
class TfrmJavaWiz;
class TfrmIE;
class TfImageBrowser;
class TfWizBody;
class TfPlugIn;
class TfNotePad;
class TfrmFileTools;
class TfURLGrab;
class TfNetscapeError;

class TmdiMain : public QMainWindow, public TagHost {
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
    // True once the start-up step (settings, template, command line) has run:
    // it runs when the shown frame is first on screen.
    bool startUpDone() const { return m_startUpDone; }

    TfHTML* activeDocument() const;
    QList<TfHTML*> documents() const;  // the frame's child order, active first
    QMdiArea* mdiArea() const { return m_mdi; }
    QTabBar* tabSet() const { return TabSet1; }
    QString statusText() const;
    QLabel* panel(const QString& objectName) const;
    // Actions bound to a handler name (menu entries and tool bar buttons).
    QList<QAction*> actions(const QString& handler) const;
    QAction* action(const QString& handler) const;
    TDocPanel* toolBar(const QString& objectName) const;
    QMenu* menu(const QString& caption) const;  // a top-level or sub menu by caption
    QList<QAction*> mruActions() const { return m_mruActions; }
    QAction* mruSeparator() const { return m_mruSeparator; }
    TfOptions* optionsDialog() const { return m_options; }
    TAboutBox* aboutBox() const { return m_about; }

    // Shared helpers for every part of the program.
    void SetStatusText(const QString& text) override;
    void OpenDocumentFile(const QString& path);
    bool IsFileNotOpen(const QString& path) const;
    void MRUUpdate(const QString& path);
    void MRUDisplay();
    void TabsUpdate(const QString& name);
    void TabsRefresh();
    void RemovefromTabs(const QString& name);
    void SelectTabName(const QString& name);
    void SetTagPanel(const QString& text) override;
    // The rest of the insertion engine's view of the frame.
    EditorContract* activeEditor() override;
    TMegaRegistry& settings() override;
    void ShowMessage(const QString& text) override;
    TagEngine& tagEngine() { return *m_tags; }
    TfSymbol* symbolChooser() const { return m_symbols; }
    TfHTMLTags* htmlTagsChooser() const { return m_htmlTags; }
    TfColorChooser* colorChooser() const { return m_colors; }
    // The main open dialog's filter.
    static QString openFilter();
    // Makes a new untitled document window; the caller fills it.
    TfHTML* createDocument(const QString& caption);
    void showDocument(TfHTML* doc);
    int nextUntitledNumber() { return ++NewDocumentCount; }
    bool wordWrapChecked() const;
    // Where a submenu opened by its key appears: under the caret of the
    // active document, else below its top-level menu top.
    QPoint submenuPosition(QMenu* top) const;
    // Wizard windows (TmdiMain_wizards.cpp)
    TfFormWiz* formsWizard() const { return m_formWiz; }
    TfURLLibrary* urlLibrary() const { return m_urlLibrary; }
    TfrmURLWizard* urlWizard() const { return m_urlWizard; }
    TfTableWiz* tableWizard() const { return m_tableWiz; }

    // Printing, web preview, spelling and help
    TfPreview* preview() const { return m_preview; }
    TFontForm* fontForm() const { return m_fontForm; }
    QStringList commandLine() const { return m_commandLine; }
    // The spell checker, made at the first check.
    TAddictSpell* AddictSpell1 = nullptr;

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
    // Tag commands: one fixed pair each
    void Size1Click(); void Bold1Click(); void Emphasis1Click(); void Italics1Click(); void Strong1Click();
    void Underline1Click(); void Address1Click(); void Blink1Click(); void BlockQuote1Click();
    void Citation1Click(); void Code1Click(); void Keyboard1Click(); void PreformattedText1Click();
    void PreformattedTextwithWidth1Click(); void Sample1Click(); void Varibale1Click(); void Center1Click();
    void HeadingLevel1Click(); void HeadingLevel21Click(); void HeadingLevel31Click();
    void HeadingLevel41Click(); void HeadingLevel51Click(); void HeadingLevel61Click();
    void HeadingLevel12Click(); void HeadingLevel22Click(); void HeadingLevel32Click();
    void HeadingLevel42Click(); void HeadingLevel52Click(); void HeadingLevel62Click();
    void LineBreak1Click(); void ParagraphMarker1Click(); void ParagraphMarkerwithEnd1Click();
    void HorizontalLine1Click(); void HorizontalLinewithSize1Click(); void DefinitionList1Click();
    void Directory1Click(); void Menu1Click(); void OrderedList1Click(); void UnorderedList1Click();
    void ListItem1Click(); void DefinintionTerm1Click(); void Definition1Click(); void TableClick();
    void TRClick(); void THClick(); void TDClick(); void btnFormClick(); void btnFTextClick();
    void btnFMultiClick(); void btnCheckClick(); void btnRadioClick(); void btnResetClick();
    void btnsubClick(); void btnOptionClick(); void btnSelectClick(); void FrameSetDeclarationAbbr1Click();
    void FrameSetDeclarationFull1Click(); void FrameAbbr1Click(); void FrameFull1Click();
    void FrameNonResizeableFull1Click(); void NoFrameOption1Click(); void DocumentBodywBackground1Click();
    void AsanImageMap1Click(); void FullNetscapeDeclaration1Click(); void JavaSimple1Click();
    void JavaExtendedwithoutPrompts1Click(); void JavaExtended1Click(); void Parameter1Click();
    void DocumentType1Click(); void HTML1Click(); void Body1Click(); void DocumentTitle1Click();
    void Body2Click(); void MarkasComment1Click(); void SmallFont1Click(); void BigCharacters1Click();
    void Anchor1Click(); void Simple1Click(); void Simple2Click(); void Simple3Click();
    // Goto commands
    void TitleSection1Click(); void TitleDeclaration1Click(); void BodySection1Click(); void NextURL1Click();
    void NextMailtoURL1Click(); void NextTable1Click(); void NextForm1Click(); void NextImage1Click();
    void NextJavaApplet1Click(); void NextListItem1Click(); void LastUpdatedSection1Click();
    // Set bookmark 1 to 9
    void N110Click(); void N210Click(); void N34Click(); void N41Click(); void N51Click(); void N61Click();
    void N71Click(); void N81Click(); void N91Click();
    // Go to bookmark 1 to 9
    void N111Click(); void N211Click(); void N35Click(); void N42Click(); void N52Click(); void N62Click();
    void N72Click(); void N82Click(); void N92Click();
    // Personal stamps and text files
    void PreDefined1Click(); void MailtomeURL1Click(); void MyCompany1Click(); void MyHomePageURL1Click();
    void LastUpdated1Click(); void InsertFile1Click();
    // Last tag and the chooser windows
    void RepeatLastTag1Click(); void Symbol1Click(); void ColorChooser1Click(); void HTMLTagsChooser1Click();
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
    // Tool bars, view and editor settings
    void SetEditorColors1Click();
    // Templates, macros and projects (TmdiMain_reuse.cpp)
    void NewfromTemplate1Click();
    void Macros1Click();
    void Macro1Click();
    void ExpandMacrosNow1Click();
    void OpenWorkspace1Click();
    void SaveOpenasNewProject1Click();
    // Editing view: colours, line numbers, closing tags, tag pairs, lines, file drops
    void SyntaxHighlighting1Click();
    void LineNumbers1Click();
    void AutoCloseTags1Click();
    void GotoMatchingTag1Click();
    void GotoLine1Click();
    // Opens the local files a drop carries as documents; false when it holds none.
    bool OpenDroppedFiles(const QMimeData* data);
    void setupEditingView();
    // Wizards: forms, URL wizard and library, tables (TmdiMain_wizards.cpp)
    void FormsWizard1Click();
    void URLWizardShow();
    void Pick1Click();
    void TableWizard1Click();
    // Files changed elsewhere and crash recovery (TmdiMain_files.cpp)
    void CheckExternalChanges();
    void RecoverDocuments();
    // One frame per session (TmdiMain_instance.cpp): the files of a later
    // start of the program, opened in order; the frame comes to the front.
    void OpenFilesFromAnotherStart(const QStringList& files);
    // Home page, image, body, Java and extension wizards (TmdiMain_wizards2.cpp)
    void NewHomePage1Click();
    void JavaWizard1Click();
    void InternetExplorerExtensions1Click();
    void Pick2Click();
    void ImageTools1Click();
    void BodyWizard1Click();
    // Tools: HTML to text, URL grabbing, plug-ins, file tools, note pad, tips
    void ExportasText1Click();
    void mPlugInsClick();
    void GrabURLs1Click();
    void ImportURLsfromNetscape1Click();
    void DisplayNotePad1Click();
    void DisplayTips();
    void VelquistFileTools1Click();

    // Printing, web preview, spelling and help (TmdiMain_preview.cpp)
    void HelpContents();
    void HelpSearch();
    void HTMLPrimer1Click();
    void HelpHowToUse();
    void FilePrint();
    void FilePrintSetup();
    void PrintPreview1Click();
    void CheckSpelling1Click();

protected:
    void closeEvent(QCloseEvent* e) override;
    void showEvent(QShowEvent* e) override;
    bool event(QEvent* e) override;

private:
    friend class CommandTable;
    void FormCreate();
    void startUpWhenExposed(int tries);
    void placeCascaded(QMdiSubWindow* sub, int index);
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
    void appendTab(const QString& name);
    void onActiveDocument(void (TfHTML::*command)());

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
    QHash<QString, TDocPanel*> m_toolBars;
    QList<QMenu*> m_menus;
    QList<QAction*> m_mruActions;
    QAction* m_mruSeparator = nullptr;
    QAction* m_searchAnchor = nullptr;  // the menu entry the "&Search" menu goes before
    QAction* m_mergedSearch = nullptr;
    std::unique_ptr<TagEngine> m_tags;
    TfColorChooser* m_colors = nullptr;
    TfHTMLTags* m_htmlTags = nullptr;
    TfSymbol* m_symbols = nullptr;
    TfOptions* m_options = nullptr;
    TAboutBox* m_about = nullptr;
    ProgressWindow* m_progress = nullptr;
    QStringList m_commandLine;
    bool m_started = false;
    bool m_startUpDone = false;
    bool m_exitApproved = false;
    // Tool bars, view and editor settings
public:
    TfColor* editorColorsDialog() const { return m_editorColors; }
private:
    TfColor* m_editorColors = nullptr;
    // Templates, macros and projects
public:
    TfTemplate* templatesDialog() const { return m_template; }
    TfAddMac* macroWindow() const { return m_addMac; }
    TfMacros* macrosDialog() const { return m_macros; }
    TfProj* projectWindow() const { return m_proj; }
private:
    TfTemplate* m_template = nullptr;
    TfAddMac* m_addMac = nullptr;
    TfMacros* m_macros = nullptr;
    TfProj* m_proj = nullptr;
    // Wizard windows (TmdiMain_wizards.cpp)
    TfURLLibrary* m_urlLibrary = nullptr;
    TfrmURLWizard* m_urlWizard = nullptr;
    TfFormWiz* m_formWiz = nullptr;
    TfTableWiz* m_tableWiz = nullptr;

    // Files: changes on disk, one window per file, recovery (TmdiMain_files.cpp)
public:
    FileGuard* fileGuard() const { return m_fileGuard; }
private:
    FileGuard* m_fileGuard = nullptr;
    QLabel* pnlFormat = nullptr;  // the active document's encoding and line ends
    // Home page, image, body, Java and extension wizards
public:
    TfHPWiz* homePageWizard() const { return m_hpWiz; }
    TfrmJavaWiz* javaWizard() const { return m_javaWiz; }
    TfrmIE* extensionsDialog() const { return m_ie; }
    TfImageBrowser* imageBrowser() const { return m_imageBrowser; }
    TfWizBody* bodyWizard() const { return m_bodyWiz; }
    // The image tools program beside the executable, and whether its entry is enabled.
    static QString imageToolsPath();
    void updateImageToolsEntry();
private:
    TfHPWiz* m_hpWiz = nullptr;
    TfrmJavaWiz* m_javaWiz = nullptr;
    TfrmIE* m_ie = nullptr;
    TfImageBrowser* m_imageBrowser = nullptr;
    TfWizBody* m_bodyWiz = nullptr;
public:
    // Tool windows: plug-ins, URL library manager, note pad, file tools
    TfPlugIn* plugInWindow() const { return m_plugIns; }
    TfNotePad* notePad() const { return m_notePad; }
    TfrmFileTools* fileTools() const { return m_fileTools; }
    TfURLGrab* urlManager() const { return m_urlGrab; }
    TfNetscapeError* bookmarkError() const { return m_netscapeError; }
    ProgressWindow* progressWindow() const { return m_progress; }
private:
    TfPlugIn* m_plugIns = nullptr;
    TfNotePad* m_notePad = nullptr;
    TfrmFileTools* m_fileTools = nullptr;
    TfURLGrab* m_urlGrab = nullptr;
    TfNetscapeError* m_netscapeError = nullptr;
    // Printing, web preview, spelling and help
    TFontForm* m_fontForm = nullptr;
    TfPreview* m_preview = nullptr;
};
