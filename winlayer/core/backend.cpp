#include "winlayer/core/backend.h"

#include "winlayer/core/dialog.h"

namespace winlayer {

namespace {

// With no back end there is no user: the program is asked to end at its first wait.
class NoUser : public Backend {
  public:
    void WaitForInput() override { PostQuit(0); }
};

NoUser gNoUser;
Backend* gBackend = &gNoUser;

} // namespace

void Backend::RunFileDialog(FileDialog& dialog) {
    ModalLoop([&dialog] { return dialog.done; });
}

void Backend::RunMessageBox(MessageBoxState& box) {
    ModalLoop([&box] { return box.done; });
}

void SetBackend(Backend* backend) {
    gBackend = backend != nullptr ? backend : &gNoUser;
}
Backend& CurrentBackend() {
    return *gBackend;
}

} // namespace winlayer
