// The keyboard: every key pressed in a dialog's window goes to the core as a Windows
// key code, and GTK's own key bindings (moving the focus, editing, the list's cursor)
// never see it. Text is the exception: a key that the focused field's input method
// takes (a letter, a dead key, a compose sequence, another script's input method)
// reaches the core as the text the method commits, through the field's insert-text.
#include "winlayer/core/input.h"
#include "winlayer/core/keys.h"
#include "winlayer/core/message_loop.h"
#include "winlayer/gtk/gtk_backend.h"

#include <string>

namespace winlayer::gtk {

namespace {

// GTK's names of the keys the core takes, with their Windows key codes.
constexpr struct {
    guint keyval;
    UINT key;
} kKeys[] = {
    {GDK_KEY_Tab, vk::Tab},
    {GDK_KEY_KP_Tab, vk::Tab},
    {GDK_KEY_ISO_Left_Tab, vk::Tab},
    {GDK_KEY_Return, vk::Return},
    {GDK_KEY_KP_Enter, vk::Return},
    {GDK_KEY_ISO_Enter, vk::Return},
    {GDK_KEY_Escape, vk::Escape},
    {GDK_KEY_space, vk::Space},
    {GDK_KEY_KP_Space, vk::Space},
    {GDK_KEY_BackSpace, vk::Back},
    {GDK_KEY_Delete, vk::Delete},
    {GDK_KEY_KP_Delete, vk::Delete},
    {GDK_KEY_Page_Up, vk::Prior},
    {GDK_KEY_KP_Page_Up, vk::Prior},
    {GDK_KEY_Page_Down, vk::Next},
    {GDK_KEY_KP_Page_Down, vk::Next},
    {GDK_KEY_End, vk::End},
    {GDK_KEY_KP_End, vk::End},
    {GDK_KEY_Home, vk::Home},
    {GDK_KEY_KP_Home, vk::Home},
    {GDK_KEY_Left, vk::Left},
    {GDK_KEY_KP_Left, vk::Left},
    {GDK_KEY_Up, vk::Up},
    {GDK_KEY_KP_Up, vk::Up},
    {GDK_KEY_Right, vk::Right},
    {GDK_KEY_KP_Right, vk::Right},
    {GDK_KEY_Down, vk::Down},
    {GDK_KEY_KP_Down, vk::Down},
    {GDK_KEY_F4, vk::F4},
    {GDK_KEY_F10, vk::F10},
    {GDK_KEY_Menu, vk::Apps},
};

// The Windows key code of a key GTK names, or 0 for one the core has no use for.
UINT KeyCode(guint keyval, bool ctrl) {
    for (const auto& known : kKeys) {
        if (known.keyval == keyval) {
            return known.key;
        }
    }
    // With Ctrl or Alt a letter is a command (Ctrl+A, Ctrl+C, ...): its code is the capital.
    const guint upper = gdk_keyval_to_upper(keyval);
    return ctrl && upper >= GDK_KEY_A && upper <= GDK_KEY_Z
               ? static_cast<UINT>('A' + (upper - GDK_KEY_A))
               : 0;
}

gboolean OnKey(GtkWidget* window, GdkEventKey* event, gpointer data) {
    const HWND dialog = static_cast<HWND>(data);
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window));
    if (focus != nullptr && GTK_IS_ENTRY(focus) &&
        gtk_entry_im_context_filter_keypress(GTK_ENTRY(focus), event)) {
        return TRUE; // the input method took it: what it commits comes as text
    }
    const bool ctrl = (event->state & GDK_CONTROL_MASK) != 0;
    const bool shift = (event->state & GDK_SHIFT_MASK) != 0;
    const bool alt = (event->state & GDK_MOD1_MASK) != 0;
    if (const UINT key = KeyCode(event->keyval, ctrl || alt); key != 0) {
        RememberMenuTrigger(reinterpret_cast<GdkEvent*>(event)); // the menu key's menu
        PostInput(
            [dialog, key, ctrl, shift, alt] { input::PressKey(dialog, key, ctrl, shift, alt); });
        return TRUE;
    }
    if (alt) {
        return TRUE; // a character with Alt is no text
    }
    // A character where no input method listens (the list's search for an entry).
    const gunichar c = gdk_keyval_to_unicode(event->keyval);
    if (!ctrl && c >= 0x20 && c != 0x7F) {
        char text[8] = {};
        g_unichar_to_utf8(c, text);
        const std::string typed = text;
        PostInput([dialog, typed] { input::TypeText(dialog, typed); });
    }
    return TRUE;
}

gboolean OnKeyRelease(GtkWidget* window, GdkEventKey* event, gpointer) {
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(window));
    if (focus != nullptr && GTK_IS_ENTRY(focus)) {
        gtk_entry_im_context_filter_keypress(GTK_ENTRY(focus), event);
    }
    return TRUE;
}

} // namespace

void ConnectKeyInput(HWND dialog, GtkWidget* window) {
    g_signal_connect(window, "key-press-event", G_CALLBACK(OnKey), dialog);
    g_signal_connect(window, "key-release-event", G_CALLBACK(OnKeyRelease), nullptr);
}

} // namespace winlayer::gtk
