// Timings of the web preview as a user meets them.
//   velquist_bench preview      first preview (engine start), preview of 1 MB, one live update of it
#include "bench/Bench.h"

#include "app/TfHTML.h"
#include "app/TmdiMain.h"
#include "render/RenderModule.h"
#include "editor/TOvcTextFileEditor.h"
#include "render/THTMLViewer.h"
#include "render/TfPreview.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QCoreApplication>
#include <QThread>

#include <cstdio>

namespace {

bool waitFor(const std::function<bool()>& done)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > 60000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

int previewBench(const QStringList&)
{
    QTemporaryDir dir;
    const QString home = dir.filePath(QStringLiteral("home"));
    QDir().mkpath(home);
    QDir().mkpath(dir.filePath(QStringLiteral("config")));
    qputenv("VELQUIST_HOME", home.toLocal8Bit());
    qputenv("VELQUIST_CONFIG_DIR", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    Bench::writeFile(home + QStringLiteral("/standard.tpl"), "<html></html>\r\n");
    Bench::writeFile(dir.filePath(QStringLiteral("small.htm")), "<html><head><title>Small</title></head></html>\r\n");
    QByteArray big = Bench::makeHtml();
    big.truncate(1024 * 1024);
    big.replace("<TITLE>Benchmark page</TITLE>", "<TITLE>Big</TITLE>");
    Bench::writeFile(dir.filePath(QStringLiteral("big.htm")), big);

    TmdiMain main;
    main.show();
    Bench::settle();
    TfPreview& p = *main.module<RenderModule>().preview();
    auto loaded = [&p](const QString& title) {
        return [&p, title] { return !p.viewer()->IsLoading() && p.viewer()->DocumentTitle() == title; };
    };

    main.OpenDocumentFile(dir.filePath(QStringLiteral("small.htm")));
    Bench::settle();
    Bench::Stopwatch first;
    main.run(QStringLiteral("PrintPreview1Click"));
    if (!waitFor(loaded(QStringLiteral("Small")))) {
        std::fprintf(stderr, "no preview: %s / %s\n", qPrintable(p.windowTitle()), qPrintable(main.statusText()));
        return 1;
    }
    first.report(QStringLiteral("preview: first preview, engine start included"));

    main.OpenDocumentFile(dir.filePath(QStringLiteral("big.htm")));
    Bench::settle();
    Bench::Stopwatch large;
    main.run(QStringLiteral("PrintPreview1Click"));
    if (!waitFor(loaded(QStringLiteral("Big")))) {
        std::fprintf(stderr, "no 1 MB preview: %s / %s\n", qPrintable(p.windowTitle()), qPrintable(main.statusText()));
        return 1;
    }
    large.report(QStringLiteral("preview: 1 MB page, written and rendered"));

    TfHTML* doc = main.activeDocument();
    doc->txtHTML->MoveCaret(2, 17);
    Bench::Stopwatch live;
    doc->txtHTML->InsertAtCaret(QStringLiteral("ger"));
    if (!waitFor(loaded(QStringLiteral("Bigger")))) {
        std::fprintf(stderr, "no live update: %s\n", qPrintable(p.windowTitle()));
        return 1;
    }
    live.report(QStringLiteral("preview: live update of 1 MB after typing"),
                QStringLiteral("includes the %1 ms pause").arg(TfPreview::LiveUpdateDelay));
    return 0;
}

} // namespace

VQ_BENCHMARK("preview", "web preview: first preview, 1 MB page, live update", previewBench);
