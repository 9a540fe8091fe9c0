#pragma once
#include <QString>

// Where the program finds its own files. Nothing uses the current folder.
namespace AppPaths {
// The folder of the shipped data files: $VELQUIST_HOME when set, else
// shippedDataDirFor() the executable's folder. No trailing separator.
QString programDir();
// Where the shipped data lie for an executable in exeDir: exeDir itself when
// they lie beside it (a build tree), else exeDir/../share/velquist when that
// folder exists (an installed prefix), else exeDir.
QString shippedDataDirFor(const QString& exeDir);
// $VELQUIST_CONFIG_DIR when set, else ~/.config/velquist. Not created here.
QString settingsDir();
// Creates settingsDir() when missing; returns false when it cannot.
bool ensureSettingsDir();
// Where the program writes its own data files (user macros, notes, lists,
// recovery files): $VELQUIST_HOME when set, else ~/.local/share/velquist
// ($XDG_DATA_HOME/velquist). Not created here.
QString dataDir();
// Creates dataDir() when missing; returns false when it cannot.
bool ensureDataDir();
// dataDir() + "/" + name: where a data file is written.
QString dataFile(const QString& name);
// Where a data file is read: the user's copy in dataDir() when it exists,
// else the shipped copy in programDir().
QString readableDataFile(const QString& name);
// The start-up folder when the user has chosen none: the program's
// directory where the user may write there (a build tree, $VELQUIST_HOME),
// else the home folder, as for an installed program under /usr.
QString defaultStartupDir();
// Makes relative $VELQUIST_HOME and $VELQUIST_CONFIG_DIR absolute against the
// folder the program started in, once, before anything changes that folder.
void fixEnvironment();
// programDir() + "/" + name
QString programFile(const QString& name);
// settingsDir() + "/" + name
QString settingsFile(const QString& name);
}
