#include "app/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace AppPaths {

QString programDir()
{
    const QString home = qEnvironmentVariable("VELQUIST_HOME");
    if (!home.isEmpty())
        return QDir::cleanPath(home);
    if (QCoreApplication::instance())
        return shippedDataDirFor(QCoreApplication::applicationDirPath());
    return QDir::cleanPath(QDir::currentPath());
}

QString shippedDataDirFor(const QString& exeDir)
{
    const QString dir = QDir::cleanPath(exeDir);
    // Files every build and every installation ships.
    for (const char* name : {"standard.tpl", "symbols.web", "system.mcr"}) {
        if (QFileInfo::exists(dir + QLatin1Char('/') + QLatin1String(name)))
            return dir;
    }
    const QString shared = QDir::cleanPath(dir + QStringLiteral("/../share/velquist"));
    if (QFileInfo(shared).isDir())
        return shared;
    return dir;
}

QString settingsDir()
{
    const QString dir = qEnvironmentVariable("VELQUIST_CONFIG_DIR");
    if (!dir.isEmpty())
        return QDir::cleanPath(dir);
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return QDir::cleanPath(base + QStringLiteral("/velquist"));
}

bool ensureSettingsDir()
{
    return QDir().mkpath(settingsDir());
}

QString dataDir()
{
    const QString home = qEnvironmentVariable("VELQUIST_HOME");
    if (!home.isEmpty())
        return QDir::cleanPath(home);
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/velquist"));
}

bool ensureDataDir()
{
    return QDir().mkpath(dataDir());
}

QString dataFile(const QString& name)
{
    return dataDir() + QLatin1Char('/') + name;
}

QString readableDataFile(const QString& name)
{
    const QString own = dataFile(name);
    if (QFileInfo::exists(own))
        return own;
    return programFile(name);
}

QString defaultStartupDir()
{
    const QFileInfo program(programDir());
    return program.isDir() && program.isWritable() ? programDir() : QDir::homePath();
}

void fixEnvironment()
{
    for (const char* name : {"VELQUIST_HOME", "VELQUIST_CONFIG_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty() && QDir::isRelativePath(value))
            qputenv(name, QFile::encodeName(QDir::cleanPath(QDir::current().absoluteFilePath(value))));
    }
}

QString programFile(const QString& name)
{
    return programDir() + QLatin1Char('/') + name;
}

QString settingsFile(const QString& name)
{
    return settingsDir() + QLatin1Char('/') + name;
}

} // namespace AppPaths
