// The chosen path with its bytes intact, from GTK itself: wx 3.2's GetPath() decodes GTK's
// answer strictly as UTF-8, so a name in another encoding comes back empty, as if cancelled.
#include <gtk/gtk.h>

#include <memory>

#include "app/chosen_path.h"
#include "app/path_text.h"

wxString ChosenPath(wxFileDialog& dialog) {
  if (dialog.GetHandle() == nullptr) return dialog.GetPath();
  const std::unique_ptr<gchar, decltype(&g_free)> name(
      gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog.GetHandle())), &g_free);
  return name != nullptr ? PathToWx(name.get()) : wxString();
}
