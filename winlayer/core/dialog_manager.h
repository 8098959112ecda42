// The dialog manager: a dialog's keyboard, as IsDialogMessage runs it. It asks the
// focused control what it wants from the keyboard (WM_GETDLGCODE, controls.h) and
// from that answer takes Tab and Shift+Tab, the arrows (moving the focus within the
// group), Enter and Escape; every other key goes to the control.
#pragma once

#include "winlayer/core/window.h"

namespace winlayer {

// A key pressed while `dialog` is active and its dialog manager runs; false when the
// key is the focused control's.
bool DialogKey(HWND dialog, UINT key, bool shift);

// The first visible, enabled tab stop in template order, or null.
HWND FirstTabStop(const Window& dialog);

} // namespace winlayer
