// File work on Windows: paths are UTF-8 inside the program and UTF-16 at the system.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "files/file_system.h"
#include "files/windows/wide_text.h"
#include "i18n/translate.h"

namespace {

std::string ErrorText(const std::string& what, DWORD error) {
  return what + ": " + SystemErrorText(error);
}

struct HandleCloser {
  HANDLE handle;
  ~HandleCloser() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

// The folder part of a path: "." for a bare name.
std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The file a symbolic link at `path` leads to, so that the link stays and its file is
// replaced; `path` itself when it is no link or its file is not there.
std::string FollowLink(const std::string& path) {
  const std::wstring wide = WideFromUtf8(path);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) {
    return path;
  }
  const HandleCloser file{CreateFileW(wide.c_str(), 0,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (file.handle == INVALID_HANDLE_VALUE) return path;
  std::wstring target(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        GetFinalPathNameByHandleW(file.handle, target.data(), static_cast<DWORD>(target.size()), 0);
    if (length == 0) return path;
    if (length < target.size()) {
      target.resize(length);
      break;
    }
    target.resize(length);
  }
  return Utf8FromWide(target);
}

}  // namespace

FileRead ReadFileWithin(const std::string& path, std::size_t limit, std::string* content,
                        std::string* error) {
  const std::wstring wide = WideFromUtf8(path);
  if (IsFolder(wide)) {
    *error = path + ": " + Tr("not a regular file");
    return FileRead::kFailed;
  }
  const HandleCloser file{CreateFileW(wide.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)};
  if (file.handle == INVALID_HANDLE_VALUE) {
    const DWORD openError = GetLastError();
    *error = ErrorText(path, openError);
    return openError == ERROR_FILE_NOT_FOUND || openError == ERROR_PATH_NOT_FOUND
               ? FileRead::kMissing
               : FileRead::kFailed;
  }
  if (GetFileType(file.handle) != FILE_TYPE_DISK) {
    *error = path + ": " + Tr("not a regular file");
    return FileRead::kFailed;
  }
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.handle, &size)) {
    *error = ErrorText(path, GetLastError());
    return FileRead::kFailed;
  }
  if (static_cast<unsigned long long>(size.QuadPart) > limit) {
    return FileRead::kTooLarge;
  }
  content->clear();
  content->reserve(static_cast<size_t>(size.QuadPart));
  char buffer[8192];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(file.handle, buffer, sizeof buffer, &n, nullptr)) {
      *error = ErrorText(path, GetLastError());
      return FileRead::kFailed;
    }
    if (n == 0) break;
    content->append(buffer, n);
    if (content->size() > limit) {  // grew while being read
      return FileRead::kTooLarge;
    }
  }
  return FileRead::kRead;
}

bool MakeFolders(const std::string& folder, std::string* error) {
  if (folder.empty()) return true;
  const std::wstring wide = WideFromUtf8(folder);
  if (IsFolder(wide)) return true;
  if (GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES) {
    *error = folder + ": " + Tr("not a folder");
    return false;
  }
  // The parent first, down to a drive ("C:") or the root of a share, which are there or not.
  const size_t slash = folder.find_last_of("\\/");
  if (slash != std::string::npos && slash > 0 && !IsSeparator(folder[slash - 1]) &&
      folder[slash - 1] != ':' && !MakeFolders(folder.substr(0, slash), error)) {
    return false;
  }
  if (!CreateDirectoryW(wide.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    *error = ErrorText(folder, GetLastError());
    return false;
  }
  return true;
}

bool WriteFileAtomically(const std::string& requested, const std::string& text,
                         std::string* error) {
  const std::string path = FollowLink(requested);
  const std::string folder = FolderOf(path);
  if (!MakeFolders(folder, error)) return false;
  const std::wstring widePath = WideFromUtf8(path);
  if (IsFolder(widePath)) {
    *error = path + ": " + Tr("is a folder");
    return false;
  }
  // A file marked read-only is the user's to protect: not replaced (as Windows itself refuses,
  // where not every system that runs this program does).
  const DWORD attributes = GetFileAttributesW(widePath.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    *error = ErrorText(path, ERROR_ACCESS_DENIED);
    return false;
  }

  // A new file of a name no one else uses, in the same folder, so the rename stays on one disk.
  std::wstring temp;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (unsigned attempt = 0; file == INVALID_HANDLE_VALUE; ++attempt) {
    temp = widePath + L"." + std::to_wstring(GetCurrentProcessId()) + L"." +
           std::to_wstring(GetTickCount64()) + L"." + std::to_wstring(attempt) + L".tmp";
    file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
    if (file == INVALID_HANDLE_VALUE && (GetLastError() != ERROR_FILE_EXISTS || attempt > 100)) {
      *error = ErrorText(folder, GetLastError());
      return false;
    }
  }
  bool ok = true;
  DWORD writeError = 0;
  for (size_t done = 0; ok && done < text.size();) {
    DWORD n = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(text.size() - done, 1u << 20));
    ok = WriteFile(file, text.data() + done, chunk, &n, nullptr) && n > 0;
    done += n;
  }
  ok = ok && FlushFileBuffers(file);
  if (!ok) writeError = GetLastError();
  CloseHandle(file);
  if (ok && !MoveFileExW(temp.c_str(), widePath.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    ok = false;
    writeError = GetLastError();
    *error = ErrorText(path, writeError);
    DeleteFileW(temp.c_str());
    return false;
  }
  if (!ok) {
    DeleteFileW(temp.c_str());
    *error = ErrorText(Utf8FromWide(temp), writeError);
    return false;
  }
  return true;
}
