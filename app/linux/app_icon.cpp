// The icon from PNGs built into the executable, where the system has no resource files.
#include "app/app_icon.h"

#include <wx/icon.h>
#include <wx/image.h>
#include <wx/mstream.h>

#include <cstdlib>

#include "app/icon_data.h"

namespace {

wxBitmap Decode(const IconPng& png) {
  if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) wxImage::AddHandler(new wxPNGHandler);
  wxMemoryInputStream stream(png.data, png.size);
  wxImage image(stream, wxBITMAP_TYPE_PNG);
  return image.IsOk() ? wxBitmap(image) : wxBitmap();
}

}  // namespace

wxIconBundle AppIcons() {
  wxIconBundle bundle;
  for (const IconPng& png : kIconPngs) {
    wxBitmap bitmap = Decode(png);
    if (!bitmap.IsOk()) continue;
    wxIcon icon;
    icon.CopyFromBitmap(bitmap);
    bundle.AddIcon(icon);
  }
  return bundle;
}

wxBitmap AppIconBitmap(int size) {
  const IconPng* best = &kIconPngs[0];
  for (const IconPng& png : kIconPngs) {
    if (std::abs(png.size_px - size) < std::abs(best->size_px - size)) best = &png;
  }
  return Decode(*best);
}
