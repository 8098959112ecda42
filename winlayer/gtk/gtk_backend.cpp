#include "winlayer/gtk/gtk_backend.h"

#include "winlayer/core/dialog.h"
#include "winlayer/core/window.h"
#include "winlayer/include/win32_constants.h"

namespace winlayer::gtk {

struct SyncGuard {
    explicit SyncGuard(GtkBackend& backend) : backend_(backend) { ++backend_.syncing_; }
    ~SyncGuard() { --backend_.syncing_; }
    GtkBackend& backend_;
};

namespace {

GtkBackend* gInstance = nullptr;

// Hides a window now and destroys it once GTK has delivered what is still on its way
// to it (the release of the key that closed it, say).
void DestroyLater(GtkWidget* window) {
    gtk_widget_hide(window);
    g_idle_add(
        [](gpointer widget) -> gboolean {
            gtk_widget_destroy(static_cast<GtkWidget*>(widget));
            return G_SOURCE_REMOVE;
        },
        window);
}

// Shows a window and gives it the keyboard. Where no window manager hands the focus to
// a new window, it can be given only once the window is on the screen: so again then,
// once, unless the window has been taken down meanwhile.
gboolean PresentOnceMapped(GtkWidget* window, GdkEvent*, gpointer) {
    g_signal_handlers_disconnect_by_func(window, reinterpret_cast<gpointer>(PresentOnceMapped),
                                         nullptr);
    if (gtk_widget_get_visible(window)) {
        gtk_window_present(GTK_WINDOW(window));
    }
    return FALSE;
}

void PresentWithFocus(GtkWidget* window) {
    g_signal_connect(window, "map-event", G_CALLBACK(PresentOnceMapped), nullptr);
    gtk_window_present(GTK_WINDOW(window));
}

void DestroyWidget(GtkWidget*& widget) {
    if (widget != nullptr) {
        DestroyLater(widget);
        widget = nullptr;
    }
}

} // namespace

GtkBackend& Instance() {
    return *gInstance;
}

GtkBackend::GtkBackend() {
    gInstance = this;
    InstallStyle();
    hooks_.waitForInput = [] {
        gtk_main_iteration_do(TRUE);
        return true;
    };
    // A command's look for messages between files: what GTK has pending, without
    // waiting (a bounded number, so that a flood of events cannot stall the work).
    hooks_.pumpEvents = [] {
        for (int n = 0; n < 200 && gtk_events_pending(); ++n) {
            gtk_main_iteration_do(FALSE);
        }
    };
    hooks_.showChanges = [this](const std::vector<Change>& changes) { Show(changes); };
    hooks_.showFileDialog = [this](const FileDialog& dialog) { ShowFileDialog(dialog); };
    hooks_.hideFileDialog = [this](const FileDialog&) { DestroyWidget(chooser_); };
    hooks_.showMessageBox = [this](const MessageBoxState& box) { ShowMessageBox(box); };
    hooks_.hideMessageBox = [this](const MessageBoxState&) { DestroyWidget(message_); };
    hooks_.showCursor = ShowPointerShape;
    hooks_.showEditMenu = ShowEditMenu;
    ShareClipboard(hooks_);
    SetBackend(&hooks_);
}

GtkBackend::~GtkBackend() {
    SetBackend(nullptr);
    gInstance = nullptr;
}

void GtkBackend::Show(const std::vector<Change>& changes) {
    SyncGuard guard(*this);
    std::set<HWND> carets; // lists whose caret is to be shown again
    std::map<HWND, GtkListStore*> detached = DetachBusyLists(changes);
    for (const Change& change : changes) {
        switch (change.kind) {
        case ChangeKind::Created:
            Build(change.window);
            break;
        case ChangeKind::Shown:
            ShowDialog(change.window);
            break;
        case ChangeKind::Destroyed:
            Forget(change.window);
            break;
        case ChangeKind::State:
            if (auto control = controls_.find(change.window); control != controls_.end()) {
                SyncControl(change.window, control->second);
                if (const Window* window = FindWindow(change.window);
                    window != nullptr && window->kind == ControlKind::Static) {
                    ShowDescription(window->parent);
                }
            } else if (auto dialog = dialogs_.find(change.window); dialog != dialogs_.end()) {
                if (const Window* window = FindWindow(change.window)) {
                    gtk_window_set_title(GTK_WINDOW(dialog->second.window),
                                         DisplayText(*window).c_str());
                    ShowDropTarget(change.window, dialog->second.window);
                }
            }
            break;
        case ChangeKind::Focus:
            ShowFocus(change.window, false);
            break;
        case ChangeKind::Activated:
            ShowFocus(change.window, true);
            break;
        default: // the rows of a list
            if (auto list = controls_.find(change.window); list != controls_.end()) {
                if (change.kind == ChangeKind::Cleared) {
                    ClearRows(change.window, list->second, detached);
                } else if (detached.count(change.window) != 0) {
                    // The selection and the top row are shown whole below.
                    if (change.kind != ChangeKind::RowSelected &&
                        change.kind != ChangeKind::Scrolled) {
                        ShowRow(change, list->second);
                    }
                } else if (ShowRow(change, list->second)) {
                    carets.insert(change.window);
                }
            }
            break;
        }
    }
    for (const auto& [list, rows] : detached) {
        if (auto view = controls_.find(list); view != controls_.end()) {
            Reattach(list, view->second);
            carets.insert(list);
        } else {
            g_object_unref(rows); // its window went in the same batch
        }
    }
    for (HWND list : carets) {
        if (auto view = controls_.find(list); view != controls_.end()) {
            ShowCaret(list, view->second);
        }
    }
}

void GtkBackend::Build(HWND handle) {
    const Window* dialog = FindWindow(handle);
    if (dialog == nullptr) {
        return; // gone again before it was shown
    }
    DialogView view;
    view.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(view.window), DisplayText(*dialog).c_str());
    gtk_window_set_resizable(GTK_WINDOW(view.window), FALSE);
    // A window with a minimize box is an ordinary window; one without is a dialog.
    gtk_window_set_type_hint(GTK_WINDOW(view.window), (dialog->style & WS_MINIMIZEBOX) != 0
                                                          ? GDK_WINDOW_TYPE_HINT_NORMAL
                                                          : GDK_WINDOW_TYPE_HINT_DIALOG);
    const DialogTemplate* entry = dialog->dialogTemplate;
    const BaseUnits units = MeasureFont(entry != nullptr ? entry->fontName : "",
                                        entry != nullptr ? entry->fontPoints : 8);
    const Rect frame = ToPixels(dialog->rect, units);
    GtkWidget* fixed = gtk_fixed_new();
    gtk_widget_set_size_request(fixed, frame.cx, frame.cy);
    gtk_container_add(GTK_CONTAINER(view.window), fixed);
    if ((dialog->style & DS_CENTER) == 0 || WindowOf(dialog->parent) == nullptr) {
        gtk_window_move(GTK_WINDOW(view.window), frame.x, frame.y);
    }
    gtk_widget_set_name(view.window, "dialog");

    for (HWND child : dialog->children) {
        const Window* control = FindWindow(child);
        ControlView built = BuildControl(child);
        const Rect place = ToPixels(control->rect, units);
        if (control->kind == ControlKind::Bitmap) {
            gtk_widget_set_size_request(built.outer, -1, -1); // the picture's own size
        } else {
            gtk_widget_set_size_request(built.outer, place.cx, place.cy);
        }
        gtk_fixed_put(GTK_FIXED(fixed), built.outer, place.x, place.y);
        SyncControl(child, built);
        controls_[child] = built;
        view.controls.push_back(child);
    }
    // A window owned by another stays in front of it; a centred one is centred on it.
    if (GtkWidget* owner = WindowOf(dialog->parent)) {
        gtk_window_set_transient_for(GTK_WINDOW(view.window), GTK_WINDOW(owner));
        if ((dialog->style & DS_CENTER) != 0) {
            gtk_window_set_position(GTK_WINDOW(view.window), GTK_WIN_POS_CENTER_ON_PARENT);
        }
    }
    ConnectDialogInput(handle, view.window);
    dialogs_[handle] = view;
    ShowDescription(handle);
}

void GtkBackend::ShowDescription(HWND dialog) {
    if (GtkWidget* window = WindowOf(dialog)) {
        if (AtkObject* accessible = gtk_widget_get_accessible(window)) {
            atk_object_set_description(accessible, AccessibleDescription(dialog).c_str());
        }
    }
}

void GtkBackend::ShowDialog(HWND dialog) {
    auto found = dialogs_.find(dialog);
    if (found == dialogs_.end()) {
        return;
    }
    gtk_widget_show_all(found->second.window);
    ShowFocus(dialog, true);
}

void GtkBackend::Forget(HWND window) {
    auto found = dialogs_.find(window);
    if (found == dialogs_.end()) {
        controls_.erase(window);
        return;
    }
    for (HWND control : found->second.controls) {
        controls_.erase(control);
    }
    DestroyLater(found->second.window);
    dialogs_.erase(found);
}

void GtkBackend::ShowFocus(HWND dialog, bool activate) {
    auto view = dialogs_.find(dialog);
    if (view == dialogs_.end()) {
        return;
    }
    GtkWindow* window = GTK_WINDOW(view->second.window);
    if (activate && gtk_widget_get_visible(view->second.window)) {
        gtk_window_present(window);
    }
    // The focus is where the core has it, and nowhere when the core has none.
    auto control = controls_.find(FocusOf(dialog));
    if (control == controls_.end()) {
        gtk_window_set_focus(window, nullptr);
    } else if (gtk_window_get_focus(window) != control->second.widget) {
        gtk_widget_grab_focus(control->second.widget);
    }
}

void GtkBackend::ShowFileDialog(const FileDialog& dialog) {
    chooser_ = NewFileChooser(dialog, GTK_WINDOW(WindowOf(dialog.owner)));
    PresentWithFocus(chooser_);
}

void GtkBackend::ShowMessageBox(const MessageBoxState& box) {
    message_ = NewMessageWindow(box, GTK_WINDOW(WindowOf(box.owner)));
    PresentWithFocus(message_);
}

const ControlView* GtkBackend::ViewOf(HWND control) const {
    auto found = controls_.find(control);
    return found != controls_.end() ? &found->second : nullptr;
}

GtkWidget* GtkBackend::WindowOf(HWND dialog) const {
    auto found = dialogs_.find(dialog);
    return found != dialogs_.end() ? found->second.window : nullptr;
}

} // namespace winlayer::gtk
