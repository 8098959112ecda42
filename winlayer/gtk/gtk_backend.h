// The GTK 3 back end: real widgets that mirror the core's windows and controls, and
// hand the user's input back to the core. It decides nothing itself.
#pragma once

#include "winlayer/core/backend.h"
#include "winlayer/core/layout.h"

#include <gtk/gtk.h>

#include <map>
#include <vector>

namespace winlayer::gtk {

struct ControlView {
    HWND dialog = nullptr;
    GtkWidget* outer = nullptr;   // what stands in the dialog (a scrolled window for a list)
    GtkWidget* widget = nullptr;  // the widget itself
    GtkListStore* rows = nullptr; // a list's entries
};

struct DialogView {
    GtkWidget* window = nullptr;
    GtkWidget* fixed = nullptr;
    std::vector<HWND> controls;
};

class GtkBackend : public Backend {
  public:
    GtkBackend();

    void WaitForInput() override;
    void DialogCreated(HWND dialog) override;
    void DialogShown(HWND dialog) override;
    void WindowDestroyed(HWND window) override;
    void ControlChanged(HWND control) override;
    void FocusChanged(HWND dialog) override;
    void RunFileDialog(FileDialog& dialog) override;
    void RunMessageBox(MessageBoxState& box) override;

    // While the back end itself sets a widget's state, the widget's signals are not input.
    bool Syncing() const { return syncing_ > 0; }
    // Puts the core's state into the widgets of every control that changed. Changes are
    // gathered and shown once the program waits for input again.
    void ShowChanges();
    // Shows one control's state at once.
    void ShowNow(HWND control);
    HWND ControlOf(GtkWidget* widget) const;
    GtkWidget* WindowOf(HWND dialog) const;

  private:
    std::map<HWND, DialogView> dialogs_;
    std::map<HWND, ControlView> controls_;
    std::vector<HWND> changed_;
    int syncing_ = 0;

    void Sync(HWND control, ControlView& view);
    friend struct SyncGuard;
};

// Sets up the style the dialogs are drawn with.
void InstallStyle();
// The base units of a dialog font, measured as Windows measures them.
BaseUnits MeasureFont(const char* name, int points);
// Builds the widget of one control; its input handlers are connected too.
ControlView BuildControl(GtkBackend& backend, HWND control);
// Puts the core's state into a control's widget.
void SyncControl(HWND control, ControlView& view);
// Connects a control's widget so that the user's input on it goes to the core.
void ConnectControlInput(GtkBackend& backend, HWND control, ControlView& view);
// Connects the keys a dialog handles itself and its close box.
void ConnectDialogInput(GtkBackend& backend, HWND dialog, GtkWidget* window);

GtkBackend& Instance();
// Hides a window now and destroys it once GTK has finished the event that closed it.
void DestroyLater(GtkWidget* window);

} // namespace winlayer::gtk
