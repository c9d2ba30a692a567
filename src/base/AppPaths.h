#pragma once
// Where the programs keep their files: the executable's folder (or the one
// a test or the command-line tool sets), the default project file beside it
// or in the user's data folder, and the file test every loader shares. No
// user interface here.

#include <QString>

// The executable's folder with a trailing separator, followed by name.
QString appFilePath(const QString &name);
// Overrides the folder appFilePath uses (tests, the command-line tool's
// --project); an empty string restores the executable's folder.
void setAppDirOverride(const QString &dir);

// The name of the project file the programs open by default.
QString defaultProjectFileName();
// Where "default.brivprj" lives, the one rule of the GUI and the command-line
// tool: beside the executable (or in the folder setAppDirOverride gives)
// when new files can be created there, as in a portable copy; otherwise, as
// for an installed program, in the user's data folder
// (QStandardPaths::AppDataLocation, e.g. ~/.local/share/Brivane/), which is
// created when missing. Cached per folder; safe from any thread.
QString defaultProjectFilePath();
// The rule with its two folders given: besideDir/name when a file can be
// created in besideDir (on Windows: and it is not under Program Files),
// else dataDir/name with dataDir created. An empty dataDir (no home folder)
// leaves the file beside.
QString chooseDataFilePath(const QString &name, const QString &besideDir, const QString &dataDir);

// False when path does not exist; else true exactly when "is a directory"
// equals wantDirectory.
bool fileExists(const QString &path, bool wantDirectory);

// The GUI's own settings file (the preview's zoom): the path in
// BRIVANE_SETTINGS when that is set (empty: nothing is kept, as in tests),
// else brivane/brivane.ini in the user's configuration folder.
QString guiSettingsPath();
