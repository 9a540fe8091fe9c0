#include "reuse/TfProj.h"

#include "app/AppError.h"
#include "app/AppInvoker.h"
#include "app/AppSettings.h"
#include "app/PathUtil.h"
#include "app/PlacementAdapter.h"
#include "app/FrameServices.h"
#include "app/UiPrompter.h"

#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <functional>

namespace {
const int kIndexRole = Qt::UserRole + 1;
const QString kAddFilter = QStringLiteral(
    "HTML Document (*.htm;*.html)|*.htm;*.html|Onvex Plug In Files (*.plg)|*.plg|Text Files (*.txt)|*.txt|"
    "All Files (*.*)|*.*");
} // namespace

TfProj::TfProj(FrameServices& main)
    : QDialog(main.frameWindow()), Prefs(AppSettings::kPrefsFile, QStringLiteral("Project Org")), m_main(main)
{
    setObjectName(QStringLiteral("fProj"));
    setWindowTitle(QStringLiteral("Project Organiser"));
    auto* layout = new QHBoxLayout(this);
    outProj = new QTreeWidget(this);
    outProj->setObjectName(QStringLiteral("outProj"));
    outProj->setHeaderHidden(true);
    outProj->setSelectionMode(QAbstractItemView::SingleSelection);
    // A double click opens the file; the branch sign opens and closes sub items.
    outProj->setExpandsOnDoubleClick(false);
    outProj->setContextMenuPolicy(Qt::CustomContextMenu);
    layout->addWidget(outProj, 1);

    auto* side = new QVBoxLayout;
    auto* fields = new QFormLayout;
    txtTitle = new QLineEdit;
    tFN = new QLineEdit;
    tFN->setReadOnly(true);
    fields->addRow(QStringLiteral("Title"), txtTitle);
    fields->addRow(QStringLiteral("File"), tFN);
    side->addLayout(fields);
    auto* grid = new QGridLayout;
    auto button = [this, grid](const QString& caption, int row, int column, void (TfProj::*slot)()) {
        auto* b = new QPushButton(caption);
        b->setAutoDefault(false);  // Enter in the title field presses nothing
        grid->addWidget(b, row, column);
        connect(b, &QPushButton::clicked, this, [this, slot] { AppInvoker::run([this, slot] { (this->*slot)(); }); });
        return b;
    };
    btnOpenProj = button(QStringLiteral("&Open Project"), 0, 0, &TfProj::btnOpenProjClick);
    btnNewProj = button(QStringLiteral("&New Project"), 0, 1, &TfProj::btnNewProjClick);
    btnSaveProject = button(QStringLiteral("&Save Project"), 1, 0, &TfProj::btnSaveProjectClick);
    btnAddFile = button(QStringLiteral("&Add File(s)"), 2, 0, &TfProj::btnAddFileClick);
    btnRemoveFile = button(QStringLiteral("&Remove File"), 2, 1, &TfProj::btnRemoveFileClick);
    btnOpenFile = button(QStringLiteral("Open &File"), 3, 0, &TfProj::btnOpenFileClick);
    btnOpenAll = button(QStringLiteral("Open A&ll"), 3, 1, &TfProj::btnOpenAllClick);
    btnExpandAll = button(QStringLiteral("Expand All &>"), 4, 0, &TfProj::ExpandAll);
    btnCollapseAll = button(QStringLiteral("Collapse All &<"), 4, 1, &TfProj::CollapseAll);
    btnUp = button(QStringLiteral("&Up"), 5, 0, &TfProj::doMoveUp);
    btnDown = button(QStringLiteral("&Down"), 5, 1, &TfProj::DoMoveDown);
    btnLeft = button(QStringLiteral("&<"), 6, 0, &TfProj::UpBtnClick);
    btnRight = button(QStringLiteral("&>"), 6, 1, &TfProj::DownBtnClick);
    side->addLayout(grid);
    side->addStretch();
    btnClose = new QPushButton(QStringLiteral("&Close"));
    btnClose->setAutoDefault(false);
    connect(btnClose, &QPushButton::clicked, this, &TfProj::btnCloseClick);
    side->addWidget(btnClose);
    layout->addLayout(side);

    popupMenu = new QMenu(this);
    auto entry = [this](const QString& caption, void (TfProj::*slot)()) {
        connect(popupMenu->addAction(caption), &QAction::triggered, this,
                [this, slot] { AppInvoker::run([this, slot] { (this->*slot)(); }); });
    };
    entry(QStringLiteral("Move &Up"), &TfProj::doMoveUp);
    entry(QStringLiteral("Move &Down"), &TfProj::DoMoveDown);
    entry(QStringLiteral("Move &Left"), &TfProj::UpBtnClick);
    entry(QStringLiteral("Move &Right"), &TfProj::DownBtnClick);
    connect(outProj, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { popupMenu->popup(outProj->viewport()->mapToGlobal(at)); });
    connect(outProj, &QTreeWidget::itemDoubleClicked, this,
            [this] { AppInvoker::run([this] { btnOpenFileClick(); }); });
    auto track = [this](QTreeWidgetItem* item, bool on) {
        if (!m_rebuilding)
            m_project.tree.setExpanded(item->data(0, kIndexRole).toInt(), on);
    };
    connect(outProj, &QTreeWidget::itemExpanded, this, [track](QTreeWidgetItem* i) { track(i, true); });
    connect(outProj, &QTreeWidget::itemCollapsed, this, [track](QTreeWidgetItem* i) { track(i, false); });
    // A changed title is a change to the project like any other.
    connect(txtTitle, &QLineEdit::textEdited, this, [this] { m_modified = true; });
    resize(640, 420);
}

QString TfProj::title() const
{
    return txtTitle->text();
}

int TfProj::selectedIndex() const
{
    const QTreeWidgetItem* item = outProj->currentItem();
    return item ? item->data(0, kIndexRole).toInt() : -1;
}

void TfProj::selectIndex(int index)
{
    std::function<QTreeWidgetItem*(QTreeWidgetItem*)> find = [&](QTreeWidgetItem* parent) -> QTreeWidgetItem* {
        for (int c = 0; c < parent->childCount(); ++c) {
            QTreeWidgetItem* child = parent->child(c);
            if (child->data(0, kIndexRole).toInt() == index)
                return child;
            if (QTreeWidgetItem* deeper = find(child))
                return deeper;
        }
        return nullptr;
    };
    QTreeWidgetItem* item = index >= 0 ? find(outProj->invisibleRootItem()) : nullptr;
    if (item) {
        for (QTreeWidgetItem* up = item->parent(); up; up = up->parent())
            up->setExpanded(true);
        outProj->setCurrentItem(item);
        outProj->scrollToItem(item);
    } else {
        outProj->setCurrentItem(nullptr);
    }
}

void TfProj::rebuild(int select)
{
    m_rebuilding = true;
    outProj->clear();
    const ProjectTree& tree = m_project.tree;
    QList<QTreeWidgetItem*> path;  // the last item made at each level
    for (int i = 0; i < tree.size(); ++i) {
        const ProjectTree::Item& it = tree.at(i);
        QTreeWidgetItem* item = it.level == 1 ? new QTreeWidgetItem(outProj) : new QTreeWidgetItem(path[it.level - 2]);
        item->setText(0, it.text);
        item->setToolTip(0, it.text);
        item->setData(0, kIndexRole, i);
        path.resize(it.level - 1);
        path.append(item);
    }
    // Open items once all their sub items exist.
    QTreeWidgetItemIterator iter(outProj);
    for (; *iter; ++iter) {
        const int i = (*iter)->data(0, kIndexRole).toInt();
        if (tree.at(i).expanded && tree.hasChildren(i))
            (*iter)->setExpanded(true);
    }
    m_rebuilding = false;
    selectIndex(select);
}

void TfProj::changed(int select)
{
    m_modified = true;
    rebuild(select);
}

void TfProj::showEvent(QShowEvent* e)
{
    if (!e->spontaneous())
        AppInvoker::run([this] { bagShow(Prefs, this); });
    QDialog::showEvent(e);
}

void TfProj::done(int result)
{
    AppInvoker::run([this] { bagClose(Prefs, this); });
    QDialog::done(result);
    AppInvoker::run([this] { SaveQuery(); });
}

void TfProj::btnCloseClick()
{
    done(QDialog::Accepted);
}

bool TfProj::writeTo(const QString& path)
{
    m_project.title = txtTitle->text();
    try {
        ProjectFile::write(path, m_project);
    } catch (const EFileError& e) {
        UiPrompter::instance().message(this, e.message(), UiPrompter::Ok, UiPrompter::Warning);
        return false;
    }
    return true;
}

TfProj::PromptResult TfProj::SaveQuery()
{
    if (!m_modified)
        return Proceed;
    if (isVisible()) {
        raise();
        activateWindow();
    }
    const QString name = m_fileName.isEmpty() ? QStringLiteral("Untitled Project") : m_fileName;
    if (UiPrompter::instance().message(this, QStringLiteral("Save changes to ") + name + QStringLiteral(" ?"),
                                       UiPrompter::Yes | UiPrompter::No, UiPrompter::Question)
        != UiPrompter::Yes)
        return Proceed;
    // Only a project that has its own file is written without asking where.
    if (!m_fileName.isEmpty() && QFileInfo(m_fileName).isFile()) {
        if (!writeTo(m_fileName))
            return Cancelled;
        m_modified = false;
        ExpandAll();
        return Proceed;
    }
    const QString path = UiPrompter::instance().saveFileName(this, QStringLiteral("Save Project As"),
                                                             QDir::currentPath(), ProjectFile::Filter, QString());
    if (path.isEmpty())
        return Cancelled;
    if (!writeTo(path))
        return Cancelled;
    m_fileName = PathUtil::captionForPath(path);
    tFN->setText(m_fileName);
    rebuild(selectedIndex());
    m_modified = false;
    return Proceed;
}

void TfProj::btnNewProjClick()
{
    QString name = QStringLiteral("HTML Project");
    if (!UiPrompter::instance().inputText(this, QStringLiteral("New Project"),
                                          QStringLiteral("Enter a name for this Project"), name))
        return;
    if (m_modified && SaveQuery() == Cancelled)
        return;
    txtTitle->setText(name);
    m_project.tree.clear();
    m_fileName.clear();
    tFN->clear();
    changed(-1);
}

void TfProj::btnOpenProjClick()
{
    if (SaveQuery() == Cancelled)
        return;
    const QString path = UiPrompter::instance().openFileName(this, QStringLiteral("Open Project"),
                                                             QDir::currentPath(), ProjectFile::Filter);
    if (path.isEmpty())
        return;
    // A file that cannot be read leaves the project as it was.
    Project read;
    QString error;
    if (!ProjectFile::read(path, &read, &error)) {
        UiPrompter::instance().message(this, error, UiPrompter::Ok, UiPrompter::Warning);
        return;
    }
    m_project = read;
    txtTitle->setText(read.title);
    m_fileName = PathUtil::captionForPath(path);
    tFN->setText(m_fileName);
    m_modified = false;
    rebuild(m_project.tree.isEmpty() ? -1 : 0);
}

void TfProj::btnSaveProjectClick()
{
    m_modified = true;
    SaveQuery();
}

void TfProj::btnAddFileClick()
{
    const QStringList files = UiPrompter::instance().openFileNames(this, QStringLiteral("Add File(s)"),
                                                                   QDir::currentPath(), kAddFilter);
    if (files.isEmpty())
        return;
    int selected = selectedIndex();
    if (selected < 0 && !m_project.tree.isEmpty())
        selected = 0;
    for (const QString& f : files) {
        const int made = m_project.tree.insertBefore(selected, PathUtil::captionForPath(f));
        // The new item stands before the selected one, which moves down a place.
        selected = selected < 0 ? made : selected + 1;
    }
    changed(selected);
}

void TfProj::btnRemoveFileClick()
{
    const int i = selectedIndex();
    if (i < 0)
        return;
    if (m_project.tree.hasChildren(i)
        && UiPrompter::instance().message(this, QStringLiteral("This will remove all sub files as well \n\nContinue ?"),
                                          UiPrompter::Yes | UiPrompter::No, UiPrompter::Question)
            != UiPrompter::Yes)
        return;
    m_project.tree.remove(i);
    changed(qMin(i, m_project.tree.size() - 1));
}

void TfProj::btnOpenFileClick()
{
    const int i = selectedIndex();
    if (i >= 0)
        m_main.OpenDocumentFile(m_project.tree.at(i).text);
}

void TfProj::btnOpenAllClick()
{
    const ProjectTree tree = m_project.tree;  // opening may show messages; the list stays as it was
    for (const ProjectTree::Item& item : tree.items())
        AppInvoker::run([this, &item] { m_main.OpenDocumentFile(item.text); });
}

void TfProj::ExpandAll()
{
    for (int i = 0; i < m_project.tree.size(); ++i)
        m_project.tree.setExpanded(i, m_project.tree.hasChildren(i));
    rebuild(selectedIndex());
}

void TfProj::CollapseAll()
{
    for (int i = 0; i < m_project.tree.size(); ++i)
        m_project.tree.setExpanded(i, false);
    const int selected = selectedIndex();
    rebuild(-1);
    // The selection moves to the visible item it lies under.
    int top = selected;
    while (top >= 0 && m_project.tree.at(top).level > 1)
        top = m_project.tree.parentOf(top);
    selectIndex(top);
}

void TfProj::doMoveUp()
{
    const int moved = m_project.tree.moveUp(selectedIndex());
    if (moved >= 0)
        changed(moved);
}

void TfProj::DoMoveDown()
{
    const int i = selectedIndex();
    if (i < 0 || i + 1 >= m_project.tree.size())
        return;
    const int moved = m_project.tree.moveDown(i);
    changed(moved >= 0 ? moved : i);
}

void TfProj::UpBtnClick()
{
    const int moved = m_project.tree.moveLeft(selectedIndex());
    if (moved >= 0)
        changed(moved);
}

void TfProj::DownBtnClick()
{
    const int moved = m_project.tree.moveRight(selectedIndex());
    if (moved >= 0)
        changed(moved);
}

void TfProj::showModal()
{
    if (isVisible())
        hide();  // shown without waiting by "Save Open as New Project"
    exec();
}

void TfProj::SaveOpenAsNewProject(const QStringList& captions)
{
    if (captions.isEmpty()) {
        UiPrompter::instance().message(m_main.frameWindow(), QStringLiteral("No current document."));
        return;
    }
    QString name;
    if (!UiPrompter::instance().inputText(m_main.frameWindow(), QStringLiteral("New Project"),
                                          QStringLiteral("Enter a name for this New Project"), name)
        || name.isEmpty())
        return;
    show();
    raise();
    m_project.tree.clear();
    txtTitle->setText(name);
    m_fileName.clear();
    tFN->clear();
    for (const QString& caption : captions)
        m_project.tree.append(caption, 1);
    rebuild(m_project.tree.isEmpty() ? -1 : 0);
    btnSaveProjectClick();
}
