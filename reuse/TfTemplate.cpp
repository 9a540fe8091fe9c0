#include "reuse/TfTemplate.h"

#include "app/AppInvoker.h"
#include "app/AppSettings.h"
#include "app/PlacementAdapter.h"
#include "app/TfHTML.h"
#include "app/FrameServices.h"
#include "app/UiPrompter.h"
#include "editor/TOvcTextFileEditor.h"
#include "reuse/TemplateLibrary.h"
#include "render/HelpViewer.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStorageInfo>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

// A small picture of the page a built-in template makes.
class TemplatePicture : public QWidget {
public:
    TemplatePicture(int page, QWidget* parent) : QWidget(parent), m_page(page) { setFixedSize(150, 190); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF sheet = QRectF(rect()).adjusted(4, 4, -4, -4);
        const bool coloured = m_page == TemplateLibrary::Coloured;
        const QColor paper = coloured ? QColor(0x0F, 0x0F, 0x8F) : Qt::white;
        const QColor ink = coloured ? QColor(0xFF, 0xE2, 0x7F) : QColor(0x20, 0x20, 0x20);
        p.setPen(QPen(Qt::gray, 1));
        p.setBrush(paper);
        p.drawRect(sheet);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        const qreal left = sheet.left() + 10;
        const qreal width = sheet.width() - 20;
        qreal y = sheet.top() + 12;
        if (m_page == TemplateLibrary::Graphical) {
            p.drawRect(QRectF(left + width * 0.15, y, width * 0.7, 8));  // centred heading
            y += 16;
            p.setBrush(QColor(0x9A, 0xB8, 0xD8));
            p.drawRect(QRectF(left, y, width * 0.4, 36));  // the image
            p.setBrush(ink);
            y += 44;
            p.drawRect(QRectF(left, y, width, 4));  // rule
            y += 12;
            p.drawRect(QRectF(left, y, width * 0.8, 7));
            return;
        }
        p.drawRect(QRectF(left, y, width * 0.75, 9));
        y += 17;
        p.drawRect(QRectF(left, y, width * 0.55, 6));
        y += 14;
        for (int i = 0; i < 5; ++i, y += 8)
            p.drawRect(QRectF(left, y, width * (i == 4 ? 0.5 : 1.0), 3));
    }

private:
    int m_page;
};

const QString kFilters[][2] = {
    {QStringLiteral("Template Files (*.tpl)"), QStringLiteral("*.tpl")},
    {QStringLiteral("HTML Documents"), QStringLiteral("*.htm")},
    {QStringLiteral("All files (*.*)"), QStringLiteral("*")},
};

} // namespace

TfTemplate::TfTemplate(FrameServices& main, const QString& startFolder) : QDialog(main.frameWindow()), m_main(main)
{
    setObjectName(QStringLiteral("fTemplate"));
    setWindowTitle(QStringLiteral("Velquist Templates"));
    setModal(true);
    auto* layout = new QHBoxLayout(this);
    Notebook1 = new QTabWidget(this);
    Notebook1->setTabPosition(QTabWidget::South);
    layout->addWidget(Notebook1, 1);

    for (int page = TemplateLibrary::Simple; page < TemplateLibrary::UserDefined; ++page) {
        auto* w = new QWidget;
        auto* row = new QHBoxLayout(w);
        auto* group = new QGroupBox(TemplateLibrary::groupCaption(page));
        auto* groupLayout = new QVBoxLayout(group);
        auto* text = new QPlainTextEdit;
        text->setObjectName(QStringLiteral("Template%1").arg(page));
        text->setReadOnly(true);
        text->setLineWrapMode(QPlainTextEdit::NoWrap);
        text->setPlainText(TemplateLibrary::builtIn(page).join(QLatin1Char('\n')));
        groupLayout->addWidget(text);
        row->addWidget(group, 1);
        if (page != TemplateLibrary::FrameSets)
            row->addWidget(new TemplatePicture(page, w), 0, Qt::AlignTop);
        Notebook1->addTab(w, TemplateLibrary::pageCaption(page));
    }
    auto* user = new QWidget;
    buildUserPage(user);
    setFolder(startFolder);
    Notebook1->addTab(user, TemplateLibrary::pageCaption(TemplateLibrary::UserDefined));
    Notebook1->setCurrentIndex(TemplateLibrary::Simple);

    auto* buttons = new QVBoxLayout;
    OKBtn = new QPushButton(QStringLiteral("OK"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"));
    HelpBtn = new QPushButton(QStringLiteral("&Help"));
    HelpViewer::attach(HelpBtn, 100);
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    buttons->addWidget(HelpBtn);
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(OKBtn, &QPushButton::clicked, this, [this] { AppInvoker::run([this] { OKBtnClick(); }); });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    setFixedSize(720, 460);
}

void TfTemplate::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    centreOnScreen(this);
}

bool TfTemplate::eventFilter(QObject* watched, QEvent* e)
{
    if (DirectoryListBox1 && watched == DirectoryListBox1->viewport()
        && (e->type() == QEvent::Show || e->type() == QEvent::Resize))
        QTimer::singleShot(0, this, [this] { revealFolder(); });
    return QDialog::eventFilter(watched, e);
}

void TfTemplate::buildUserPage(QWidget* page)
{
    auto* column = new QVBoxLayout(page);
    auto* browser = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    DriveComboBox1 = new QComboBox;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady() && !volume.rootPath().startsWith(QStringLiteral("/proc"))
            && !volume.rootPath().startsWith(QStringLiteral("/sys")))
            DriveComboBox1->addItem(volume.rootPath());
    }
    if (DriveComboBox1->findText(QDir::rootPath()) < 0)
        DriveComboBox1->insertItem(0, QDir::rootPath());
    DriveComboBox1->insertItem(0, QDir::homePath());
    left->addWidget(DriveComboBox1);
    m_dirs = new QFileSystemModel(this);
    m_dirs->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_dirs->setRootPath(QDir::rootPath());
    DirectoryListBox1 = new QTreeView;
    DirectoryListBox1->setModel(m_dirs);
    for (int c = 1; c < m_dirs->columnCount(); ++c)
        DirectoryListBox1->hideColumn(c);
    DirectoryListBox1->setHeaderHidden(true);
    // Scrolling is worked out from the view's size: only once the page is
    // shown and laid out can the folder be brought into view.
    DirectoryListBox1->viewport()->installEventFilter(this);
    left->addWidget(DirectoryListBox1, 1);
    browser->addLayout(left, 1);

    auto* right = new QVBoxLayout;
    FilterComboBox1 = new QComboBox;
    for (const auto& f : kFilters)
        FilterComboBox1->addItem(f[0], f[1]);
    right->addWidget(FilterComboBox1);
    m_files = new QFileSystemModel(this);
    m_files->setFilter(QDir::Files);
    m_files->setNameFilterDisables(false);
    FileListBox1 = new QListView;
    FileListBox1->setModel(m_files);
    right->addWidget(FileListBox1, 1);
    browser->addLayout(right, 1);
    column->addLayout(browser, 1);

    Memo1 = new QPlainTextEdit;
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const QString hint = QStringLiteral("The contents of the selected file are displayed here");
    Memo1->setToolTip(hint);
    Memo1->setStatusTip(hint);
    column->addWidget(Memo1, 1);

    applyFilter(0);
    connect(DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) {
                if (index.isValid())
                    setFolder(m_dirs->filePath(index));
            });
    connect(DriveComboBox1, &QComboBox::activated, this,
            [this](int index) { setFolder(DriveComboBox1->itemText(index)); });
    connect(FilterComboBox1, &QComboBox::activated, this, [this](int index) { applyFilter(index); });
    // A file chosen by mouse or keyboard is shown.
    connect(FileListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) {
                if (!index.isValid() || m_files->isDir(index))
                    return;
                const QString path = m_files->filePath(index);
                AppInvoker::run([this, path] { UpdateMemo(path); });
            });
    // The folder tree fills in as it is read; keep the shown folder in view.
    connect(m_dirs, &QFileSystemModel::directoryLoaded, this, [this](const QString& loaded) {
        const QString shown = folder();
        if (shown == loaded || shown.startsWith(loaded.endsWith(QLatin1Char('/')) ? loaded : loaded + QLatin1Char('/')))
            revealFolder();
    });
}

void TfTemplate::applyFilter(int index)
{
    m_files->setNameFilters({FilterComboBox1->itemData(index).toString()});
}

QString TfTemplate::folder() const
{
    return m_files->rootPath();
}

void TfTemplate::setFolder(const QString& path)
{
    const QString clean = QDir::cleanPath(path);
    FileListBox1->setRootIndex(m_files->setRootPath(clean));
    revealFolder();
    // The drive box shows the volume the folder lies on.
    int best = -1;
    for (int i = 0; i < DriveComboBox1->count(); ++i) {
        const QString root = DriveComboBox1->itemText(i);
        const QString prefix = root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/');
        if ((clean == root || clean.startsWith(prefix))
            && (best < 0 || root.size() > DriveComboBox1->itemText(best).size()))
            best = i;
    }
    if (best >= 0)
        DriveComboBox1->setCurrentIndex(best);
}

void TfTemplate::revealFolder()
{
    const QModelIndex dir = m_dirs->index(folder());
    if (!dir.isValid())
        return;
    if (DirectoryListBox1->currentIndex() != dir) {
        const QSignalBlocker block(DirectoryListBox1->selectionModel());
        DirectoryListBox1->setCurrentIndex(dir);
    }
    DirectoryListBox1->scrollTo(dir, QAbstractItemView::PositionAtCenter);
}

void TfTemplate::UpdateMemo(const QString& path)
{
    QString text, error;
    if (!TemplateLibrary::readStart(path, PreviewBytes, &text, &error)) {
        UiPrompter::instance().message(this, error, UiPrompter::Ok, UiPrompter::Warning);
        return;
    }
    m_userFile = path;
    Memo1->setPlainText(text);
}

void TfTemplate::OKBtnClick()
{
    static_assert(TemplateLibrary::MaxFileSize == TOvcTextFileEditor::MaxFileSize);
    const int page = Notebook1->currentIndex();
    QStringList lines{QString()};
    if (page != TemplateLibrary::UserDefined) {
        lines = TemplateLibrary::builtIn(page);
    } else if (!m_userFile.isEmpty()) {
        // Read whole only now, and checked again: it may have changed since.
        QString text, error;
        if (!TemplateLibrary::readStart(m_userFile, 0, &text, &error)
            || !TemplateLibrary::readFile(m_userFile, &lines, &error)) {
            UiPrompter::instance().message(this, error, UiPrompter::Ok, UiPrompter::Warning);
            return;
        }
    }
    TfHTML* doc = m_main.createUntitledDocument();
    m_main.showNewDocument(doc);
    m_main.SetStatusText(QStringLiteral("Created a New HTML Document from Template..."));
    accept();
    TemplateLibrary::fill(*doc->txtHTML, lines);
    m_main.SetStatusText(AppSettings::kReady);
}
