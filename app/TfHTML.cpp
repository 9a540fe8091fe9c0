#include "app/TfHTML.h"

#include "app/AppInvoker.h"
#include "app/AppError.h"
#include "app/AppSettings.h"
#include "app/FileGuard.h"
#include "app/FileStamp.h"
#include "app/PathUtil.h"
#include "app/FindDialogs.h"
#include "app/PlacementAdapter.h"
#include "app/DocumentHost.h"
#include "app/TMegaRegistry.h"
#include "app/UiPrompter.h"
#include "editor/EditorContract.h"
#include "editor/FoldModel.h"
#include "editor/TOvcTextFileEditor.h"
#include "editor/TextFileCodec.h"
#include "tags/ListDragSource.h"
#include "tags/TagEngine.h"

#include <QAction>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QFontMetrics>
#include <QMenu>
#include <QSplitter>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {
const QString kUntitled = QStringLiteral("New HTML Document");
const QString kSaveFilter = QStringLiteral("HTML Document|*.htm|Text File|*.txt|All Files|*.*");

bool hasLocalFiles(const QMimeData* data)
{
    if (!data->hasUrls())
        return false;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            return true;
    }
    return false;
}
}

TfHTML::TfHTML(DocumentHost& main, QWidget* parent)
    : QWidget(parent), Prefs(AppSettings::kPrefsFile, QStringLiteral("Edit Window")), m_main(main)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(kUntitled);
    resize(652, 492);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    txtHTML = new TOvcTextFileEditor(this);
    txtHTML->SetColor(Qt::white);
    QFont f(QStringLiteral("Courier New"), 10);
    f.setStyleHint(QFont::Monospace);
    f.setFixedPitch(true);
    txtHTML->SetFixedFont(f);
    txtHTML->SetFixedFontColor(Qt::black);
    txtHTML->SetAutoIndent(true);
    txtHTML->SetWantTab(true);
    txtHTML->SetWordWrap(true);
    txtHTML->SetRightMargin(5);
    txtHTML->SetBackupExt(QStringLiteral("BAK"));
    txtHTML->SetMakeBackup(false);
    txtHTML->setAcceptDrops(true);
    txtHTML->viewport()->installEventFilter(this);
    txtHTML->installEventFilter(this);
    txtHTML->setContextMenuPolicy(Qt::DefaultContextMenu);
    // The text sits in a splitter, which holds a second view of it when split.
    m_split = new QSplitter(Qt::Horizontal, this);
    m_split->setObjectName(QStringLiteral("SplitView"));
    m_split->setChildrenCollapsible(false);
    m_split->addWidget(txtHTML);
    layout->addWidget(m_split);
    setFocusProxy(txtHTML);

    // A notice about the file (mixed line ends, very long lines) is shown once
    // the command that loaded or saved it has finished with its own messages.
    connect(txtHTML, &TOvcTextFileEditor::notice, m_main.frameWindow(), [this](const QString& text) {
        m_notice = text;
        DocumentHost* main = &m_main;
        QTimer::singleShot(0, main->frameWindow(), [main, text] { main->SetStatusText(text); });
    });

    if (FileGuard* guard = m_main.fileGuard())
        guard->attach(this);
    // The folds a file had when its window last closed come back with it.
    connect(txtHTML, &TOvcTextFileEditor::fileLoaded, this, [this] {
        const QString kept = m_main.settings().ReadString(QStringLiteral("Folds"), foldsKey(txtHTML->fileName()), QString());
        std::vector<int> lines;
        for (const QString& n : kept.split(QLatin1Char(','), Qt::SkipEmptyParts))
            lines.push_back(n.toInt());
        if (!lines.empty())
            txtHTML->RestoreFolds(lines);
    });

    m_findDialog = new FindDialog(this);
    m_replaceDialog = new ReplaceDialog(this);
    connect(m_findDialog, &FindDialog::findNext, this, [this] { AppInvoker::run([this] { doFind(); }); });
    connect(m_replaceDialog, &ReplaceDialog::replaceOne, this,
            [this] { AppInvoker::run([this] { HandleReplace(false); }); });
    connect(m_replaceDialog, &ReplaceDialog::replaceAll, this,
            [this] { AppInvoker::run([this] { HandleReplace(true); }); });
    connect(m_replaceDialog, &ReplaceDialog::findNext, this,
            [this] { AppInvoker::run([this] { replaceDialogFind(); }); });
    connect(m_findDialog, &FindDialog::findTextEdited, this, [this] { AppInvoker::run([this] { incrementalFind(); }); });

    m_searchMenu = new QMenu(tr("&Search"), this);
    auto* find = new QAction(tr("&Find"), this);
    find->setShortcut(QKeySequence(QStringLiteral("Ctrl+F")));
    addCommand(m_searchMenu, find, &TfHTML::Find1Click);
    m_findAgain = new QAction(tr("Find &Again"), this);
    m_findAgain->setEnabled(false);
    addCommand(m_searchMenu, m_findAgain, &TfHTML::FindAgain1Click);
    m_searchMenu->addSeparator();
    auto* replace = new QAction(tr("&Replace"), this);
    replace->setShortcut(QKeySequence(QStringLiteral("Ctrl+R")));
    addCommand(m_searchMenu, replace, &TfHTML::Replace1Click);

    m_contextMenu = new QMenu(this);
    addCommand(m_contextMenu, new QAction(tr("&Undo"), this), &TfHTML::doUndo);
    addCommand(m_contextMenu, new QAction(tr("&ReDo"), this), &TfHTML::ReDo1Click);
    m_contextMenu->addSeparator();
    auto* repeat = new QAction(tr("Repeat &Last Tag"), this);
    repeat->setObjectName(QStringLiteral("RepeatLastTag1Click"));
    connect(repeat, &QAction::triggered, this, [this] {
        AppInvoker::run([this] {
            m_main.showDocument(this);
            m_main.tagEngine().RepeatLastTag();
        });
    });
    m_contextMenu->addAction(repeat);
    m_contextMenu->addSeparator();
    addCommand(m_contextMenu, new QAction(tr("Cu&t"), this), &TfHTML::Cut1Click);
    addCommand(m_contextMenu, new QAction(tr("&Copy"), this), &TfHTML::Copy1Click);
    addCommand(m_contextMenu, new QAction(tr("&Paste"), this), &TfHTML::Paste1Click);
    m_contextMenu->addSeparator();
    addCommand(m_contextMenu, new QAction(tr("Find ..."), this), &TfHTML::Find1Click);
    addCommand(m_contextMenu, new QAction(tr("Replace ..."), this), &TfHTML::Replace1Click);
}

TfHTML::~TfHTML() = default;

void TfHTML::addCommand(QMenu* menu, QAction* action, void (TfHTML::*fn)())
{
    connect(action, &QAction::triggered, this, [this, fn] { AppInvoker::run([this, fn] { (this->*fn)(); }); });
    menu->addAction(action);
}

void TfHTML::setCaption(const QString& caption)
{
    setWindowTitle(caption);
    if (parentWidget())
        parentWidget()->setWindowTitle(caption);
}

bool TfHTML::isUntitledCaption(const QString& caption)
{
    return caption.left(17) == kUntitled;
}

bool TfHTML::isUntitled() const
{
    return isUntitledCaption(caption());
}

void TfHTML::SetProperties()
{
    if (m_propertiesSet)
        return;
    m_propertiesSet = true;
    Prefs.LoadSection();
    txtHTML->SetColor(Qt::white);
    txtHTML->SetFixedFontColor(Qt::black);
    const FontSpec current = specFromFont(txtHTML->FixedFont(), Qt::black);
    const FontSpec stored = Prefs.GetFont(QStringLiteral("Edit_Font"), current);
    TMegaRegistry& ini = m_main.settings();
    txtHTML->SetWordWrap(ini.ReadBool(AppSettings::kEditor, QStringLiteral("Word Wrap"), true));
    txtHTML->SetTabType(ini.ReadBool(AppSettings::kEditor, QStringLiteral("Smart Tabs"), false)
                            ? TOvcTextFileEditor::ttSmart
                            : TOvcTextFileEditor::ttReal);
    txtHTML->SetTabSize(ini.ReadInteger(AppSettings::kEditor, QStringLiteral("Tab Size"), 8));
    txtHTML->SetSyntaxHighlighting(ini.ReadBool(AppSettings::kEditor, QStringLiteral("Syntax Highlighting"), true));
    txtHTML->SetLineNumbers(ini.ReadBool(AppSettings::kEditor, QStringLiteral("Line Numbers"), true));
    txtHTML->SetAutoCloseTags(ini.ReadBool(AppSettings::kEditor, QStringLiteral("Auto Close Tags"), true));
    txtHTML->SetCloseOnGreater(ini.ReadBool(AppSettings::kEditor, QStringLiteral("Close Tag On Greater"), true));
    txtHTML->SetCompletionOn(ini.ReadBool(AppSettings::kEditor, QStringLiteral("Completion Lists"), true));
    txtHTML->SetTagCaseSource([&ini] { return ini.ReadString(AppSettings::kTags, QStringLiteral("Case"), QStringLiteral("W")); });
    txtHTML->SetAutoPairs(ini.ReadBool(AppSettings::kEditor, QStringLiteral("Auto Pairs"), true));
    txtHTML->SetWrapAtColumn(ini.ReadInteger(AppSettings::kEditor, QStringLiteral("Wrap Column"), 0));
    txtHTML->SetShowWhitespace(ini.ReadBool(AppSettings::kEditor, QStringLiteral("Show Whitespace"), false));
    txtHTML->SetIndentGuides(ini.ReadBool(AppSettings::kEditor, QStringLiteral("Indentation Guides"), true));
    txtHTML->SetWrapMarkers(ini.ReadBool(AppSettings::kEditor, QStringLiteral("Wrap Markers"), true));
    txtHTML->SetWrapIndent(ini.ReadBool(AppSettings::kEditor, QStringLiteral("Indent Wrapped Rows"), true));
    txtHTML->SetFolding(ini.ReadBool(AppSettings::kEditor, QStringLiteral("Code Folding"), true));
    // Only the name and size of the stored font apply; colours stay white and black.
    QFont f = txtHTML->FixedFont();
    if (!stored.name.isEmpty())
        f.setFamily(stored.name);
    if (stored.pointSize > 0)
        f.setPointSize(stored.pointSize);
    txtHTML->SetFixedFont(f);
}

void TfHTML::SetFocustoMe()
{
    m_main.SelectTabName(caption());
}

bool TfHTML::FormQueryClose()
{
    if (!txtHTML->Modified()) {
        m_main.RemovefromTabs(caption());
        return true;
    }
    const int answer = UiPrompter::instance().message(
        this, QStringLiteral("Save changes to : ") + caption(),
        UiPrompter::Yes | UiPrompter::No | UiPrompter::Cancel, UiPrompter::Question);
    if (answer == UiPrompter::Cancel)
        return false;
    if (answer == UiPrompter::No) {
        m_main.RemovefromTabs(caption());
        return true;
    }
    if (!isUntitled()) {
        if (!saveTo(caption()))
            return false;
        txtHTML->SetModified(false);
        m_main.RemovefromTabs(caption());
        return true;
    }
    const QString name = UiPrompter::instance().saveFileName(
        this, QStringLiteral("Save HTML Document As ..."), QString(), kSaveFilter, QStringLiteral("htm"));
    if (name.isEmpty() || !saveTo(name))
        return false;
    txtHTML->SetModified(false);
    m_main.RemovefromTabs(caption());
    return true;
}

QString TfHTML::foldsKey(const QString& fileName)
{
    // A file's folds are kept under a digest of its full name.
    const QByteArray path = QFileInfo(fileName).absoluteFilePath().toUtf8();
    return QString::fromLatin1(QCryptographicHash::hash(path, QCryptographicHash::Sha1).toHex().left(20));
}

void TfHTML::SetSplitView(int mode)
{
    if (mode == SplitOff) {
        delete m_second;
        m_second = nullptr;
        txtHTML->setFocus();
        return;
    }
    m_split->setOrientation(mode == SplitAbove ? Qt::Vertical : Qt::Horizontal);
    if (!m_second) {
        m_second = new TOvcTextFileEditor(*txtHTML, m_split);
        m_second->setObjectName(QStringLiteral("SecondView"));
        m_second->setContextMenuPolicy(Qt::DefaultContextMenu);
        m_split->addWidget(m_second);
    }
    const int total = mode == SplitAbove ? m_split->height() : m_split->width();
    m_split->setSizes({total / 2, total - total / 2});
    m_second->show();
}

int TfHTML::splitView() const
{
    if (!m_second)
        return SplitOff;
    return m_split->orientation() == Qt::Vertical ? SplitAbove : SplitSideBySide;
}

void TfHTML::FormClose()
{
    if (m_closed)
        return;
    m_closed = true;
    Prefs.PutInteger(QStringLiteral("Edit_Color"), static_cast<int>(colorRefFromColor(txtHTML->Color())));
    Prefs.PutFont(QStringLiteral("Edit_Font"), specFromFont(txtHTML->FixedFont(), txtHTML->FixedFontColor()));
    Prefs.SaveSection();
    if (!txtHTML->fileName().isEmpty()) {
        QStringList lines;
        for (int l : txtHTML->folds().foldedLines())
            lines << QString::number(l);
        const QString key = foldsKey(txtHTML->fileName());
        if (!lines.isEmpty() || !m_main.settings().ReadString(QStringLiteral("Folds"), key, QString()).isEmpty())
            m_main.settings().WriteString(QStringLiteral("Folds"), key, lines.join(QLatin1Char(',')));
    }
    m_main.RemovefromTabs(caption());
    if (FileGuard* guard = m_main.fileGuard())
        guard->closed(this);
}

bool TfHTML::saveTo(const QString& path)
{
    UiPrompter& ui = UiPrompter::instance();
    FileGuard* guard = m_main.fileGuard();
    // Two windows on one file: saving one would silently undo the other.
    if (TfHTML* other = guard ? guard->documentFor(path, this) : nullptr) {
        ui.message(this, SafeFile::shown(path) + QStringLiteral(" is open in another window (") + other->caption()
                             + QStringLiteral("). Close that window first, or save under another name."),
                   UiPrompter::Ok, UiPrompter::Warning);
        return false;
    }
    // Another program's version of this file is never overwritten unasked.
    const QString own = isUntitled() ? QString() : caption();
    if (!own.isEmpty() && PathUtil::samePath(own, path)) {
        FileStamp now;
        if (txtHTML->fileStamp().check(path, &now) == FileStamp::Changed) {
            const int answer = ui.message(
                this,
                SafeFile::shown(path) + QStringLiteral("\n\nThis file has been changed by another program since it "
                                                       "was opened or saved.\n\nYes: overwrite the other version "
                                                       "with yours.\nNo: reload it (your changes are lost).\n"
                                                       "Cancel: save nothing."),
                UiPrompter::Yes | UiPrompter::No | UiPrompter::Cancel, UiPrompter::Warning);
            if (answer == UiPrompter::No)
                reloadFromDisk();
            if (answer != UiPrompter::Yes)
                return false;
        }
    }
    // Never a lossy file.
    if (!txtHTML->CanEncodeText()) {
        // A page that names its encoding must name the new one, or it reads
        // back as garbage: its declaration changes with it, as one undo step.
        QString head;
        for (int line = 1; line <= txtHTML->LineCount() && head.size() < 1024; ++line)
            head += txtHTML->RawLineText(line) + QLatin1Char('\n');
        TextFileCodec::CharsetDeclaration declaration = TextFileCodec::findDeclaration(head);
        const QString declared = head.mid(declaration.start, declaration.length);
        if (declaration.length > 0 && (declared.compare(QLatin1String("utf-8"), Qt::CaseInsensitive) == 0
                                       || declared.compare(QLatin1String("utf8"), Qt::CaseInsensitive) == 0))
            declaration.length = 0;
        const int answer = ui.message(
            this,
            SafeFile::shown(path) + QStringLiteral("\n\nThe text holds characters that ")
                + TextFileCodec::encodingName(txtHTML->fileFormat())
                + (declaration.length > 0
                       ? QStringLiteral(" cannot store. Save the file as UTF-8 instead (every character converted, "
                                        "and the page's declaration of \"%1\" changed to \"UTF-8\")?")
                             .arg(declared)
                       : QStringLiteral(" cannot store. Save the file as UTF-8 instead (every character converted)?")),
            UiPrompter::Yes | UiPrompter::Cancel, UiPrompter::Question);
        if (answer != UiPrompter::Yes)
            return false;
        if (declaration.length > 0) {
            const QStringView before = QStringView(head).left(declaration.start);
            const int line = int(before.count(QLatin1Char('\n'))) + 1;
            const int column = int(declaration.start - (before.lastIndexOf(QLatin1Char('\n')) + 1)) + 1;
            int l1 = 1, c1 = 1, l2 = 1, c2 = 1;
            const bool hadSelection = txtHTML->SelectionRange(l1, c1, l2, c2);
            int caretLine = 1, caretColumn = 1;
            txtHTML->CaretPosition(caretLine, caretColumn);
            {
                EditGroup group(*txtHTML);
                txtHTML->SelectRange(line, column, line, column + int(declaration.length), true);
                txtHTML->InsertAtCaret(QStringLiteral("UTF-8"));
            }
            // The caret goes back where the user left it (shifted on the declaration's line).
            const int shift = int(5 - declaration.length);
            auto moved = [&](int l, int c) { return l == line && c > column ? std::max(column, c + shift) : c; };
            if (hadSelection)
                txtHTML->SelectRange(l1, moved(l1, c1), l2, moved(l2, c2), true);
            else
                txtHTML->MoveCaret(caretLine, moved(caretLine, caretColumn));
        }
        txtHTML->ConvertToUtf8();
    }
    try {
        txtHTML->SaveFile(path);
    } catch (const EFileError& e) {
        ui.message(this, e.message(), UiPrompter::Ok, UiPrompter::Critical);
        return false;
    }
    if (guard)
        guard->saved(this);
    const QString note = txtHTML->lastWrite().notice(path);
    if (!note.isEmpty()) {
        DocumentHost* main = &m_main;
        QTimer::singleShot(0, main->frameWindow(), [main, note] { main->SetStatusText(note); });
    }
    return true;
}

void TfHTML::reloadFromDisk()
{
    const QString path = isUntitled() ? txtHTML->fileName() : caption();
    int line = 1, column = 1;
    txtHTML->CaretPosition(line, column);
    try {
        txtHTML->LoadFile(path);
    } catch (const EFileError& e) {
        UiPrompter::instance().message(this, e.message(), UiPrompter::Ok, UiPrompter::Critical);
        return;
    }
    txtHTML->SetModified(false);
    txtHTML->MoveCaret(std::min(line, txtHTML->LineCount()), 1);
    if (FileGuard* guard = m_main.fileGuard())
        guard->loaded(this);
}

void TfHTML::closeEvent(QCloseEvent* e)
{
    bool mayClose = m_closeApproved;
    if (!mayClose) {
        // A failed save keeps the window open.
        AppInvoker::run([&] { mayClose = FormQueryClose(); });
    }
    if (!mayClose) {
        e->ignore();
        return;
    }
    AppInvoker::run([this] { FormClose(); });
    e->accept();
}

void TfHTML::showEvent(QShowEvent* e)
{
    QWidget::showEvent(e);
    if (!m_propertiesSet)
        AppInvoker::run([this] { SetProperties(); });
}

void TfHTML::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    FormResize();
}

void TfHTML::FormResize()
{
    if (!m_main.wordWrapChecked())
        return;
    const int charWidth = QFontMetrics(txtHTML->FixedFont()).horizontalAdvance(QLatin1Char('M'));
    if (charWidth <= 0)
        return;
    const int columns = txtHTML->viewport()->width() / charWidth;
    if (columns > 2)
        txtHTML->SetWrapColumn(columns - 2);
}

bool TfHTML::eventFilter(QObject* watched, QEvent* e)
{
    switch (e->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        // Drags from the program's own lists insert the last-tag pair; files
        // open as documents; text is the control's own to move or copy.
        auto* de = static_cast<QDragMoveEvent*>(e);
        if (ListDragSource::isOurDrag(de->mimeData())) {
            de->acceptProposedAction();
        } else if (hasLocalFiles(de->mimeData())) {
            de->setDropAction(Qt::CopyAction);
            de->accept();
        } else if (de->mimeData()->hasText() && !txtHTML->ReadOnly()) {
            break;
        } else {
            de->ignore();
        }
        return true;
    }
    case QEvent::Drop: {
        auto* de = static_cast<QDropEvent*>(e);
        if (ListDragSource::isOurDrag(de->mimeData())) {
            de->acceptProposedAction();
            m_main.showDocument(this);
            AppInvoker::run([this] { m_main.tagEngine().RepeatLastTag(); });
        } else if (hasLocalFiles(de->mimeData())) {
            de->setDropAction(Qt::CopyAction);
            de->accept();
            m_main.OpenDroppedFiles(de->mimeData());
        } else if (de->mimeData()->hasText() && !txtHTML->ReadOnly()) {
            break;
        } else {
            de->ignore();
        }
        return true;
    }
    case QEvent::ContextMenu:
        if (watched == txtHTML || watched == txtHTML->viewport()) {
            m_contextMenu->popup(static_cast<QContextMenuEvent*>(e)->globalPos());
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, e);
}

void TfHTML::doUndo()
{
    txtHTML->UndoStep();
    txtHTML->SetModified(true);
}

void TfHTML::ReDo1Click()
{
    txtHTML->RedoStep();
    txtHTML->SetModified(true);
}

void TfHTML::Cut1Click()
{
    txtHTML->CutSelection();
    txtHTML->SetModified(true);
}

void TfHTML::Copy1Click()
{
    txtHTML->CopySelection();
}

void TfHTML::Paste1Click()
{
    txtHTML->PasteClipboard();
    txtHTML->SetModified(true);
}

void TfHTML::Find1Click()
{
    // A new search: "In selection" keeps to the selection as it is now.
    txtHTML->ClearSearchScope();
    rememberFindOrigin();
    m_findDialog->show();
    m_findDialog->raise();
}

void TfHTML::Replace1Click()
{
    txtHTML->ClearSearchScope();
    m_replaceDialog->show();
    m_replaceDialog->raise();
}

void TfHTML::rememberFindOrigin()
{
    m_findOrigin = std::min(txtHTML->caretOffset(), txtHTML->anchorOffset());
    m_findOriginEnd = std::max(txtHTML->caretOffset(), txtHTML->anchorOffset());
}

bool TfHTML::findAndReport(const QString& text, int flags, bool quiet)
{
    bool wrapped = false;
    if (txtHTML->FindNext(text, flags, &wrapped)) {
        QString status = txtHTML->searchStatus();
        if (wrapped)
            status = ((flags & SearchFlags::Backward)
                          ? QStringLiteral("Reached the start of the page, continued from the end: ")
                          : QStringLiteral("Reached the end of the page, continued from the start: "))
                   + status;
        m_main.SetStatusText(status);
        return true;
    }
    const QString why = txtHTML->searchError();
    if (quiet)
        m_main.SetStatusText(why.isEmpty() ? QStringLiteral("Search string not found") : why);
    else
        UiPrompter::instance().message(this, why.isEmpty() ? QStringLiteral("Search string not found !") : why);
    return false;
}

void TfHTML::doFind()
{
    txtHTML->setFocus();
    m_findDialog->hide();
    m_main.lastSearchText() = m_findDialog->findText();
    m_lastFindFlags = m_findDialog->searchFlags();
    if (findAndReport(m_main.lastSearchText(), m_lastFindFlags, false)) {
        rememberFindOrigin();
        m_findAgain->setEnabled(true);
        m_main.showDocument(this);
        txtHTML->setFocus();
        m_findDialog->show();
    } else {
        m_findAgain->setEnabled(false);
    }
}

void TfHTML::incrementalFind()
{
    const QString text = m_findDialog->findText();
    const int flags = m_findDialog->searchFlags();
    // The scope (In selection) is taken before the caret moves.
    txtHTML->MarkSearchMatches(text, flags);
    const qsizetype origin = (flags & SearchFlags::Backward) ? m_findOriginEnd : m_findOrigin;
    txtHTML->setSelection(origin, origin);
    if (text.isEmpty()) {
        txtHTML->ClearSearchMarks();
        m_main.SetStatusText(AppSettings::kReady);
        return;
    }
    findAndReport(text, flags, true);
}

void TfHTML::FindAgain1Click()
{
    if (findAndReport(m_main.lastSearchText(), m_lastFindFlags, false)) {
        m_main.showDocument(this);
        txtHTML->setFocus();
    } else {
        m_findAgain->setEnabled(false);
    }
}

void TfHTML::HandleReplace(bool all)
{
    const QString find = m_replaceDialog->findText();
    const int options = m_replaceDialog->searchFlags();
    int n = 0;
    if (all) {
        n = txtHTML->ReplaceText(find, m_replaceDialog->replaceText(), options | SearchFlags::Global | SearchFlags::ReplaceAll);
    } else {
        // The match a search selected, else the next one after the caret,
        // else (past the last one) the first from the start.
        n = txtHTML->ReplaceText(find, m_replaceDialog->replaceText(), options | SearchFlags::ReplaceOne);
        if (n == 0 && txtHTML->searchError().isEmpty())
            n = txtHTML->ReplaceText(find, m_replaceDialog->replaceText(),
                                     options | SearchFlags::ReplaceOne | SearchFlags::Global);
    }
    if (!txtHTML->searchError().isEmpty()) {
        m_main.SetStatusText(txtHTML->searchError());
        return;
    }
    if (n < 1) {
        m_main.SetStatusText(AppSettings::kReady);
        return;
    }
    m_main.SetStatusText(QString::number(n) + QStringLiteral(" : occurences were replaced."));
    // The next match is selected: the next Replace acts on what is shown.
    if (!all)
        txtHTML->FindNext(find, options);
}

void TfHTML::replaceDialogFind()
{
    m_main.lastSearchText() = m_replaceDialog->findText();
    m_lastFindFlags = m_replaceDialog->searchFlags();
    if (findAndReport(m_main.lastSearchText(), m_lastFindFlags, false))
        m_findAgain->setEnabled(true);
}
