// Reads, from outside, what Windows itself knows of a running Tobrin and of its executable: the
// main window's frame and style, the drawing area's accessible name and description (as a screen
// reader gets them), and the executable's version and icon resources. One "key value" line each:
//   window_probe.exe PATH-OF-TOBRIN.EXE
// The end-to-end tests under Wine compare the lines; the exit status is 1 if there is no window.
#include <oleacc.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "files/windows/wide_text.h"

namespace {

void Line(const char* key, const std::string& value) {
  std::printf("%s %s\n", key, value.c_str());
}

// The accessible name and description of the child window that has a name, as MSAA gives them.
BOOL CALLBACK Child(HWND child, LPARAM) {
  IAccessible* accessible = nullptr;
  if (AccessibleObjectFromWindow(child, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                 reinterpret_cast<void**>(&accessible)) != S_OK ||
      accessible == nullptr) {
    return TRUE;
  }
  VARIANT self;
  VariantInit(&self);
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR name = nullptr, description = nullptr;
  if (accessible->get_accName(self, &name) == S_OK && name != nullptr &&
      std::wstring(name) == L"Tobrin figure") {
    Line("canvas-name", Utf8FromWide(name));
    if (accessible->get_accDescription(self, &description) == S_OK && description != nullptr) {
      Line("canvas-description", Utf8FromWide(description));
    }
  }
  SysFreeString(name);
  SysFreeString(description);
  accessible->Release();
  return TRUE;
}

std::string VersionString(const std::wstring& exe, const wchar_t* key) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
  if (size == 0) return "none";
  std::vector<unsigned char> data(size);
  if (!GetFileVersionInfoW(exe.c_str(), 0, size, data.data())) return "none";
  wchar_t* value = nullptr;
  UINT length = 0;
  const std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
  if (!VerQueryValueW(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) {
    return "none";
  }
  return Utf8FromWide(std::wstring(value, length > 0 ? length - 1 : 0));
}

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

// The forms of icon group 128: "WxHxBITS" each.
std::string IconForms(const std::wstring& exe) {
  const HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (module == nullptr) return "none";
  std::string forms = "none";
  const HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(128), MAKEINTRESOURCEW(14));
  const HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
  const auto* bytes = static_cast<const unsigned char*>(loaded ? LockResource(loaded) : nullptr);
  if (bytes != nullptr) {
    forms.clear();
    const WORD count = *reinterpret_cast<const WORD*>(bytes + 4);
    const auto* entries = reinterpret_cast<const GroupIconEntry*>(bytes + 6);
    for (WORD i = 0; i < count; ++i) {
      const int w = entries[i].width == 0 ? 256 : entries[i].width;
      const int h = entries[i].height == 0 ? 256 : entries[i].height;
      if (!forms.empty()) forms += " ";
      forms +=
          std::to_string(w) + "x" + std::to_string(h) + "x" + std::to_string(entries[i].bitCount);
    }
  }
  FreeLibrary(module);
  return forms;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) {
    const std::wstring exe = WideFromUtf8(argv[1]);
    Line("file-version", VersionString(exe, L"FileVersion"));
    Line("product-version", VersionString(exe, L"ProductVersion"));
    Line("original-name", VersionString(exe, L"OriginalFilename"));
    Line("icon-128", IconForms(exe));
  }
  const HWND window = FindWindowW(nullptr, L"Tobrin");
  if (window == nullptr) {
    Line("window", "none");
    return 1;
  }
  RECT frame;
  GetWindowRect(window, &frame);
  Line("frame",
       std::to_string(frame.right - frame.left) + "x" + std::to_string(frame.bottom - frame.top));
  const LONG style = GetWindowLongW(window, GWL_STYLE);
  const auto has = [style](LONG bit) { return (style & bit) == bit ? "1" : "0"; };
  Line("style", std::string("caption=") + has(WS_CAPTION) + " sysmenu=" + has(WS_SYSMENU) +
                    " sizing=" + has(WS_THICKFRAME) + " minimize=" + has(WS_MINIMIZEBOX) +
                    " maximize=" + has(WS_MAXIMIZEBOX));
  CoInitialize(nullptr);
  EnumChildWindows(window, &Child, 0);
  CoUninitialize();
  std::fflush(stdout);
  return 0;
}
