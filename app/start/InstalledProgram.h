#pragma once
#include <QString>

// An installed program (bin/halvex with its pages in ../share/halvex) is
// started from a menu with the home folder as its working directory; it
// works in the user's configuration folder instead, so Halvex.ini does not
// land in $HOME. A run from the build tree keeps its working directory.
namespace InstalledProgram {

bool IsInstalled();

// $XDG_CONFIG_HOME/halvex (~/.config/halvex when unset).
QString ConfigFolder();

// Makes folder absolute against the current directory, then creates and
// enters the configuration folder. False, with nothing changed but folder,
// when the configuration folder cannot be made.
bool EnterConfigFolder(QString* folder);

} // namespace InstalledProgram
