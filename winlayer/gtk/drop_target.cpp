// Files dropped from a file manager: a window that accepts dropped files (the program
// said so with DragAcceptFiles) is a drop target for "text/uri-list"; a drop becomes
// one input event with the local paths in it.
#include "winlayer/core/drop.h"
#include "winlayer/core/input.h"
#include "winlayer/core/message_loop.h"
#include "winlayer/core/window.h"
#include "winlayer/gtk/gtk_backend.h"
#include "winlayer/include/win32_constants.h"

#include <string>
#include <vector>

namespace winlayer::gtk {

namespace {

void OnDropReceived(GtkWidget*, GdkDragContext* context, gint, gint, GtkSelectionData* data, guint,
                    guint time, gpointer window) {
    std::vector<std::string> paths;
    gchar** uris = gtk_selection_data_get_uris(data);
    for (gchar** uri = uris; uri != nullptr && *uri != nullptr; ++uri) {
        // The file system's own bytes for a file:// address; other addresses are not
        // files here and are left out.
        if (gchar* path = g_filename_from_uri(*uri, nullptr, nullptr)) {
            paths.emplace_back(path);
            g_free(path);
        }
    }
    g_strfreev(uris);
    gtk_drag_finish(context, !paths.empty(), FALSE, time);
    const HWND dialog = static_cast<HWND>(window);
    PostInput([dialog, paths] { input::DropFiles(dialog, paths); });
}

} // namespace

void ShowDropTarget(HWND dialog, GtkWidget* window) {
    const bool accepts = AcceptsDrops(dialog);
    const bool is = g_object_get_data(G_OBJECT(window), "quorwin-drop") != nullptr;
    if (accepts == is) {
        return;
    }
    g_object_set_data(G_OBJECT(window), "quorwin-drop", accepts ? window : nullptr);
    if (!accepts) {
        gtk_drag_dest_unset(window);
        return;
    }
    static const GtkTargetEntry kUriList[] = {{const_cast<gchar*>("text/uri-list"), 0, 0}};
    gtk_drag_dest_set(window, GTK_DEST_DEFAULT_ALL, kUriList, 1, GDK_ACTION_COPY);
}

void ConnectDropInput(HWND dialog, GtkWidget* window) {
    g_signal_connect(window, "drag-data-received", G_CALLBACK(OnDropReceived), dialog);
}

} // namespace winlayer::gtk
