// Where the settings file lives, in files named for each system.
#pragma once

#include <string>

// $XDG_CONFIG_HOME/tobrin.ini, or ~/.config/tobrin.ini when that variable is unset or not an
// absolute path; on Windows %APPDATA%\Tobrin\tobrin.ini, in the roaming application data
// folder. Empty if no such folder can be found.
std::string SettingsFilePath();
