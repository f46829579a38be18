// The icon from the executable's icon resource (its 32 x 32 and 16 x 16 forms), which the
// shell also shows for the file.
#include <wx/icon.h>

#include "app/app_icon.h"

namespace {

constexpr const wchar_t* kIconResource = L"#128";

}  // namespace

wxIconBundle AppIcons() {
  return wxIconBundle(kIconResource, nullptr);
}

wxBitmap AppIconBitmap(int size) {
  const int nearest = size <= 24 ? 16 : 32;
  const wxIcon icon(kIconResource, wxBITMAP_TYPE_ICO_RESOURCE, nearest, nearest);
  return icon.IsOk() ? wxBitmap(icon) : wxBitmap();
}
