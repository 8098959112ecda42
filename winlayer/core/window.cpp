#include "winlayer/core/window.h"

#include "winlayer/core/changes.h"
#include "winlayer/core/codepage.h"

#include <map>
#include <memory>

namespace winlayer {

namespace {

std::map<std::uintptr_t, std::unique_ptr<Window>>& Table() {
    static std::map<std::uintptr_t, std::unique_ptr<Window>> table;
    return table;
}

std::uintptr_t gNextHandle = 0x10;

} // namespace

Window& CreateWindowRecord(ControlKind kind, HWND parent) {
    const std::uintptr_t key = gNextHandle;
    gNextHandle += 4;
    auto window = std::make_unique<Window>();
    window->handle = reinterpret_cast<HWND>(key);
    window->kind = kind;
    window->parent = parent;
    Window& created = *window;
    Table()[key] = std::move(window);
    return created;
}

Window* FindWindow(HWND handle) {
    auto found = Table().find(reinterpret_cast<std::uintptr_t>(handle));
    return found == Table().end() ? nullptr : found->second.get();
}

void RemoveWindowRecord(HWND handle) {
    DropHeldChanges(handle);
    Table().erase(reinterpret_cast<std::uintptr_t>(handle));
}

std::vector<HWND> Dialogs() {
    std::vector<HWND> dialogs;
    for (const auto& entry : Table()) {
        if (entry.second->kind == ControlKind::Dialog) {
            dialogs.push_back(entry.second->handle);
        }
    }
    return dialogs;
}

Window* FindControl(HWND dialog, int id) {
    Window* owner = FindWindow(dialog);
    if (owner == nullptr) {
        return nullptr;
    }
    for (HWND child : owner->children) {
        Window* control = FindWindow(child);
        if (control != nullptr && control->id == id) {
            return control;
        }
    }
    return nullptr;
}

void SetText(Window& window, std::string text) {
    window.text = std::move(text);
    Record(ChangeKind::State, window.handle);
}

std::string DisplayText(const Window& window) {
    if (window.kind == ControlKind::Edit) {
        return window.text;
    }
    // The process code page, UTF-8 here as the Windows program's manifest makes it there:
    // a text with a file's name in it (the progress box's) shows the name as its folder
    // does. A broken sequence shows as "?".
    return CharsToUtf8(Utf8ToChars(window.text));
}

void SetChecked(Window& window, bool checked) {
    if (window.checked != checked) {
        window.checked = checked;
        Record(ChangeKind::State, window.handle);
    }
}

void SetEnabled(Window& window, bool enabled) {
    if (window.enabled != enabled) {
        window.enabled = enabled;
        Record(ChangeKind::State, window.handle);
    }
}

} // namespace winlayer
