// Timings of the tools, as a user meets them.
//   velquist_bench tools        HTML to text on 1 MB with 30 000 tags, in lines and
//                               on one line; search and replace in 1 000 files of 50 KB
#include "bench/Bench.h"

#include "app/TfHTML.h"
#include "app/TmdiMain.h"
#include "tools/ToolsModule.h"
#include "editor/TOvcTextFileEditor.h"
#include "tools/TfrmFileTools.h"
#include "app/UiPrompter.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// About 1 MB of HTML holding 30 000 tags over 10 000 lines, or on one line.
QByteArray tagPage(bool oneLine)
{
    QByteArray html;
    html.reserve(1100 * 1000);
    for (int i = 0; i < 10000; ++i) {
        html += "<p class=\"row\">Line ";
        html += QByteArray::number(i);
        html += " holds <b>bold words</b> and plain text &amp; an entity, up to one hundred bytes or so.";
        html += oneLine ? " " : "\r\n";
    }
    return html;
}

int toolsBench(const QStringList&)
{
    QTemporaryDir dir;
    const auto [home, config] = Bench::useFolders(dir.path());
    Bench::writeFile(config + QStringLiteral("/VELQUIST.INI"), "[System]\nOpen Template=0\n[Start Options]\nTips=0\n");

    TmdiMain main;
    main.resize(1024, 768);
    main.show();
    Bench::settle();
    for (const bool oneLine : {false, true}) {
        const QByteArray page = tagPage(oneLine);
        const QString pageFile = dir.filePath(oneLine ? QStringLiteral("line.htm") : QStringLiteral("tags.htm"));
        Bench::writeFile(pageFile, page);
        main.OpenDocumentFile(pageFile);
        Bench::settle();
        TOvcTextFileEditor* ed = main.activeDocument()->txtHTML;
        std::printf("  page: %.2f MB, %lld tags, %lld lines\n", double(page.size()) / (1024 * 1024),
                    page.count('<') + 0LL, ed->LineCount() + 0LL);
        Bench::Stopwatch t;
        main.run(QStringLiteral("ExportasText1Click"));
        t.report(oneLine ? QStringLiteral("HTML to text, the same on one line")
                         : QStringLiteral("HTML to text, 1 MB with 30 000 tags"),
                 QStringLiteral("target < 1000"));
        Bench::settle();
        if (ed->RawText().contains(QLatin1Char('<')) || QGuiApplication::clipboard()->text() != QLatin1String("</b>"))
            std::printf("  FAILED: tags left or wrong clipboard\n");
        for (TfHTML* doc : main.documents())
            doc->approveClose();
        main.CloseAll1Click();
        Bench::settle();
    }

    // 1 000 files of 50 KB, each holding the search text a few times.
    QByteArray file;
    while (file.size() < 50 * 1024)
        file += "<p>Some ordinary paragraph text of a page, with <a href=\"x.htm\">a link</a> in it.</p>\r\n";
    file += "<p>The needle is here.</p>\r\n";
    const QString folder = dir.filePath(QStringLiteral("files"));
    QDir().mkpath(folder);
    TfrmFileTools* tools = main.module<ToolsModule>().fileTools();
    for (int i = 0; i < 1000; ++i) {
        const QString name = folder + QStringLiteral("/page%1.htm").arg(i);
        Bench::writeFile(name, file);
        tools->addFile(name);
    }
    Bench::Stopwatch t;
    tools->SearchInFiles({QStringLiteral("needle"), false, false});
    t.report(QStringLiteral("search in 1 000 files of 50 KB"), QStringLiteral("target < 1000"));
    t.restart();
    tools->SearchInFiles({QStringLiteral("needle"), true, true});
    t.report(QStringLiteral("the same, match case and whole words"));
    struct AlwaysYes : UiPrompter {
        int message(QWidget*, const QString&, int, Icon, const QString&) override { return UiPrompter::Yes; }
        QStringList openFileNames(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
        QString openFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
        QString saveFileName(QWidget*, const QString&, const QString&, const QString&, const QString&) override { return {}; }
        bool inputText(QWidget*, const QString&, const QString&, QString&) override { return false; }
        bool chooseColor(QWidget*, QColor&) override { return false; }
        bool chooseFont(QWidget*, QFont&, bool) override { return false; }
        void beep() override {}
    } yes;
    UiPrompter::setInstance(&yes);
    t.restart();
    tools->ReplaceInFiles({QStringLiteral("needle"), false, false}, QStringLiteral("pin"));
    t.report(QStringLiteral("replace in 1 000 files of 50 KB, with backups"));
    UiPrompter::setInstance(nullptr);
    return 0;
}

} // namespace

VQ_BENCHMARK("tools", "HTML to text on 1 MB; search and replace in 1 000 files", toolsBench);
