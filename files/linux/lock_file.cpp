// flock(2) on a lock file. The holder removes the file before it lets go, so no lock file is
// left in the user's folder; a waiter that then gets the lock on the removed file sees that the
// path names another file (or none) and tries again on the file the path names now.
#include "files/lock_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// Whether the open file `fd` is still the one `path` names.
bool StillNamed(int fd, const std::string& path) {
  struct stat open, named;
  return ::fstat(fd, &open) == 0 && ::stat(path.c_str(), &named) == 0 &&
         open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

}  // namespace

FileLock::FileLock(std::string lockPath, std::chrono::milliseconds wait)
    : m_path(std::move(lockPath)) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + wait;
  for (;;) {
    if (m_fd < 0) {
      // Not through a link: the lock file is ours alone to make and remove.
      m_fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0600);
      if (m_fd < 0) {
        m_error = m_path + ": " + std::strerror(errno);
        return;
      }
    }
    if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) {
      if (StillNamed(m_fd, m_path)) {
        m_state = State::kHeld;
        return;
      }
      ::close(m_fd);  // the lock of a file its holder removed: worth nothing
      m_fd = -1;
      continue;
    }
    if (errno != EWOULDBLOCK && errno != EINTR) {
      m_error = m_path + ": " + std::strerror(errno);
      return;
    }
    if (GiveUp(deadline, wait)) return;
  }
}

FileLock::~FileLock() {
  if (m_state == State::kHeld) ::unlink(m_path.c_str());
  if (m_fd >= 0) ::close(m_fd);
}
