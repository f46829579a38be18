// GTK: the window's ATK object takes the texts (wx's wxAccessible serves only Windows).
#include <gtk/gtk.h>

#include "app/accessible_text.h"

void SetAccessibleText(wxWindow& window, const wxString& name, const wxString& description) {
  if (window.GetHandle() == nullptr) return;
  AtkObject* accessible = gtk_widget_get_accessible(GTK_WIDGET(window.GetHandle()));
  if (accessible == nullptr) return;
  atk_object_set_name(accessible, name.utf8_str());
  atk_object_set_description(accessible, description.utf8_str());
}
