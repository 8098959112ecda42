// The user's input on the widgets, posted to the core's queue as it comes. GTK's own
// reaction is held back wherever the core decides (typing, selecting, the dialog
// keys); the widget then shows what the core made of it. No handler runs program
// code: that happens once GTK has finished the event, from the core's loop.
#include "winlayer/core/changes.h"
#include "winlayer/core/codepage.h"
#include "winlayer/core/dialog.h"
#include "winlayer/core/input.h"
#include "winlayer/core/keys.h"
#include "winlayer/core/window.h"
#include "winlayer/gtk/gtk_backend.h"

#include <cstring>

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

void OnInsertText(GtkEditable* editable, gchar* text, gint length, gpointer position,
                  gpointer data) {
    if (Instance().Syncing()) {
        return;
    }
    g_signal_stop_emission_by_name(editable, "insert-text");
    const HWND edit = Handle(data);
    // GTK inserts after deleting the selection, which it has only posted: where the
    // text goes is counted in the text as it will be once the selection is gone.
    int at = *static_cast<gint*>(position);
    gint start = 0, end = 0;
    if (gtk_editable_get_selection_bounds(editable, &start, &end)) {
        at = at >= end ? at - (end - start) : (at > start ? start : at);
    }
    std::string typed(text, length < 0 ? std::strlen(text) : static_cast<size_t>(length));
    Post([edit, at, typed] {
        input::PlaceCaret(edit, at, at);
        input::Type(edit, typed);
        ShowAgain(edit);
    });
}

void OnDeleteText(GtkEditable* editable, gint start, gint end, gpointer data) {
    if (Instance().Syncing()) {
        return;
    }
    g_signal_stop_emission_by_name(editable, "delete-text");
    const HWND edit = Handle(data);
    Post([edit, start, end] {
        const Window* window = FindWindow(edit);
        const int last = window != nullptr ? static_cast<int>(window->text.size()) : 0;
        if (start < (end < 0 ? last : end)) {
            input::PlaceCaret(edit, start, end < 0 ? last : end);
            input::Backspace(edit);
        }
        ShowAgain(edit);
    });
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

gboolean OnListKey(GtkWidget*, GdkEventKey* event, gpointer data) {
    UINT key = 0;
    switch (event->keyval) {
    case GDK_KEY_Up:
    case GDK_KEY_KP_Up:
        key = vk::Up;
        break;
    case GDK_KEY_Down:
    case GDK_KEY_KP_Down:
        key = vk::Down;
        break;
    case GDK_KEY_Left:
    case GDK_KEY_KP_Left:
        key = vk::Left;
        break;
    case GDK_KEY_Right:
    case GDK_KEY_KP_Right:
        key = vk::Right;
        break;
    case GDK_KEY_Home:
    case GDK_KEY_KP_Home:
        key = vk::Home;
        break;
    case GDK_KEY_End:
    case GDK_KEY_KP_End:
        key = vk::End;
        break;
    case GDK_KEY_Page_Up:
    case GDK_KEY_KP_Page_Up:
        key = vk::Prior;
        break;
    case GDK_KEY_Page_Down:
    case GDK_KEY_KP_Page_Down:
        key = vk::Next;
        break;
    case GDK_KEY_space:
        key = vk::Space;
        break;
    default:
        // The list's other keys would move GTK's own cursor and selection: only the
        // keys above move the core's.
        return TRUE;
    }
    const HWND list = Handle(data);
    const bool ctrl = (event->state & GDK_CONTROL_MASK) != 0;
    const bool shift = (event->state & GDK_SHIFT_MASK) != 0;
    Post([list, key, ctrl, shift] {
        if (const Window* window = FindWindow(list)) {
            input::Focus(list);
            input::PressKey(window->parent, key, ctrl, shift);
        }
    });
    return TRUE;
}

gboolean OnDialogKey(GtkWidget*, GdkEventKey* event, gpointer data) {
    const HWND dialog = Handle(data);
    const bool shift = (event->state & GDK_SHIFT_MASK) != 0;
    switch (event->keyval) {
    case GDK_KEY_Tab:
    case GDK_KEY_KP_Tab:
    case GDK_KEY_ISO_Left_Tab: {
        const bool backwards = shift || event->keyval == GDK_KEY_ISO_Left_Tab;
        Post([dialog, backwards] { input::PressKey(dialog, vk::Tab, false, backwards); });
        return TRUE;
    }
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
    case GDK_KEY_ISO_Enter:
        Post([dialog] { input::PressKey(dialog, vk::Return); });
        return TRUE;
    case GDK_KEY_Escape:
        Post([dialog] { input::PressKey(dialog, vk::Escape); });
        return TRUE;
    case GDK_KEY_space: {
        // Space goes to the core as a key, not as typed text (the list takes its own).
        const Window* focused = FindWindow(FocusOf(dialog));
        if (focused != nullptr && focused->kind != ControlKind::Edit &&
            focused->kind != ControlKind::ListBox) {
            Post([dialog] { input::PressKey(dialog, vk::Space); });
            return TRUE;
        }
        return FALSE;
    }
    case GDK_KEY_F4:
        if ((event->state & GDK_MOD1_MASK) != 0) {
            Post([dialog] { input::Close(dialog); });
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
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
        break;
    case ControlKind::ListBox:
        g_signal_connect(view.widget, "button-press-event", G_CALLBACK(OnListButton), data);
        g_signal_connect(view.widget, "key-press-event", G_CALLBACK(OnListKey), data);
        break;
    default:
        break;
    }
}

void ConnectDialogInput(HWND dialog, GtkWidget* window) {
    g_signal_connect(window, "key-press-event", G_CALLBACK(OnDialogKey), dialog);
    g_signal_connect(window, "delete-event", G_CALLBACK(OnDelete), dialog);
    ConnectDropInput(dialog, window);
}

} // namespace winlayer::gtk
