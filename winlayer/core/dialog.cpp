#include "winlayer/core/dialog.h"

#include "winlayer/core/changes.h"
#include "winlayer/core/controls.h"
#include "winlayer/core/dialog_manager.h"
#include "winlayer/include/win32_constants.h"

namespace winlayer {

namespace {

// The dialogs whose modal loops run, innermost last.
std::vector<HWND> gLoops;

HWND BuildDialog(const DialogTemplate& entry, HWND owner, DLGPROC proc) {
    Window& dialog = CreateWindowRecord(ControlKind::Dialog, owner);
    dialog.dialogTemplate = &entry;
    dialog.proc = proc;
    dialog.text = entry.caption != nullptr ? entry.caption : "";
    dialog.rect = {entry.x, entry.y, entry.cx, entry.cy};
    dialog.style = entry.style;
    dialog.exStyle = entry.exStyle;
    const HWND handle = dialog.handle;
    for (int i = 0; i < entry.controlCount; ++i) {
        const HWND child = CreateControl(handle, entry.controls[i]).handle;
        FindWindow(handle)->children.push_back(child);
    }
    return handle;
}

} // namespace

void ResetSession() {
    ResetLoop();
    gLoops.clear();
    for (HWND dialog : Dialogs()) {
        Window* window = FindWindow(dialog);
        for (HWND child : window->children) {
            RemoveWindowRecord(child);
        }
        RemoveWindowRecord(dialog);
    }
}

LRESULT Send(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = FindWindow(handle);
    if (window == nullptr) {
        return 0;
    }
    if (window->kind != ControlKind::Dialog) {
        return ControlMessage(*window, message, wParam, lParam);
    }
    const INT_PTR handled =
        window->proc != nullptr ? window->proc(handle, message, wParam, lParam) : FALSE;
    if (handled) {
        return handled;
    }
    // What the dialog manager does with the messages a dialog procedure leaves alone.
    window = FindWindow(handle);
    if (window == nullptr) {
        return 0;
    }
    switch (message) {
    case WM_CLOSE: {
        const Window* cancel = FindControl(handle, IDCANCEL);
        Send(handle, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
             reinterpret_cast<LPARAM>(cancel != nullptr ? cancel->handle : nullptr));
        return 0;
    }
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            Send(handle, WM_CLOSE, 0, 0);
        }
        return 0;
    case WM_GETTEXT:
        return CopyText(window->text, reinterpret_cast<char*>(lParam), static_cast<int>(wParam));
    default:
        return 0;
    }
}

void Notify(HWND control, WORD code) {
    const Window* window = FindWindow(control);
    if (window != nullptr) {
        Send(window->parent, WM_COMMAND, MAKEWPARAM(window->id, code),
             reinterpret_cast<LPARAM>(control));
    }
}

namespace {

// Builds a dialog, lets its procedure initialise it, and shows it when `show` says so;
// the dialog's handle, or null when its procedure destroyed it meanwhile.
HWND OpenDialog(const DialogTemplate& entry, HWND owner, DLGPROC proc, LPARAM param, bool show) {
    const HWND dialog = BuildDialog(entry, owner, proc);
    Record(ChangeKind::Created, dialog);
    Window* built = FindWindow(dialog);
    const HWND first = FirstTabStop(*built);
    if (Send(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param) != 0 &&
        first != nullptr) {
        SetFocusTo(first);
    }
    Window* shown = FindWindow(dialog);
    if (shown != nullptr && show) {
        Record(ChangeKind::Shown, dialog);
        // Activated with no control focused (the procedure set none), the dialog
        // gives the focus to its first tab stop.
        if (shown->focus == nullptr) {
            if (const HWND firstStop = FirstTabStop(*shown)) {
                SetFocusTo(firstStop);
            }
        }
    }
    return shown != nullptr ? dialog : nullptr;
}

} // namespace

INT_PTR RunModalDialog(int templateId, HWND owner, DLGPROC proc, LPARAM param) {
    const DialogTemplate* entry = FindDialogTemplate(templateId);
    if (entry == nullptr || proc == nullptr) {
        return -1;
    }
    const bool ownerDisabled = DisableOwner(owner);
    const HWND dialog = OpenDialog(*entry, owner, proc, param, true);
    if (dialog != nullptr) {
        gLoops.push_back(dialog);
        ModalLoop([dialog] { return FindWindow(dialog) == nullptr; });
        std::erase(gLoops, dialog);
        if (FindWindow(dialog) != nullptr) {
            Destroy(dialog);
        }
    }
    RestoreOwner(owner, ownerDisabled);
    return 0;
}

HWND CreateModelessDialog(int templateId, HWND owner, DLGPROC proc, LPARAM param) {
    const DialogTemplate* entry = FindDialogTemplate(templateId);
    if (entry == nullptr || proc == nullptr || (owner != nullptr && FindWindow(owner) == nullptr)) {
        return nullptr;
    }
    return OpenDialog(*entry, owner, proc, param, (entry->style & WS_VISIBLE) != 0);
}

void RunWithDialogManager(HWND dialog, const InputEvent& event) {
    const size_t at = gLoops.size();
    gLoops.push_back(dialog);
    event();
    gLoops.erase(gLoops.begin() + static_cast<std::ptrdiff_t>(at));
}

bool DisableOwner(HWND owner) {
    Window* window = FindWindow(owner);
    if (window == nullptr || !window->enabled) {
        return false;
    }
    SetEnabled(*window, false);
    return true;
}

void RestoreOwner(HWND owner, bool disabled) {
    Window* window = FindWindow(owner);
    if (disabled && window != nullptr) {
        SetEnabled(*window, true);
        Record(ChangeKind::Activated, owner);
    }
}

bool Destroy(HWND handle) {
    Window* window = FindWindow(handle);
    if (window == nullptr || window->destroying) {
        return false;
    }
    window->destroying = true;
    if (window->kind == ControlKind::Dialog) {
        Send(handle, WM_DESTROY, 0, 0);
        window = FindWindow(handle);
        for (HWND child : window->children) {
            RemoveWindowRecord(child);
        }
    } else if (Window* dialog = FindWindow(window->parent)) {
        std::erase(dialog->children, handle);
        if (dialog->focus == handle) {
            dialog->focus = nullptr;
        }
    }
    const bool wasDialog = window->kind == ControlKind::Dialog;
    const HWND owner = window->parent;
    RemoveWindowRecord(handle);
    Record(ChangeKind::Destroyed, handle);
    if (wasDialog) {
        // As on Windows, the owner becomes active when it takes input, else the newest
        // remaining window that does.
        if (TakesInput(owner)) {
            Record(ChangeKind::Activated, owner);
            return true;
        }
        const std::vector<HWND> dialogs = Dialogs();
        for (auto at = dialogs.rbegin(); at != dialogs.rend(); ++at) {
            if (TakesInput(*at)) {
                Record(ChangeKind::Activated, *at);
                break;
            }
        }
    }
    return true;
}

void SetFocusTo(HWND handle) {
    Window* control = FindWindow(handle);
    if (control == nullptr || control->kind == ControlKind::Dialog) {
        return;
    }
    Window* dialog = FindWindow(control->parent);
    if (dialog == nullptr || dialog->focus == handle) {
        return;
    }
    dialog->focus = handle;
    dialog->focusLost = false;
    Record(ChangeKind::Focus, dialog->handle);
}

void TakeFocusFrom(HWND handle) {
    const Window* control = FindWindow(handle);
    Window* dialog = control != nullptr ? FindWindow(control->parent) : nullptr;
    if (control == nullptr || control->kind == ControlKind::Dialog || dialog == nullptr ||
        dialog->focus != handle) {
        return;
    }
    dialog->focus = nullptr;
    dialog->focusLost = true;
    Record(ChangeKind::Focus, dialog->handle);
}

HWND FocusOf(HWND dialog) {
    const Window* window = FindWindow(dialog);
    return window != nullptr ? window->focus : nullptr;
}

bool RunsInnermostLoop(HWND dialog) {
    return !gLoops.empty() && gLoops.back() == dialog;
}

bool TakesInput(HWND handle) {
    const Window* window = FindWindow(handle);
    if (window == nullptr || !window->enabled) {
        return false;
    }
    if (window->kind == ControlKind::Dialog) {
        return true;
    }
    const Window* dialog = FindWindow(window->parent);
    return dialog != nullptr && dialog->enabled;
}

} // namespace winlayer
