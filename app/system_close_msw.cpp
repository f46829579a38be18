// The end of a Windows session. Asked whether it may end, the program closes its window as Exit
// does (the recent list is saved on the way out) and lets the session end; should Windows end
// the session with the window still there, the toolkit's own end-of-session handling runs the
// program's exit, which saves too.
#include <wx/app.h>
#include <wx/event.h>

#include "app/system_close.h"

struct SystemCloseRequests::Watch {
  explicit Watch(std::function<void()> onClose) : onClose(std::move(onClose)) {}
  ~Watch() {
    if (bound && wxTheApp != nullptr) {
      wxTheApp->Unbind(wxEVT_QUERY_END_SESSION, &Watch::OnQueryEnd, this);
    }
  }

  void OnQueryEnd(wxCloseEvent&) {
    if (onClose) onClose();
  }

  std::function<void()> onClose;
  bool bound = false;
};

SystemCloseRequests::SystemCloseRequests(std::function<void()> onClose)
    : m_watch(std::make_unique<Watch>(std::move(onClose))) {}

SystemCloseRequests::~SystemCloseRequests() = default;

bool SystemCloseRequests::Install() {
  if (wxTheApp == nullptr) return false;
  wxTheApp->Bind(wxEVT_QUERY_END_SESSION, &Watch::OnQueryEnd, m_watch.get());
  m_watch->bound = true;
  return true;
}
