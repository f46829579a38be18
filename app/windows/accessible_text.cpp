// Windows: the window's accessible object (MSAA, which UI Automation also reads) answers with
// the texts.
#include <wx/access.h>

#include "app/accessible_text.h"

namespace {

class NamedAccessible : public wxWindowAccessible {
 public:
  explicit NamedAccessible(wxWindow* window) : wxWindowAccessible(window) {}

  void Set(const wxString& name, const wxString& description) {
    m_name = name;
    m_description = description;
  }

  wxAccStatus GetName(int childId, wxString* name) override {
    if (childId != wxACC_SELF) return wxWindowAccessible::GetName(childId, name);
    *name = m_name;
    return wxACC_OK;
  }

  wxAccStatus GetDescription(int childId, wxString* description) override {
    if (childId != wxACC_SELF) return wxWindowAccessible::GetDescription(childId, description);
    *description = m_description;
    return wxACC_OK;
  }

 private:
  wxString m_name;
  wxString m_description;
};

}  // namespace

void SetAccessibleText(wxWindow& window, const wxString& name, const wxString& description) {
  auto* accessible = dynamic_cast<NamedAccessible*>(window.GetAccessible());
  if (accessible == nullptr) {
    accessible = new NamedAccessible(&window);
    window.SetAccessible(accessible);  // the window owns it from now on
  }
  accessible->Set(name, description);
  // Screen readers that follow the drawing area hear the change.
  wxAccessible::NotifyEvent(wxACC_EVENT_OBJECT_DESCRIPTIONCHANGE, &window, wxOBJID_CLIENT,
                            wxACC_SELF);
}

// Windows' own status bar control tells screen readers what it shows.
void SetAccessibleStatus(wxWindow&, const wxString&) {}
