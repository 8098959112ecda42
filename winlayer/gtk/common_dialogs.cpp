// The open-file dialog as GTK's file chooser, and the message box as a GTK message
// window. Their answers go to the core like any other input.
#include "winlayer/core/codepage.h"
#include "winlayer/core/input.h"
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
        gtk_file_filter_set_name(filter, Windows1252ToUtf8(dialog.filters[i].description).c_str());
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

} // namespace

void GtkBackend::RunFileDialog(FileDialog& dialog) {
    ShowChanges();
    GtkWidget* chooser = gtk_file_chooser_dialog_new(
        Windows1252ToUtf8(dialog.title).c_str(), GTK_WINDOW(WindowOf(dialog.owner)),
        GTK_FILE_CHOOSER_ACTION_OPEN, "_Cancel", GTK_RESPONSE_CANCEL, "_Open", GTK_RESPONSE_ACCEPT,
        nullptr);
    gtk_file_chooser_set_select_multiple(GTK_FILE_CHOOSER(chooser),
                                         (dialog.flags & OFN_ALLOWMULTISELECT) != 0);
    gtk_file_chooser_set_local_only(GTK_FILE_CHOOSER(chooser), TRUE);
    gtk_window_set_default_size(GTK_WINDOW(chooser), 720, 480);
    AddFilters(GTK_FILE_CHOOSER(chooser), dialog);
    while (!dialog.done) {
        if (gtk_dialog_run(GTK_DIALOG(chooser)) != GTK_RESPONSE_ACCEPT) {
            input::CancelFileDialog();
            break;
        }
        // The chosen files, as a directory and the names in it (file names are the
        // platform's bytes, passed through unchanged).
        GSList* files = gtk_file_chooser_get_filenames(GTK_FILE_CHOOSER(chooser));
        std::string directory;
        std::vector<std::string> names;
        for (GSList* f = files; f != nullptr; f = f->next) {
            const char* path = static_cast<const char*>(f->data);
            gchar* folder = g_path_get_dirname(path);
            gchar* name = g_path_get_basename(path);
            if (names.empty()) {
                directory = folder;
            }
            if (directory == folder) {
                names.push_back(name);
            }
            g_free(folder);
            g_free(name);
        }
        g_slist_free_full(files, g_free);
        input::AcceptFileDialog(directory, names); // refused: the chooser stays open
    }
    DestroyLater(chooser);
}

void GtkBackend::RunMessageBox(MessageBoxState& box) {
    ShowChanges();
    GtkWidget* message = gtk_message_dialog_new(
        GTK_WINDOW(WindowOf(box.owner)),
        static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT),
        GTK_MESSAGE_OTHER, GTK_BUTTONS_OK, "%s", Windows1252ToUtf8(box.text).c_str());
    gtk_window_set_title(GTK_WINDOW(message), Windows1252ToUtf8(box.caption).c_str());
    gtk_widget_set_name(message, "dialog");
    gtk_dialog_run(GTK_DIALOG(message));
    DestroyLater(message);
    input::DismissMessageBox();
}

} // namespace winlayer::gtk
