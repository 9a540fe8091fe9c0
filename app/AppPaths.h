#pragma once
#include <QString>

// Where the program finds its own files. Nothing uses the current folder.
namespace AppPaths {
// The executable's folder, or $VELQUIST_HOME when set. No trailing separator.
QString programDir();
// $VELQUIST_CONFIG_DIR when set, else ~/.config/velquist. Not created here.
QString settingsDir();
// Creates settingsDir() when missing; returns false when it cannot.
bool ensureSettingsDir();
// programDir() + "/" + name
QString programFile(const QString& name);
// settingsDir() + "/" + name
QString settingsFile(const QString& name);
}
