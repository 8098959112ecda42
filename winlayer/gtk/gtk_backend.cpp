#include "winlayer/gtk/gtk_backend.h"

#include "winlayer/core/dialog.h"
#include "winlayer/core/window.h"
#include "winlayer/include/win32_constants.h"

#include <algorithm>

namespace winlayer::gtk {

struct SyncGuard {
    explicit SyncGuard(GtkBackend& backend) : backend_(backend) { ++backend_.syncing_; }
    ~SyncGuard() { --backend_.syncing_; }
    GtkBackend& backend_;
};

namespace {
GtkBackend* gInstance = nullptr;
}

GtkBackend& Instance() {
    return *gInstance;
}

GtkBackend::GtkBackend() {
    gInstance = this;
    InstallStyle();
}

void GtkBackend::WaitForInput() {
    ShowChanges();
    gtk_main_iteration_do(TRUE);
}

void GtkBackend::ShowChanges() {
    std::vector<HWND> changed;
    changed.swap(changed_);
    for (HWND control : changed) {
        ShowNow(control);
    }
}

void GtkBackend::ShowNow(HWND control) {
    auto found = controls_.find(control);
    if (found != controls_.end() && FindWindow(control) != nullptr) {
        Sync(control, found->second);
    }
}

void GtkBackend::DialogCreated(HWND handle) {
    const Window* dialog = FindWindow(handle);
    DialogView view;
    view.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(view.window), dialog->text.c_str());
    gtk_window_set_resizable(GTK_WINDOW(view.window), FALSE);
    // A window with a minimize box is an ordinary window; one without is a dialog.
    gtk_window_set_type_hint(GTK_WINDOW(view.window), (dialog->style & WS_MINIMIZEBOX) != 0
                                                          ? GDK_WINDOW_TYPE_HINT_NORMAL
                                                          : GDK_WINDOW_TYPE_HINT_DIALOG);
    const DialogTemplate* entry = dialog->dialogTemplate;
    const BaseUnits units = MeasureFont(entry != nullptr ? entry->fontName : "",
                                        entry != nullptr ? entry->fontPoints : 8);
    const Rect frame = ToPixels(dialog->rect, units);
    view.fixed = gtk_fixed_new();
    gtk_widget_set_size_request(view.fixed, frame.cx, frame.cy);
    gtk_container_add(GTK_CONTAINER(view.window), view.fixed);
    gtk_window_move(GTK_WINDOW(view.window), frame.x, frame.y);
    gtk_widget_set_name(view.window, "dialog");

    SyncGuard guard(*this);
    for (HWND child : dialog->children) {
        const Window* control = FindWindow(child);
        ControlView built = BuildControl(*this, child);
        built.dialog = handle;
        const Rect place = ToPixels(control->rect, units);
        if (control->kind == ControlKind::Bitmap) {
            gtk_widget_set_size_request(built.outer, -1, -1); // the picture's own size
        } else {
            gtk_widget_set_size_request(built.outer, place.cx, place.cy);
        }
        gtk_fixed_put(GTK_FIXED(view.fixed), built.outer, place.x, place.y);
        controls_[child] = built;
        view.controls.push_back(child);
        Sync(child, controls_[child]);
    }
    ConnectDialogInput(*this, handle, view.window);
    dialogs_[handle] = view;
}

void GtkBackend::DialogShown(HWND dialog) {
    auto found = dialogs_.find(dialog);
    if (found == dialogs_.end()) {
        return;
    }
    SyncGuard guard(*this);
    gtk_widget_show_all(found->second.window);
    gtk_window_present(GTK_WINDOW(found->second.window));
    FocusChanged(dialog);
}

void GtkBackend::WindowDestroyed(HWND window) {
    auto found = dialogs_.find(window);
    if (found == dialogs_.end()) {
        controls_.erase(window);
        return;
    }
    for (HWND control : found->second.controls) {
        controls_.erase(control);
    }
    GtkWidget* gone = found->second.window;
    dialogs_.erase(found);
    SyncGuard guard(*this);
    DestroyLater(gone); // the event that closed it may be a click on its own OK button
}

void DestroyLater(GtkWidget* window) {
    gtk_widget_hide(window);
    g_idle_add(
        [](gpointer widget) -> gboolean {
            gtk_widget_destroy(static_cast<GtkWidget*>(widget));
            return G_SOURCE_REMOVE;
        },
        window);
}

void GtkBackend::ControlChanged(HWND control) {
    if (controls_.count(control) != 0 &&
        std::find(changed_.begin(), changed_.end(), control) == changed_.end()) {
        changed_.push_back(control);
    }
}

void GtkBackend::FocusChanged(HWND dialog) {
    auto control = controls_.find(FocusOf(dialog));
    if (control == controls_.end()) {
        return;
    }
    SyncGuard guard(*this);
    if (!gtk_widget_has_focus(control->second.widget)) {
        gtk_widget_grab_focus(control->second.widget);
    }
}

void GtkBackend::Sync(HWND control, ControlView& view) {
    SyncGuard guard(*this);
    SyncControl(control, view);
}

HWND GtkBackend::ControlOf(GtkWidget* widget) const {
    for (const auto& [handle, view] : controls_) {
        if (view.widget == widget || view.outer == widget) {
            return handle;
        }
    }
    return nullptr;
}

GtkWidget* GtkBackend::WindowOf(HWND dialog) const {
    auto found = dialogs_.find(dialog);
    return found != dialogs_.end() ? found->second.window : nullptr;
}

} // namespace winlayer::gtk
