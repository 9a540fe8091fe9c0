#include "app/AppPaths.h"

#include <QCoreApplication>
#include <QDir>

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

QString programFile(const QString& name)
{
    return programDir() + QLatin1Char('/') + name;
}

QString settingsFile(const QString& name)
{
    return settingsDir() + QLatin1Char('/') + name;
}

} // namespace AppPaths
