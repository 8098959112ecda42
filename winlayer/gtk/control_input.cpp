// The user's input on the widgets (the keyboard is key_input.cpp's), posted to the
// core's queue as it comes. GTK's own reaction is held back wherever the core
// decides (typing, placing the caret, selecting); the widget then shows what the core
// made of it. No handler runs program code: that happens once GTK has finished the
// event, from the core's loop.
#include "winlayer/core/changes.h"
#include "winlayer/core/codepage.h"
#include "winlayer/core/input.h"
#include "winlayer/core/keys.h"
#include "winlayer/core/message_loop.h"
#include "winlayer/core/window.h"
#include "winlayer/gtk/gtk_backend.h"

#include <cstring>
#include <utility>

namespace winlayer::gtk {

namespace {

HWND Handle(gpointer data) {
    return static_cast<HWND>(data);
}

// Posts the user's input, unless the widget's signal came from the back end showing
// the core's state.
void Post(InputEvent event) {
    if (!Instance().Syncing()) {
        PostInput(std::move(event));
    }
}

// GTK has already changed the widget (a check box toggles itself); once the core has
// decided, the widget shows the core's state again, also where it refused the input.
void ShowAgain(HWND control) {
    Record(ChangeKind::State, control);
}

void OnClicked(GtkButton*, gpointer data) {
    const HWND control = Handle(data);
    Post([control] {
        input::Click(control);
        ShowAgain(control);
    });
}

gboolean OnFocusIn(GtkWidget*, GdkEvent*, gpointer data) {
    const HWND control = Handle(data);
    Post([control] { input::Focus(control); });
    return FALSE;
}

// Text committed into a field (typed, through its input method, or pasted from GTK's
// own menu) goes to the control that has the core's focus, which types it at its
// caret; a space alone is the Space key, as the core takes it. GTK's buffer only ever
// shows the core's text.
void OnInsertText(GtkEditable* editable, gchar* text, gint length, gpointer, gpointer data) {
    if (Instance().Syncing()) {
        return;
    }
    g_signal_stop_emission_by_name(editable, "insert-text");
    const HWND edit = Handle(data);
    const std::string typed(text, length < 0 ? std::strlen(text) : static_cast<size_t>(length));
    Post([edit, typed] {
        if (const Window* window = FindWindow(edit)) {
            if (typed == " ") {
                input::PressKey(window->parent, vk::Space);
            } else {
                input::TypeText(window->parent, typed);
            }
        }
        ShowAgain(edit);
    });
}

// GTK deletes on its own only from its menu (Cut, Delete) or for an input method:
// the core deletes the same characters, as the selection and Delete would.
void OnDeleteText(GtkEditable* editable, gint start, gint end, gpointer data) {
    if (Instance().Syncing()) {
        return;
    }
    g_signal_stop_emission_by_name(editable, "delete-text");
    const HWND edit = Handle(data);
    Post([edit, start, end] {
        const Window* window = FindWindow(edit);
        if (window != nullptr) {
            const int last = static_cast<int>(Utf8ToChars(window->text).size());
            if (start < (end < 0 ? last : end)) {
                input::Focus(edit);
                input::PlaceCaret(edit, start, end < 0 ? last : end);
                input::PressKey(window->parent, vk::Delete);
            }
        }
        ShowAgain(edit);
    });
}

// The character of a field before which a point of the widget falls.
int CharacterAt(GtkWidget* widget, GdkWindow* eventWindow, double x, double y) {
    // The event's coordinates are its window's: make them the widget's.
    for (GdkWindow* w = eventWindow; w != nullptr && w != gtk_widget_get_window(widget);
         w = gdk_window_get_parent(w)) {
        int wx = 0, wy = 0;
        gdk_window_get_position(w, &wx, &wy);
        x += wx;
        y += wy;
    }
    if (!gtk_widget_get_has_window(widget)) {
        GtkAllocation area;
        gtk_widget_get_allocation(widget, &area);
        x -= area.x;
        y -= area.y;
    }
    GtkEntry* entry = GTK_ENTRY(widget);
    gint offsetX = 0, offsetY = 0;
    gtk_entry_get_layout_offsets(entry, &offsetX, &offsetY);
    PangoLayout* layout = gtk_entry_get_layout(entry);
    int index = 0, trailing = 0;
    pango_layout_xy_to_index(layout, static_cast<int>((x - offsetX) * PANGO_SCALE),
                             static_cast<int>((y - offsetY) * PANGO_SCALE), &index, &trailing);
    const int byte = gtk_entry_layout_index_to_text_index(entry, index);
    const char* text = gtk_entry_get_text(entry);
    return static_cast<int>(g_utf8_pointer_to_offset(text, text + byte)) + trailing;
}

// A press of the left button in a field puts the core's caret there (Shift extends
// the selection); dragging with it held extends the selection. The right button asks
// the core for the field's menu; the middle one pastes the desktop's selected text
// (its primary selection) where it is pressed.
gboolean OnEditButton(GtkWidget* widget, GdkEventButton* event, gpointer data) {
    if (event->type != GDK_BUTTON_PRESS) {
        return TRUE;
    }
    const HWND edit = Handle(data);
    const int at = CharacterAt(widget, event->window, event->x, event->y);
    if (event->button == 1) {
        const bool shift = (event->state & GDK_SHIFT_MASK) != 0;
        Post([edit, at, shift] { input::ClickEdit(edit, at, shift); });
    } else if (event->button == 3) {
        RememberMenuTrigger(reinterpret_cast<GdkEvent*>(event));
        Post([edit] { input::EditContextMenu(edit); });
    } else if (event->button == 2) {
        gtk_clipboard_request_text(
            gtk_widget_get_clipboard(widget, GDK_SELECTION_PRIMARY),
            [](GtkClipboard*, const gchar* text, gpointer request) {
                auto* where = static_cast<std::pair<HWND, int>*>(request);
                if (text != nullptr) {
                    const std::string pasted = text;
                    const auto [target, place] = *where;
                    Post([target, place, pasted] {
                        input::PasteSelectionAt(target, place, pasted);
                    });
                }
                delete where;
            },
            new std::pair<HWND, int>(edit, at));
    }
    return TRUE;
}

gboolean OnEditDrag(GtkWidget* widget, GdkEventMotion* event, gpointer data) {
    if ((event->state & GDK_BUTTON1_MASK) == 0) {
        return FALSE;
    }
    const HWND edit = Handle(data);
    const int at = CharacterAt(widget, event->window, event->x, event->y);
    Post([edit, at] { input::DragEdit(edit, at); });
    return TRUE;
}

gboolean OnListButton(GtkWidget* widget, GdkEventButton* event, gpointer data) {
    if (event->button != 1) {
        return FALSE;
    }
    const HWND list = Handle(data);
    int index = -1;
    GtkTreePath* path = nullptr;
    if (gtk_tree_view_get_path_at_pos(GTK_TREE_VIEW(widget), static_cast<gint>(event->x),
                                      static_cast<gint>(event->y), &path, nullptr, nullptr,
                                      nullptr)) {
        index = gtk_tree_path_get_indices(path)[0];
        gtk_tree_path_free(path);
    }
    const bool ctrl = (event->state & GDK_CONTROL_MASK) != 0;
    const bool shift = (event->state & GDK_SHIFT_MASK) != 0;
    if (event->type == GDK_2BUTTON_PRESS) {
        Post([list, index] { input::DoubleClickListEntry(list, index); });
    } else if (event->type == GDK_BUTTON_PRESS) {
        Post([list, index, ctrl, shift] { input::ClickListEntry(list, index, ctrl, shift); });
    }
    return TRUE;
}

// The user scrolls the list, with the wheel over it or with its scroll bar: the core
// decides the new top row, and the view shows it. GTK's own scrolling never moves
// the view, and where GTK keeps the view within fewer rows, that is only shown.
gboolean OnListWheel(GtkWidget*, GdkEventScroll* event, gpointer data) {
    int notches = 0;
    if (event->direction == GDK_SCROLL_UP || event->direction == GDK_SCROLL_DOWN) {
        notches = event->direction == GDK_SCROLL_UP ? -1 : 1;
    } else if (event->direction == GDK_SCROLL_SMOOTH) {
        // A touchpad's small steps add up to whole notches.
        static double pending = 0;
        pending += event->delta_y;
        notches = static_cast<int>(pending);
        pending -= notches;
    }
    if (notches != 0) {
        const HWND list = Handle(data);
        Post([list, notches] { input::WheelList(list, notches); });
    }
    return TRUE;
}

gboolean OnListScrollBar(GtkRange*, GtkScrollType, gdouble value, gpointer data) {
    const HWND list = Handle(data);
    const ControlView* view = Instance().ViewOf(list);
    if (view != nullptr) {
        const int top = static_cast<int>(value) / RowHeight(view->widget);
        Post([list, top] { input::ScrollList(list, top); });
    }
    return TRUE;
}

// The rows the list's view shows, for the core's Page Up and Page Down; told to the
// core when they change.
void OnListAllocated(GtkWidget* widget, GdkRectangle*, gpointer data) {
    GdkRectangle visible;
    gtk_tree_view_get_visible_rect(GTK_TREE_VIEW(widget), &visible);
    const int rows = visible.height / RowHeight(widget);
    const int shown = GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), "quorwin-page"));
    if (rows > 0 && rows != shown) {
        g_object_set_data(G_OBJECT(widget), "quorwin-page", GINT_TO_POINTER(rows));
        const HWND list = Handle(data);
        PostInput([list, rows] { input::SetListPage(list, rows); });
    }
}

gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
    const HWND dialog = Handle(data);
    Post([dialog] { input::Close(dialog); });
    return TRUE; // the core decides whether the window goes
}

} // namespace

void ConnectControlInput(HWND control, ControlView& view) {
    const Window* window = FindWindow(control);
    gpointer data = control;
    g_signal_connect(view.widget, "focus-in-event", G_CALLBACK(OnFocusIn), data);
    switch (window->kind) {
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
        g_signal_connect(view.widget, "clicked", G_CALLBACK(OnClicked), data);
        break;
    case ControlKind::Edit:
        g_signal_connect(view.widget, "insert-text", G_CALLBACK(OnInsertText), data);
        g_signal_connect(view.widget, "delete-text", G_CALLBACK(OnDeleteText), data);
        g_signal_connect(view.widget, "button-press-event", G_CALLBACK(OnEditButton), data);
        g_signal_connect(view.widget, "motion-notify-event", G_CALLBACK(OnEditDrag), data);
        break;
    case ControlKind::ListBox:
        g_signal_connect(view.widget, "button-press-event", G_CALLBACK(OnListButton), data);
        g_signal_connect(view.widget, "size-allocate", G_CALLBACK(OnListAllocated), data);
        g_signal_connect(view.widget, "scroll-event", G_CALLBACK(OnListWheel), data);
        g_signal_connect(gtk_scrolled_window_get_vscrollbar(GTK_SCROLLED_WINDOW(view.outer)),
                         "change-value", G_CALLBACK(OnListScrollBar), data);
        break;
    default:
        break;
    }
}

void ConnectDialogInput(HWND dialog, GtkWidget* window) {
    ConnectKeyInput(dialog, window);
    g_signal_connect(window, "delete-event", G_CALLBACK(OnDelete), dialog);
    ConnectDropInput(dialog, window);
}

} // namespace winlayer::gtk
