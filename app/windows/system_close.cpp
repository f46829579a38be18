// The end of a Windows session. When Windows says the session ends, the window closes as Exit
// closes it, and the toolkit's own end-of-session handling then runs the program's exit, which
// saves the recent list, before Windows ends the process. Asked beforehand whether the session
// may end, the program says yes and does nothing yet: a window closed then would no longer be
// the main window that Windows' announcement of the end reaches, and the program would be ended
// without its exit.
#include <wx/app.h>
#include <wx/event.h>

#include "app/system_close.h"

struct SystemCloseRequests::Watch {
  explicit Watch(std::function<void()> onClose) : onClose(std::move(onClose)) {}
  ~Watch() {
    if (bound && wxTheApp != nullptr) {
      wxTheApp->Unbind(wxEVT_QUERY_END_SESSION, &Watch::OnQueryEnd, this);
      wxTheApp->Unbind(wxEVT_END_SESSION, &Watch::OnEnd, this);
    }
  }

  void OnQueryEnd(wxCloseEvent&) {}  // not vetoed: the session may end

  void OnEnd(wxCloseEvent& event) {
    if (onClose) onClose();
    event.Skip();  // on to the toolkit's handling, which runs the exit
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
  wxTheApp->Bind(wxEVT_END_SESSION, &Watch::OnEnd, m_watch.get());
  m_watch->bound = true;
  return true;
}
