// Timings of the file guard, as the user interface feels them.
//   velquist_bench files   recovery write of 10 MB, focus-in check of 20 files, decode and encode of 10 MB
#include "bench/Bench.h"

#include "app/FileGuard.h"
#include "app/TfHTML.h"
#include "app/TmdiMain.h"
#include "editor/TOvcTextFileEditor.h"
#include "editor/TextFileCodec.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

namespace {

int filesBench(const QStringList&)
{
    QTemporaryDir dir;
    const auto [home, config] = Bench::useFolders(dir.path());
    Bench::writeFile(config + QStringLiteral("/VELQUIST.INI"), "[System]\r\nOpen Template=0\r\n");

    const QByteArray big = Bench::makeHtml();
    Bench::Stopwatch t;
    DecodedText decoded = TextFileCodec::decode(big);
    t.report(QStringLiteral("decode 10 MB UTF-8"));
    t.restart();
    const QByteArray again = TextFileCodec::encode(decoded.text, decoded.format, decoded.lineEnds);
    t.report(QStringLiteral("encode 10 MB UTF-8"), again == big ? QString() : QStringLiteral("NOT THE SAME BYTES"));
    QByteArray mixed = big;
    mixed.replace(mixed.indexOf("\r\n", 1000), 2, "\n");
    t.restart();
    decoded = TextFileCodec::decode(mixed);
    const QByteArray mixedAgain = TextFileCodec::encode(decoded.text, decoded.format, decoded.lineEnds);
    t.report(QStringLiteral("decode and encode 10 MB with one odd line end"),
             mixedAgain == mixed ? QString() : QStringLiteral("NOT THE SAME BYTES"));
    decoded = DecodedText();

    TmdiMain main;
    main.resize(1024, 768);
    main.show();
    Bench::settle();
    const QString bigFile = dir.filePath(QStringLiteral("big.htm"));
    Bench::writeFile(bigFile, big);
    main.OpenDocumentFile(bigFile);
    Bench::settle();
    TfHTML* doc = main.activeDocument();
    doc->txtHTML->InsertAtCaret(QStringLiteral("x"));
    // The user interface's cost: the copy of the text is taken between two
    // events (the write itself runs in the worker). With a copy at most
    // every few seconds while typing goes on, this is the share of the
    // interface thread that recovery takes.
    constexpr int kWrites = 10;
    double worst = 0, total = 0;
    for (int i = 0; i < kWrites; ++i) {
        doc->txtHTML->InsertAtCaret(QStringLiteral("x"));
        t.restart();
        main.fileGuard()->writeRecovery(doc);
        const double stop = t.wallMs();
        worst = std::max(worst, stop);
        total += stop;
        main.fileGuard()->flushRecovery();
    }
    Bench::report(QStringLiteral("recovery copy of 10 MB, longest stop of the user interface"), worst,
                  QStringLiteral("ms"),
                  QStringLiteral("target < 50; %1 ms on average, %2 % of the interface thread at one copy in %3 s")
                      .arg(total / kWrites, 0, 'f', 1)
                      .arg(total / kWrites * 100.0 / FileGuard::kLongestWaitMs, 0, 'f', 2)
                      .arg(FileGuard::kLongestWaitMs / 1000));
    t.restart();
    main.fileGuard()->writeRecovery(doc);
    main.fileGuard()->flushRecovery();
    t.report(QStringLiteral("recovery write of 10 MB, until on disk"));

    for (int i = 0; i < 20; ++i) {
        const QString f = dir.filePath(QStringLiteral("page%1.htm").arg(i));
        Bench::writeFile(f, big.left(20000));
        main.OpenDocumentFile(f);
    }
    Bench::settle();
    constexpr int kChecks = 100;
    t.restart();
    for (int i = 0; i < kChecks; ++i)
        main.CheckExternalChanges();
    Bench::report(QStringLiteral("focus-in check of 21 open files (average)"), t.wallMs() * 1000 / kChecks,
                  QStringLiteral("us"), QStringLiteral("target < 5000"));

    for (TfHTML* d : main.documents())
        d->approveClose();
    return 0;
}

} // namespace

VQ_BENCHMARK("files", "file guard: recovery write of 10 MB, focus-in check of 20 files, decode and encode", filesBench);
