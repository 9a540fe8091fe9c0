// The main frame's editing-view commands: the View toggles of colours, line
// numbers and closing tags, the two Go to commands, and files dropped on the
// frame or a document.
#include "app/TmdiMain.h"

#include "app/AppInvoker.h"
#include "app/AppSettings.h"
#include "app/TfHTML.h"
#include "app/UiPrompter.h"
#include "editor/GotoLine.h"
#include "editor/TOvcTextFileEditor.h"
#include "editor/TagMatcher.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QMdiArea>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

using namespace AppSettings;

namespace {

using Setter = void (TOvcTextFileEditor::*)(bool);

struct ViewToggle {
    const char* handler;
    const char* key;
    Setter set;
};
const ViewToggle kToggles[] = {
    {"SyntaxHighlighting1Click", "Syntax Highlighting", &TOvcTextFileEditor::SetSyntaxHighlighting},
    {"LineNumbers1Click", "Line Numbers", &TOvcTextFileEditor::SetLineNumbers},
    {"AutoCloseTags1Click", "Auto Close Tags", &TOvcTextFileEditor::SetAutoCloseTags},
    {"CloseTagOnGreater1Click", "Close Tag On Greater", &TOvcTextFileEditor::SetCloseOnGreater},
    {"CompletionLists1Click", "Completion Lists", &TOvcTextFileEditor::SetCompletionOn},
};

// Turns one of the view settings over: its check mark, the stored value and
// every open document.
void toggle(TmdiMain& main, const ViewToggle& t)
{
    QAction* a = main.action(QString::fromLatin1(t.handler));
    const bool on = !(a && a->isChecked());
    if (a)
        a->setChecked(on);
    main.IniControl.WriteBool(kEditor, QString::fromLatin1(t.key), on);
    for (TfHTML* doc : main.documents())
        (doc->txtHTML->*t.set)(on);
}

QStringList localFiles(const QMimeData* data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            files << url.toLocalFile();
    }
    return files;
}

// Files dragged from a file manager onto the frame's empty area.
class FrameDrops : public QObject {
public:
    explicit FrameDrops(TmdiMain& main) : QObject(&main), m_main(main) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::DragEnter || e->type() == QEvent::DragMove) {
            auto* de = static_cast<QDragMoveEvent*>(e);
            if (localFiles(de->mimeData()).isEmpty())
                return QObject::eventFilter(watched, e);
            de->setDropAction(Qt::CopyAction);
            de->accept();
            return true;
        }
        if (e->type() == QEvent::Drop) {
            auto* de = static_cast<QDropEvent*>(e);
            if (localFiles(de->mimeData()).isEmpty())
                return QObject::eventFilter(watched, e);
            de->setDropAction(Qt::CopyAction);
            de->accept();
            m_main.OpenDroppedFiles(de->mimeData());
            return true;
        }
        return QObject::eventFilter(watched, e);
    }

private:
    TmdiMain& m_main;
};

} // namespace

void TmdiMain::setupEditingView()
{
    for (const ViewToggle& t : kToggles) {
        if (QAction* a = action(QString::fromLatin1(t.handler)))
            a->setChecked(IniControl.ReadBool(kEditor, QString::fromLatin1(t.key), true));
    }
    auto* drops = new FrameDrops(*this);
    setAcceptDrops(true);
    installEventFilter(drops);
    m_mdi->viewport()->setAcceptDrops(true);
    m_mdi->viewport()->installEventFilter(drops);
}

void TmdiMain::SyntaxHighlighting1Click() { toggle(*this, kToggles[0]); }
void TmdiMain::LineNumbers1Click() { toggle(*this, kToggles[1]); }
void TmdiMain::AutoCloseTags1Click() { toggle(*this, kToggles[2]); }
void TmdiMain::CloseTagOnGreater1Click() { toggle(*this, kToggles[3]); }
void TmdiMain::CompletionLists1Click() { toggle(*this, kToggles[4]); }

void TmdiMain::ToggleComment1Click()
{
    if (TfHTML* d = activeDocument())
        d->txtHTML->ToggleComment();
}

void TmdiMain::ExpandAbbreviation1Click()
{
    if (TfHTML* d = activeDocument(); d && !d->txtHTML->ExpandAbbreviation())
        UiPrompter::instance().beep();
}

void TmdiMain::GotoMatchingTag1Click()
{
    if (EditorContract* ed = activeEditor(); ed && !TagMatcher::gotoPartner(*ed))
        UiPrompter::instance().beep();
}

void TmdiMain::GotoLine1Click()
{
    if (EditorContract* ed = activeEditor())
        GotoLine::run(this, *ed);
}

bool TmdiMain::OpenDroppedFiles(const QMimeData* data)
{
    const QStringList files = localFiles(data);
    if (files.isEmpty())
        return false;
    // Opened once the drop is over, so that the program the files came from
    // is not kept waiting by a message about one of them.
    QTimer::singleShot(0, this, [this, files] {
        for (const QString& f : files) {
            SetStatusText(QStringLiteral("Opening File : ") + f + QStringLiteral(" ..."));
            // One file that fails to open leaves the others to open.
            AppInvoker::run([this, &f] { OpenDocumentFile(f); });
        }
        SetStatusText(kReady);
    });
    return true;
}
