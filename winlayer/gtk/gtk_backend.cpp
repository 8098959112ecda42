#include "winlayer/gtk/gtk_backend.h"

#include "winlayer/core/codepage.h"
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
    hooks_.showChanges = [this](const std::vector<Change>& changes) { Show(changes); };
    hooks_.showFileDialog = [this](const FileDialog& dialog) { ShowFileDialog(dialog); };
    hooks_.hideFileDialog = [this](const FileDialog&) { DestroyWidget(chooser_); };
    hooks_.showMessageBox = [this](const MessageBoxState& box) { ShowMessageBox(box); };
    hooks_.hideMessageBox = [this](const MessageBoxState&) { DestroyWidget(message_); };
    hooks_.showCursor = ShowPointerShape;
    SetBackend(&hooks_);
}

GtkBackend::~GtkBackend() {
    SetBackend(nullptr);
    gInstance = nullptr;
}

void GtkBackend::Show(const std::vector<Change>& changes) {
    SyncGuard guard(*this);
    std::set<HWND> carets; // lists whose caret is to be shown again
    const std::map<HWND, GtkListStore*> detached = DetachBusyLists(changes);
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
            } else if (auto dialog = dialogs_.find(change.window); dialog != dialogs_.end()) {
                if (const Window* window = FindWindow(change.window)) {
                    gtk_window_set_title(GTK_WINDOW(dialog->second.window),
                                         Windows1252ToUtf8(window->text).c_str());
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
                if (detached.count(change.window) != 0) {
                    if (change.kind != ChangeKind::RowSelected) { // shown whole below
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
    gtk_window_set_title(GTK_WINDOW(view.window), Windows1252ToUtf8(dialog->text).c_str());
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
    gtk_window_move(GTK_WINDOW(view.window), frame.x, frame.y);
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
    ConnectDialogInput(handle, view.window);
    dialogs_[handle] = view;
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

std::map<HWND, GtkListStore*> GtkBackend::DetachBusyLists(const std::vector<Change>& changes) {
    // Thousands of rows at once (a folder dropped, Clear All) are put into the list's
    // model while no view watches it: the view and assistive technology then take one
    // new model rather than one notice per row.
    constexpr int kManyRows = 64;
    std::map<HWND, int> rows;
    std::map<HWND, GtkListStore*> detached;
    for (const Change& change : changes) {
        if ((change.kind == ChangeKind::RowInserted || change.kind == ChangeKind::RowDeleted) &&
            ++rows[change.window] == kManyRows) {
            if (auto view = controls_.find(change.window); view != controls_.end()) {
                g_object_ref(view->second.rows); // the view lets go of it
                gtk_tree_view_set_model(GTK_TREE_VIEW(view->second.widget), nullptr);
                detached[change.window] = view->second.rows;
            }
        }
    }
    return detached;
}

void GtkBackend::Reattach(HWND list, ControlView& view) {
    gtk_tree_view_set_model(GTK_TREE_VIEW(view.widget), GTK_TREE_MODEL(view.rows));
    g_object_unref(view.rows);
    if (const Window* window = FindWindow(list)) {
        const std::vector<bool>& selected = window->list.selected;
        for (size_t row = 0; row < selected.size(); ++row) {
            if (selected[row]) {
                SelectRow(view, static_cast<int>(row), true);
            }
        }
    }
}

bool GtkBackend::ShowRow(const Change& change, ControlView& view) {
    if (view.rows == nullptr) {
        return false;
    }
    GtkTreeIter row;
    GtkTreeModel* model = GTK_TREE_MODEL(view.rows);
    switch (change.kind) {
    case ChangeKind::RowInserted:
        InsertRow(view, change.row, change.text);
        return true;
    case ChangeKind::RowDeleted:
        if (gtk_tree_model_iter_nth_child(model, &row, nullptr, change.row)) {
            gtk_list_store_remove(view.rows, &row);
        }
        return true;
    case ChangeKind::RowSelected:
        SelectRow(view, change.row, change.on);
        return false;
    default: // the caret
        return true;
    }
}

void GtkBackend::SelectRow(ControlView& view, int row, bool on) {
    GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(view.widget));
    GtkTreePath* path = gtk_tree_path_new_from_indices(row, -1);
    settingSelection_ = true;
    if (on) {
        gtk_tree_selection_select_path(selection, path);
    } else {
        gtk_tree_selection_unselect_path(selection, path);
    }
    settingSelection_ = false;
    gtk_tree_path_free(path);
}

void GtkBackend::ShowCaret(HWND list, ControlView& view) {
    const Window* window = FindWindow(list);
    if (window == nullptr) {
        return;
    }
    const int caret = window->list.caret;
    if (caret < 0 || caret >= static_cast<int>(window->list.items.size())) {
        return;
    }
    // Moves GTK's cursor without touching the selection, which only the core sets.
    GtkTreePath* path = gtk_tree_path_new_from_indices(caret, -1);
    gtk_tree_view_set_cursor(GTK_TREE_VIEW(view.widget), path, nullptr, FALSE);
    gtk_tree_path_free(path);
}

void GtkBackend::ShowFileDialog(const FileDialog& dialog) {
    chooser_ = NewFileChooser(dialog, GTK_WINDOW(WindowOf(dialog.owner)));
    gtk_window_present(GTK_WINDOW(chooser_));
}

void GtkBackend::ShowMessageBox(const MessageBoxState& box) {
    message_ = NewMessageWindow(box, GTK_WINDOW(WindowOf(box.owner)));
    gtk_window_present(GTK_WINDOW(message_));
}

GtkWidget* GtkBackend::WindowOf(HWND dialog) const {
    auto found = dialogs_.find(dialog);
    return found != dialogs_.end() ? found->second.window : nullptr;
}

} // namespace winlayer::gtk
