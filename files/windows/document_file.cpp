#include <windows.h>

#include "files/document_file.h"
#include "files/windows/wide_text.h"

namespace {

std::string Reason(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
      return "There is no such file.";
    case ERROR_ACCESS_DENIED:
      return "You do not have permission to use it.";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return "Another program is using it.";
    case ERROR_WRITE_PROTECT:
      return "It is on a read-only disk.";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return "There is no space left on the disk.";
    default:
      return SystemErrorText(error) + ".";
  }
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

bool OpenDocumentFile(const std::string& path, std::string* message) {
  const std::wstring wide = WideFromUtf8(path);
  const std::string failed = "\"" + path + "\" could not be opened for reading. ";
  if (IsFolder(wide)) {
    *message = failed + "It is a folder, not a file.";
    return false;
  }
  const HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *message = failed + Reason(GetLastError());
    return false;
  }
  CloseHandle(file);
  return true;
}

bool CreateEmptyDocumentFile(const std::string& path, std::string* message) {
  const std::wstring wide = WideFromUtf8(path);
  const std::string failed = "\"" + path + "\" could not be saved. ";
  if (IsFolder(wide)) {
    *message = failed + "It is a folder, not a file.";
    return false;
  }
  const HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *message = failed + Reason(GetLastError());
    return false;
  }
  CloseHandle(file);
  return true;
}
