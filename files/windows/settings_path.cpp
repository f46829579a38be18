// Where the settings file lives on Windows: the roaming application data folder.
#include <shlobj.h>
#include <windows.h>

#include <cstdlib>

#include "files/settings_path.h"
#include "files/windows/wide_text.h"

std::string SettingsFilePath() {
  // %APPDATA%, which every Windows session sets, and the system's own answer without it.
  std::wstring folder;
  if (const wchar_t* appData = _wgetenv(L"APPDATA"); appData != nullptr && appData[0] != L'\0') {
    folder = appData;
  } else {
    PWSTR known = nullptr;
    if (SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &known) == S_OK) folder = known;
    CoTaskMemFree(known);
  }
  if (folder.empty()) return std::string();
  return Utf8FromWide(folder) + "\\Tobrin\\tobrin.ini";
}
