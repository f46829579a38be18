// The document's file operations. The document holds no data, so opening reads nothing and
// saving writes nothing; both still touch the file the way the user expects, and neither can
// block on a pipe or a device.
#pragma once

#include <string>

// Opens `path` for reading and closes it again without reading. False, with a message for
// the user, if it cannot be opened or is a folder.
bool OpenDocumentFile(const std::string& path, std::string* message);

// Creates `path` as an empty file (emptying it if it exists). False, with a message for the
// user, if it cannot be created; nothing is changed then.
bool CreateEmptyDocumentFile(const std::string& path, std::string* message);
