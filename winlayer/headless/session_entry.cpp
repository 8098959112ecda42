// Starting the program itself: kept apart so that sessions running other code need
// no entry point.
#include "winlayer/headless/session.h"
#include "winlayer/include/windows.h"

namespace winlayer::headless {

void Session::Start() {
    Start([] {
        const HINSTANCE instance =
            reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(0x400000));
        char commandLine[] = "";
        return WinMain(instance, nullptr, commandLine, SW_SHOWNORMAL);
    });
}

} // namespace winlayer::headless
