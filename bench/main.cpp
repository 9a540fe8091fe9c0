// velquist_bench: runs the benchmarks registered with VQ_BENCHMARK.
//   velquist_bench                 lists them
//   velquist_bench NAME [args...]  runs one
//   velquist_bench all             runs every one
#include "bench/Bench.h"

#include "tools/TfTipOfTheDay.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QFile>

#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

#include <cstdio>
#include <ctime>

namespace Bench {

static double statusMb(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

double rssMb()
{
    return statusMb("VmRSS:");
}

double peakRssMb()
{
    return statusMb("VmHWM:");
}

void settle()
{
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    int quiet = 0;
    for (int i = 0; i < 100 && quiet < 2; ++i) {
        QCoreApplication::sendPostedEvents();
        quiet = dispatcher->processEvents(QEventLoop::AllEvents) ? 0 : quiet + 1;
    }
}

void report(const QString& name, double value, const QString& unit, const QString& note)
{
    std::printf("  %-44s %10.1f %-3s %s\n", qPrintable(name), value, qPrintable(unit), qPrintable(note));
    std::fflush(stdout);
}

static QElapsedTimer& clock()
{
    static QElapsedTimer timer;
    if (!timer.isValid())
        timer.start();
    return timer;
}

static double processCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

void Stopwatch::restart()
{
    m_wallStartNs = clock().nsecsElapsed();
    m_cpuStartMs = processCpuMs();
}

double Stopwatch::wallMs() const
{
    return double(clock().nsecsElapsed() - m_wallStartNs) / 1e6;
}

double Stopwatch::cpuMs() const
{
    return processCpuMs() - m_cpuStartMs;
}

void Stopwatch::report(const QString& name, const QString& note) const
{
    const QString cpu = QStringLiteral("(cpu %1 ms)").arg(cpuMs(), 0, 'f', 1);
    Bench::report(name, wallMs(), QStringLiteral("ms"), note.isEmpty() ? cpu : cpu + QStringLiteral("  ") + note);
}

struct StallMeter::Data {
    QTimer timer;
    QElapsedTimer clock;
    qint64 last = 0;
    qint64 worst = 0;
    void tick()
    {
        const qint64 now = clock.nsecsElapsed();
        worst = std::max(worst, now - last);
        last = now;
    }
};

StallMeter::StallMeter() : m_d(new Data)
{
    m_d->timer.setTimerType(Qt::PreciseTimer);
    m_d->timer.setInterval(1);
    QObject::connect(&m_d->timer, &QTimer::timeout, [d = m_d] { d->tick(); });
    m_d->clock.start();
}

StallMeter::~StallMeter()
{
    delete m_d;
}

void StallMeter::start()
{
    m_d->worst = 0;
    m_d->last = m_d->clock.nsecsElapsed();
    m_d->timer.start();
}

double StallMeter::stop()
{
    m_d->tick();
    m_d->timer.stop();
    return double(m_d->worst) / 1e6;
}

} // namespace Bench

static void usage()
{
    std::printf("usage: velquist_bench NAME [args...] | all\n");
    for (const auto& [name, entry] : Bench::registry())
        std::printf("  %-16s %s\n", qPrintable(name), qPrintable(entry.description));
}

int main(int argc, char** argv)
{
    // Without a display the benchmarks draw off screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Nobody is there to close the tip of the day at start-up.
    TfTipOfTheDay::setRunner([](TfTipOfTheDay&) {});
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("-h") || args.first() == QLatin1String("--help")) {
        usage();
        return args.isEmpty() ? 1 : 0;
    }
    const QString name = args.takeFirst();
    if (name == QLatin1String("all")) {
        int failures = 0;
        for (const auto& [each, entry] : Bench::registry()) {
            std::printf("== %s\n", qPrintable(each));
            failures += entry.run(args) != 0 ? 1 : 0;
        }
        return failures == 0 ? 0 : 1;
    }
    const auto found = Bench::registry().find(name);
    if (found == Bench::registry().end()) {
        std::fprintf(stderr, "velquist_bench: no benchmark named %s\n", qPrintable(name));
        usage();
        return 1;
    }
    std::printf("== %s\n", qPrintable(name));
    return found->second.run(args);
}
