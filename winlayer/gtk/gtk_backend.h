// The GTK 3 back end: real widgets that mirror the core's windows and controls. Its
// signal handlers only post the user's input to the core's queue; the core's loop
// applies it and hands back what changed, which the back end shows change by change.
#pragma once

#include "winlayer/core/backend.h"
#include "winlayer/core/layout.h"

#include <gtk/gtk.h>

#include <map>
#include <set>
#include <vector>

namespace winlayer::gtk {

struct ControlView {
    GtkWidget* outer = nullptr;   // what stands in the dialog (a scrolled window for a list)
    GtkWidget* widget = nullptr;  // the widget itself
    GtkListStore* rows = nullptr; // a list's entries
};

struct DialogView {
    GtkWidget* window = nullptr;
    std::vector<HWND> controls;
};

class GtkBackend {
  public:
    // Installs the back end's hooks in the core for the back end's lifetime.
    GtkBackend();
    ~GtkBackend();
    GtkBackend(const GtkBackend&) = delete;
    GtkBackend& operator=(const GtkBackend&) = delete;

    // While the back end itself sets a widget's state, the widget's signals are not input.
    bool Syncing() const { return syncing_ > 0; }
    // While true, the list's selection may change: only the core's state sets it.
    bool SettingSelection() const { return settingSelection_; }
    GtkWidget* WindowOf(HWND dialog) const;
    // The widgets of a control, or null while it has none.
    const ControlView* ViewOf(HWND control) const;

  private:
    BackendHooks hooks_;
    std::map<HWND, DialogView> dialogs_;
    std::map<HWND, ControlView> controls_;
    GtkWidget* chooser_ = nullptr;
    GtkWidget* message_ = nullptr;
    int syncing_ = 0;
    bool settingSelection_ = false;

    void Show(const std::vector<Change>& changes);
    void Build(HWND dialog);
    void ShowDialog(HWND dialog);
    void Forget(HWND window);
    void ShowFocus(HWND dialog, bool activate);
    // The dialog's description for assistive technology, from the core.
    void ShowDescription(HWND dialog);
    // Lists with many rows changing at once, taken off their views while they change.
    std::map<HWND, GtkListStore*> DetachBusyLists(const std::vector<Change>& changes);
    void Reattach(HWND list, ControlView& view);
    // Gives an emptied list a fresh empty model, or the one to be put back on its view.
    void ClearRows(HWND list, ControlView& view, std::map<HWND, GtkListStore*>& detached);
    // Applies one change of a list's rows; true when the caret must be shown again.
    bool ShowRow(const Change& change, ControlView& view);
    void SelectRow(ControlView& view, int row, bool on);
    void ShowTop(ControlView& view, int top);
    void ShowCaret(HWND list, ControlView& view);
    void ShowFileDialog(const FileDialog& dialog);
    void ShowMessageBox(const MessageBoxState& box);
    friend struct SyncGuard;
};

// Keeps the core's clipboard and the desktop's the same.
void ShareClipboard(BackendHooks& hooks);
// Sets up the style the dialogs are drawn with.
void InstallStyle();
// The base units of a dialog font, measured as Windows measures them.
BaseUnits MeasureFont(const char* name, int points);
// Builds the widget of one control; its input handlers are connected too.
ControlView BuildControl(HWND control);
// Puts the core's state into a control's widget (a list's rows are shown row by row).
void SyncControl(HWND control, ControlView& view);
// A list's entries: an empty model of its rows.
GtkListStore* NewRows();
// Shows one row of a list as the file system names its path.
void InsertRow(ControlView& view, int row, const std::string& path);
// Connects a control's widget so that the user's input on it goes to the core.
void ConnectControlInput(HWND control, ControlView& view);
// Makes a dialog's window a target for dropped files while the dialog accepts them.
void ShowDropTarget(HWND dialog, GtkWidget* window);
// Connects a dialog's window so that what is dropped onto it goes to the core.
void ConnectDropInput(HWND dialog, GtkWidget* window);
// Connects a dialog's keys, its close box and what is dropped onto it.
void ConnectDialogInput(HWND dialog, GtkWidget* window);
// Connects a dialog's keyboard: every key goes to the core, text through the input method.
void ConnectKeyInput(HWND dialog, GtkWidget* window);
// The height of one row of a list's view, in pixels.
int RowHeight(GtkWidget* list);
// The file chooser and the message window, with their answers connected as input.
GtkWidget* NewFileChooser(const FileDialog& dialog, GtkWindow* owner);
GtkWidget* NewMessageWindow(const MessageBoxState& box, GtkWindow* owner);

// An edit field's context menu, drawn from the core's items; the press or key that
// asked for it is remembered as it comes, for GTK to place the menu by.
void ShowEditMenu(HWND edit, const std::vector<EditMenuItem>& items);
void RememberMenuTrigger(const GdkEvent* event);

// Shows the pointer's shape over every window of the program, at once.
void ShowPointerShape(CursorShape shape);

GtkBackend& Instance();

} // namespace winlayer::gtk
