// GTK: the window's ATK object takes the texts (wx's wxAccessible serves only Windows). The
// status bar is one the toolkit draws itself, a plain panel to ATK until it is told otherwise.
#include <gtk/gtk.h>

#include "app/accessible_text.h"

void SetAccessibleText(wxWindow& window, const wxString& name, const wxString& description) {
  if (window.GetHandle() == nullptr) return;
  AtkObject* accessible = gtk_widget_get_accessible(GTK_WIDGET(window.GetHandle()));
  if (accessible == nullptr) return;
  atk_object_set_name(accessible, name.utf8_str());
  atk_object_set_description(accessible, description.utf8_str());
}

void SetAccessibleStatus(wxWindow& bar, const wxString& message) {
  if (bar.GetHandle() == nullptr) return;
  AtkObject* accessible = gtk_widget_get_accessible(GTK_WIDGET(bar.GetHandle()));
  if (accessible == nullptr) return;
  atk_object_set_role(accessible, ATK_ROLE_STATUSBAR);
  atk_object_set_name(accessible, message.utf8_str());
}
