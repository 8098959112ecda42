#include "winlayer/core/dialog_manager.h"

#include "winlayer/core/controls.h"
#include "winlayer/core/dialog.h"
#include "winlayer/core/edit.h"
#include "winlayer/core/keys.h"
#include "winlayer/include/win32_constants.h"

namespace winlayer {

namespace {

UINT CodeOf(HWND control) {
    Window* window = FindWindow(control);
    return window != nullptr ? static_cast<UINT>(ControlMessage(*window, WM_GETDLGCODE, 0, 0)) : 0;
}

bool Usable(HWND handle) {
    const Window* control = FindWindow(handle);
    return control != nullptr && (control->style & WS_VISIBLE) != 0 && control->enabled;
}

bool IsTabStop(HWND handle) {
    const Window* control = FindWindow(handle);
    return Usable(handle) && (control->style & WS_TABSTOP) != 0;
}

bool StartsGroup(HWND handle) {
    const Window* control = FindWindow(handle);
    return control != nullptr && (control->style & WS_GROUP) != 0;
}

// The dialog's own default command: the template's last DEFPUSHBUTTON (each one a
// dialog builds takes the part from the one before), else IDOK.
int OwnDefault(const Window& dialog) {
    int id = IDOK;
    const DialogTemplate* entry = dialog.dialogTemplate;
    for (int i = 0; entry != nullptr && i < entry->controlCount; ++i) {
        const ControlTemplate& control = entry->controls[i];
        if (control.controlClass == ControlClass::Button &&
            (control.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) {
            id = control.id;
        }
    }
    return id;
}

// The push button that is the default now, or null.
HWND CurrentDefault(const Window& dialog) {
    for (HWND child : dialog.children) {
        if ((CodeOf(child) & DLGC_DEFPUSHBUTTON) != 0) {
            return child;
        }
    }
    return nullptr;
}

// The focus moved by the keyboard to `control`: a push button becomes the default, a
// check box leaves no button the default, and any other control gives the part back
// to the dialog's own default button. Focus given by a click leaves the default where
// it was, so that Enter then does not click the clicked button.
void MoveDefault(const Window& dialog, HWND control) {
    const Window* own = FindControl(dialog.handle, OwnDefault(dialog));
    const HWND next = (CodeOf(control) & (DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON)) != 0 ? control
                      : own != nullptr                                              ? own->handle
                                                                                    : nullptr;
    const HWND old = CurrentDefault(dialog);
    if (old != nullptr && old != next) {
        Send(old, BM_SETSTYLE, BS_PUSHBUTTON, 0);
    }
    if (next != nullptr && (CodeOf(next) & DLGC_UNDEFPUSHBUTTON) != 0) {
        Send(next, BM_SETSTYLE, BS_DEFPUSHBUTTON, 0);
    }
}

// Focusing a control by keyboard: a control that takes EM_SETSEL (an edit) has its
// text selected, and the default button follows the focus.
void KeyboardFocus(const Window& dialog, HWND control) {
    if ((CodeOf(control) & DLGC_HASSETSEL) != 0) {
        EditSelectAll(*FindWindow(control));
    }
    SetFocusTo(control);
    MoveDefault(dialog, control);
}

int IndexOf(const Window& dialog, HWND control) {
    for (size_t i = 0; i < dialog.children.size(); ++i) {
        if (dialog.children[i] == control) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Tab and Shift+Tab: the next (or previous) tab stop, wrapping round; with nothing
// focused, the first (or the last).
void TabFocus(const Window& dialog, bool backwards) {
    const int count = static_cast<int>(dialog.children.size());
    const int at = IndexOf(dialog, dialog.focus);
    const int from = at >= 0 ? at : (backwards ? count : -1);
    for (int step = 1; step <= count; ++step) {
        const int i = ((backwards ? from - step : from + step) % count + count) % count;
        if (IsTabStop(dialog.children[static_cast<size_t>(i)])) {
            KeyboardFocus(dialog, dialog.children[static_cast<size_t>(i)]);
            return;
        }
    }
}

// The control an arrow moves to from child `at`. The walk goes forward round the
// children once; the controls met before the first group start are the control's own
// group (that is how the children before the first WS_GROUP join the last group).
// Past a group start, it goes on from the last group start before `at` up to `at`.
int GroupNeighbour(const std::vector<HWND>& children, int at, bool backwards) {
    const int count = static_cast<int>(children.size());
    std::vector<int> candidates;
    int groupStart = -1;
    for (int step = 1; step <= count; ++step) {
        const int i = (at + step) % count;
        if (StartsGroup(children[static_cast<size_t>(i)])) {
            groupStart = i;
        }
        if (i == at) {
            break;
        }
        if (groupStart < 0 && Usable(children[static_cast<size_t>(i)])) {
            candidates.push_back(i);
            if (!backwards) {
                return i;
            }
        }
    }
    if (groupStart >= 0 && groupStart != at) {
        for (int i = groupStart; i != at; i = (i + 1) % count) {
            if (Usable(children[static_cast<size_t>(i)])) {
                candidates.push_back(i);
                if (!backwards) {
                    break;
                }
            }
        }
    }
    if (candidates.empty()) {
        return at;
    }
    return backwards ? candidates.back() : candidates.front();
}

// An arrow the focused control does not take: the focus moves to the next (Down,
// Right) or previous (Up, Left) visible, enabled control of its group in template
// order, wrapping round within the group. With nothing focused, Down and Right start
// at the first control and Up and Left find nothing.
void ArrowFocus(const Window& dialog, bool backwards) {
    const std::vector<HWND>& children = dialog.children;
    const int at = IndexOf(dialog, dialog.focus);
    if (at < 0 && backwards) {
        return;
    }
    const int to = at >= 0                    ? GroupNeighbour(children, at, backwards)
                   : Usable(children.front()) ? 0
                                              : GroupNeighbour(children, 0, false);
    KeyboardFocus(dialog, children[static_cast<size_t>(to)]);
}

// The command Enter sends: the focused button's when it is the default, else the
// dialog's own default command, none (0) while its button is disabled. A button that
// the keyboard made the default and then left for a click elsewhere is not it.
int EnterCommand(const Window& dialog) {
    if ((CodeOf(dialog.focus) & DLGC_DEFPUSHBUTTON) != 0) {
        return FindWindow(dialog.focus)->id;
    }
    const int own = OwnDefault(dialog);
    const Window* button = FindControl(dialog.handle, own);
    return button == nullptr || button->enabled ? own : 0;
}

void SendCommand(HWND dialog, int id) {
    const Window* control = FindControl(dialog, id);
    Send(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
         reinterpret_cast<LPARAM>(control != nullptr ? control->handle : nullptr));
}

} // namespace

HWND FirstTabStop(const Window& dialog) {
    for (HWND child : dialog.children) {
        if (IsTabStop(child)) {
            return child;
        }
    }
    return nullptr;
}

bool DialogKey(HWND handle, UINT key, bool shift) {
    const Window* dialog = FindWindow(handle);
    if (dialog == nullptr || dialog->children.empty()) {
        return false;
    }
    const UINT wants = CodeOf(dialog->focus);
    switch (key) {
    case vk::Tab:
        if ((wants & (DLGC_WANTTAB | DLGC_WANTALLKEYS)) != 0) {
            return false;
        }
        TabFocus(*dialog, shift);
        return true;
    case vk::Return:
    case vk::Escape:
        if ((wants & DLGC_WANTALLKEYS) != 0) {
            return false;
        }
        if (const int id = key == vk::Return ? EnterCommand(*dialog) : IDCANCEL; id != 0) {
            SendCommand(handle, id);
        }
        return true;
    case vk::Left:
    case vk::Right:
    case vk::Up:
    case vk::Down:
        if ((wants & (DLGC_WANTARROWS | DLGC_WANTALLKEYS)) != 0) {
            return false;
        }
        ArrowFocus(*dialog, key == vk::Left || key == vk::Up);
        return true;
    default:
        return false;
    }
}

} // namespace winlayer
