#pragma once
// The HTML rendering control as the program uses it: load a page from a
// file, its title and file name, the vertical scroll position, a history of
// recent pages, link notifications, finding text, printing and the default
// font and colours of pages that do not set their own.
#include <QColor>
#include <QString>
#include <QStringList>
#include <functional>

class QPageLayout;
class QPrinter;
class QWidget;

class THTMLViewer {
public:
    virtual ~THTMLViewer() = default;

    // The viewer's widget, to be placed in a window.
    virtual QWidget* widget() = 0;

    // Loads a page; the view updates when the page has loaded.
    virtual void LoadFromFile(const QString& fileName) = 0;
    // Loads the current page again and restores the vertical scroll
    // position. A quiet reload (the preview following the user's typing)
    // never takes the keyboard: the page's script message boxes are told
    // through OnStatus instead of shown.
    virtual void Reload(bool quiet = false) = 0;
    // Shows HTML given as text (sample panes); relative names resolve
    // against baseFolder.
    virtual void LoadFromString(const QString& html, const QString& baseFolder = QString()) = 0;
    virtual QString CurrentFile() const = 0;    // empty when no local page is shown
    virtual QString DocumentTitle() const = 0;  // the current page's title
    virtual bool IsLoading() const = 0;

    virtual int VScrollBarPosition() const = 0;
    virtual void SetVScrollBarPosition(int position) = 0;

    // History: entry 0 is the newest page; at most MaxHistory entries.
    virtual QStringList History() const = 0;  // the entries' titles
    virtual int HistoryIndex() const = 0;
    virtual void SetHistoryIndex(int index) = 0;
    int MaxHistory = 6;
    // A page that has not finished loading after this many milliseconds (a
    // script that never ends, say) is stopped, so the next load can go.
    int LoadLimitMs = 10000;
    // The encoding of the pages LoadFromFile loads, as a charset name
    // ("UTF-8"); empty: the engine's own guess. A page's BOM or declaration
    // still wins.
    QString PageCharset;

    // Notifications. OnHotSpotClick answers whether it handled the click
    // itself; when not, the viewer follows the link.
    std::function<void()> OnHistoryChange;
    std::function<void()> OnPageLoaded;
    // Something the user should know about the page (stopped, crashed, a
    // script's message box held back, a link to a file that is not there).
    std::function<void(const QString& text)> OnStatus;
    std::function<void(const QString& link)> OnHotSpotCovered;  // empty: the pointer left the link
    std::function<bool(const QString& link)> OnHotSpotClick;

    // A link's file name made a full file name relative to the current page.
    virtual QString HTMLExpandFilename(const QString& name) const = 0;

    // Finds the next occurrence of text; done receives whether it was found.
    virtual void FindEx(const QString& text, bool matchCase, std::function<void(bool found)> done) = 0;

    // Prints pages from to to (counted from 1; 0 and 0: every page) as the
    // engine lays the page out for paper, text kept as text; done receives
    // whether it worked.
    virtual void Print(QPrinter& printer, int fromPage, int toPage, std::function<void(bool ok)> done) = 0;
    // The same pages as a PDF document on paper of layout; done receives it,
    // or nothing when printing failed.
    virtual void PrintToPdf(const QPageLayout& layout, int fromPage, int toPage,
                            std::function<void(const QByteArray& pdf)> done) = 0;

    // Defaults for pages that do not set their own; they apply from the next load.
    virtual void SetDefaults(const QString& fontName, const QColor& fontColor, int fontSizePoints,
                             const QColor& linkColor, const QColor& background) = 0;
    virtual QString DefFontName() const = 0;
    virtual QColor DefFontColor() const = 0;
    virtual int DefFontSize() const = 0;
    virtual QColor DefHotSpotColor() const = 0;
    virtual QColor DefBackground() const = 0;
    virtual void SetDefPreFontName(const QString& name) = 0;  // the fixed-pitch font
    virtual bool ViewImages() const = 0;
    virtual void SetViewImages(bool on) = 0;
};

// The viewer on the platform's web engine, which lives in the page viewer
// plug-in: the first call loads it, so the program starts without the engine.
// The caller owns the viewer; its widget is a child of parent. Throws
// EFileError naming the plug-in and the reason when it cannot be loaded.
THTMLViewer* createHTMLViewer(QWidget* parent);

// The page viewer plug-in's file, where the program looks for it.
QString htmlViewerPluginPath();

// The plug-in's entry point.
extern "C" {
using CreateHTMLViewerFn = THTMLViewer* (*)(QWidget* parent);
}
