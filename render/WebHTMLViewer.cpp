// The rendering control on Qt WebEngine.
#include "render/THTMLViewer.h"

#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QTimer>
#include <QEvent>
#include <QMutex>
#include <QMutexLocker>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>
#include <QWebEngineUrlSchemeHandler>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QPageRanges>
#include <QPrinter>

#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <unistd.h>
#include <utility>

class QOpenGLContext;
// Exported by Qt's GUI and web engine libraries for this purpose: the shared
// context that web views need, made on demand.
QOpenGLContext* qt_gl_global_share_context();
namespace QtWebEngineCore {
void initialize();
}

namespace {

// Local pages come through a scheme of the program's own, so that a page is
// rendered as HTML whatever its file's extension ("temp.vlq"); its relative
// links and images resolve against its folder as with "file:".
const QByteArray kScheme = QByteArrayLiteral("vqpreview");

bool isLocalUrl(const QUrl& url)
{
    return url.isLocalFile() || url.scheme() == QLatin1String(kScheme);
}

QString localPath(const QUrl& url)
{
    return url.isLocalFile() ? url.toLocalFile() : url.path();
}

QUrl pageUrl(const QString& path)
{
    QUrl url;
    url.setScheme(QString::fromLatin1(kScheme));
    url.setPath(QFileInfo(path).absoluteFilePath());
    return url;
}

// The files a previewed page may read: those of its site, which is the
// page's folder and the folders above it up to, not including, the user's
// home or the root; never a dot-file or anything in a dot-folder, never a
// folder, never a file reached through a link that leads out of the site.
// Pages are often not the user's own (templates, a client's site, third
// party scripts), so nothing else of the user's files is theirs to read.
class Sandbox {
public:
    // The site of a page file, or of a folder given with a trailing "/".
    void setPage(const QString& path)
    {
        const QString folder = path.endsWith(QLatin1Char('/')) ? path : QFileInfo(path).absolutePath();
        QString root = QFileInfo(folder).canonicalFilePath();
        if (!root.isEmpty()) {
            const QString home = QFileInfo(QDir::homePath()).canonicalFilePath();
            if (root != home && root != QLatin1String("/")) {
                for (;;) {
                    const QString parent = QFileInfo(root).path();
                    if (parent == home || parent == QLatin1String("/") || parent == root)
                        break;
                    root = parent;
                }
            }
        }
        QMutexLocker lock(&m_mutex);
        m_root = root;
    }

    // The file the program loaded and its encoding, sent with it.
    void setPageCharset(const QString& path, const QString& charset)
    {
        QMutexLocker lock(&m_mutex);
        m_pagePath = path;
        m_charset = charset;
    }
    QString charsetOf(const QString& path) const
    {
        QMutexLocker lock(&m_mutex);
        return path == m_pagePath ? m_charset : QString();
    }

    bool allows(const QString& path) const
    {
        QString root;
        {
            QMutexLocker lock(&m_mutex);
            root = m_root;
        }
        if (root.isEmpty())
            return false;
        const QFileInfo info(path);
        const QString real = info.canonicalFilePath();
        if (real.isEmpty() || !QFileInfo(real).isFile())
            return false;
        const QString prefix = root == QLatin1String("/") ? root : root + QLatin1Char('/');
        for (const QString& p : {QDir::cleanPath(info.absoluteFilePath()), real}) {
            if (!p.startsWith(prefix))
                return false;
            for (const QString& part : p.mid(prefix.size()).split(QLatin1Char('/')))
                if (part.startsWith(QLatin1Char('.')))
                    return false;
        }
        return true;
    }

private:
    mutable QMutex m_mutex;
    QString m_root;
    QString m_pagePath;
    QString m_charset;
};

// Every request a page makes passes here, on the engine's own thread: files
// of the site, and data the page holds itself; nothing of the network and no
// "file:" address. A link the user clicks to the web goes to the user's
// browser instead (see ViewerPage).
class SandboxInterceptor : public QWebEngineUrlRequestInterceptor {
public:
    SandboxInterceptor(const Sandbox& sandbox, QObject* parent)
        : QWebEngineUrlRequestInterceptor(parent), m_sandbox(sandbox)
    {
    }
    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        const QUrl url = info.requestUrl();
        const QString scheme = url.scheme().toLower();
        if (scheme == QLatin1String(kScheme))
            info.block(!m_sandbox.allows(url.path()));
        else
            info.block(scheme != QLatin1String("data") && scheme != QLatin1String("blob")
                       && scheme != QLatin1String("about"));
    }

private:
    const Sandbox& m_sandbox;
};

class LocalFileHandler : public QWebEngineUrlSchemeHandler {
public:
    LocalFileHandler(const Sandbox& sandbox, QObject* parent) : QWebEngineUrlSchemeHandler(parent), m_sandbox(sandbox) {}
    void requestStarted(QWebEngineUrlRequestJob* job) override
    {
        const QString path = job->requestUrl().path();
        if (!m_sandbox.allows(path)) {
            job->fail(QWebEngineUrlRequestJob::RequestDenied);
            return;
        }
        auto* file = new QFile(path, job);
        if (!QFileInfo(path).isFile() || !file->open(QIODevice::ReadOnly)) {
            job->fail(QWebEngineUrlRequestJob::UrlNotFound);
            return;
        }
        const QString suffix = QFileInfo(path).suffix().toLower();
        QByteArray mime;
        if (suffix == QLatin1String("vlq") || suffix == QLatin1String("htm") || suffix == QLatin1String("html"))
            mime = QByteArrayLiteral("text/html");
        else
            mime = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension).name().toLatin1();
        const QString charset = m_sandbox.charsetOf(QDir::cleanPath(path));
        if (!charset.isEmpty())
            mime += "; charset=" + charset.toLatin1();
        job->reply(mime, file);
    }

private:
    const Sandbox& m_sandbox;
};

void registerScheme()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    QWebEngineUrlScheme scheme(kScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Path);
    scheme.setFlags(QWebEngineUrlScheme::LocalScheme | QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

const QString kDefaultsScript = QStringLiteral("velquist-defaults");
const QString kNoImagesScript = QStringLiteral("velquist-noimages");

class ViewerPage;

class WebHTMLViewer : public QObject, public THTMLViewer {
public:
    explicit WebHTMLViewer(QWidget* parent);
    ~WebHTMLViewer() override { delete m_view; }

    QWidget* widget() override { return m_view; }
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        switch (e->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::KeyPress:
            userInput();
            break;
        case QEvent::ChildAdded:
            // The engine draws into a child widget that receives the input.
            if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(e)->child()))
                child->installEventFilter(this);
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, e);
    }
    void LoadFromFile(const QString& fileName) override
    {
        m_quiet = false;
        m_html = QString();
        m_kind = Kind::New;
        m_pendingScroll = 0;
        m_loading = true;
        m_sandbox.setPage(QFileInfo(fileName).absoluteFilePath());
        m_sandbox.setPageCharset(QDir::cleanPath(QFileInfo(fileName).absoluteFilePath()), PageCharset);
        m_view->load(pageUrl(fileName));
    }
    void LoadFromString(const QString& html, const QString& baseFolder) override
    {
        m_quiet = false;
        m_html = html;
        m_baseFolder = baseFolder;
        m_kind = Kind::Reload;  // text is not a page of the history
        m_loading = true;
        m_sandbox.setPage(baseFolder.isEmpty() ? QString() : QDir(baseFolder).absolutePath() + QLatin1Char('/'));
        m_view->setHtml(html, baseFolder.isEmpty() ? QUrl() : pageUrl(QDir(baseFolder).absolutePath() + QLatin1Char('/')));
    }
    void Reload(bool quiet) override
    {
        if (!m_html.isNull() && m_history.isEmpty()) {
            LoadFromString(m_html, m_baseFolder);
            m_quiet = quiet;
            return;
        }
        if (m_history.isEmpty())
            return;
        m_quiet = quiet;
        m_kind = Kind::Reload;
        m_pendingScroll = VScrollBarPosition();
        m_loading = true;
        m_sandbox.setPage(localPath(m_history[m_index].url));
        m_view->load(m_history[m_index].url);
    }
    QString CurrentFile() const override
    {
        const QUrl url = currentUrl();
        return isLocalUrl(url) ? QDir::toNativeSeparators(localPath(url)) : QString();
    }
    // The page's own title. A page without one, or after a link that went
    // nowhere, the engine titles with its address: then the title the page
    // had, or none.
    QString DocumentTitle() const override
    {
        const QString title = m_view->page()->title();
        if (!isAddressTitle(title))
            return title;
        return m_history.isEmpty() ? QString() : m_history[m_index].title;
    }
    bool isAddressTitle(const QString& title) const
    {
        if (title.startsWith(QLatin1String(kScheme) + QLatin1Char(':')))
            return true;
        for (const QUrl& url : {m_view->url(), m_view->page()->requestedUrl(), currentUrl()})
            if (title == url.toString() || (isLocalUrl(url) && title == localPath(url)))
                return true;
        return false;
    }
    bool IsLoading() const override { return m_loading; }
    int VScrollBarPosition() const override
    {
        return m_loading && m_pendingScroll >= 0 ? m_pendingScroll : int(m_view->page()->scrollPosition().y());
    }
    void SetVScrollBarPosition(int position) override
    {
        if (m_loading)
            m_pendingScroll = position;
        else
            m_view->page()->runJavaScript(QStringLiteral("window.scrollTo(0, %1);").arg(position),
                                          QWebEngineScript::ApplicationWorld);
    }
    QStringList History() const override
    {
        QStringList titles;
        for (const Entry& e : m_history)
            titles << (e.title.isEmpty() ? QFileInfo(localPath(e.url)).fileName() : e.title);
        return titles;
    }
    int HistoryIndex() const override { return m_history.isEmpty() ? -1 : m_index; }
    void SetHistoryIndex(int index) override
    {
        if (index < 0 || index >= m_history.size() || index == m_index)
            return;
        m_index = index;
        m_quiet = false;
        m_kind = Kind::Move;
        m_pendingScroll = m_history[index].scroll;
        m_loading = true;
        m_sandbox.setPage(localPath(m_history[index].url));
        m_view->load(m_history[index].url);
        if (OnHistoryChange)
            OnHistoryChange();
    }
    QString HTMLExpandFilename(const QString& name) const override
    {
        if (name.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
            return QDir::cleanPath(QUrl(name).toLocalFile());
        if (QDir::isAbsolutePath(name))
            return QDir::cleanPath(name);
        const QString current = CurrentFile();
        const QDir base = current.isEmpty() ? QDir::current() : QFileInfo(current).absoluteDir();
        return QDir::cleanPath(base.absoluteFilePath(name));
    }
    void FindEx(const QString& text, bool matchCase, std::function<void(bool)> done) override
    {
        QWebEnginePage::FindFlags flags;
        if (matchCase)
            flags |= QWebEnginePage::FindCaseSensitively;
        m_view->page()->findText(text, flags, [done](const QWebEngineFindTextResult& r) {
            if (done)
                done(r.numberOfMatches() > 0);
        });
    }
    void Print(QPrinter& printer, int fromPage, int toPage, std::function<void(bool)> done) override
    {
        if (fromPage > 0) {
            printer.setPrintRange(QPrinter::PageRange);
            printer.setFromTo(fromPage, qMax(fromPage, toPage));
        } else {
            printer.setPrintRange(QPrinter::AllPages);
            printer.setFromTo(0, 0);
        }
        auto* c = new QMetaObject::Connection;
        *c = connect(m_view, &QWebEngineView::printFinished, this, [c, done](bool ok) {
            disconnect(*c);
            delete c;
            if (done)
                done(ok);
        });
        m_view->print(&printer);
    }
    void PrintToPdf(const QPageLayout& layout, int fromPage, int toPage,
                    std::function<void(const QByteArray&)> done) override
    {
        QPageRanges ranges;
        if (fromPage > 0)
            ranges.addRange(fromPage, qMax(fromPage, toPage));
        m_view->page()->printToPdf([done](const QByteArray& pdf) { done(pdf); }, layout, ranges);
    }
    void SetDefaults(const QString& fontName, const QColor& fontColor, int fontSizePoints,
                     const QColor& linkColor, const QColor& background) override
    {
        m_fontName = fontName;
        m_fontColor = fontColor;
        m_fontSize = fontSizePoints;
        m_linkColor = linkColor;
        m_background = background;
        applyDefaults();
    }
    QString DefFontName() const override { return m_fontName; }
    QColor DefFontColor() const override { return m_fontColor; }
    int DefFontSize() const override { return m_fontSize; }
    QColor DefHotSpotColor() const override { return m_linkColor; }
    QColor DefBackground() const override { return m_background; }
    void SetDefPreFontName(const QString& name) override
    {
        m_view->settings()->setFontFamily(QWebEngineSettings::FixedFont, name);
    }
    bool ViewImages() const override { return m_view->settings()->testAttribute(QWebEngineSettings::AutoLoadImages); }
    // Off, images are neither loaded nor shown: those the page shows already
    // are hidden at once, pictures of CSS backgrounds too.
    void SetViewImages(bool on) override
    {
        m_view->settings()->setAttribute(QWebEngineSettings::AutoLoadImages, on);
        QWebEngineScriptCollection& scripts = m_view->page()->scripts();
        for (const QWebEngineScript& old : scripts.find(kNoImagesScript))
            scripts.remove(old);
        const QString code = on ? QStringLiteral(
            "(function(){var s=document.getElementById('velquist-noimages');if(s)s.remove();})();")
                                : QStringLiteral(
            "(function(){function apply(){if(document.getElementById('velquist-noimages'))return;"
            "var s=document.createElement('style');s.id='velquist-noimages';"
            "s.textContent='img,picture,svg image,input[type=image],video{visibility:hidden!important}"
            "*{background-image:none!important}';"
            "var h=document.head||document.documentElement;if(h)h.appendChild(s);}"
            "if(document.readyState==='loading')document.addEventListener('DOMContentLoaded',apply);else apply();})();");
        if (!on) {
            QWebEngineScript script;
            script.setName(kNoImagesScript);
            script.setSourceCode(code);
            script.setInjectionPoint(QWebEngineScript::DocumentCreation);
            script.setWorldId(QWebEngineScript::ApplicationWorld);
            script.setRunsOnSubFrames(true);
            scripts.insert(script);
        }
        m_view->page()->runJavaScript(code, QWebEngineScript::ApplicationWorld);
    }

    // The link as the page wrote it: a local file inside the current page's
    // folder relative to it, any other file by its path, other links whole.
    QString linkText(const QUrl& url) const
    {
        if (url.isEmpty())
            return QString();
        // The link as the page wrote it, when the page said so for this address.
        if (!m_rawLink.first.isEmpty() && QUrl(m_rawLink.first) == url)
            return m_rawLink.second;
        if (!isLocalUrl(url))
            return url.toString();
        QString path = localPath(url);
        const QString current = CurrentFile();
        if (!current.isEmpty()) {
            const QString dir = QFileInfo(current).absolutePath() + QLatin1Char('/');
            if (path.startsWith(dir))
                path = path.mid(dir.size());
        }
        if (url.hasQuery())
            path += QLatin1Char('?') + url.query();
        if (url.hasFragment())
            path += QLatin1Char('#') + url.fragment();
        return path;
    }
    // A link the page itself "clicks" (a script, a timer) is not the
    // user's: it may move within the site, never start a program, play a
    // sound or reach the web.
    bool linkClicked(const QUrl& url)
    {
        const bool byUser = m_lastInput.isValid() && m_lastInput.elapsed() < 1000;
        if (!byUser)
            return navigationAllowed(url);
        if (OnHotSpotClick && OnHotSpotClick(linkText(url)))
            return false;
        if (!isLocalUrl(url)) {
            // The web opens in the user's browser, not in the preview.
            QDesktopServices::openUrl(url);
            return false;
        }
        // A link to a file that is not there leaves the page and its history
        // as they are; the status line says what is missing.
        const QFileInfo target(localPath(url));
        if (!target.isFile() || !target.isReadable()) {
            if (OnStatus)
                OnStatus(QStringLiteral("Unable to open ") + QDir::toNativeSeparators(target.absoluteFilePath())
                         + (target.exists() ? QStringLiteral(": not a readable file.") : QStringLiteral(": no such file.")));
            return false;
        }
        m_quiet = false;
        m_sandbox.setPage(localPath(url));
        m_kind = Kind::New;
        m_pendingScroll = 0;
        return true;
    }
    // Where the page may take itself (redirects, forms, scripts): within its site.
    bool navigationAllowed(const QUrl& url) const
    {
        return url.scheme() == QLatin1String(kScheme) && m_sandbox.allows(url.path());
    }
    void userInput() { m_lastInput.start(); }
    void navigationRefused() { m_refused = true; }

    // What the link script reports: the link under the pointer or clicked,
    // as its address and as the page wrote it.
    void linkReport(const QString& message)
    {
        const bool click = message.startsWith(QLatin1String("\x01vqclick "));
        if (!click && !message.startsWith(QLatin1String("\x01vqlink ")))
            return;
        const QString body = message.mid(message.indexOf(QLatin1Char(' ')) + 1);
        const qsizetype cut = body.indexOf(QChar(0x02));
        if (cut < 0)
            return;
        m_rawLink = {body.left(cut), body.mid(cut + 1)};
        if (!click) {
            if (OnHotSpotCovered && m_hovered == m_rawLink.first)
                OnHotSpotCovered(m_rawLink.second);
            return;
        }
        // A link within the page moves without a navigation of its own: the
        // user's click on it is told here.
        const bool byUser = m_lastInput.isValid() && m_lastInput.elapsed() < 1000;
        if (byUser && m_rawLink.second.startsWith(QLatin1Char('#')) && OnHotSpotClick)
            OnHotSpotClick(m_rawLink.second);
    }

    // A script's message box, alert, confirm or prompt. After a quiet
    // reload, unless the user has just clicked or typed in the page, it is
    // told through OnStatus and answered "Cancel". Shown, its title is the
    // page's, never the address the program serves it under.
    bool scriptDialogShown(const QString& kind, const QString& text)
    {
        const bool byUser = m_lastInput.isValid() && m_lastInput.elapsed() < 1000;
        if (!m_quiet || byUser)
            return true;
        if (OnStatus)
            OnStatus(QStringLiteral("The page's %1 was not shown while the preview follows your typing: ").arg(kind)
                     + text.left(200));
        return false;
    }
    QString dialogTitle() const
    {
        const QString title = DocumentTitle();
        if (!title.isEmpty())  // never the address: DocumentTitle leaves that out
            return title;
        const QString file = CurrentFile();
        return file.isEmpty() ? QStringLiteral("Velquist Preview") : QFileInfo(file).fileName();
    }

private:
    enum class Kind { New, Move, Reload };
    struct Entry {
        QUrl url;
        QString title;
        int scroll = 0;
    };
    QUrl currentUrl() const { return m_history.isEmpty() ? m_view->url() : m_history[m_index].url; }
    void loaded(bool ok);
    void applyDefaults();

    void makePage();
    void loadTimedOut();

    QWebEngineView* m_view = nullptr;
    QWebEnginePage* m_page = nullptr;
    QTimer m_loadLimit;
    Sandbox m_sandbox;
    QElapsedTimer m_lastInput;  // the user's last click or key in the view
    QString m_html;
    QString m_baseFolder;
    QWebEngineProfile* m_profile = nullptr;
    QList<Entry> m_history;
    int m_index = 0;
    Kind m_kind = Kind::New;
    bool m_loading = false;
    bool m_quiet = false;  // the current page came from a quiet reload
    bool m_errorPage = false;  // the program's page for one that failed is loading
    bool m_refused = false;    // a navigation of the page was refused: its failed load is expected
    QString m_hovered;                 // the address under the pointer
    QPair<QString, QString> m_rawLink;  // the last link the page told: address, as written
    int m_pendingScroll = -1;
    QString m_fontName = QStringLiteral("Times New Roman");
    QColor m_fontColor = Qt::black;
    int m_fontSize = 12;
    QColor m_linkColor = Qt::blue;
    QColor m_background = Qt::white;
};

class ViewerPage : public QWebEnginePage {
public:
    ViewerPage(QWebEngineProfile* profile, WebHTMLViewer& viewer, QObject* parent)
        : QWebEnginePage(profile, parent), m_viewer(viewer)
    {
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override
    {
        bool allowed = true;
        if (type == NavigationTypeLinkClicked && isMainFrame)
            allowed = m_viewer.linkClicked(url);
        // The program's own loads (typed, history, reload) set the site first.
        else if (!(type == NavigationTypeTyped || type == NavigationTypeBackForward || type == NavigationTypeReload
                   || url.scheme() == QLatin1String("data") || url.scheme() == QLatin1String("about")))
            allowed = m_viewer.navigationAllowed(url);
        // A refused navigation of the page itself ends as a failed load of
        // the page that stays: that is no failure to show.
        if (!allowed && isMainFrame)
            m_viewer.navigationRefused();
        return allowed;
    }
    // A link meant for a new window opens in the preview itself.
    QWebEnginePage* createWindow(WebWindowType) override { return this; }
    void javaScriptAlert(const QUrl&, const QString& msg) override
    {
        if (m_viewer.scriptDialogShown(QStringLiteral("message"), msg))
            QMessageBox::information(m_viewer.widget(), m_viewer.dialogTitle(), msg);
    }
    bool javaScriptConfirm(const QUrl&, const QString& msg) override
    {
        return m_viewer.scriptDialogShown(QStringLiteral("question"), msg)
            && QMessageBox::question(m_viewer.widget(), m_viewer.dialogTitle(), msg, QMessageBox::Ok | QMessageBox::Cancel)
            == QMessageBox::Ok;
    }
    bool javaScriptPrompt(const QUrl&, const QString& msg, const QString& defaultValue, QString* result) override
    {
        if (!m_viewer.scriptDialogShown(QStringLiteral("question"), msg))
            return false;
        bool ok = false;
        const QString answer = QInputDialog::getText(m_viewer.widget(), m_viewer.dialogTitle(), msg, QLineEdit::Normal,
                                                     defaultValue, &ok);
        if (ok && result)
            *result = answer;
        return ok;
    }
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int, const QString&) override
    {
        if (message.startsWith(QChar(0x01)))
            m_viewer.linkReport(message);
    }

private:
    WebHTMLViewer& m_viewer;
};

WebHTMLViewer::WebHTMLViewer(QWidget* parent) : QObject(nullptr)
{
    m_view = new QWebEngineView(parent);
    m_profile = new QWebEngineProfile(this);  // off the record: nothing stored on disk
    m_profile->installUrlSchemeHandler(kScheme, new LocalFileHandler(m_sandbox, m_profile));
    m_profile->setUrlRequestInterceptor(new SandboxInterceptor(m_sandbox, m_profile));
    m_view->setContextMenuPolicy(Qt::NoContextMenu);
    // The user's clicks and keys, to tell a link the user followed from one
    // the page's script followed.
    m_view->installEventFilter(this);
    m_loadLimit.setSingleShot(true);
    connect(&m_loadLimit, &QTimer::timeout, this, [this] { loadTimedOut(); });
    makePage();
    SetDefPreFontName(QStringLiteral("Courier New"));
    SetViewImages(true);
    applyDefaults();
}

// A page of its own, with the sandbox's settings. A page replaced takes its
// renderer with it: that is how a page that never finishes is stopped.
void WebHTMLViewer::makePage()
{
    const bool replacing = m_page != nullptr;
    const QString fixedFont = replacing ? m_view->settings()->fontFamily(QWebEngineSettings::FixedFont) : QString();
    const bool images = replacing ? ViewImages() : true;
    auto* page = new ViewerPage(m_profile, *this, m_view);
    m_view->setPage(page);  // the old page was the view's child: it goes
    m_page = page;
    QWebEngineSettings* s = m_view->settings();
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    s->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    s->setAttribute(QWebEngineSettings::AllowRunningInsecureContent, false);
    s->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    s->setAttribute(QWebEngineSettings::DnsPrefetchEnabled, false);
    s->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);
    s->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    if (replacing) {
        SetDefPreFontName(fixedFont);
        SetViewImages(images);
        applyDefaults();
    }
    connect(page, &QWebEnginePage::linkHovered, this, [this](const QString& url) {
        m_hovered = url;
        if (OnHotSpotCovered)
            OnHotSpotCovered(url.isEmpty() ? QString() : linkText(QUrl(url)));
    });
    connect(page, &QWebEnginePage::loadStarted, this, [this] {
        m_loading = true;
        if (LoadLimitMs > 0)
            m_loadLimit.start(LoadLimitMs);
    });
    connect(page, &QWebEnginePage::loadFinished, this, [this](bool ok) {
        m_loadLimit.stop();
        loaded(ok);
    });
    connect(page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                if (status == QWebEnginePage::NormalTerminationStatus)
                    return;
                m_loadLimit.stop();
                m_loading = false;
                if (OnStatus)
                    OnStatus(QStringLiteral("The page stopped unexpectedly; load it again to see it."));
            });
    connect(page, &QWebEnginePage::titleChanged, this, [this](const QString& title) {
        if (m_history.isEmpty() || m_loading || isAddressTitle(title))
            return;
        m_history[m_index].title = title;
        if (OnHistoryChange)
            OnHistoryChange();
    });
    connect(page, &QWebEnginePage::scrollPositionChanged, this, [this](const QPointF& p) {
        if (!m_loading && !m_history.isEmpty())
            m_history[m_index].scroll = int(p.y());
    });
}

void WebHTMLViewer::loadTimedOut()
{
    m_loading = false;
    m_kind = Kind::New;
    m_pendingScroll = -1;
    makePage();
    if (OnStatus)
        OnStatus(QStringLiteral("The page did not finish loading within %1 seconds and was stopped.")
                     .arg(LoadLimitMs / 1000.0));
}

void WebHTMLViewer::loaded(bool ok)
{
    m_loading = false;
    const bool refused = std::exchange(m_refused, false);
    if (!ok && refused) {
        m_kind = Kind::New;
        m_pendingScroll = -1;
        return;
    }
    if (!ok) {
        // The engine's error page names the address the page was served
        // under; the program's own names the file. History stays as it was.
        const QString file = isLocalUrl(m_view->url()) ? QDir::toNativeSeparators(localPath(m_view->url())) : QString();
        m_kind = Kind::New;
        m_pendingScroll = -1;
        if (!file.isEmpty()) {
            m_errorPage = true;
            m_view->page()->setHtml(QStringLiteral("<!DOCTYPE html><html><head><title>Unable to show %1</title></head>"
                                                   "<body><p>Unable to show %1.</p></body></html>")
                                        .arg(file.toHtmlEscaped()));
            if (OnStatus)
                OnStatus(QStringLiteral("Unable to show ") + file + QLatin1Char('.'));
        } else if (OnPageLoaded) {
            OnPageLoaded();
        }
        return;
    }
    if (m_errorPage) {
        m_errorPage = false;
        m_kind = Kind::New;
        if (OnPageLoaded)
            OnPageLoaded();
        return;
    }
    const QUrl url = m_view->url();
    const QString title = isAddressTitle(m_view->page()->title()) ? QString() : m_view->page()->title();
    bool changed = false;
    if (m_kind == Kind::New && ok) {
        if (m_index > 0)
            m_history.erase(m_history.begin(), m_history.begin() + m_index);
        m_index = 0;
        if (m_history.isEmpty() || m_history.first().url != url)
            m_history.prepend({url, title, 0});
        while (m_history.size() > MaxHistory)
            m_history.removeLast();
        changed = true;
    }
    if (!m_history.isEmpty() && m_history[m_index].title != title) {
        m_history[m_index].title = title;
        changed = true;
    }
    m_kind = Kind::New;
    if (m_pendingScroll > 0)
        SetVScrollBarPosition(m_pendingScroll);
    m_pendingScroll = -1;
    if (changed && OnHistoryChange)
        OnHistoryChange();
    if (OnPageLoaded)
        OnPageLoaded();
}

void WebHTMLViewer::applyDefaults()
{
    QWebEngineSettings* s = m_view->settings();
    s->setFontFamily(QWebEngineSettings::StandardFont, m_fontName);
    s->setFontFamily(QWebEngineSettings::SerifFont, m_fontName);
    s->setFontSize(QWebEngineSettings::DefaultFontSize, qRound(m_fontSize * 96.0 / 72.0));
    m_view->page()->setBackgroundColor(m_background);
    // The text and link colours lose to anything the page sets itself: the
    // rules have no weight (":where"), and the link colour is left out when
    // the page's body names one.
    const QString code = QStringLiteral(
        "(function(){function apply(){var b=document.body;"
        "var css=':where(html){color:%1}';"
        "if(!(b&&b.hasAttribute('link')))css+=':where(a:link){color:%2}';"
        "var s=document.createElement('style');s.textContent=css;"
        "var h=document.head||document.documentElement;if(h)h.insertBefore(s,h.firstChild);}"
        "if(document.readyState==='loading')document.addEventListener('DOMContentLoaded',apply);else apply();})();")
        .arg(m_fontColor.name(), m_linkColor.name());
    // Links as the page wrote them ("../a.htm", "MailTo:"), for the status
    // line and the link field; the engine gives only the resolved address.
    const QString links = QStringLiteral(
        "(function(){function at(e){return e.target&&e.target.closest?e.target.closest('a[href],area[href]'):null}"
        "function tell(kind,a){console.log('\\u0001'+kind+' '+a.href+'\\u0002'+a.getAttribute('href'))}"
        "document.addEventListener('mouseover',function(e){var a=at(e);if(a)tell('vqlink',a)},true);"
        "document.addEventListener('click',function(e){var a=at(e);if(a)tell('vqclick',a)},true);})();");
    QWebEngineScriptCollection& scripts = m_view->page()->scripts();
    for (const QWebEngineScript& old : scripts.find(kDefaultsScript))
        scripts.remove(old);
    QWebEngineScript script;
    script.setName(kDefaultsScript);
    script.setSourceCode(code + links);
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(true);
    scripts.insert(script);
}

} // namespace

// The page viewer plug-in's entry point. Turns the engine's sandbox off only
// when the program runs as root, which the engine refuses otherwise.
extern "C" Q_DECL_EXPORT THTMLViewer* velquistCreateHTMLViewer(QWidget* parent)
{
    // The engine draws through an OpenGL context shared with the program's
    // windows. A program that links the engine gets that context when it
    // starts; loaded later, the engine is asked to make it now.
    if (!qt_gl_global_share_context())
        QtWebEngineCore::initialize();
    // The engine's sandbox refuses to run as root (tests, build machines);
    // ordinary users keep it.
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    registerScheme();
    return new WebHTMLViewer(parent);
}
