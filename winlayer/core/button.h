// Push buttons and automatic check boxes: the click (by mouse, or by Space on the
// focused button), which an automatic check box turns into a toggle of its own, and
// the notification the dialog gets.
#pragma once

#include "winlayer/core/window.h"

namespace winlayer {

// A click on the button: the focus moves to it, a check box toggles, and the dialog
// gets BN_CLICKED.
void ButtonClick(Window& button);
// A key on the focused button: Space clicks it. False for any other key.
bool ButtonKey(Window& button, UINT key);
// The messages a button answers: BM_GETCHECK, BM_SETCHECK, BM_SETSTYLE (a push
// button's default look) and WM_GETDLGCODE, which tells a default push button from
// another.
LRESULT ButtonMessage(Window& button, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace winlayer
