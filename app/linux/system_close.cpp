// SIGTERM, SIGINT and SIGHUP, which GLib delivers to the main loop that GTK runs.
//
// A signal can come while a dialog runs a loop of its own over the main one (the About box, a
// file dialog, a message box). Closing the window from inside that loop would destroy the
// dialog while it is in use. So the dialogs end first, as Cancel would end them, and the window
// closes once the program is back in its main loop. Dialogs asked for meanwhile are not shown.
#include <glib-unix.h>
#include <gtk/gtk.h>
#include <signal.h>
#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/modalhook.h>

#include <vector>

#include "app/system_close.h"

namespace {

// SIGHUP comes when the terminal that started the program closes.
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

// How often to look whether the dialogs' loops have ended, while they end.
constexpr guint kUnwindCheckMs = 20;

// Ends every modal dialog: the toolkit's own (the About box) through the toolkit, GTK's (file
// choosers, message boxes, and GTK's own questions over them) as their close box would.
void EndModalDialogs() {
  for (wxWindow* window : wxTopLevelWindows) {
    auto* dialog = dynamic_cast<wxDialog*>(window);
    if (dialog != nullptr && dialog->IsModal()) dialog->EndModal(wxID_CANCEL);
  }
  GList* toplevels = gtk_window_list_toplevels();
  for (GList* item = toplevels; item != nullptr; item = item->next) {
    GtkWindow* window = GTK_WINDOW(item->data);
    if (GTK_IS_DIALOG(window) && gtk_window_get_modal(window) &&
        gtk_widget_get_visible(GTK_WIDGET(window))) {
      gtk_dialog_response(GTK_DIALOG(window), GTK_RESPONSE_DELETE_EVENT);
    }
  }
  g_list_free(toplevels);
}

}  // namespace

// Registered as a dialog hook once a close is on its way, to refuse new dialogs.
struct SystemCloseRequests::Watch : wxModalDialogHook {
  explicit Watch(std::function<void()> onClose) : onClose(std::move(onClose)) {}

  ~Watch() override {
    for (const guint source : sources)
      g_source_remove(source);
    if (retry != 0) g_source_remove(retry);
    if (closing) Unregister();
  }

  bool Install() {
    for (const int signal : kSignals) {
      struct sigaction previous = {};
      if (sigaction(signal, nullptr, &previous) != 0) return false;
      // A hangup ignored from the start (nohup) stays ignored: such a session is meant to
      // outlive its terminal.
      if (signal == SIGHUP && previous.sa_handler == SIG_IGN) continue;
      sources.push_back(g_unix_signal_add(signal, &OnSignal, this));
    }
    return true;
  }

  static gboolean OnSignal(gpointer watch) {
    static_cast<Watch*>(watch)->Request();
    return G_SOURCE_CONTINUE;
  }

  static gboolean OnRetry(gpointer data) {
    auto* watch = static_cast<Watch*>(data);
    if (!watch->CloseIfUnwound()) return G_SOURCE_CONTINUE;
    watch->retry = 0;
    return G_SOURCE_REMOVE;
  }

  void Request() {
    if (closing) return;
    closing = true;
    Register();
    if (!CloseIfUnwound()) retry = g_timeout_add(kUnwindCheckMs, &OnRetry, this);
  }

  // Closes the window when called from the main loop itself; from a dialog's loop, ends the
  // dialogs instead, and false.
  bool CloseIfUnwound() {
    if (g_main_depth() > 1) {
      EndModalDialogs();
      return false;
    }
    if (onClose) onClose();
    // A close finishes in idle time, which only comes after further events: ask for it now.
    wxWakeUpIdle();
    return true;
  }

  int Enter(wxDialog*) override { return wxID_CANCEL; }
  void Exit(wxDialog*) override {}

  std::function<void()> onClose;
  std::vector<guint> sources;
  guint retry = 0;
  bool closing = false;
};

SystemCloseRequests::SystemCloseRequests(std::function<void()> onClose)
    : m_watch(std::make_unique<Watch>(std::move(onClose))) {}

SystemCloseRequests::~SystemCloseRequests() = default;

bool SystemCloseRequests::Install() {
  return m_watch->Install();
}
