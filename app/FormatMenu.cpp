#include "app/FormatMenu.h"

#include "app/AppInvoker.h"
#include "app/DocumentHost.h"
#include "app/TfHTML.h"
#include "app/UiPrompter.h"
#include "editor/TOvcTextFileEditor.h"
#include "editor/TextFileCodec.h"

#include <QEvent>
#include <QMenu>
#include <QMouseEvent>

void FormatMenu::show(DocumentHost& host, TfHTML* doc, const QPoint& globalPos)
{
    if (!doc)
        return;
    TOvcTextFileEditor* ed = doc->txtHTML;
    const TextFileFormat format = ed->fileFormat();
    QMenu menu(host.frameWindow());
    QMenu* reopen = menu.addMenu(QStringLiteral("&Reopen with Encoding"));
    reopen->setEnabled(!doc->isUntitled());
    const QString current = TextFileCodec::encodingName(format).remove(QStringLiteral(" BOM"));
    for (const QString& name : TextFileCodec::reopenEncodings()) {
        QAction* a = reopen->addAction(name);
        a->setCheckable(true);
        a->setChecked(name.compare(current, Qt::CaseInsensitive) == 0);
        QObject::connect(a, &QAction::triggered, &menu, [&host, doc, ed, name] { AppInvoker::run([&] {
            const QString file = doc->caption();
            if (ed->Modified()
                && UiPrompter::instance().message(host.frameWindow(),
                                                  QStringLiteral("Reading ") + file + QStringLiteral(" again as ") + name
                                                      + QStringLiteral(" discards your changes to it.\n\nGo on ?"),
                                                  UiPrompter::Yes | UiPrompter::No, UiPrompter::Question)
                    != UiPrompter::Yes)
                return;
            QString error;
            if (!ed->ReopenWithEncoding(name, &error)) {
                UiPrompter::instance().message(host.frameWindow(),
                                               QStringLiteral("Unable to read ") + file + QStringLiteral(" as ") + name
                                                   + QStringLiteral(": ") + error,
                                               UiPrompter::Ok, UiPrompter::Warning);
                return;
            }
            host.SetStatusText(QStringLiteral("Read ") + file + QStringLiteral(" as ") + name);
        }); });
    }
    QMenu* convert = menu.addMenu(QStringLiteral("&Convert Line Ends to"));
    convert->setEnabled(!ed->ReadOnly());
    for (TextFileFormat::LineEnd style : {TextFileFormat::CRLF, TextFileFormat::LF, TextFileFormat::CR}) {
        QAction* a = convert->addAction(TextFileCodec::lineEndName(style));
        a->setCheckable(true);
        a->setChecked(!format.mixedLineEnds && format.lineEnd == style);
        QObject::connect(a, &QAction::triggered, &menu, [ed, style] { AppInvoker::run([&] { ed->ConvertLineEnds(style); }); });
    }
    menu.exec(globalPos);
}

namespace {
class PanelClick : public QObject {
public:
    PanelClick(DocumentHost& host, QObject* parent) : QObject(parent), m_host(host) {}
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() != QEvent::MouseButtonRelease)
            return false;
        FormatMenu::show(m_host, m_host.activeDocument(), static_cast<QMouseEvent*>(e)->globalPosition().toPoint());
        return true;
    }

private:
    DocumentHost& m_host;
};
}

void FormatMenu::attach(DocumentHost& host, QWidget* panel)
{
    panel->installEventFilter(new PanelClick(host, panel));
    panel->setCursor(Qt::PointingHandCursor);
}
