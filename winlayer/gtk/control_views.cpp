// One widget for each kind of control, and the core's state shown in it.
#include "winlayer/core/list_box.h"
#include "winlayer/core/resources.h"
#include "winlayer/core/window.h"
#include "winlayer/gtk/gtk_backend.h"
#include "winlayer/include/win32_constants.h"

#include <string>

namespace winlayer::gtk {

namespace {

// Only the core's state selects a row: GTK's own clicks and keys may not.
gboolean SelectionFromCore(GtkTreeSelection*, GtkTreeModel*, GtkTreePath*, gboolean, gpointer) {
    return Instance().SettingSelection() ? TRUE : FALSE;
}

GtkWidget* Picture(int imageId) {
    const BitmapResource* bitmap = FindBitmap(imageId);
    GdkPixbuf* pixbuf = nullptr;
    if (bitmap != nullptr) {
        GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_type("bmp", nullptr);
        if (loader != nullptr) {
            if (gdk_pixbuf_loader_write(loader, bitmap->bytes, bitmap->size, nullptr) &&
                gdk_pixbuf_loader_close(loader, nullptr)) {
                pixbuf = gdk_pixbuf_loader_get_pixbuf(loader);
                if (pixbuf != nullptr) {
                    g_object_ref(pixbuf);
                }
            }
            g_object_unref(loader);
        }
    }
    GtkWidget* image = pixbuf != nullptr ? gtk_image_new_from_pixbuf(pixbuf) : gtk_image_new();
    if (pixbuf != nullptr) {
        g_object_unref(pixbuf);
    }
    gtk_widget_set_halign(image, GTK_ALIGN_START);
    gtk_widget_set_valign(image, GTK_ALIGN_START);
    return image;
}

GtkWidget* TextLabel(const Window& control) {
    GtkWidget* label = gtk_label_new(nullptr);
    const DWORD align = control.style & SS_TYPEMASK;
    const float x = align == SS_CENTER ? 0.5f : 0.0f;
    gtk_label_set_xalign(GTK_LABEL(label), x);
    gtk_label_set_yalign(GTK_LABEL(label), 0.0f);
    gtk_label_set_justify(GTK_LABEL(label),
                          align == SS_CENTER ? GTK_JUSTIFY_CENTER : GTK_JUSTIFY_LEFT);
    gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
    gtk_label_set_line_wrap_mode(GTK_LABEL(label), PANGO_WRAP_WORD_CHAR);
    gtk_label_set_max_width_chars(GTK_LABEL(label), 1);
    return label;
}

ControlView ListView() {
    ControlView view;
    view.rows = NewRows();
    view.widget = gtk_tree_view_new_with_model(GTK_TREE_MODEL(view.rows));
    g_object_unref(view.rows); // the view keeps it
    gtk_tree_view_set_headers_visible(GTK_TREE_VIEW(view.widget), FALSE);
    gtk_tree_view_set_enable_search(GTK_TREE_VIEW(view.widget), FALSE);
    // The selection is GTK's own, so that it is drawn in the theme's colours and
    // assistive technology reads it; the core sets it.
    GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(view.widget));
    gtk_tree_selection_set_mode(selection, GTK_SELECTION_MULTIPLE);
    gtk_tree_selection_set_select_function(selection, SelectionFromCore, nullptr, nullptr);
    GtkCellRenderer* cell = gtk_cell_renderer_text_new();
    g_object_set(cell, "ypad", 0, "ellipsize", PANGO_ELLIPSIZE_NONE, nullptr);
    GtkTreeViewColumn* column =
        gtk_tree_view_column_new_with_attributes("", cell, "text", 0, nullptr);
    // Every row is one line of the same height, as in a list box: GTK need not measure
    // each row it is given, which keeps a long list quick to fill.
    gtk_tree_view_column_set_sizing(column, GTK_TREE_VIEW_COLUMN_FIXED);
    gtk_tree_view_column_set_expand(column, TRUE);
    gtk_tree_view_append_column(GTK_TREE_VIEW(view.widget), column);
    gtk_tree_view_set_fixed_height_mode(GTK_TREE_VIEW(view.widget), TRUE);
    view.outer = gtk_scrolled_window_new(nullptr, nullptr); // its scroll bars: SyncControl
    gtk_scrolled_window_set_overlay_scrolling(GTK_SCROLLED_WINDOW(view.outer), FALSE);
    gtk_scrolled_window_set_shadow_type(GTK_SCROLLED_WINDOW(view.outer), GTK_SHADOW_IN);
    gtk_container_add(GTK_CONTAINER(view.outer), view.widget);
    return view;
}

void ShowEdit(const Window& edit, ControlView& view) {
    const std::string text = DisplayText(edit);
    if (text != gtk_entry_get_text(GTK_ENTRY(view.widget))) {
        gtk_entry_set_text(GTK_ENTRY(view.widget), text.c_str());
    }
    if (edit.edit.selStart == edit.edit.selEnd) {
        gtk_editable_set_position(GTK_EDITABLE(view.widget), edit.edit.selEnd);
    } else {
        gtk_editable_select_region(GTK_EDITABLE(view.widget), edit.edit.selStart, edit.edit.selEnd);
    }
}

gboolean Pulse(gpointer bar) {
    gtk_progress_bar_pulse(GTK_PROGRESS_BAR(bar));
    return G_SOURCE_CONTINUE;
}

void StopPulse(gpointer source) {
    g_source_remove(GPOINTER_TO_UINT(source));
}

// A bar whose end is not known pulses as long as it is moving (and its widget lives);
// any other shows how far it has come.
void ShowProgress(const Window& control, ControlView& view) {
    GObject* bar = G_OBJECT(view.widget);
    const ProgressState& progress = control.progress;
    const bool pulsing = g_object_get_data(bar, "quorwin-pulse") != nullptr;
    if (progress.marquee && !pulsing) {
        g_object_set_data_full(bar, "quorwin-pulse",
                               GUINT_TO_POINTER(g_timeout_add(100, Pulse, bar)), StopPulse);
    } else if (!progress.marquee && pulsing) {
        g_object_set_data(bar, "quorwin-pulse", nullptr);
    }
    if (!progress.marquee) {
        const int span = progress.high - progress.low;
        gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(bar),
                                      span > 0 ? double(progress.pos - progress.low) / span : 0.0);
    }
}

} // namespace

ControlView BuildControl(HWND handle) {
    const Window& control = *FindWindow(handle);
    ControlView view;
    switch (control.kind) {
    case ControlKind::Edit:
        view.widget = gtk_entry_new();
        gtk_entry_set_width_chars(GTK_ENTRY(view.widget), 1);
        gtk_entry_set_has_frame(GTK_ENTRY(view.widget), (control.style & WS_BORDER) != 0);
        break;
    case ControlKind::CheckBox:
        view.widget = gtk_check_button_new_with_label("");
        break;
    case ControlKind::PushButton:
        view.widget = gtk_button_new_with_label("");
        break;
    case ControlKind::GroupBox:
        view.widget = gtk_frame_new(nullptr);
        break;
    case ControlKind::Bitmap:
        view.widget = Picture(control.imageId);
        break;
    case ControlKind::ListBox:
        view = ListView();
        break;
    case ControlKind::ProgressBar:
        view.widget = gtk_progress_bar_new();
        gtk_progress_bar_set_pulse_step(GTK_PROGRESS_BAR(view.widget), 0.1);
        gtk_widget_set_valign(view.widget, GTK_ALIGN_CENTER);
        break;
    case ControlKind::Static:
    case ControlKind::Dialog:
        view.widget = TextLabel(control);
        // A wrapped text takes the width of its box and no more height than the box.
        view.outer = gtk_scrolled_window_new(nullptr, nullptr);
        gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(view.outer), GTK_POLICY_EXTERNAL,
                                       GTK_POLICY_EXTERNAL);
        gtk_container_add(GTK_CONTAINER(view.outer), view.widget);
        break;
    }
    if (view.outer == nullptr) {
        view.outer = view.widget;
    } else {
        gtk_widget_set_can_focus(view.outer, FALSE); // the pane around a text or list is no stop
    }
    AtkObject* accessible = gtk_widget_get_accessible(view.widget);
    const std::string name = AccessibleName(handle);
    if (accessible != nullptr && !name.empty()) {
        atk_object_set_name(accessible, name.c_str());
    }
    ConnectControlInput(handle, view);
    return view;
}

void SyncControl(HWND handle, ControlView& view) {
    const Window* control = FindWindow(handle);
    if (control == nullptr) {
        return;
    }
    gtk_widget_set_sensitive(view.outer, control->enabled);
    const std::string text = DisplayText(*control);
    switch (control->kind) {
    case ControlKind::Edit:
        ShowEdit(*control, view);
        break;
    case ControlKind::CheckBox:
        gtk_button_set_label(GTK_BUTTON(view.widget), text.c_str());
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(view.widget), control->checked);
        break;
    case ControlKind::PushButton:
        gtk_button_set_label(GTK_BUTTON(view.widget), text.c_str());
        break;
    case ControlKind::GroupBox:
        gtk_frame_set_label(GTK_FRAME(view.widget), text.empty() ? nullptr : text.c_str());
        break;
    case ControlKind::Static:
        gtk_label_set_text(GTK_LABEL(view.widget), text.c_str());
        break;
    case ControlKind::ProgressBar:
        ShowProgress(*control, view);
        break;
    case ControlKind::ListBox: {
        // Its rows change one by one (see InsertRow); its vertical scroll bar shows as
        // the core decides. Without it the view still scrolls, by the core's top row.
        // There is no horizontal one, as the template gives none: a long path is cut at
        // the list's edge.
        gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(view.outer), GTK_POLICY_EXTERNAL,
                                       ListShowsScrollBar(*control) ? GTK_POLICY_ALWAYS
                                                                    : GTK_POLICY_EXTERNAL);
        break;
    }
    case ControlKind::Bitmap:
    case ControlKind::Dialog:
        break;
    }
}

int RowHeight(GtkWidget* list) {
    GtkTreeView* tree = GTK_TREE_VIEW(list);
    GtkTreeViewColumn* column = gtk_tree_view_get_column(tree, 0);
    GtkTreeModel* model = gtk_tree_view_get_model(tree);
    GtkTreeIter first;
    int height = 0;
    if (model != nullptr && gtk_tree_model_get_iter_first(model, &first)) {
        GtkTreePath* path = gtk_tree_path_new_first();
        GdkRectangle row;
        gtk_tree_view_get_background_area(tree, path, column, &row);
        gtk_tree_path_free(path);
        height = row.height;
    }
    if (height <= 0) { // no row to measure: what one would take
        GList* cells = gtk_cell_layout_get_cells(GTK_CELL_LAYOUT(column));
        int minimum = 0, separator = 0;
        if (cells != nullptr) {
            gtk_cell_renderer_get_preferred_height(GTK_CELL_RENDERER(cells->data), list, &minimum,
                                                   &height);
            g_list_free(cells);
        }
        gtk_widget_style_get(list, "vertical-separator", &separator, nullptr);
        height += separator;
    }
    return height > 0 ? height : 1;
}

GtkListStore* NewRows() {
    return gtk_list_store_new(1, G_TYPE_STRING);
}

void InsertRow(ControlView& view, int row, const std::string& path) {
    // Paths are the platform's bytes; shown as the file system names them.
    gchar* shown = g_filename_display_name(path.c_str());
    gtk_list_store_insert_with_values(view.rows, nullptr, row, 0, shown, -1);
    g_free(shown);
}

} // namespace winlayer::gtk
