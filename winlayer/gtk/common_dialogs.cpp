// The open-file dialog as GTK's file chooser, and the message box as a GTK message
// window. Their answers are posted to the core like any other input; the core takes
// the window down once it has the answer. Neither is modal in GTK: as on Windows, the
// core disables only the owner, and any other window (an About box) still takes input.
#include "winlayer/core/input.h"
#include "winlayer/core/message_loop.h"
#include "winlayer/gtk/gtk_backend.h"
#include "winlayer/include/win32_constants.h"

#include <string>
#include <vector>

namespace winlayer::gtk {

namespace {

// Windows matches file patterns without regard to case: "*.mp3" also shows
// "SONG.MP3". GTK's patterns are exact, so each letter becomes "[xX]".
std::string CaseInsensitive(const std::string& pattern) {
    std::string out;
    for (char c : pattern) {
        if (g_ascii_isalpha(c)) {
            out += '[';
            out += g_ascii_tolower(c);
            out += g_ascii_toupper(c);
            out += ']';
        } else {
            out += c;
        }
    }
    return out;
}

void AddFilters(GtkFileChooser* chooser, const FileDialog& dialog) {
    for (size_t i = 0; i < dialog.filters.size(); ++i) {
        GtkFileFilter* filter = gtk_file_filter_new();
        gtk_file_filter_set_name(filter, dialog.filters[i].description.c_str());
        gchar** patterns = g_strsplit(dialog.filters[i].pattern.c_str(), ";", -1);
        for (gchar** p = patterns; *p != nullptr; ++p) {
            gtk_file_filter_add_pattern(filter, CaseInsensitive(*p).c_str());
        }
        g_strfreev(patterns);
        gtk_file_chooser_add_filter(chooser, filter); // the chooser takes it
        if (static_cast<int>(i) + 1 == dialog.filterIndex) {
            gtk_file_chooser_set_filter(chooser, filter);
        }
    }
}

void OnChooserResponse(GtkDialog* chooser, gint response, gpointer) {
    if (response != GTK_RESPONSE_ACCEPT) {
        PostInput([] { input::CancelFileDialog(); });
        return;
    }
    // Every chosen file, from whatever folders the chooser shows them in (file names
    // are the platform's bytes, passed through unchanged).
    std::vector<std::string> paths;
    GSList* files = gtk_file_chooser_get_filenames(GTK_FILE_CHOOSER(chooser));
    for (GSList* f = files; f != nullptr; f = f->next) {
        paths.emplace_back(static_cast<const char*>(f->data));
    }
    g_slist_free_full(files, g_free);
    PostInput([paths] { input::AcceptChosenFiles(paths); }); // refused: the chooser stays
}

void OnMessageResponse(GtkDialog*, gint, gpointer) {
    PostInput([] { input::DismissMessageBox(); });
}

// Escape, the close box and Alt+F4 answer the dialog (as its response) and leave it
// standing: the core takes it down once it has the answer.
gboolean KeepOnDelete(GtkWidget*, GdkEvent*, gpointer) {
    return TRUE;
}

} // namespace

GtkWidget* NewFileChooser(const FileDialog& dialog, GtkWindow* owner) {
    GtkWidget* chooser = gtk_file_chooser_dialog_new(
        dialog.title.c_str(), owner, GTK_FILE_CHOOSER_ACTION_OPEN, "_Cancel", GTK_RESPONSE_CANCEL,
        "_Open", GTK_RESPONSE_ACCEPT, nullptr);
    gtk_file_chooser_set_select_multiple(GTK_FILE_CHOOSER(chooser),
                                         (dialog.flags & OFN_ALLOWMULTISELECT) != 0);
    gtk_file_chooser_set_local_only(GTK_FILE_CHOOSER(chooser), TRUE);
    gtk_window_set_default_size(GTK_WINDOW(chooser), 720, 480);
    AddFilters(GTK_FILE_CHOOSER(chooser), dialog);
    g_signal_connect(chooser, "response", G_CALLBACK(OnChooserResponse), nullptr);
    g_signal_connect(chooser, "delete-event", G_CALLBACK(KeepOnDelete), nullptr);
    return chooser;
}

GtkWidget* NewMessageWindow(const MessageBoxState& box, GtkWindow* owner) {
    GtkWidget* message = gtk_message_dialog_new(owner, GtkDialogFlags(0), GTK_MESSAGE_OTHER,
                                                GTK_BUTTONS_OK, "%s", box.text.c_str());
    gtk_window_set_title(GTK_WINDOW(message), box.caption.c_str());
    gtk_widget_set_name(message, "dialog");
    g_signal_connect(message, "response", G_CALLBACK(OnMessageResponse), nullptr);
    g_signal_connect(message, "delete-event", G_CALLBACK(KeepOnDelete), nullptr);
    return message;
}

} // namespace winlayer::gtk
