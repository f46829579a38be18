// File work on POSIX systems: paths are bytes, and links are followed to the file they name.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "files/file_system.h"
#include "i18n/translate.h"

namespace {

std::string ErrorText(const std::string& what, int error) {
  return what + ": " + std::strerror(error);
}

struct FdCloser {
  int fd;
  ~FdCloser() {
    if (fd >= 0) ::close(fd);
  }
};

}  // namespace

FileRead ReadFileWithin(const std::string& path, std::size_t limit, std::string* content,
                        std::string* error) {
  // Non-blocking, so that a pipe put in the file's place cannot stall the start.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    const int openError = errno;
    *error = ErrorText(path, openError);
    return openError == ENOENT ? FileRead::kMissing : FileRead::kFailed;
  }
  FdCloser closer{fd};
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    *error = ErrorText(path, errno);
    return FileRead::kFailed;
  }
  if (!S_ISREG(st.st_mode)) {
    *error = path + ": " + Tr("not a regular file");
    return FileRead::kFailed;
  }
  if (static_cast<unsigned long long>(st.st_size) > limit) {
    return FileRead::kTooLarge;
  }
  content->clear();
  content->reserve(static_cast<size_t>(st.st_size));
  char buffer[8192];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      *error = ErrorText(path, errno);
      return FileRead::kFailed;
    }
    if (n == 0) break;
    content->append(buffer, static_cast<size_t>(n));
    if (content->size() > limit) {  // grew while being read
      return FileRead::kTooLarge;
    }
  }
  return FileRead::kRead;
}

bool MakeFolders(const std::string& folder, std::string* error) {
  if (folder.empty()) return true;
  struct stat st;
  if (::stat(folder.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return true;
    *error = folder + ": " + Tr("not a folder");
    return false;
  }
  const size_t slash = folder.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash), error)) {
    return false;
  }
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
    *error = ErrorText(folder, errno);
    return false;
  }
  return true;
}

namespace {

// The folder part of a path: "." for a bare name, "" for a name in the root.
std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

// The file that the chain of symbolic links at `path` ends in (`path` itself when it is no
// link), relative targets taken from their link's folder. By hand rather than realpath(): the
// last link may dangle, and the file it names is then the one to create.
bool ResolveLinks(std::string path, std::string* file, std::string* error) {
  constexpr int kMaxLinks = 40;  // as the kernel allows in one lookup
  for (int links = 0;; ++links) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      *file = std::move(path);
      return true;
    }
    if (links == kMaxLinks) {
      *error = ErrorText(path, ELOOP);
      return false;
    }
    std::error_code failure;
    const std::filesystem::path target = std::filesystem::read_symlink(path, failure);
    if (failure) {
      *error = path + ": " + failure.message();
      return false;
    }
    path = target.is_absolute() ? target.native() : FolderOf(path) + "/" + target.native();
  }
}

bool WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

bool WriteFileAtomically(const std::string& requested, const std::string& text,
                         std::string* error) {
  std::string path;
  if (!ResolveLinks(requested, &path, error)) return false;
  const std::string folder = FolderOf(path);
  if (!MakeFolders(folder, error)) return false;

  std::string temp = path + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    *error = ErrorText(folder, errno);
    return false;
  }
  // The new file keeps the old one's permissions (mkstemp makes it private).
  struct stat st;
  if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::fchmod(fd, st.st_mode & 07777);
  bool ok = WriteAll(fd, text) && ::fsync(fd) == 0;
  int writeError = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    writeError = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    *error = ErrorText(temp, writeError);
    return false;
  }
  // A folder or other non-file in the file's place is not replaced.
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    ::unlink(temp.c_str());
    *error = path + ": " + Tr("is a folder");
    return false;
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    const int renameError = errno;
    ::unlink(temp.c_str());
    *error = ErrorText(path, renameError);
    return false;
  }
  // The rename itself reaches the disk with the folder.
  const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return true;
}
