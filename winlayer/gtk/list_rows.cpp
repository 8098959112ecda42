// The list's rows as the core changes them: rows inserted, deleted and selected one by
// one, many at once while the view is detached, all at once for an emptied list, and the
// caret shown without touching the selection.
#include "winlayer/core/window.h"
#include "winlayer/gtk/gtk_backend.h"

namespace winlayer::gtk {

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
        ShowTop(view, window->list.top);
    }
}

void GtkBackend::ClearRows(HWND list, ControlView& view, std::map<HWND, GtkListStore*>& detached) {
    // A fresh empty model rather than the old one emptied row by row: the view and
    // assistive technology let go of all the old rows at once, however many they read.
    GtkListStore* fresh = NewRows();
    if (auto held = detached.find(list); held != detached.end()) {
        g_object_unref(held->second); // the old one, already off the view
        held->second = fresh;         // put on the view once the batch is shown
    } else {
        gtk_tree_view_set_model(GTK_TREE_VIEW(view.widget), GTK_TREE_MODEL(fresh));
        g_object_unref(fresh); // the view keeps it
    }
    view.rows = fresh;
}

void GtkBackend::ShowTop(ControlView& view, int top) {
    // The list shows from the core's top row on, as Windows' list box scrolls: set at
    // once, not animated, so that the view never passes through other rows.
    GtkAdjustment* scroll = gtk_scrollable_get_vadjustment(GTK_SCROLLABLE(view.widget));
    const double value = top > 0 ? top * RowHeight(view.widget) : 0.0;
    if (gtk_adjustment_get_value(scroll) != value) {
        gtk_adjustment_set_value(scroll, value);
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
    case ChangeKind::Scrolled:
        ShowTop(view, change.row);
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

} // namespace winlayer::gtk
