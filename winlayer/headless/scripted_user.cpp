#include "winlayer/headless/scripted_user.h"

#include "winlayer/core/dialog.h"
#include "winlayer/include/windows.h"

namespace winlayer::headless {

namespace {

class ScriptedUser : public winlayer::Backend {
  public:
    explicit ScriptedUser(const std::function<bool()>& act) : act_(act) {}
    void WaitForInput() override {
        if (done_ || !act_()) {
            done_ = true;
            winlayer::PostQuit(0);
        }
    }

  private:
    const std::function<bool()>& act_;
    bool done_ = false;
};

} // namespace

int RunProgram(const std::function<bool()>& act) {
    winlayer::ResetSession();
    ScriptedUser user(act);
    winlayer::SetBackend(&user);
    char commandLine[] = "";
    const int status = WinMain(nullptr, nullptr, commandLine, SW_SHOWNORMAL);
    winlayer::SetBackend(nullptr);
    winlayer::ResetSession();
    return status;
}

HWND MainWindow() {
    for (HWND dialog : winlayer::Dialogs()) {
        if (winlayer::FindWindow(dialog)->text == "Quorwin ") {
            return dialog;
        }
    }
    return nullptr;
}

} // namespace winlayer::headless
