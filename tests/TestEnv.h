#pragma once
// Gives each test process its own program and settings folders, so no test
// reads or writes a real home. Call TestEnv::init() before QApplication.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "tools/TfTipOfTheDay.h"

namespace TestEnv {

inline QTemporaryDir& root()
{
    static QTemporaryDir dir;
    return dir;
}

inline QString programDir() { return root().path() + QStringLiteral("/prog"); }
inline QString settingsDir() { return root().path() + QStringLiteral("/config"); }
inline QString workDir() { return root().path() + QStringLiteral("/work"); }

inline void init()
{
    QDir().mkpath(programDir());
    QDir().mkpath(settingsDir());
    QDir().mkpath(workDir());
    qputenv("VELQUIST_HOME", programDir().toLocal8Bit());
    qputenv("VELQUIST_CONFIG_DIR", settingsDir().toLocal8Bit());
    qputenv("HOME", root().path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (root().path() + QStringLiteral("/xdg")).toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The tip of the day at start-up would wait for a user; tests that look
    // at it install a runner of their own. Its file is there, as installed:
    // a missing one is reported as an error.
    TfTipOfTheDay::setRunner([](TfTipOfTheDay&) {});
    QFile tips(programDir() + QStringLiteral("/TIPS.TXT"));
    if (!tips.exists() && tips.open(QIODevice::WriteOnly))
        tips.write("Press F1 for help.\n");
}

// Copies a shipped data file (from data/) into the test's program folder.
inline bool installDataFile(const QString& name)
{
    const QString src = qEnvironmentVariable("VQ_TEST_DATA") + QLatin1Char('/') + name;
    const QString dst = programDir() + QLatin1Char('/') + name;
    QFile::remove(dst);
    return QFile::copy(src, dst);
}

inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return f.write(bytes) == bytes.size();
}

// Removes every file of the settings folder.
inline void clearSettings()
{
    QDir d(settingsDir());
    for (const QString& f : d.entryList(QDir::Files))
        d.remove(f);
}

// Shows the main frame and waits until its start-up step has run (it runs
// once the frame is on screen). False when it did not run in time.
template <typename Frame>
bool showFrame(Frame& frame)
{
    frame.show();
    return QTest::qWaitFor([&frame] { return frame.startUpDone(); }, 5000);
}

} // namespace TestEnv

// A main() for widget test classes that first sets up the folders.
#define VQ_TEST_MAIN(TestObject)                         \
    int main(int argc, char** argv)                      \
    {                                                    \
        TestEnv::init();                                 \
        QApplication app(argc, argv);                    \
        TestObject tc;                                   \
        return QTest::qExec(&tc, argc, argv);            \
    }
