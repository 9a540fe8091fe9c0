#include "render/HelpViewer.h"

#include "app/AppInvoker.h"
#include "app/AppPaths.h"
#include "app/AppSettings.h"
#include "app/PlacementAdapter.h"
#include "app/UiPrompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {
QPointer<HelpViewer> g_viewer;
const QString kHowToUseId = QStringLiteral("howtouse");
}

HelpViewer& HelpViewer::instance()
{
    if (!g_viewer) {
        g_viewer = new HelpViewer;
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, g_viewer.data(), &QObject::deleteLater);
    }
    return *g_viewer;
}

QString HelpViewer::mainHelpFile() { return AppPaths::programFile(QStringLiteral("velquist.hlp")); }
QString HelpViewer::primerHelpFile() { return AppPaths::programFile(QStringLiteral("html.hlp")); }

void HelpViewer::showContents() { instance().openContents(mainHelpFile()); }
void HelpViewer::showKeyword(const QString& keyword) { instance().openKeyword(mainHelpFile(), keyword); }
void HelpViewer::showContext(int context) { instance().openContext(mainHelpFile(), context); }
void HelpViewer::showPrimer() { instance().openContents(primerHelpFile()); }

void HelpViewer::attach(QAbstractButton* button, int context)
{
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [context] { AppInvoker::run([context] { showContext(context); }); });
}

void HelpViewer::showHowToUse()
{
    HelpViewer& v = instance();
    if (v.openBook(mainHelpFile())) {
        if (!v.showTopicId(kHowToUseId))
            v.showTopic(-1);
        v.bringUp();
    }
}

HelpViewer::HelpViewer(QWidget* parent)
    : QWidget(parent, Qt::Window), Prefs(AppSettings::kPrefsFile, QStringLiteral("Help"))
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Velquist Help"));
    // The help belongs to the frame: an open help window never keeps the
    // program running once the frame has closed.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(860, 620);

    auto* top = new QHBoxLayout;
    auto makeButton = [this, top](const QString& text, const QString& hint) {
        auto* b = new QToolButton(this);
        b->setText(text);
        b->setToolTip(hint);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        top->addWidget(b);
        return b;
    };
    QToolButton* contents = makeButton(QStringLiteral("&Contents"), QStringLiteral("Show the contents page"));
    QToolButton* index = makeButton(QStringLiteral("&Index"), QStringLiteral("Look up a keyword"));
    m_back = makeButton(QStringLiteral("&Back"), QStringLiteral("The page shown before"));
    m_forward = makeButton(QStringLiteral("&Forward"), QStringLiteral("The page shown after"));
    QToolButton* print = makeButton(QStringLiteral("&Print..."), QStringLiteral("Print this page"));
    top->addStretch(1);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    top->addWidget(close);

    m_tabs = new QTabWidget;
    m_contents = new QListWidget;
    m_contents->setObjectName(QStringLiteral("helpContents"));
    m_tabs->addTab(m_contents, QStringLiteral("C&ontents"));

    auto* indexPage = new QWidget;
    auto* il = new QVBoxLayout(indexPage);
    auto* indexLabel = new QLabel(QStringLiteral("&Type the first letters of the word you are looking for:"));
    il->addWidget(indexLabel);
    m_indexField = new QLineEdit;
    indexLabel->setBuddy(m_indexField);
    m_indexField->setObjectName(QStringLiteral("helpIndexField"));
    il->addWidget(m_indexField);
    m_indexList = new QListWidget;
    m_indexList->setObjectName(QStringLiteral("helpIndexList"));
    il->addWidget(m_indexList, 1);
    m_tabs->addTab(indexPage, QStringLiteral("I&ndex"));

    auto* searchPage = new QWidget;
    auto* sl = new QVBoxLayout(searchPage);
    auto* searchLabel = new QLabel(QStringLiteral("Find pages holding &every word of:"));
    sl->addWidget(searchLabel);
    auto* sr = new QHBoxLayout;
    m_searchField = new QLineEdit;
    searchLabel->setBuddy(m_searchField);
    sr->addWidget(m_searchField, 1);
    auto* go = new QPushButton(QStringLiteral("Sea&rch"));
    sr->addWidget(go);
    sl->addLayout(sr);
    m_searchList = new QListWidget;
    sl->addWidget(m_searchList, 1);
    m_tabs->addTab(searchPage, QStringLiteral("&Search"));

    m_browser = new QTextBrowser;
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setOpenLinks(false);

    auto* split = new QSplitter;
    split->addWidget(m_tabs);
    split->addWidget(m_browser);
    split->setStretchFactor(1, 1);
    split->setSizes({240, 620});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(split, 1);

    connect(contents, &QToolButton::clicked, this, [this] { showTopic(-1); });
    connect(index, &QToolButton::clicked, this, [this] {
        m_tabs->setCurrentIndex(1);
        m_indexField->setFocus();
    });
    connect(m_back, &QToolButton::clicked, this, &HelpViewer::goBack);
    connect(m_forward, &QToolButton::clicked, this, &HelpViewer::goForward);
    connect(print, &QToolButton::clicked, this, &HelpViewer::printTopic);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_contents, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* it) { showTopic(it->data(Qt::UserRole).toInt()); });
    connect(m_contents, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* it) { showTopic(it->data(Qt::UserRole).toInt()); });
    connect(m_indexField, &QLineEdit::textChanged, this, &HelpViewer::filterIndex);
    connect(m_indexField, &QLineEdit::returnPressed, this, [this] {
        if (QListWidgetItem* it = m_indexList->currentItem())
            showTopic(it->data(Qt::UserRole).toInt());
    });
    connect(m_indexList, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* it) { showTopic(it->data(Qt::UserRole).toInt()); });
    connect(m_indexList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* it) { showTopic(it->data(Qt::UserRole).toInt()); });
    connect(go, &QPushButton::clicked, this, &HelpViewer::runSearch);
    connect(m_searchField, &QLineEdit::returnPressed, this, &HelpViewer::runSearch);
    connect(m_searchList, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* it) { showTopic(it->data(Qt::UserRole).toInt()); });
    connect(m_searchList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* it) { showTopic(it->data(Qt::UserRole).toInt()); });
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpViewer::followLink);
    updateButtons();
}

bool HelpViewer::openBook(const QString& path)
{
    if (!m_book.fileName.isEmpty() && QFileInfo(m_book.fileName) == QFileInfo(path))
        return true;
    HelpBook book;
    QString error;
    if (!book.load(path, &error)) {
        UiPrompter::instance().message(this->isVisible() ? this : nullptr, error, UiPrompter::Ok,
                                       UiPrompter::Warning);
        return false;
    }
    m_book = book;
    m_current = -1;
    setWindowTitle(m_book.title.isEmpty() ? QStringLiteral("Velquist Help") : m_book.title);
    fillLists();
    return true;
}

void HelpViewer::fillLists()
{
    m_contents->clear();
    auto* first = new QListWidgetItem(QStringLiteral("Contents"), m_contents);
    first->setData(Qt::UserRole, -1);
    for (int i = 0; i < m_book.topics.size(); ++i) {
        auto* it = new QListWidgetItem(m_book.topics[i].title, m_contents);
        it->setData(Qt::UserRole, i);
    }
    m_indexList->clear();
    for (const auto& entry : m_book.keywordIndex()) {
        auto* it = new QListWidgetItem(entry.first, m_indexList);
        it->setData(Qt::UserRole, entry.second);
    }
    m_searchList->clear();
    m_indexField->clear();
}

void HelpViewer::filterIndex(const QString& text)
{
    const int row = m_book.findKeyword(text);
    if (row >= 0) {
        m_indexList->setCurrentRow(row);
        m_indexList->scrollToItem(m_indexList->item(row), QAbstractItemView::PositionAtTop);
    }
}

void HelpViewer::runSearch()
{
    m_searchList->clear();
    const QList<int> found = m_book.search(m_searchField->text());
    for (int i : found) {
        auto* it = new QListWidgetItem(m_book.topics[i].title, m_searchList);
        it->setData(Qt::UserRole, i);
    }
    if (found.isEmpty() && !m_searchField->text().trimmed().isEmpty())
        new QListWidgetItem(QStringLiteral("(no page holds these words)"), m_searchList);
    else if (!found.isEmpty())
        m_searchList->item(0)->setData(Qt::UserRole, found.first());
}

void HelpViewer::showTopic(int topic)
{
    display(topic, true);
}

bool HelpViewer::showTopicId(const QString& id)
{
    const int i = m_book.indexOfId(id);
    if (i < 0)
        return false;
    showTopic(i);
    return true;
}

void HelpViewer::display(int topic, bool record)
{
    if (topic >= m_book.topics.size())
        topic = -1;
    m_current = topic;
    m_browser->setHtml(m_book.pageHtml(topic));
    if (record) {
        while (m_history.size() > m_historyAt + 1)
            m_history.removeLast();
        if (m_history.isEmpty() || m_history.last().file != m_book.fileName || m_history.last().topic != topic)
            m_history.append({m_book.fileName, topic});
        m_historyAt = m_history.size() - 1;
    }
    const QSignalBlocker block(m_contents);
    m_contents->setCurrentRow(topic + 1);
    updateButtons();
}

void HelpViewer::updateButtons()
{
    m_back->setEnabled(m_historyAt > 0);
    m_forward->setEnabled(m_historyAt >= 0 && m_historyAt < m_history.size() - 1);
}

void HelpViewer::goBack()
{
    if (m_historyAt <= 0)
        return;
    const Place p = m_history[--m_historyAt];
    if (openBook(p.file))
        display(p.topic, false);
}

void HelpViewer::goForward()
{
    if (m_historyAt < 0 || m_historyAt >= m_history.size() - 1)
        return;
    const Place p = m_history[++m_historyAt];
    if (openBook(p.file))
        display(p.topic, false);
}

void HelpViewer::followLink(const QUrl& url)
{
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto")) {
        QDesktopServices::openUrl(url);
        return;
    }
    // "other.hlp#topic" opens another help file of the program's directory.
    const QString file = url.path();
    if (!file.isEmpty() && file.endsWith(QLatin1String(".hlp"), Qt::CaseInsensitive)) {
        if (!openBook(AppPaths::programFile(QFileInfo(file).fileName())))
            return;
    }
    if (url.fragment().isEmpty() || !showTopicId(url.fragment()))
        showTopic(-1);
}

void HelpViewer::printTopic()
{
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted)
        m_browser->print(&printer);
}

void HelpViewer::bringUp()
{
    // Called from a modal dialog's "&Help", the window must take input
    // itself, so it is modal until closed; otherwise it stays beside the frame.
    QWidget* modal = QApplication::activeModalWidget();
    const Qt::WindowModality wanted = modal && modal != this ? Qt::ApplicationModal : Qt::NonModal;
    if (isVisible() && windowModality() != wanted && wanted == Qt::ApplicationModal)
        hide();
    if (!isVisible())
        setWindowModality(wanted);
    if (!isVisible()) {
        bagShow(Prefs, this);
        show();
    }
    raise();
    activateWindow();
}

void HelpViewer::closeEvent(QCloseEvent* e)
{
    bagClose(Prefs, this);
    QWidget::closeEvent(e);
}

void HelpViewer::openContents(const QString& path)
{
    if (!openBook(path))
        return;
    m_tabs->setCurrentIndex(0);
    showTopic(-1);
    bringUp();
}

void HelpViewer::openKeyword(const QString& path, const QString& keyword)
{
    if (!openBook(path))
        return;
    m_tabs->setCurrentIndex(1);
    m_indexField->setText(keyword);
    filterIndex(keyword);
    const int row = keyword.trimmed().isEmpty() ? -1 : m_book.findKeyword(keyword);
    if (row >= 0)
        showTopic(m_book.keywordIndex().at(row).second);
    else if (m_current < 0 && m_history.isEmpty())
        showTopic(-1);
    bringUp();
    m_indexField->setFocus();
}

void HelpViewer::openContext(const QString& path, int context)
{
    if (!openBook(path))
        return;
    showTopic(m_book.indexOfContext(context));
    bringUp();
}
