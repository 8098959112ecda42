#include "winlayer/headless/scripted_user.h"

#include "winlayer/core/dialog.h"
#include "winlayer/core/program_entry.h"

namespace winlayer::headless {

int RunProgram(const std::function<bool()>& act) {
    winlayer::ResetSession();
    // Each wait posts one action of the user's as the next input event; the action
    // runs from the loop's clean stack like any other input.
    bool done = false;
    BackendHooks hooks;
    hooks.waitForInput = [&act, &done] {
        if (!done) {
            winlayer::PostInput([&act, &done] { done = done || !act(); });
        }
        return !done;
    };
    winlayer::SetBackend(&hooks);
    const int status = winlayer::RunWinMain();
    winlayer::SetBackend(nullptr);
    winlayer::ResetSession();
    return status;
}

HWND MainWindow() {
    // The program's first window is its main window.
    const std::vector<HWND> dialogs = winlayer::Dialogs();
    return dialogs.empty() ? nullptr : dialogs.front();
}

} // namespace winlayer::headless
