// The pointer's shape over the program's windows, as SetCursor sets it: one for the
// whole program, as on Windows, where it belongs to the thread that owns the windows.
#pragma once

#include "winlayer/include/win32_types.h"

namespace winlayer {

enum class CursorShape {
    None,  // no cursor: SetCursor(NULL)
    Arrow, // the windows' own, where every run starts
    Wait,  // IDC_WAIT
};

CursorShape CurrentCursor();
// Puts the arrow back without showing it, for a new run.
void ResetCursor();

} // namespace winlayer
