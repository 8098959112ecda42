// Messages sent to controls: the part of each control kind the program talks to.
#pragma once

#include "winlayer/core/window.h"

namespace winlayer {

// Builds a control of `dialog` from its template entry.
Window& CreateControl(HWND dialog, const ControlTemplate& entry);
LRESULT ControlMessage(Window& control, UINT message, WPARAM wParam, LPARAM lParam);
// Copies `text` into `buffer` of `size` bytes, cut to fit, always terminated.
// Returns the characters copied.
int CopyText(const std::string& text, char* buffer, int size);

} // namespace winlayer
