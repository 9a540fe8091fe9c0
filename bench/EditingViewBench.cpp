// Timings of the editing view on a 10 MB page.
//   velquist_bench editing      open with colours on and off, where the open's time goes,
//                               typing at the end and a comment opened at the top
#include "bench/Bench.h"

#include "app/AppSettings.h"
#include "app/TfHTML.h"
#include "app/TmdiMain.h"
#include "editor/HtmlHighlighter.h"
#include "editor/TOvcTextFileEditor.h"
#include "editor/TextBuffer.h"
#include "editor/TextFileCodec.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <algorithm>
#include <vector>

namespace {

void closeAll(TmdiMain& main)
{
    for (TfHTML* doc : main.documents())
        doc->approveClose();
    main.CloseAll1Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Bench::settle();
}

double openOnce(TmdiMain& main, const QString& file, bool colours)
{
    main.IniControl.WriteBool(AppSettings::kEditor, QStringLiteral("Syntax Highlighting"), colours);
    Bench::Stopwatch t;
    main.OpenDocumentFile(file);
    main.activeDocument()->repaint();
    Bench::settle();
    const double ms = t.wallMs();
    closeAll(main);
    return ms;
}

// One key typed into the editor and the editor drawn again; its time in ms.
double typeKey(TOvcTextFileEditor* ed, Qt::Key key, const QString& text)
{
    Bench::Stopwatch t;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(ed, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(ed, &release);
    ed->viewport()->repaint();
    return t.wallMs();
}

int editingBench(const QStringList&)
{
    QTemporaryDir dir;
    const auto [home, config] = Bench::useFolders(dir.path());
    Bench::writeFile(config + QStringLiteral("/VELQUIST.INI"), "[System]\r\nOpen Template=0\r\n");
    const QByteArray big = Bench::makeHtml();
    const QString bigFile = dir.filePath(QStringLiteral("big.htm"));
    Bench::writeFile(bigFile, big);

    TmdiMain main;
    main.resize(1024, 768);
    main.show();
    Bench::settle();

    // Alternating rounds, best of three each, so that neither side gains
    // from a warm cache.
    double on = 1e9, off = 1e9;
    for (int round = 0; round < 3; ++round) {
        off = std::min(off, openOnce(main, bigFile, false));
        on = std::min(on, openOnce(main, bigFile, true));
    }
    Bench::report(QStringLiteral("open 10 MB, colours off (best of 3)"), off, QStringLiteral("ms"));
    Bench::report(QStringLiteral("open 10 MB, colours on (best of 3)"), on, QStringLiteral("ms"));
    Bench::report(QStringLiteral("overhead of colours"), (on - off) * 100.0 / off, QStringLiteral("%"),
                  QStringLiteral("target < 5"));

    // Where the time of one open goes (colours and line numbers on).
    main.IniControl.WriteBool(AppSettings::kEditor, QStringLiteral("Syntax Highlighting"), true);
    Bench::Stopwatch t;
    QByteArray bytes;
    {
        QFile f(bigFile);
        f.open(QIODevice::ReadOnly);
        bytes = f.readAll();
    }
    t.report(QStringLiteral("  read the file"));
    t.restart();
    DecodedText decoded = TextFileCodec::decode(bytes);
    t.report(QStringLiteral("  decode it"));
    t.restart();
    {
        TextBuffer buffer;
        buffer.Load(decoded);
    }
    t.report(QStringLiteral("  load it into a bare text buffer"));
    decoded.text.clear();
    bytes.clear();

    t.restart();
    TfHTML* doc = main.createDocument(QStringLiteral("x"));
    t.report(QStringLiteral("  create the document window"));
    TOvcTextFileEditor* ed = doc->txtHTML;
    t.restart();
    ed->LoadFile(bigFile);
    t.report(QStringLiteral("  LoadFile (read, decode, scan, build)"));
    t.restart();
    main.showDocument(doc);
    t.report(QStringLiteral("  show the window"));
    t.restart();
    ed->repaint();
    t.report(QStringLiteral("  first paint"));
    t.restart();
    Bench::settle();
    t.report(QStringLiteral("  until idle"));
    Bench::report(QStringLiteral("blocks coloured after the open"), ed->highlighter()->colouredBlocks(),
                  QStringLiteral(""), QStringLiteral("of %1").arg(ed->LineCount()));
    Bench::report(QStringLiteral("peak memory"), Bench::peakRssMb(), QStringLiteral("MB"));

    // Typing at the end.
    t.restart();
    ed->MoveCaret(ed->LineCount(), ed->LineLength(ed->LineCount()) + 1);
    ed->repaint();
    t.report(QStringLiteral("jump to the end (states of every line)"));
    std::vector<double> times;
    const QString typed = QStringLiteral("<p class=\"x\">typed &amp; text</p>");
    for (int round = 0; round < 6; ++round) {
        for (QChar ch : typed)
            times.push_back(typeKey(ed, Qt::Key_A, QString(ch)));
        times.push_back(typeKey(ed, Qt::Key_Return, QStringLiteral("\r")));
    }
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double v : times)
        sum += v;
    Bench::report(QStringLiteral("key typed at the end, mean"), sum / double(times.size()), QStringLiteral("ms"),
                  QStringLiteral("target < 5"));
    Bench::report(QStringLiteral("key typed at the end, 95th percentile"), times[times.size() * 95 / 100],
                  QStringLiteral("ms"));
    Bench::report(QStringLiteral("key typed at the end, slowest"), times.back(), QStringLiteral("ms"));

    // A comment opened at the top changes the state of every line below.
    ed->MoveCaret(1, 1);
    ed->repaint();
    t.restart();
    for (QChar ch : QStringLiteral("<!--"))
        typeKey(ed, Qt::Key_A, QString(ch));
    t.report(QStringLiteral("\"<!--\" typed at the top (4 keys)"));
    Bench::report(QStringLiteral("states known afterwards"), ed->highlighter()->knownStates(), QStringLiteral(""),
                  QStringLiteral("of %1").arg(ed->LineCount()));

    closeAll(main);
    return 0;
}

} // namespace

VQ_BENCHMARK("editing", "editing view: open 10 MB with colours on and off, typing at the end", editingBench);

namespace {

// A 100 MB page (ten times the 10 MB one) in a bare editor: opening it, going
// to its end, a search from the start and keys typed at the end.
int bigPageBench(const QStringList& args)
{
    const int times = args.isEmpty() ? 10 : std::max(1, args.first().toInt());
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("huge.htm"));
    {
        const QByteArray page = Bench::makeHtml();
        QByteArray all;
        all.reserve(page.size() * times);
        for (int i = 0; i < times; ++i)
            all += page;
        Bench::writeFile(file, all);
    }
    TOvcTextFileEditor ed;
    ed.resize(1000, 700);
    ed.show();
    ed.setFocus();
    Bench::settle();
    // Events go on for a while (what workers send back is taken in).
    const auto idle = [](int ms) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    };
    Bench::StallMeter stall;
    const QString pause = QStringLiteral("target: no pause over 100");
    for (bool wrap : {true, false}) {
        ed.SetWordWrap(wrap);
        const QString w = wrap ? QStringLiteral("wrap on") : QStringLiteral("wrap off");
        Bench::Stopwatch t;
        stall.start();
        ed.LoadFile(file);
        ed.repaint();
        Bench::settle();
        t.report(QStringLiteral("%1 MB, %2: open and first paint").arg(times * 10).arg(w));
        Bench::report(QStringLiteral("  longest pause of the events"), stall.stop(), QStringLiteral("ms"), pause);
        t.restart();
        stall.start();
        ed.MoveCaret(ed.LineCount(), 1);
        ed.repaint();
        t.report(QStringLiteral("  go to the end"));
        // Keys typed at a typist's pace right after the jump, while the
        // states and pairs of the page are still being worked out.
        std::vector<double> keys;
        for (QChar ch : QStringLiteral("<p>typed</")) {
            keys.push_back(typeKey(&ed, Qt::Key_A, QString(ch)));
            idle(40);
        }
        idle(2000);
        keys.push_back(typeKey(&ed, Qt::Key_Return, QStringLiteral("\r")));
        idle(100);
        Bench::report(QStringLiteral("  longest pause, jump and typing"), stall.stop(), QStringLiteral("ms"), pause);
        std::sort(keys.begin(), keys.end());
        Bench::report(QStringLiteral("  key typed at the end, median"), keys[keys.size() / 2], QStringLiteral("ms"));
        Bench::report(QStringLiteral("  key typed at the end, slowest"), keys.back(), QStringLiteral("ms"));
        const QString typed = ed.RawLineText(ed.LineCount() - 1);
        Bench::report(QStringLiteral("  \"</\" completed (\"%1\")").arg(typed), typed == QLatin1String("<p>typed</p>"),
                      QString());
        t.restart();
        stall.start();
        ed.MoveCaret(1, 1);
        const bool found = ed.SearchText(QStringLiteral("no such text anywhere"), 1);
        t.report(QStringLiteral("  search through it all (%1)").arg(found ? QStringLiteral("found") : QStringLiteral("none")));
        Bench::report(QStringLiteral("  longest pause of the search"), stall.stop(), QStringLiteral("ms"), pause);
        Bench::report(QStringLiteral("  memory of the process"), Bench::rssMb(), QStringLiteral("MB"));
    }
    return 0;
}

} // namespace

VQ_BENCHMARK("bigpage", "a 100 MB page: open, go to the end, search, type (argument: size in tens of MB)", bigPageBench);
