// General file work on the system's own calls, in files named for each system: reading a whole
// file within a size limit, making folders, replacing a file atomically. Paths are UTF-8 inside
// the program (on Linux, bytes: not always UTF-8).
#pragma once

#include <cstddef>
#include <string>

enum class FileRead {
  kRead,      // a regular file, read whole
  kMissing,   // no file (or a symbolic link to none)
  kTooLarge,  // more than the limit, or it grew past it while being read
  kFailed,    // it could not be read, or it is not a regular file (a folder, a pipe, a device)
};

// Reads the regular file at `path` whole into `content`, never more than `limit` bytes and
// without blocking on a pipe in the file's place. For kMissing and kFailed, `error` says why.
FileRead ReadFileWithin(const std::string& path, std::size_t limit, std::string* content,
                        std::string* error);

// Makes the folder and any missing folders above it (mode 0700 on POSIX systems); true if it is
// a folder now.
bool MakeFolders(const std::string& folder, std::string* error);

// Replaces the file at `path` by `text` atomically: the text goes to a new file in the same
// folder, which is flushed to disk and then renamed over the old one, so the old file is
// either replaced whole or left exactly as it was. The new file keeps the old one's permission
// bits. Creates the folder if it is missing.
// A symbolic link at `path` stays: the file it names, through any chain of links (relative
// ones taken from their link's folder), is the one created or replaced, in its own folder.
// On Windows a file marked read-only is not replaced.
bool WriteFileAtomically(const std::string& path, const std::string& text, std::string* error);
