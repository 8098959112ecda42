// The clipboard: the core keeps the text its fields paste, and this keeps it the
// desktop's. What the program's fields copy or cut goes onto the desktop's clipboard;
// what any program puts there comes back to the core as input, in its turn.
#include "winlayer/core/clipboard.h"
#include "winlayer/core/message_loop.h"
#include "winlayer/gtk/gtk_backend.h"

#include <string>

namespace winlayer::gtk {

namespace {

GtkClipboard* DesktopClipboard() {
    return gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
}

void OnTextReceived(GtkClipboard*, const gchar* text, gpointer) {
    const std::string received = text != nullptr ? text : "";
    PostInput([received] { SetClipboardText(received); });
}

void OnOwnerChange(GtkClipboard* clipboard, GdkEvent*, gpointer) {
    gtk_clipboard_request_text(clipboard, OnTextReceived, nullptr);
}

} // namespace

void ShareClipboard(BackendHooks& hooks) {
    hooks.clipboardChanged = [](const std::string& text) {
        gtk_clipboard_set_text(DesktopClipboard(), text.c_str(), static_cast<gint>(text.size()));
    };
    g_signal_connect(DesktopClipboard(), "owner-change", G_CALLBACK(OnOwnerChange), nullptr);
    gtk_clipboard_request_text(DesktopClipboard(), OnTextReceived, nullptr); // what is there now
}

} // namespace winlayer::gtk
