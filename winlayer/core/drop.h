// Files dropped onto a window: the object a WM_DROPFILES message carries, read with
// DragQueryFileA and released with DragFinish, as the shell's HDROP is.
#pragma once

#include "winlayer/include/win32_types.h"

#include <string>
#include <vector>

namespace winlayer {

// A new drop holding these paths, each up to its first NUL; it lives until
// DragFinish. Its handle is never reused, so a finished or made-up handle reads as
// an empty drop.
HDROP CreateDrop(const std::vector<std::string>& paths);
// True when files dropped onto this dialog reach it: it takes input (it is not
// disabled, as while a window it owns is working) and accepts files.
bool AcceptsDrops(HWND dialog);

} // namespace winlayer
