#include "app/path_text.h"

#include <wx/strconv.h>

namespace {

const wxMBConvUTF8& PathConversion() {
  static const wxMBConvUTF8 conversion(wxMBConvUTF8::MAP_INVALID_UTF8_TO_PUA);
  return conversion;
}

}  // namespace

wxString PathToWx(const std::string& bytes) {
  return wxString(bytes.data(), PathConversion(), bytes.size());
}

std::string PathFromWx(const wxString& path) {
  const wxScopedCharBuffer bytes = path.mb_str(PathConversion());
  return std::string(bytes.data(), bytes.length());
}

wxString MessageText(const std::string& text) {
  const wxString utf8 = wxString::FromUTF8(text.data(), text.size());
  if (!utf8.empty() || text.empty()) return utf8;
  // This conversion also doubles every backslash: only for text that is not UTF-8.
  static const wxMBConvUTF8 octal(wxMBConvUTF8::MAP_INVALID_UTF8_TO_OCTAL);
  return wxString(text.data(), octal, text.size());
}
