#include "winlayer/core/input.h"

#include "winlayer/core/button.h"
#include "winlayer/core/codepage.h"
#include "winlayer/core/common_dialogs.h"
#include "winlayer/core/controls.h"
#include "winlayer/core/dialog.h"
#include "winlayer/core/dialog_manager.h"
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

} // namespace

void Click(HWND handle) {
    Window* control = FindWindow(handle);
    if (control == nullptr || control->kind == ControlKind::Dialog || !TakesInput(handle)) {
        return;
    }
    switch (control->kind) {
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
        ButtonClick(*control);
        break;
    case ControlKind::ListBox:
        SetFocusTo(handle);
        break;
    default:
        break; // edits are clicked at a character; static texts, group boxes, pictures
               // and progress bars take no clicks
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

void DragEdit(HWND handle, int at) {
    if (Window* edit = Target(handle, ControlKind::Edit)) {
        EditSelect(*edit, edit->edit.selStart, at);
    }
}

void Focus(HWND handle) {
    const Window* control = FindWindow(handle);
    if (control != nullptr && control->kind != ControlKind::Dialog && TakesInput(handle)) {
        SetFocusTo(handle);
    }
}

void EditContextMenu(HWND handle) {
    if (Window* edit = Target(handle, ControlKind::Edit)) {
        SetFocusTo(handle);
        OpenEditMenu(*edit);
    }
}

void ChooseEditCommand(HWND handle, EditCommand command) {
    if (Window* edit = Target(handle, ControlKind::Edit)) {
        RunEditCommand(*edit, command);
    }
}

void PasteSelectionAt(HWND handle, int at, const std::string& utf8) {
    if (Window* edit = Target(handle, ControlKind::Edit)) {
        SetFocusTo(handle);
        EditSelect(*edit, at, at);
        EditPasteText(*edit, utf8);
    }
}

void ClickListEntry(HWND handle, int index, bool ctrl, bool shift) {
    if (Window* list = Target(handle, ControlKind::ListBox)) {
        ListMouseClick(*list, index, ctrl, shift);
    }
}

void DoubleClickListEntry(HWND handle, int index) {
    if (Window* list = Target(handle, ControlKind::ListBox)) {
        ListDoubleClick(*list, index);
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

void WheelList(HWND handle, int notches) {
    constexpr int kRowsPerNotch = 3;
    if (Window* list = Target(handle, ControlKind::ListBox)) {
        ListScroll(*list, list->list.top + notches * kRowsPerNotch);
    }
}

void PressKey(HWND dialog, UINT key, bool ctrl, bool shift, bool alt) {
    if (Target(dialog, ControlKind::Dialog) == nullptr) {
        return;
    }
    if (alt) {
        if (key == vk::F4 && !ctrl && !shift) {
            Send(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        return;
    }
    // With the focus nowhere, Windows hands the key to the active window as a system
    // key, which neither a control nor the dialog manager takes.
    if (FindWindow(dialog)->focusLost) {
        return;
    }
    // The dialog manager first, where its loop runs; then the focused control.
    if (RunsInnermostLoop(dialog) && DialogKey(dialog, key, shift)) {
        return;
    }
    Window* focused = FindWindow(FocusOf(dialog));
    if (focused != nullptr && TakesInput(focused->handle)) {
        ControlKey(*focused, key, ctrl, shift);
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
        ControlChar(*focused, c);
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
