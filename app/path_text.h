// Paths between the system's bytes and the toolkit's strings, without loss. Linux paths are
// bytes, not always UTF-8: wxString::FromUTF8 gives an empty string for such a path and
// utf8_string() cannot give its bytes back, so neither is used for a path.
#pragma once

#include <wx/string.h>

#include <string>

// Bytes that are not UTF-8 become private-use characters (as wx's own file-name conversion
// makes them on GTK), which PathFromWx turns back into the same bytes.
wxString PathToWx(const std::string& bytes);
std::string PathFromWx(const wxString& path);

// A message that may hold a path, for the user to read: bytes that are not UTF-8 show as
// octal escapes ("caf\351.dat") instead of emptying the whole message.
wxString MessageText(const std::string& text);
