// What the settings file needs of the system, in files named for it: the shared rules of
// settings_file.cpp stand on these.
#pragma once

#include <cstddef>
#include <string>

#include "app/settings_file.h"

// Reads the regular file at `path` whole into `content`. kMissing when there is no file;
// kRefused, with the reason, when it cannot be read, is not a regular file, or holds more than
// `limit` bytes (also when it grows past that while being read).
SettingsFileState ReadFileWithin(const std::string& path, std::size_t limit, std::string* content,
                                 std::string* error);

// The reason given for a file over the limit.
std::string TooLargeText(const std::string& path, std::size_t limit);
