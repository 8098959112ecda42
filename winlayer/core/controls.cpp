#include "winlayer/core/controls.h"

#include "winlayer/core/button.h"
#include "winlayer/core/changes.h"
#include "winlayer/core/codepage.h"
#include "winlayer/core/edit.h"
#include "winlayer/core/edit_menu.h"
#include "winlayer/core/keys.h"
#include "winlayer/core/list_box.h"
#include "winlayer/include/win32_constants.h"

#include <cstring>

namespace winlayer {

namespace {

ControlKind KindOf(const ControlTemplate& entry) {
    switch (entry.controlClass) {
    case ControlClass::Edit:
        return ControlKind::Edit;
    case ControlClass::ListBox:
        return ControlKind::ListBox;
    case ControlClass::Static:
        return (entry.style & SS_TYPEMASK) == SS_BITMAP ? ControlKind::Bitmap : ControlKind::Static;
    case ControlClass::Progress:
        return ControlKind::ProgressBar;
    case ControlClass::Button:
        break;
    }
    switch (entry.style & BS_TYPEMASK) {
    case BS_GROUPBOX:
        return ControlKind::GroupBox;
    case BS_AUTOCHECKBOX:
        return ControlKind::CheckBox;
    default:
        return ControlKind::PushButton;
    }
}

LRESULT TextMessage(Window& control, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SETTEXT: {
        const char* text = reinterpret_cast<const char*>(lParam);
        if (control.kind == ControlKind::Edit) {
            EditSetText(control, Windows1252ToUtf8(text != nullptr ? text : ""));
        } else {
            SetText(control, text != nullptr ? text : "");
        }
        return TRUE;
    }
    case WM_GETTEXT:
        return CopyText(control.kind == ControlKind::Edit ? Utf8ToWindows1252(control.text)
                                                          : control.text,
                        reinterpret_cast<char*>(lParam), static_cast<int>(wParam));
    default:
        return 0;
    }
}

LRESULT ListMessage(Window& list, UINT message, WPARAM wParam, LPARAM lParam) {
    ListState& s = list.list;
    const int count = static_cast<int>(s.items.size());
    const int index = static_cast<int>(wParam);
    const bool valid = index >= 0 && index < count;
    switch (message) {
    case LB_ADDSTRING:
        return ListAdd(list, reinterpret_cast<const char*>(lParam));
    case LB_DELETESTRING:
        if (!ListDelete(list, index)) {
            return LB_ERR;
        }
        return static_cast<LRESULT>(s.items.size());
    case LB_GETCOUNT:
        return count;
    case LB_GETTEXT:
        if (!valid || lParam == 0) {
            return LB_ERR;
        }
        // The caller's buffer is as long as the entry and its terminator, as Windows assumes.
        std::memcpy(reinterpret_cast<char*>(lParam), s.items[static_cast<size_t>(index)].c_str(),
                    s.items[static_cast<size_t>(index)].size() + 1);
        return static_cast<LRESULT>(s.items[static_cast<size_t>(index)].size());
    case LB_GETSEL:
        return valid ? (s.selected[static_cast<size_t>(index)] ? 1 : 0) : LB_ERR;
    case LB_GETCARETINDEX:
        return s.caret;
    case WM_SETREDRAW:
        ListSetDrawing(list, wParam != 0);
        return 0;
    case LB_INITSTORAGE:
        // The count is an int, as the list box reads it: beyond one, it is negative.
        return ListReserve(list, static_cast<int>(wParam));
    default:
        return 0;
    }
}

// A progress bar: its range, its position within it (kept inside the range), and the
// moving marquee of a bar whose end is not known.
LRESULT ProgressMessage(Window& bar, UINT message, WPARAM wParam, LPARAM lParam) {
    ProgressState& p = bar.progress;
    const ProgressState before = p;
    LRESULT result = 0;
    switch (message) {
    case PBM_SETRANGE32:
        result =
            static_cast<LRESULT>((p.low & 0xFFFF) | ((p.high & 0xFFFF) << 16)); // the old range
        p.low = static_cast<int>(wParam);
        p.high = static_cast<int>(lParam);
        break;
    case PBM_SETPOS:
        result = p.pos;
        p.pos = static_cast<int>(wParam);
        break;
    case PBM_GETPOS:
        return p.pos;
    case PBM_SETMARQUEE:
        p.marquee = (bar.style & PBS_MARQUEE) != 0 && wParam != 0;
        result = TRUE;
        break;
    default:
        return 0;
    }
    p.pos = p.pos < p.low ? p.low : p.pos > p.high ? p.high : p.pos;
    if (p.low != before.low || p.high != before.high || p.pos != before.pos ||
        p.marquee != before.marquee) {
        Record(ChangeKind::State, bar.handle);
    }
    return result;
}

} // namespace

int CopyText(const std::string& text, char* buffer, int size) {
    if (buffer == nullptr || size <= 0) {
        return 0;
    }
    const int length =
        static_cast<int>(text.size()) < size - 1 ? static_cast<int>(text.size()) : size - 1;
    std::memcpy(buffer, text.data(), static_cast<size_t>(length));
    buffer[length] = '\0';
    return length;
}

Window& CreateControl(HWND dialog, const ControlTemplate& entry) {
    Window& control = CreateWindowRecord(KindOf(entry), dialog);
    control.id = entry.id;
    control.text = entry.text != nullptr ? entry.text : "";
    control.imageId = entry.imageId;
    control.rect = {entry.x, entry.y, entry.cx, entry.cy};
    control.style = entry.style;
    control.exStyle = entry.exStyle;
    control.enabled = (entry.style & WS_DISABLED) == 0;
    return control;
}

LRESULT ControlMessage(Window& control, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTEXT || message == WM_GETTEXT) {
        return TextMessage(control, message, wParam, lParam);
    }
    switch (control.kind) {
    case ControlKind::Edit:
        if (message == EM_LIMITTEXT) {
            EditSetLimit(control, wParam);
        } else if (message == WM_GETDLGCODE) {
            return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
        }
        return 0;
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
        return ButtonMessage(control, message, wParam, lParam);
    case ControlKind::ListBox:
        if (message == WM_GETDLGCODE) {
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        }
        return ListMessage(control, message, wParam, lParam);
    case ControlKind::ProgressBar:
        return ProgressMessage(control, message, wParam, lParam);
    case ControlKind::Static:
    case ControlKind::GroupBox:
    case ControlKind::Bitmap:
        return message == WM_GETDLGCODE ? DLGC_STATIC : 0;
    case ControlKind::Dialog:
        return 0;
    }
    return 0;
}

void ControlKey(Window& control, UINT key, bool ctrl, bool shift) {
    switch (control.kind) {
    case ControlKind::PushButton:
    case ControlKind::CheckBox:
        ButtonKey(control, key);
        break;
    case ControlKind::Edit:
        if (key == vk::Apps || (key == vk::F10 && shift && !ctrl)) {
            OpenEditMenu(control); // the context menu from the keyboard
        } else {
            EditPressKey(control, key, ctrl, shift);
        }
        break;
    case ControlKind::ListBox:
        ListKey(control, key, ctrl, shift);
        break;
    default:
        break;
    }
}

void ControlChar(Window& control, char32_t c) {
    if (control.kind == ControlKind::Edit) {
        EditTypeChar(control, c);
    } else if (control.kind == ControlKind::ListBox) {
        ListChar(control, c);
    }
}

} // namespace winlayer
