// The icon from the executable's icon resource (its 32 x 32 and 16 x 16 forms), which the
// shell also shows for the file.
#include <wx/icon.h>

#include "app/app_icon.h"

namespace {

constexpr const wchar_t* kIconResource = L"#128";

// The colour form of this size: the system picks it from the group for the display.
wxIcon ResourceIcon(int size) {
  return wxIcon(kIconResource, wxBITMAP_TYPE_ICO_RESOURCE, size, size);
}

}  // namespace

wxIconBundle AppIcons() {
  // Not wxIconBundle(name, module): it takes the group's forms in turn, keeping one per size, so
  // the monochrome 32 x 32, which comes last, replaces the colour one; Windows shows that one
  // black and white, and Wine gives the window manager its own blank icon instead.
  wxIconBundle icons;
  for (const int size : {16, 32}) {
    const wxIcon icon = ResourceIcon(size);
    if (icon.IsOk()) icons.AddIcon(icon);
  }
  return icons;
}

wxBitmap AppIconBitmap(int size) {
  const wxIcon icon = ResourceIcon(size <= 24 ? 16 : 32);
  return icon.IsOk() ? wxBitmap(icon) : wxBitmap();
}
