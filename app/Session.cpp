#include "app/Session.h"

#include "app/AppSettings.h"
#include "app/DocumentHost.h"
#include "app/TMegaRegistry.h"
#include "app/TfHTML.h"
#include "editor/TOvcTextFileEditor.h"

#include <QFileInfo>
#include <algorithm>

namespace {
const QString kSession = QStringLiteral("Session");
}

bool Session::enabled(const TMegaRegistry& ini)
{
    return ini.ReadBool(AppSettings::kSystem, QStringLiteral("Restore Session"), true);
}

void Session::store(DocumentHost& host, TMegaRegistry& ini)
{
    ini.EraseSection(kSession);
    TfHTML* active = host.activeDocument();
    // The oldest window first, so they open again in the same order.
    QList<TfHTML*> docs = host.documents();
    std::reverse(docs.begin(), docs.end());
    int n = 0;
    for (TfHTML* doc : docs) {
        if (doc->isUntitled())
            continue;
        ++n;
        int line = 1, column = 1;
        doc->txtHTML->CaretPosition(line, column);
        ini.WriteString(kSession, QStringLiteral("File%1").arg(n), doc->caption());
        ini.WriteString(kSession, QStringLiteral("Caret%1").arg(n), QStringLiteral("%1,%2").arg(line).arg(column));
        if (doc == active)
            ini.WriteInteger(kSession, QStringLiteral("Active"), n);
    }
    ini.WriteInteger(kSession, QStringLiteral("Count"), n);
}

int Session::restore(DocumentHost& host, const TMegaRegistry& ini)
{
    const int count = ini.ReadInteger(kSession, QStringLiteral("Count"), 0);
    const int activeIndex = ini.ReadInteger(kSession, QStringLiteral("Active"), 0);
    QStringList gone;
    TfHTML* active = nullptr;
    int opened = 0;
    for (int i = 1; i <= count && i <= 1000; ++i) {
        const QString file = ini.ReadString(kSession, QStringLiteral("File%1").arg(i), QString());
        if (file.isEmpty())
            continue;
        if (!QFileInfo(file).isFile()) {
            gone << file;
            continue;
        }
        const QList<TfHTML*> before = host.documents();
        host.OpenDocumentFile(file);
        TfHTML* doc = host.activeDocument();
        if (!doc || before.contains(doc))
            continue;
        ++opened;
        const QStringList caret = ini.ReadString(kSession, QStringLiteral("Caret%1").arg(i), QString()).split(QLatin1Char(','));
        const int line = caret.value(0).toInt(), column = caret.value(1).toInt();
        TOvcTextFileEditor* ed = doc->txtHTML;
        if (line >= 1 && column >= 1) {
            const int l = qMin(line, ed->LineCount());
            ed->MoveCaret(l, qMin(column, ed->LineLength(l) + 1));
        }
        if (i == activeIndex)
            active = doc;
    }
    if (active)
        host.showDocument(active);
    if (!gone.isEmpty())
        host.SetStatusText((gone.size() == 1 ? QStringLiteral("A file of the last session is gone: ")
                                             : QStringLiteral("Files of the last session are gone: "))
                           + gone.join(QStringLiteral(", ")));
    return opened;
}
