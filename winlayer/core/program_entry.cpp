#include "winlayer/core/program_entry.h"

#include "winlayer/include/windows.h"

#include <cstdint>

namespace winlayer {

int RunWinMain() {
    // Where Windows loads a program's image, which is also its instance handle.
    const HINSTANCE instance = reinterpret_cast<HINSTANCE>(static_cast<std::uintptr_t>(0x400000));
    char commandLine[] = "";
    return WinMain(instance, nullptr, commandLine, SW_SHOWNORMAL);
}

} // namespace winlayer
