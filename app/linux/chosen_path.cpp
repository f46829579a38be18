#include <dlfcn.h>

#include <memory>

#include "app/chosen_path.h"
#include "app/path_text.h"

// The chosen path with its bytes intact, from GTK itself: wx 3.2's GetPath() decodes GTK's
// answer strictly as UTF-8, so a name in another encoding comes back empty, as if cancelled.
// GTK is already loaded by the toolkit, so its functions are looked up rather than linked
// (which would need GTK's development files for two declarations); without them, wx's answer.
wxString ChosenPath(wxFileDialog& dialog) {
  using GetFilename = char* (*)(void*);
  using Free = void (*)(void*);
  static const auto getFilename =
      reinterpret_cast<GetFilename>(dlsym(RTLD_DEFAULT, "gtk_file_chooser_get_filename"));
  static const auto gFree = reinterpret_cast<Free>(dlsym(RTLD_DEFAULT, "g_free"));
  if (getFilename == nullptr || gFree == nullptr || dialog.GetHandle() == nullptr) {
    return dialog.GetPath();
  }
  const std::unique_ptr<char, Free> name(getFilename(dialog.GetHandle()), gFree);
  return name != nullptr ? PathToWx(name.get()) : wxString();
}
