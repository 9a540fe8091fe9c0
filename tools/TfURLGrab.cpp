#include "tools/TfURLGrab.h"

#include "tools/FrameFollower.h"

#include "app/AppError.h"
#include "app/AppInvoker.h"
#include "app/AppPaths.h"
#include "app/AppSettings.h"
#include "app/ListFile.h"
#include "app/PlacementAdapter.h"
#include "app/UiPrompter.h"
#include "tools/PlugInFile.h"
#include "tools/UrlGrab.h"
#include "render/HelpViewer.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

namespace {
const int kEntryRole = Qt::UserRole + 1;

bool before(const QString& a, const QString& b)
{
    const int c = a.compare(b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

QTreeWidgetItem* makeItem(const QString& entry)
{
    // A link over several lines shows on one.
    QString shown = entry;
    shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const qsizetype tab = shown.indexOf(QLatin1Char('\t'));
    auto* item = new QTreeWidgetItem({tab < 0 ? shown : shown.left(tab), tab < 0 ? QString() : shown.mid(tab + 1)});
    item->setData(0, kEntryRole, entry);
    item->setToolTip(0, entry);
    return item;
}
} // namespace

UrlList::UrlList(QWidget* parent) : QTreeWidget(parent)
{
    setColumnCount(2);
    setHeaderHidden(true);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    header()->setStretchLastSection(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void UrlList::setEntries(QStringList entries)
{
    std::stable_sort(entries.begin(), entries.end(), before);
    clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(entries.size());
    for (const QString& e : std::as_const(entries))
        items << makeItem(e);
    addTopLevelItems(items);
}

QStringList UrlList::entries() const
{
    QStringList out;
    out.reserve(topLevelItemCount());
    for (int i = 0; i < topLevelItemCount(); ++i)
        out << topLevelItem(i)->data(0, kEntryRole).toString();
    return out;
}

void UrlList::addEntry(const QString& entry)
{
    int lo = 0, hi = topLevelItemCount();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (before(entry, topLevelItem(mid)->data(0, kEntryRole).toString()))
            hi = mid;
        else
            lo = mid + 1;
    }
    insertTopLevelItem(lo, makeItem(entry));
}

void UrlList::resizeEvent(QResizeEvent* e)
{
    QTreeWidget::resizeEvent(e);
    setColumnWidth(0, viewport()->width() * 75 / 100);
}

TfURLGrab::TfURLGrab(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      Prefs(AppSettings::kPrefsFile, QStringLiteral("URL Library Mgr"))
{
    setObjectName(QStringLiteral("fURLGrab"));
    setWindowTitle(QStringLiteral("URL Library"));
    setModal(false);
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("New URLs"), this), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("URL Library"), this), 0, 2);
    srcList = new UrlList(this);
    srcList->setObjectName(QStringLiteral("srcList"));
    dstList = new UrlList(this);
    dstList->setObjectName(QStringLiteral("dstList"));
    grid->addWidget(srcList, 1, 0);
    grid->addWidget(dstList, 1, 2);
    auto* moves = new QVBoxLayout;
    auto button = [this](const char* caption, const char* hint) {
        auto* b = new QPushButton(QString::fromUtf8(caption), this);
        b->setToolTip(QString::fromUtf8(hint));
        b->setStatusTip(b->toolTip());
        b->setAutoDefault(false);
        return b;
    };
    IncludeBtn = button(">", "Move Selected to Library");
    IncAllBtn = button(">>", "Move All to Library");
    ExcludeBtn = button("<", "Remove Selected from Library");
    ExcAllBtn = button("<<", "Remove All from Library");
    moves->addStretch(1);
    for (QPushButton* b : {IncludeBtn, IncAllBtn, ExcludeBtn, ExcAllBtn}) {
        b->setFixedWidth(40);
        moves->addWidget(b);
    }
    moves->addStretch(1);
    grid->addLayout(moves, 1, 1);
    auto* bottom = new QHBoxLayout;
    OKBtn = new QPushButton(QStringLiteral("&Save"), this);
    CancelBtn = new QPushButton(QStringLiteral("&Cancel"), this);
    HelpBtn = new QPushButton(QStringLiteral("Help"), this);
    HelpViewer::attach(HelpBtn, 1);
    bottom->addStretch(1);
    for (QPushButton* b : {OKBtn, CancelBtn, HelpBtn})
        bottom->addWidget(b);
    grid->addLayout(bottom, 2, 0, 1, 3);
    setFixedSize(760, 420);
    FrameFollower::closeWithFrame(this);

    auto run = [this](void (TfURLGrab::*fn)()) { return [this, fn] { AppInvoker::run([this, fn] { (this->*fn)(); }); }; };
    connect(IncludeBtn, &QPushButton::clicked, this, run(&TfURLGrab::IncludeBtnClick));
    connect(IncAllBtn, &QPushButton::clicked, this, run(&TfURLGrab::IncAllBtnClick));
    connect(ExcludeBtn, &QPushButton::clicked, this, run(&TfURLGrab::ExcludeBtnClick));
    connect(ExcAllBtn, &QPushButton::clicked, this, run(&TfURLGrab::ExcAllBtnClick));
    connect(OKBtn, &QPushButton::clicked, this, run(&TfURLGrab::OKBtnClick));
    connect(CancelBtn, &QPushButton::clicked, this, &TfURLGrab::CancelBtnClick);
    SetButtons();
}

QString TfURLGrab::libraryFile()
{
    return AppPaths::dataFile(QStringLiteral("library.fil"));
}

void TfURLGrab::setNewUrls(const QStringList& urls)
{
    srcList->setEntries(urls);
    SetButtons();
}

void TfURLGrab::showManager()
{
    show();
    raise();
    activateWindow();
}

void TfURLGrab::LoadList()
{
    bagShow(Prefs, this);
    const QString path = AppPaths::readableDataFile(QStringLiteral("library.fil"));
    if (QFileInfo::exists(path)) {
        QStringList lines;
        QString error;
        if (ListFile::read(path, &lines, &error))
            dstList->setEntries(lines);
        else
            UiPrompter::instance().message(this, error, UiPrompter::Ok, UiPrompter::Warning);
    }
    SetButtons();
}

void TfURLGrab::SetButtons()
{
    const bool src = srcList->topLevelItemCount() > 0;
    const bool dst = dstList->topLevelItemCount() > 0;
    IncludeBtn->setEnabled(src);
    IncAllBtn->setEnabled(src);
    ExcludeBtn->setEnabled(dst);
    ExcAllBtn->setEnabled(dst);
}

void TfURLGrab::MoveSelected(UrlList* from, UrlList* to)
{
    for (int i = from->topLevelItemCount() - 1; i >= 0; --i) {
        QTreeWidgetItem* item = from->topLevelItem(i);
        if (!item->isSelected())
            continue;
        to->addEntry(item->data(0, kEntryRole).toString());
        delete from->takeTopLevelItem(i);
    }
    from->clearSelection();
    to->clearSelection();
    SetButtons();
}

void TfURLGrab::moveAll(UrlList* from, UrlList* to)
{
    QStringList all = to->entries();
    all += from->entries();
    to->setEntries(all);
    from->clear();
    SetButtons();
}

void TfURLGrab::IncludeBtnClick() { MoveSelected(srcList, dstList); }
void TfURLGrab::IncAllBtnClick() { moveAll(srcList, dstList); }
void TfURLGrab::ExcludeBtnClick() { MoveSelected(dstList, srcList); }
void TfURLGrab::ExcAllBtnClick() { moveAll(dstList, srcList); }

void TfURLGrab::OKBtnClick()
{
    try {
        AppPaths::ensureDataDir();
        ListFile::write(libraryFile(), UrlGrab::libraryLines(dstList->entries()));
    } catch (const AppError& e) {
        // The window stays open with its lists, so nothing is lost.
        UiPrompter::instance().message(this, e.message(), UiPrompter::Ok, UiPrompter::Warning);
        return;
    }
    close();
}

void TfURLGrab::showEvent(QShowEvent* e)
{
    if (!e->spontaneous())
        AppInvoker::run([this] { LoadList(); });
    QDialog::showEvent(e);
}

void TfURLGrab::closeEvent(QCloseEvent* e)
{
    AppInvoker::run([this] { bagClose(Prefs, this); });
    QDialog::closeEvent(e);
}

TfNetscapeError::TfNetscapeError(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("fNetscapeError"));
    setWindowTitle(QStringLiteral("Bookmark File"));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    auto* text = new QPlainTextEdit(message(), this);
    text->setReadOnly(true);
    text->setMinimumSize(430, 230);
    layout->addWidget(text);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(ok);
    row->addStretch(1);
    layout->addLayout(row);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

QString TfNetscapeError::message()
{
    return QStringLiteral(
        "Velquist was unable to find the Netscape Bookmark File.\n"
        "\n"
        "Some possible reasons are :\n"
        "\n"
        "The Netscape Initialisation File was not in your Windows \n"
        "directory.\n"
        "\n"
        "The Location of the Bookmark File that was reported by the \n"
        "Initialisation file was incorrect\n"
        "\n"
        "You can still load the Bookmark File manually then select \n"
        "the Grab URLs option to complete the task.");
}
