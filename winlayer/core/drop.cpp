// Dropped files: the drop objects and the shell32 calls on them.
#include "winlayer/core/drop.h"

#include "winlayer/core/changes.h"
#include "winlayer/core/dialog.h"
#include "winlayer/core/window.h"
#include "winlayer/include/windows.h"

#include <cstring>
#include <map>

namespace winlayer {

namespace {

std::map<std::uintptr_t, std::vector<std::string>>& Drops() {
    static std::map<std::uintptr_t, std::vector<std::string>> drops;
    return drops;
}

std::uintptr_t gNextDrop = 0xD0000;

const std::vector<std::string>* FindDrop(HDROP drop) {
    const auto found = Drops().find(reinterpret_cast<std::uintptr_t>(drop));
    return found == Drops().end() ? nullptr : &found->second;
}

} // namespace

HDROP CreateDrop(const std::vector<std::string>& paths) {
    const std::uintptr_t key = gNextDrop;
    gNextDrop += 4;
    std::vector<std::string>& names = Drops()[key];
    for (const std::string& path : paths) {
        names.emplace_back(path.c_str()); // the shell's list ends each name at a NUL
    }
    return reinterpret_cast<HDROP>(key);
}

bool AcceptsDrops(HWND dialog) {
    const Window* window = FindWindow(dialog);
    return window != nullptr && window->kind == ControlKind::Dialog && TakesInput(dialog) &&
           (window->exStyle & WS_EX_ACCEPTFILES) != 0;
}

} // namespace winlayer

using namespace winlayer;

void WINAPI DragAcceptFiles(HWND handle, BOOL accept) {
    Window* window = FindWindow(handle);
    if (window == nullptr) {
        return;
    }
    const DWORD exStyle =
        accept ? (window->exStyle | WS_EX_ACCEPTFILES) : (window->exStyle & ~WS_EX_ACCEPTFILES);
    if (exStyle != window->exStyle) {
        window->exStyle = exStyle;
        Record(ChangeKind::State, handle); // the back end becomes a drop target, or stops being one
    }
}

UINT WINAPI DragQueryFileA(HDROP drop, UINT file, LPSTR name, UINT size) {
    const std::vector<std::string>* names = FindDrop(drop);
    if (names == nullptr) {
        return 0;
    }
    if (file == 0xFFFFFFFF) {
        return static_cast<UINT>(names->size());
    }
    if (file >= names->size()) {
        return 0;
    }
    const std::string& path = (*names)[file];
    if (name == nullptr) {
        return static_cast<UINT>(path.size()); // the length, without the terminator
    }
    if (size == 0) {
        return 0;
    }
    const size_t copied = path.size() < size - 1 ? path.size() : size - 1;
    std::memcpy(name, path.data(), copied);
    name[copied] = '\0';
    return static_cast<UINT>(copied);
}

void WINAPI DragFinish(HDROP drop) {
    Drops().erase(reinterpret_cast<std::uintptr_t>(drop));
}
