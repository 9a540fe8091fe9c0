#pragma once
// Named benchmarks of velquist_bench. Each benchmark file registers its
// entries with VQ_BENCHMARK; main.cpp runs them by name.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <map>

namespace Bench {

// Runs one benchmark with the arguments after its name; returns the exit code.
using Function = int (*)(const QStringList& args);

struct Entry {
    QString description;
    Function run;
};

inline std::map<QString, Entry>& registry()
{
    static std::map<QString, Entry> entries;
    return entries;
}

struct Registration {
    Registration(const char* name, const char* description, Function run)
    {
        registry()[QString::fromLatin1(name)] = Entry{QString::fromLatin1(description), run};
    }
};

// About 10 MB of HTML: 170 000 lines ending in CR LF, of which 10 000 hold
// the text <font color="red">, the target of the Replace All timings.
QByteArray makeHtml();
bool writeFile(const QString& path, const QByteArray& bytes);
// The program's folders for one benchmark: "home" and "config" below dir
// (the benchmark's temporary folder), made and named in VELQUIST_HOME and
// VELQUIST_CONFIG_DIR, so no benchmark touches a real home.
struct Folders {
    QString home;
    QString config;
};
Folders useFolders(const QString& dir);

// Resident memory of this process in MB: now and at its peak (VmRSS, VmHWM).
double rssMb();
double peakRssMb();
// Runs the event loop until nothing more is waiting (layout and drawing included).
void settle();
// Prints one result line: "name: value unit" plus an optional note.
void report(const QString& name, double value, const QString& unit, const QString& note = QString());

// Wall clock and processor time of this process since the last restart, in
// ms. Processor time shows the work done even when other processes compete.
class Stopwatch {
public:
    Stopwatch() { restart(); }
    void restart();
    double wallMs() const;
    double cpuMs() const;
    // Reports the wall time, with the processor time and note beside it.
    void report(const QString& name, const QString& note = QString()) const;

private:
    qint64 m_wallStartNs = 0;
    double m_cpuStartMs = 0;
};

// The longest time the event loop did not turn while it runs: a timer
// that should fire every millisecond notes the widest gap between firings
// (and to stop(), which returns it in ms).
class StallMeter {
public:
    StallMeter();
    ~StallMeter();
    void start();
    double stop();

private:
    struct Data;
    Data* m_d;
};

} // namespace Bench

#define VQ_BENCHMARK_CAT2(a, b) a##b
#define VQ_BENCHMARK_CAT(a, b) VQ_BENCHMARK_CAT2(a, b)
#define VQ_BENCHMARK(name, description, function) \
    static const Bench::Registration VQ_BENCHMARK_CAT(vqBenchmark_, __LINE__)(name, description, function)
