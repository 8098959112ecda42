// Messages sent to controls: the part of each control kind the program talks to.
#pragma once

#include "winlayer/core/window.h"

namespace winlayer {

// WM_GETDLGCODE: what a control wants from the keyboard, which the dialog manager
// leaves to it. The values are Windows' own.
constexpr UINT WM_GETDLGCODE = 0x0087;
constexpr UINT DLGC_WANTARROWS = 0x0001;
constexpr UINT DLGC_WANTTAB = 0x0002;
constexpr UINT DLGC_WANTALLKEYS = 0x0004;
constexpr UINT DLGC_HASSETSEL = 0x0008;
constexpr UINT DLGC_DEFPUSHBUTTON = 0x0010;
constexpr UINT DLGC_UNDEFPUSHBUTTON = 0x0020;
constexpr UINT DLGC_WANTCHARS = 0x0080;
constexpr UINT DLGC_STATIC = 0x0100;
constexpr UINT DLGC_BUTTON = 0x2000;
// BM_SETSTYLE: the dialog manager makes a push button the default (BS_DEFPUSHBUTTON)
// or an ordinary one (BS_PUSHBUTTON) as the focus moves.
constexpr UINT BM_SETSTYLE = 0x00F4;

// Builds a control of `dialog` from its template entry.
Window& CreateControl(HWND dialog, const ControlTemplate& entry);
LRESULT ControlMessage(Window& control, UINT message, WPARAM wParam, LPARAM lParam);

// The user's input on a control that takes it: a key (vk::) on the focused control,
// and one typed character. Each kind applies its own rules and sends its own
// notifications.
void ControlKey(Window& control, UINT key, bool ctrl, bool shift);
void ControlChar(Window& control, char32_t c);
// Copies `text` into `buffer` of `size` bytes, cut to fit, always terminated.
// Returns the characters copied.
int CopyText(const std::string& text, char* buffer, int size);

} // namespace winlayer
