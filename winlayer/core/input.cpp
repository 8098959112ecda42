#include "winlayer/core/input.h"

#include "winlayer/core/common_dialogs.h"
#include "winlayer/core/dialog.h"
#include "winlayer/core/drop.h"
#include "winlayer/core/edit.h"
#include "winlayer/include/win32_constants.h"

#include <filesystem>
#include <system_error>

namespace winlayer::input {

namespace {

Window* Target(HWND handle, ControlKind kind) {
    Window* window = FindWindow(handle);
    return window != nullptr && window->kind == kind && TakesInput(handle) ? window : nullptr;
}

void NotifyListSelection(const Window& list) {
    if ((list.style & LBS_NOTIFY) != 0) {
        Notify(list.handle, LBN_SELCHANGE);
    }
}

void SendCommand(HWND dialog, int id) {
    const Window* control = FindControl(dialog, id);
    Send(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
         reinterpret_cast<LPARAM>(control != nullptr ? control->handle : nullptr));
}

} // namespace

void Click(HWND handle) {
    Window* control = FindWindow(handle);
    if (control == nullptr || control->kind == ControlKind::Dialog || !TakesInput(handle)) {
        return;
    }
    switch (control->kind) {
    case ControlKind::PushButton:
        SetFocusTo(handle);
        Notify(handle, BN_CLICKED);
        break;
    case ControlKind::CheckBox:
        SetFocusTo(handle);
        if ((control->style & BS_TYPEMASK) == BS_AUTOCHECKBOX) {
            SetChecked(*control, !control->checked);
        }
        Notify(handle, BN_CLICKED);
        break;
    case ControlKind::Edit:
        EditSelect(*control, static_cast<int>(control->text.size()),
                   static_cast<int>(control->text.size()));
        SetFocusTo(handle);
        break;
    case ControlKind::ListBox:
        SetFocusTo(handle);
        break;
    default:
        break; // static texts, group boxes and pictures take no clicks
    }
}

int Type(HWND handle, const std::string& text) {
    int taken = 0;
    for (char c : text) {
        Window* edit = Target(handle, ControlKind::Edit);
        if (edit == nullptr) {
            break;
        }
        SetFocusTo(handle);
        if (EditTypeChar(*edit, c)) {
            ++taken;
            Notify(handle, EN_CHANGE);
        }
    }
    return taken;
}

void Backspace(HWND handle) {
    if (Window* edit = Target(handle, ControlKind::Edit)) {
        SetFocusTo(handle);
        if (EditBackspace(*edit)) {
            Notify(handle, EN_CHANGE);
        }
    }
}

void PlaceCaret(HWND handle, int start, int end) {
    if (Window* edit = Target(handle, ControlKind::Edit)) {
        EditSelect(*edit, start, end);
    }
}

void Focus(HWND handle) {
    const Window* control = FindWindow(handle);
    if (control != nullptr && control->kind != ControlKind::Dialog && TakesInput(handle)) {
        SetFocusTo(handle);
    }
}

void SelectAll(HWND handle) {
    if (Window* edit = Target(handle, ControlKind::Edit)) {
        SetFocusTo(handle);
        EditSelectAll(*edit);
    }
}

void ClickListEntry(HWND handle, int index, bool ctrl, bool shift) {
    Window* list = Target(handle, ControlKind::ListBox);
    if (list == nullptr) {
        return;
    }
    SetFocusTo(handle);
    if (index < 0 || index >= static_cast<int>(list->list.items.size())) {
        return; // below the last entry: nothing there to select
    }
    ListClick(*list, index, ctrl, shift);
    NotifyListSelection(*list);
}

void DoubleClickListEntry(HWND handle, int index) {
    Window* list = Target(handle, ControlKind::ListBox);
    if (list == nullptr || index < 0 || index >= static_cast<int>(list->list.items.size())) {
        return;
    }
    // The second press of a double-click selects as a click does, then reports the
    // double-click.
    SetFocusTo(handle);
    ListClick(*list, index, false, false);
    NotifyListSelection(*list);
    if ((list = Target(handle, ControlKind::ListBox)) != nullptr &&
        (list->style & LBS_NOTIFY) != 0) {
        Notify(handle, LBN_DBLCLK);
    }
}

void PressListKey(HWND handle, ListKey key, bool ctrl, bool shift) {
    Window* list = Target(handle, ControlKind::ListBox);
    if (list == nullptr || list->list.items.empty()) {
        return;
    }
    SetFocusTo(handle);
    ListPressKey(*list, key, ctrl, shift);
    NotifyListSelection(*list);
}

void PressEnter(HWND dialog) {
    if (Target(dialog, ControlKind::Dialog) != nullptr) {
        SendCommand(dialog, EnterCommand(dialog));
    }
}

void PressEscape(HWND dialog) {
    if (Target(dialog, ControlKind::Dialog) != nullptr) {
        SendCommand(dialog, IDCANCEL);
    }
}

void PressTab(HWND dialog, bool shift) {
    if (Target(dialog, ControlKind::Dialog) != nullptr) {
        TabFocus(dialog, shift);
    }
}

void PressSpace(HWND dialog) {
    if (Target(dialog, ControlKind::Dialog) == nullptr) {
        return;
    }
    const Window* focused = FindWindow(FocusOf(dialog));
    if (focused != nullptr &&
        (focused->kind == ControlKind::PushButton || focused->kind == ControlKind::CheckBox)) {
        Click(focused->handle);
    }
}

void Close(HWND dialog) {
    if (Target(dialog, ControlKind::Dialog) != nullptr) {
        Send(dialog, WM_CLOSE, 0, 0);
    }
}

bool AcceptFileDialog(const std::string& directory, const std::vector<std::string>& names) {
    FileDialog* dialog = OpenFileDialog();
    if (dialog == nullptr || names.empty()) {
        return false;
    }
    if ((dialog->flags & OFN_FILEMUSTEXIST) != 0) {
        for (const std::string& name : names) {
            std::error_code error;
            if (!std::filesystem::is_regular_file(std::filesystem::path(directory) / name, error)) {
                return false;
            }
        }
    }
    if (names.size() > 1 && (dialog->flags & OFN_ALLOWMULTISELECT) == 0) {
        return false;
    }
    dialog->directory = directory;
    dialog->names = names;
    dialog->accepted = true;
    dialog->done = true;
    return true;
}

bool AcceptChosenFiles(const std::vector<std::string>& paths) {
    std::string directory;
    std::vector<std::string> names;
    return SplitChosenPaths(paths, directory, names) && AcceptFileDialog(directory, names);
}

void CancelFileDialog() {
    if (FileDialog* dialog = OpenFileDialog()) {
        dialog->accepted = false;
        dialog->done = true;
    }
}

void DismissMessageBox() {
    if (!OpenMessageBoxes().empty()) {
        OpenMessageBoxes().back()->done = true;
    }
}

void DropFiles(HWND dialog, const std::vector<std::string>& paths) {
    const Window* window = FindWindow(dialog);
    if (window == nullptr || !TakesInput(dialog) || (window->exStyle & WS_EX_ACCEPTFILES) == 0 ||
        paths.empty()) {
        return;
    }
    Send(dialog, WM_DROPFILES, reinterpret_cast<WPARAM>(CreateDrop(paths)), 0);
}

} // namespace winlayer::input
