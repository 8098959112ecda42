// What a back end (headless, GTK) does for the core: wait for the user's input and
// show the core's state. It decides no behaviour: input goes back through input.h.
#pragma once

#include "winlayer/include/win32_types.h"

#include <string>
#include <vector>

namespace winlayer {

struct FileFilter {
    std::string description;
    std::string pattern;
};

// An open-file dialog while it is shown, and the user's answer.
struct FileDialog {
    HWND owner = nullptr;
    std::string title;
    std::vector<FileFilter> filters;
    int filterIndex = 1; // 1-based, as in OPENFILENAMEA
    DWORD flags = 0;
    bool done = false;
    bool accepted = false;
    std::string directory;          // where the chosen files are
    std::vector<std::string> names; // the chosen files' names in it
};

// A message box while it is shown.
struct MessageBoxState {
    HWND owner = nullptr;
    std::string text;
    std::string caption;
    UINT type = 0;
    bool done = false;
};

class Backend {
  public:
    virtual ~Backend() = default;
    // Waits for the user's next input and delivers it through the calls of input.h.
    virtual void WaitForInput() = 0;
    // A dialog was built from its template (before WM_INITDIALOG) and is to be shown.
    virtual void DialogCreated(HWND) {}
    virtual void DialogShown(HWND) {}
    virtual void WindowDestroyed(HWND) {}
    // A control's text, check, enabled state or list changed.
    virtual void ControlChanged(HWND) {}
    virtual void FocusChanged(HWND /*dialog*/) {}
    // Shows the dialog and returns once `dialog.done` is set. By default the dialog is
    // answered through input.h while the loop waits for input.
    virtual void RunFileDialog(FileDialog& dialog);
    virtual void RunMessageBox(MessageBoxState& box);
};

void SetBackend(Backend* backend);
Backend& CurrentBackend();

} // namespace winlayer
