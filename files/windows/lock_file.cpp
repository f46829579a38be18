// The lock file is opened with no sharing at all, so that while one process has it open every
// other open fails, and with delete-on-close, so that the system removes it when its holder
// closes it or ends in any way: a lock is never left behind by a killed process.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "files/lock_file.h"
#include "files/windows/wide_text.h"

FileLock::FileLock(std::string lockPath, std::chrono::milliseconds wait)
    : m_path(std::move(lockPath)) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + wait;
  const std::wstring wide = WideFromUtf8(m_path);
  for (;;) {
    const HANDLE file =
        CreateFileW(wide.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      // A descriptor of the C runtime, which owns the handle from now on.
      m_fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDWR);
      if (m_fd < 0) {
        CloseHandle(file);
        m_error = m_path + ": no descriptor for the lock file";
        return;
      }
      m_state = State::kHeld;
      return;
    }
    const DWORD error = GetLastError();
    // Another holder has it open (sharing violation), or has just closed it and the system is
    // removing it (access denied on a file that is still there).
    const bool held = error == ERROR_SHARING_VIOLATION ||
                      (error == ERROR_ACCESS_DENIED &&
                       GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES);
    if (!held) {
      m_error = m_path + ": " + SystemErrorText(error);
      return;
    }
    if (GiveUp(deadline, wait)) return;
  }
}

FileLock::~FileLock() {
  if (m_fd >= 0) _close(m_fd);  // and the system removes the file
}
