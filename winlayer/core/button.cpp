#include "winlayer/core/button.h"

#include "winlayer/core/changes.h"
#include "winlayer/core/controls.h"
#include "winlayer/core/dialog.h"
#include "winlayer/core/keys.h"
#include "winlayer/include/win32_constants.h"

namespace winlayer {

void ButtonClick(Window& button) {
    const HWND handle = button.handle;
    SetFocusTo(handle);
    if (button.kind == ControlKind::CheckBox) {
        SetChecked(button, !button.checked); // an automatic check box toggles itself
    }
    Notify(handle, BN_CLICKED);
}

bool ButtonKey(Window& button, UINT key) {
    if (key != vk::Space) {
        return false;
    }
    ButtonClick(button);
    return true;
}

LRESULT ButtonMessage(Window& button, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case BM_SETCHECK:
        if (button.kind == ControlKind::CheckBox) {
            SetChecked(button, wParam == BST_CHECKED);
        }
        return 0;
    case BM_GETCHECK:
        return button.checked ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETSTYLE:
        if (button.kind == ControlKind::PushButton &&
            (button.style & BS_TYPEMASK) != (static_cast<DWORD>(wParam) & BS_TYPEMASK)) {
            button.style =
                (button.style & ~BS_TYPEMASK) | (static_cast<DWORD>(wParam) & BS_TYPEMASK);
            Record(ChangeKind::State, button.handle);
        }
        return 0;
    case WM_GETDLGCODE:
        if (button.kind == ControlKind::CheckBox) {
            return DLGC_BUTTON;
        }
        return DLGC_BUTTON |
               ((button.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? DLGC_DEFPUSHBUTTON
                                                                 : DLGC_UNDEFPUSHBUTTON);
    default:
        return 0;
    }
}

} // namespace winlayer
