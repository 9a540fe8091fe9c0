#pragma once
// Every harness works in a settings folder of its own under /tmp, so a fuzz
// run never reads or writes a real home.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

namespace FuzzEnv {

inline QString settingsDir()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/velquist-fuzz-XXXXXX"));
    return dir.path();
}

inline void init()
{
    qputenv("VELQUIST_CONFIG_DIR", QFile::encodeName(settingsDir()));
    qputenv("VELQUIST_HOME", QFile::encodeName(settingsDir()));
}

inline QString writeFile(const char* name, const uint8_t* data, size_t size)
{
    const QString path = settingsDir() + QLatin1Char('/') + QLatin1String(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        std::abort();
    f.write(reinterpret_cast<const char*>(data), qint64(size));
    return path;
}

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace FuzzEnv
