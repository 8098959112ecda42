// The pointer's shape over the program's windows.
#include "winlayer/gtk/gtk_backend.h"

namespace winlayer::gtk {

void ShowPointerShape(CursorShape shape) {
    GdkDisplay* display = gdk_display_get_default();
    if (display == nullptr) {
        return;
    }
    GdkCursor* cursor = nullptr; // the arrow: each window's own cursor again
    if (shape == CursorShape::Wait) {
        cursor = gdk_cursor_new_from_name(display, "wait");
    } else if (shape == CursorShape::None) {
        cursor = gdk_cursor_new_for_display(display, GDK_BLANK_CURSOR);
    }
    GList* windows = gtk_window_list_toplevels();
    for (GList* window = windows; window != nullptr; window = window->next) {
        GdkWindow* surface = gtk_widget_get_window(GTK_WIDGET(window->data));
        if (surface != nullptr) {
            gdk_window_set_cursor(surface, cursor);
        }
    }
    g_list_free(windows);
    if (cursor != nullptr) {
        g_object_unref(cursor);
    }
    // The command that set it goes on without the loop: out to the display now, and
    // with it whatever else waits there (a chooser taken down just before).
    gdk_display_flush(display);
}

} // namespace winlayer::gtk
