#include <windows.h>

#include "files/document_file.h"
#include "files/windows/wide_text.h"
#include "i18n/translate.h"

namespace {

std::string Reason(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
      return Tr("There is no such file.");
    case ERROR_ACCESS_DENIED:
      return Tr("You do not have permission to use it.");
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return Tr("Another program is using it.");
    case ERROR_WRITE_PROTECT:
      return Tr("It is on a read-only disk.");
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return Tr("There is no space left on the disk.");
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
  const std::string failed = Tr("\"%s\" could not be opened for reading. %s");
  if (IsFolder(wide)) {
    *message = Fill(failed, {path, Tr("It is a folder, not a file.")});
    return false;
  }
  const HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *message = Fill(failed, {path, Reason(GetLastError())});
    return false;
  }
  CloseHandle(file);
  return true;
}

bool CreateEmptyDocumentFile(const std::string& path, std::string* message) {
  const std::wstring wide = WideFromUtf8(path);
  const std::string failed = Tr("\"%s\" could not be saved. %s");
  if (IsFolder(wide)) {
    *message = Fill(failed, {path, Tr("It is a folder, not a file.")});
    return false;
  }
  const HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *message = Fill(failed, {path, Reason(GetLastError())});
    return false;
  }
  CloseHandle(file);
  return true;
}
