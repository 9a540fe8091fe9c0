// Timings of one very long line (minified pages).
//   velquist_bench longline [MB...] [idle]   typing at the end and the middle of a
//                                     1 MB and a 5 MB line, wrap on and off,
//                                     and the processor time of an idle window
#include "bench/Bench.h"

#include "editor/TOvcTextFileEditor.h"

#include <QApplication>
#include <QKeyEvent>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace {

// One line of minified markup, about mb megabytes, no line end.
QByteArray makeLine(int mb)
{
    const QByteArray piece = "<div class=\"c\"><a href=\"/x?a=1&amp;b=2\">link</a><span>text</span></div>"
                             "<script>var x=1;</script>";
    QByteArray line;
    line.reserve(mb * 1024 * 1024 + piece.size());
    while (line.size() < mb * 1024 * 1024)
        line += piece;
    return line;
}

// One key typed and everything it causes run to its end (layout, drawing,
// the tag pair found when idle); its wall and processor time in ms.
std::pair<double, double> typeKey(TOvcTextFileEditor* ed, const QString& text)
{
    Bench::Stopwatch t;
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, text);
    QApplication::sendEvent(ed, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, text);
    QApplication::sendEvent(ed, &release);
    Bench::settle();
    ed->viewport()->repaint();
    return {t.wallMs(), t.cpuMs()};
}

// Mean wall time per key; the median processor time and the slowest key
// (wall) go to *cpuMedian and *slowest.
double meanOfTyping(TOvcTextFileEditor* ed, int keys, double* cpuMedian = nullptr, double* slowest = nullptr)
{
    std::vector<double> times, cpu;
    const QString typed = QStringLiteral("<b>x</b>");
    for (int i = 0; i < keys; ++i) {
        const auto [wall, processor] = typeKey(ed, QString(typed.at(i % typed.size())));
        times.push_back(wall);
        cpu.push_back(processor);
    }
    std::sort(times.begin(), times.end());
    std::sort(cpu.begin(), cpu.end());
    if (cpuMedian)
        *cpuMedian = cpu[cpu.size() / 2];
    if (slowest)
        *slowest = times.back();
    double sum = 0;
    for (double v : times)
        sum += v;
    return sum / double(times.size());
}

// Runs the event loop, waiting for events, for ms milliseconds.
void idleFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

int longLineBench(const QStringList& args)
{
    // "idle": the idle figures only.
    const bool idleOnly = args.contains(QStringLiteral("idle"));
    QList<int> sizes;
    for (const QString& a : args)
        if (a.toInt() > 0)
            sizes << a.toInt();
    if (sizes.isEmpty())
        sizes = {1, 5};
    QTemporaryDir dir;
    TOvcTextFileEditor ed;
    ed.resize(1000, 700);
    ed.show();
    ed.activateWindow();
    ed.setFocus();
    Bench::settle();

    for (int mb : sizes) {
        const QString file = dir.filePath(QStringLiteral("line%1.htm").arg(mb));
        Bench::writeFile(file, makeLine(mb));
        Bench::Stopwatch t;
        ed.LoadFile(file);
        ed.repaint();
        Bench::settle();
        t.report(QStringLiteral("%1 MB line: open and first paint").arg(mb));
        // (a long page's states and pairs are worked out once on a worker after it opens)
        t.restart();
        idleFor(1000);
        Bench::report(QStringLiteral("  processor time of the first second after"), t.cpuMs(), QStringLiteral("ms"));
        const int length = ed.LineLength(1);
        for (bool wrap : {true, false}) {
            if (idleOnly)
                break;
            ed.SetWordWrap(wrap);
            Bench::settle();
            const QString w = wrap ? QStringLiteral("wrap on") : QStringLiteral("wrap off");
            const QString target = mb <= 1 ? QStringLiteral("target < 16") : QStringLiteral("target < 50");
            double cpu = 0, slowest = 0;
            ed.MoveCaret(1, ed.LineLength(1) + 1);
            Bench::settle();
            Bench::report(QStringLiteral("%1 MB, %2: key at the end").arg(mb).arg(w),
                          meanOfTyping(&ed, 16, &cpu, &slowest), QStringLiteral("ms"), target);
            Bench::report(QStringLiteral("  processor time per key (median)"), cpu, QStringLiteral("ms"),
                          QStringLiteral("target <= 2"));
            Bench::report(QStringLiteral("  slowest key"), slowest, QStringLiteral("ms"), QStringLiteral("target <= 16"));
            ed.MoveCaret(1, length / 2);
            Bench::settle();
            Bench::report(QStringLiteral("%1 MB, %2: key in the middle").arg(mb).arg(w),
                          meanOfTyping(&ed, 16, &cpu, &slowest), QStringLiteral("ms"), target);
            Bench::report(QStringLiteral("  processor time per key (median)"), cpu, QStringLiteral("ms"),
                          QStringLiteral("target <= 2"));
            Bench::report(QStringLiteral("  slowest key"), slowest, QStringLiteral("ms"), QStringLiteral("target <= 16"));
            // The share of the colours.
            ed.SetSyntaxHighlighting(false);
            ed.MoveCaret(1, ed.LineLength(1) + 1);
            Bench::settle();
            Bench::report(QStringLiteral("%1 MB, %2: key at the end, colours off").arg(mb).arg(w),
                          meanOfTyping(&ed, 16), QStringLiteral("ms"));
            ed.SetSyntaxHighlighting(true);
        }
        // Idle: the caret blinks (twice a second); nothing else should cost.
        ed.SetWordWrap(true);
        ed.MoveCaret(1, length / 2);
        Bench::settle();
        // (once typing pauses, the line's tag pairs are worked out once on a worker)
        t.restart();
        idleFor(2000);
        Bench::report(QStringLiteral("%1 MB: processor time of the pause after typing").arg(mb), t.cpuMs(),
                      QStringLiteral("ms"));
        t.restart();
        idleFor(3000);
        Bench::report(QStringLiteral("%1 MB, wrap on: idle processor time").arg(mb), t.cpuMs() / 3.0,
                      QStringLiteral("ms"), QStringLiteral("per second"));
        Bench::report(QStringLiteral("%1 MB: memory of the process").arg(mb), Bench::rssMb(), QStringLiteral("MB"));
        ed.ClearAll();
        ed.SetModified(false);
        Bench::settle();
    }
    // The same for a short line, as the yardstick of an idle window.
    ed.SetRawText(QStringLiteral("<p>short</p>"));
    Bench::settle();
    Bench::Stopwatch t;
    idleFor(3000);
    Bench::report(QStringLiteral("short line: idle processor time"), t.cpuMs() / 3.0, QStringLiteral("ms"),
                  QStringLiteral("per second"));
    return 0;
}

} // namespace

VQ_BENCHMARK("longline", "one 1 MB and 5 MB line: typing at the end and middle, wrap on and off, idle", longLineBench);
