// The Win32 functions the program calls, provided by the core.
#include "winlayer/core/changes.h"
#include "winlayer/core/common_dialogs.h"
#include "winlayer/core/dialog.h"
#include "winlayer/include/windows.h"

using namespace winlayer;

INT_PTR WINAPI DialogBoxParamA(HINSTANCE, LPCSTR templateName, HWND owner, DLGPROC dialogProc,
                               LPARAM initParam) {
    if (!IS_INTRESOURCE(templateName)) {
        return -1; // templates are found by number only
    }
    return RunModalDialog(static_cast<int>(reinterpret_cast<ULONG_PTR>(templateName)), owner,
                          dialogProc, initParam);
}

HWND WINAPI CreateDialogParamA(HINSTANCE, LPCSTR templateName, HWND owner, DLGPROC dialogProc,
                               LPARAM initParam) {
    if (!IS_INTRESOURCE(templateName)) {
        return nullptr;
    }
    return CreateModelessDialog(static_cast<int>(reinterpret_cast<ULONG_PTR>(templateName)), owner,
                                dialogProc, initParam);
}

BOOL WINAPI DestroyWindow(HWND window) {
    return Destroy(window) ? TRUE : FALSE;
}
void WINAPI PostQuitMessage(int exitCode) {
    PostQuit(exitCode);
}

HWND WINAPI GetDlgItem(HWND dialog, int id) {
    const Window* control = FindControl(dialog, id);
    return control != nullptr ? control->handle : nullptr;
}

UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR text, int maxCount) {
    const HWND control = GetDlgItem(dialog, id);
    if (control == nullptr) {
        if (text != nullptr && maxCount > 0) {
            text[0] = '\0';
        }
        return 0;
    }
    return static_cast<UINT>(Send(control, WM_GETTEXT,
                                  static_cast<WPARAM>(maxCount < 0 ? 0 : maxCount),
                                  reinterpret_cast<LPARAM>(text)));
}

BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text) {
    const HWND control = GetDlgItem(dialog, id);
    return control != nullptr && Send(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0;
}

BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check) {
    const HWND control = GetDlgItem(dialog, id);
    if (control == nullptr) {
        return FALSE;
    }
    Send(control, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dialog, int id) {
    return static_cast<UINT>(SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0));
}

BOOL WINAPI EnableWindow(HWND handle, BOOL enable) {
    Window* window = FindWindow(handle);
    if (window == nullptr) {
        return FALSE;
    }
    const BOOL wasDisabled = window->enabled ? FALSE : TRUE;
    SetEnabled(*window, enable != FALSE);
    if (enable == FALSE) {
        TakeFocusFrom(handle);
    }
    return wasDisabled;
}

BOOL WINAPI IsChild(HWND parent, HWND handle) {
    const Window* window = FindWindow(handle);
    return window != nullptr && window->kind != ControlKind::Dialog && window->parent == parent
               ? TRUE
               : FALSE;
}

LONG_PTR WINAPI GetWindowLongPtrA(HWND handle, int index) {
    const Window* window = FindWindow(handle);
    return window != nullptr && index == GWL_STYLE ? static_cast<LONG_PTR>(window->style) : 0;
}

// Only the style is kept; it takes effect as the control's rules read it (a progress
// bar's marquee).
LONG_PTR WINAPI SetWindowLongPtrA(HWND handle, int index, LONG_PTR value) {
    Window* window = FindWindow(handle);
    if (window == nullptr || index != GWL_STYLE) {
        return 0;
    }
    const DWORD previous = window->style;
    window->style = static_cast<DWORD>(value);
    if (window->style != previous) {
        Record(ChangeKind::State, handle);
    }
    return static_cast<LONG_PTR>(previous);
}

BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* classes) {
    return classes != nullptr ? TRUE : FALSE; // the core's controls are always there
}

BOOL WINAPI InvalidateRect(HWND window, const RECT*, BOOL) {
    // A back end shows every change after each input event: nothing waits for a repaint.
    return FindWindow(window) != nullptr ? TRUE : FALSE;
}

LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return Send(window, message, wParam, lParam);
}

LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam,
                                   LPARAM lParam) {
    const HWND control = GetDlgItem(dialog, id);
    return control != nullptr ? Send(control, message, wParam, lParam) : 0;
}

int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    return RunMessageBoxFor(owner, text, caption, type);
}

BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA options) {
    return options != nullptr ? RunOpenFileDialog(*options) : FALSE;
}
