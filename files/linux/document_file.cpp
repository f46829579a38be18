#include "files/document_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "i18n/translate.h"

namespace {

std::string Reason(int error) {
  switch (error) {
    case ENOENT:
      return Tr("There is no such file.");
    case EACCES:
    case EPERM:
      return Tr("You do not have permission to use it.");
    case EISDIR:
      return Tr("It is a folder, not a file.");
    case ENXIO:
      return Tr("It is a pipe or device that nothing is reading from.");
    case EROFS:
      return Tr("It is on a read-only file system.");
    case ENOSPC:
      return Tr("There is no space left on the disk.");
    default:
      return std::string(std::strerror(error)) + ".";
  }
}

}  // namespace

bool OpenDocumentFile(const std::string& path, std::string* message) {
  // O_NONBLOCK: opening a named pipe for reading would otherwise wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    *message = Fill(Tr("\"%s\" could not be opened for reading. %s"), {path, Reason(errno)});
    return false;
  }
  struct stat st;
  const bool folder = ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
  ::close(fd);
  if (folder) {
    *message = Fill(Tr("\"%s\" could not be opened for reading. %s"), {path, Reason(EISDIR)});
    return false;
  }
  return true;
}

bool CreateEmptyDocumentFile(const std::string& path, std::string* message) {
  // O_NONBLOCK: a named pipe without a reader fails at once instead of waiting for one.
  const int fd =
      ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) {
    *message = Fill(Tr("\"%s\" could not be saved. %s"), {path, Reason(errno)});
    return false;
  }
  ::close(fd);
  return true;
}
