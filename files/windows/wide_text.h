// Windows' UTF-16 at the edge of the program: inside it, paths and texts are UTF-8.
#pragma once

#include <string>

std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);

// The system's own text for an error code of GetLastError(), without the line break it ends in.
std::string SystemErrorText(unsigned long code);
