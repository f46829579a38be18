// GTK: the window's ATK object takes the texts. wx's wxAccessible serves only Windows, and GTK
// and ATK are already loaded by the toolkit, so their three functions are looked up at run time
// rather than linked (which would need their development files for three declarations).
#include <dlfcn.h>

#include "app/accessible_text.h"

namespace {

using GetAccessible = void* (*)(void*);
using SetText = void (*)(void*, const char*);

template <typename F>
F Lookup(const char* name) {
  return reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
}

}  // namespace

void SetAccessibleText(wxWindow& window, const wxString& name, const wxString& description) {
  static const auto getAccessible = Lookup<GetAccessible>("gtk_widget_get_accessible");
  static const auto setName = Lookup<SetText>("atk_object_set_name");
  static const auto setDescription = Lookup<SetText>("atk_object_set_description");
  if (getAccessible == nullptr || setName == nullptr || setDescription == nullptr) return;
  if (window.GetHandle() == nullptr) return;
  void* accessible = getAccessible(window.GetHandle());
  if (accessible == nullptr) return;
  setName(accessible, name.utf8_str());
  setDescription(accessible, description.utf8_str());
}
