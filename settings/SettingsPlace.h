#pragma once
// Which Halvex.ini a program uses. An installed program (bin/NAME beside
// ../share/halvex holding the map pages and what they load) keeps its
// settings in the user's configuration folder; a program run from anywhere
// else, the build tree included, in its working directory. The viewer and
// the command line decide it the same way, each by its own binary's place.
#include <QString>

namespace SettingsPlace {

// True when the folder holds both map pages and every file they load.
bool HoldsCompletePageSet(const QString& folder);

// Needs the application object (the binary's place comes from it).
bool IsInstalledProgram();

// $XDG_CONFIG_HOME/halvex (~/.config/halvex when unset).
QString ConfigFolder();

// The folder of the Halvex.ini this program uses when started from the
// current directory; nothing is created.
QString SettingsFolder();

} // namespace SettingsPlace
