#include "winlayer/core/input.h"

#include "winlayer/core/codepage.h"
#include "winlayer/core/common_dialogs.h"
#include "winlayer/core/dialog.h"
#include "winlayer/core/drop.h"
#include "winlayer/core/edit.h"
#include "winlayer/core/list_box.h"
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
        SetFocusTo(handle); // an automatic check box: it toggles itself
        SetChecked(*control, !control->checked);
        Notify(handle, BN_CLICKED);
        break;
    case ControlKind::Edit:
        EditSelect(*control, static_cast<int>(Utf8ToChars(control->text).size()),
                   static_cast<int>(Utf8ToChars(control->text).size()));
        SetFocusTo(handle);
        break;
    case ControlKind::ListBox:
        SetFocusTo(handle);
        break;
    default:
        break; // static texts, group boxes and pictures take no clicks
    }
}

int Type(HWND handle, const std::string& utf8) {
    int taken = 0;
    for (char32_t c : Utf8ToChars(utf8)) {
        Window* edit = Target(handle, ControlKind::Edit);
        if (edit == nullptr) {
            break;
        }
        SetFocusTo(handle);
        if (EditTypeChar(*edit, c)) {
            ++taken;
        }
    }
    return taken;
}

void Backspace(HWND handle) {
    if (Window* edit = Target(handle, ControlKind::Edit)) {
        SetFocusTo(handle);
        EditBackspace(*edit);
    }
}

void PlaceCaret(HWND handle, int anchor, int caret) {
    if (Window* edit = Target(handle, ControlKind::Edit)) {
        EditSelect(*edit, anchor, caret);
    }
}

void ClickEdit(HWND handle, int at, bool shift) {
    if (Window* edit = Target(handle, ControlKind::Edit)) {
        EditSelect(*edit, shift ? edit->edit.selStart : at, at);
        SetFocusTo(handle);
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

void SetListPage(HWND handle, int rows) {
    if (Window* list = FindWindow(handle); list != nullptr && list->kind == ControlKind::ListBox) {
        ListSetPage(*list, rows);
    }
}

void ScrollList(HWND handle, int top) {
    if (Window* list = Target(handle, ControlKind::ListBox)) {
        ListScroll(*list, top);
    }
}

void PressKey(HWND dialog, UINT key, bool ctrl, bool shift) {
    if (Target(dialog, ControlKind::Dialog) == nullptr) {
        return;
    }
    Window* focused = FindWindow(FocusOf(dialog));
    // The dialog manager first, where its loop runs.
    switch (RunsInnermostLoop(dialog) ? key : 0) {
    case vk::Tab:
        TabFocus(dialog, shift);
        return;
    case vk::Return:
        SendCommand(dialog, EnterCommand(dialog));
        return;
    case vk::Escape:
        SendCommand(dialog, IDCANCEL);
        return;
    case vk::Left:
    case vk::Right:
    case vk::Up:
    case vk::Down:
        if (focused == nullptr || !WantsArrows(*focused)) {
            ArrowFocus(dialog, key == vk::Left || key == vk::Up);
            return;
        }
        break;
    default:
        break;
    }
    if (focused == nullptr || !TakesInput(focused->handle)) {
        return;
    }
    switch (focused->kind) {
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
        if (key == vk::Space) {
            Click(focused->handle);
        }
        break;
    case ControlKind::Edit:
        EditPressKey(*focused, key, ctrl, shift);
        break;
    case ControlKind::ListBox:
        if (ListPressKey(*focused, key, ctrl, shift) && !focused->list.items.empty()) {
            NotifyListSelection(*focused);
        }
        break;
    default:
        break;
    }
}

void TypeText(HWND dialog, const std::string& utf8) {
    if (Target(dialog, ControlKind::Dialog) == nullptr) {
        return;
    }
    for (char32_t c : Utf8ToChars(utf8)) {
        // Each character is a key of its own: the program may act between them.
        Window* focused = FindWindow(FocusOf(dialog));
        if (focused == nullptr || !TakesInput(focused->handle)) {
            return;
        }
        if (focused->kind == ControlKind::Edit) {
            EditTypeChar(*focused, c);
        } else if (focused->kind == ControlKind::ListBox && !focused->list.items.empty()) {
            // The list compares in the program's code page.
            if (ListTypeChar(*focused, Utf8ToWindows1252(CharsToUtf8(std::u32string(1, c)))[0])) {
                NotifyListSelection(*focused);
            }
        }
    }
}

void Close(HWND dialog) {
    const Window* window = FindWindow(dialog);
    if (window == nullptr || window->kind != ControlKind::Dialog) {
        return;
    }
    if (!window->enabled) {
        // Disabled while a window it owns works (a command's progress box): as Windows
        // hands the request to the owned window, that window is closed instead.
        HWND owned = nullptr;
        for (HWND other : Dialogs()) {
            const Window* candidate = FindWindow(other);
            if (candidate->parent == dialog && TakesInput(other)) {
                owned = other;
            }
        }
        dialog = owned;
    }
    if (dialog != nullptr) {
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
    if (!AcceptsDrops(dialog) || paths.empty()) {
        return;
    }
    Send(dialog, WM_DROPFILES, reinterpret_cast<WPARAM>(CreateDrop(paths)), 0);
}

} // namespace winlayer::input
