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
        return QDir::cleanPath(QCoreApplication::applicationDirPath());
    return QDir::cleanPath(QDir::currentPath());
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
