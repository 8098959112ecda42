// An edit field's context menu, drawn as a GTK menu from the core's items: each
// chosen item goes back to the core as that field's command.
#include "winlayer/core/input.h"
#include "winlayer/core/message_loop.h"
#include "winlayer/gtk/gtk_backend.h"

namespace winlayer::gtk {

namespace {

// The press or key that asked for the menu: GTK places a menu and takes the pointer
// and keyboard for it by the event that opened it.
GdkEvent* gTrigger = nullptr;

struct Chosen {
    HWND edit;
    EditCommand command;
};

void OnItem(GtkMenuItem*, gpointer data) {
    const Chosen chosen = *static_cast<Chosen*>(data);
    PostInput([chosen] { input::ChooseEditCommand(chosen.edit, chosen.command); });
}

// Windows marks the access key with "&"; GTK with "_".
std::string Mnemonic(std::string label) {
    for (char& c : label) {
        c = c == '&' ? '_' : c;
    }
    return label;
}

} // namespace

void RememberMenuTrigger(const GdkEvent* event) {
    if (gTrigger != nullptr) {
        gdk_event_free(gTrigger);
    }
    gTrigger = event != nullptr ? gdk_event_copy(event) : nullptr;
}

void ShowEditMenu(HWND edit, const std::vector<EditMenuItem>& items) {
    const ControlView* view = Instance().ViewOf(edit);
    if (view == nullptr) {
        return;
    }
    GtkWidget* menu = gtk_menu_new();
    for (const EditMenuItem& item : items) {
        if (item.separatorBefore) {
            gtk_menu_shell_append(GTK_MENU_SHELL(menu), gtk_separator_menu_item_new());
        }
        GtkWidget* entry = gtk_menu_item_new_with_mnemonic(Mnemonic(item.label).c_str());
        gtk_widget_set_sensitive(entry, item.enabled);
        g_signal_connect_data(
            entry, "activate", G_CALLBACK(OnItem), new Chosen{edit, item.command},
            [](gpointer data, GClosure*) { delete static_cast<Chosen*>(data); }, GConnectFlags(0));
        gtk_menu_shell_append(GTK_MENU_SHELL(menu), entry);
    }
    gtk_menu_attach_to_widget(GTK_MENU(menu), view->widget, nullptr);
    // Gone once closed, whichever way.
    g_signal_connect(menu, "deactivate", G_CALLBACK(+[](GtkMenuShell* shell, gpointer) {
                         g_idle_add(
                             [](gpointer widget) -> gboolean {
                                 gtk_widget_destroy(static_cast<GtkWidget*>(widget));
                                 return G_SOURCE_REMOVE;
                             },
                             shell);
                     }),
                     nullptr);
    gtk_widget_show_all(menu);
    if (gTrigger != nullptr && gTrigger->type == GDK_BUTTON_PRESS) {
        gtk_menu_popup_at_pointer(GTK_MENU(menu), gTrigger);
    } else {
        gtk_menu_popup_at_widget(GTK_MENU(menu), view->widget, GDK_GRAVITY_SOUTH_WEST,
                                 GDK_GRAVITY_NORTH_WEST, gTrigger);
    }
}

} // namespace winlayer::gtk
