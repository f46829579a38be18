// The application icon, built into the executable: from the PNGs under res/icons, or from the
// icon resource where the system has resources.
#pragma once

#include <wx/bitmap.h>
#include <wx/iconbndl.h>

wxIconBundle AppIcons();
wxBitmap AppIconBitmap(int size);  // the nearest size there is
