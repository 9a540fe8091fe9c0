#pragma once
// The help window: shows the program's help ("velquist.hlp") and the HTML
// primer ("html.hlp"), both HTML files in the program's directory, at their
// contents, at a keyword of their index, or at a topic by context number.
// Every "&Help" button and help command of the program comes here.
#include "app/TBag.h"
#include "render/HelpBook.h"

#include <QWidget>

class QAbstractButton;
class QLineEdit;
class QListWidget;
class QTabWidget;
class QTextBrowser;
class QToolButton;
class QUrl;

class HelpViewer : public QWidget {
    Q_OBJECT
public:
    // The one help window of the program, made on first use.
    static HelpViewer& instance();
    static QString mainHelpFile();    // programDir + "velquist.hlp"
    static QString primerHelpFile();  // programDir + "html.hlp"

    // The calls the rest of the program uses; each brings the window up.
    static void showContents();                       // the program's help at its contents
    static void showKeyword(const QString& keyword);  // the index, at keyword (empty: the index's top)
    static void showContext(int context);             // a topic by its context number
    static void showHowToUse();                       // how to use this window
    static void showPrimer();                         // the HTML primer at its contents
    // Makes a window's Help button open the topic of its context number.
    static void attach(QAbstractButton* button, int context);

    explicit HelpViewer(QWidget* parent = nullptr);

    // Opens a help file (no-op when it is already open); a file that cannot
    // be read is reported in a message box, and false comes back.
    bool openBook(const QString& path);
    // Show a page of the open book: -1 the contents page.
    void showTopic(int topic);
    bool showTopicId(const QString& id);
    void openContents(const QString& path);
    void openKeyword(const QString& path, const QString& keyword);
    void openContext(const QString& path, int context);

    const HelpBook& book() const { return m_book; }
    int currentTopic() const { return m_current; }
    QTextBrowser* browser() const { return m_browser; }
    QTabWidget* tabs() const { return m_tabs; }
    QLineEdit* indexField() const { return m_indexField; }
    QListWidget* indexList() const { return m_indexList; }

public slots:
    void goBack();
    void goForward();
    void printTopic();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    struct Place {
        QString file;
        int topic;
    };
    void bringUp();
    void fillLists();
    void filterIndex(const QString& text);
    void runSearch();
    void followLink(const QUrl& url);
    void display(int topic, bool record);
    void updateButtons();

    HelpBook m_book;
    int m_current = -1;
    QList<Place> m_history;
    int m_historyAt = -1;
    TBag Prefs;
    bool m_shown = false;
    QTabWidget* m_tabs = nullptr;
    QListWidget* m_contents = nullptr;
    QLineEdit* m_indexField = nullptr;
    QListWidget* m_indexList = nullptr;
    QLineEdit* m_searchField = nullptr;
    QListWidget* m_searchList = nullptr;
    QTextBrowser* m_browser = nullptr;
    QToolButton* m_back = nullptr;
    QToolButton* m_forward = nullptr;
};
