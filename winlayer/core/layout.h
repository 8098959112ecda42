// Placing dialogs on the screen: dialog units to pixels, and the names a screen
// reader gives each control, found from the layout.
#pragma once

#include "winlayer/core/window.h"

#include <string>

namespace winlayer {

// A dialog font's base units, as Windows computes them: the average width of the
// 52 letters of the alphabet, rounded, and the font's height.
struct BaseUnits {
    int x, y;
};
BaseUnits BaseUnitsOf(int widthOf52Letters, int fontHeight);

// The one conversion from dialog units to pixels.
Rect ToPixels(const Rect& dialogUnits, BaseUnits units);

// What a control is called: its own text, or for an edit field the text of the
// control to its left on its row, or for a list the group box around it; in UTF-8.
std::string AccessibleName(HWND control);
// What a dialog says of itself: the text of its first static text (a progress box's
// line of what is happening), in UTF-8; empty when it has none.
std::string AccessibleDescription(HWND dialog);

} // namespace winlayer
