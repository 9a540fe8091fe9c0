// Timings of the whole main frame, as a user meets them.
//   velquist_bench frame        start-up, open 1 MB and 10 MB, insert, Replace All, save
#include "bench/Bench.h"

#include "app/TfHTML.h"
#include "app/TmdiMain.h"
#include "editor/TOvcTextFileEditor.h"
#include "tags/TagEngine.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdio>

namespace {

int frameBench(const QStringList&)
{
    QTemporaryDir dir;
    const auto [home, config] = Bench::useFolders(dir.path());
    Bench::writeFile(home + QStringLiteral("/standard.tpl"),
                     "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n<title>Title</title>\r\n</head>\r\n<body>\r\n"
                     "</body>\r\n</html>\r\n");

    const QByteArray big = Bench::makeHtml();
    const QString bigFile = dir.filePath(QStringLiteral("big.htm"));
    const QString smallFile = dir.filePath(QStringLiteral("small.htm"));
    Bench::writeFile(bigFile, big);
    Bench::writeFile(smallFile, big.left(big.indexOf("\r\n", 1024 * 1024) + 2));

    Bench::Stopwatch t;
    TmdiMain main;
    main.resize(1024, 768);
    main.show();
    Bench::settle();
    t.report(QStringLiteral("start-up until the frame is shown and idle"), QStringLiteral("target < 400"));

    t.restart();
    main.OpenDocumentFile(smallFile);
    Bench::settle();
    t.report(QStringLiteral("open 1 MB until painted and idle"));

    t.restart();
    main.OpenDocumentFile(bigFile);
    main.activeDocument()->repaint();
    Bench::settle();
    t.report(QStringLiteral("open 10 MB until painted and idle"), QStringLiteral("target < 700"));
    Bench::report(QStringLiteral("peak memory"), Bench::peakRssMb(), QStringLiteral("MB"),
                  QStringLiteral("target < 170"));

    TOvcTextFileEditor* ed = main.activeDocument()->txtHTML;
    ed->MoveCaret(ed->LineCount(), ed->LineLength(ed->LineCount()) + 1);
    constexpr int kInserts = 50;
    t.restart();
    for (int i = 0; i < kInserts; ++i)
        main.run(QStringLiteral("Bold1Click"));
    Bench::report(QStringLiteral("tag pair inserted at the end (average)"), t.wallMs() / kInserts,
                  QStringLiteral("ms"), QStringLiteral("target < 5"));
    Bench::settle();

    t.restart();
    const int n = ed->ReplaceText(QStringLiteral("<font color=\"red\">"), QStringLiteral("<span class=\"red\">"),
                                  8 | 32);
    t.report(QStringLiteral("Replace All (%1 matches)").arg(n), QStringLiteral("target < 300"));
    t.restart();
    ed->UndoStep();
    t.report(QStringLiteral("undo of Replace All"));

    t.restart();
    main.FileSave();
    t.report(QStringLiteral("save 10 MB (with backup)"));
    Bench::report(QStringLiteral("peak memory at the end"), Bench::peakRssMb(), QStringLiteral("MB"));

    for (TfHTML* doc : main.documents())
        doc->approveClose();
    return 0;
}

} // namespace

VQ_BENCHMARK("frame", "main frame: start-up, open 1 MB and 10 MB, tag insert, Replace All, save", frameBench);
