// Reading the program's .rc file: the subset of the resource-script language that
// the Windows resource compiler and this converter both read, and the C++ tables
// the converter writes from it.
#pragma once

#include "winlayer/core/resources.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace rc {

struct Control {
    int id = 0;
    winlayer::ControlClass controlClass = winlayer::ControlClass::Static;
    std::string text;
    int imageId = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
};

struct Dialog {
    int id = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    std::string caption;
    std::string fontName;
    int fontPoints = 0;
    std::vector<Control> controls;
};

struct Bitmap {
    int id = 0;
    std::string file; // as written in the script
};

struct Script {
    std::vector<Dialog> dialogs;
    std::vector<Bitmap> bitmaps;
};

// Returns the text of an included file ("name" form), or false when it cannot be read.
using IncludeReader = std::function<bool(const std::string& name, std::string& text)>;

// Parses `text`. On failure returns false with `error` saying where and what
// ("line N: ..."). Rejects anything outside the subset, and duplicate numbers.
bool ParseScript(const std::string& text, const IncludeReader& include, Script& script,
                 std::string& error);

// The C++ source of the resource tables; `bitmapBytes[i]` holds the file of
// `script.bitmaps[i]`.
std::string EmitTables(const Script& script,
                       const std::vector<std::vector<unsigned char>>& bitmapBytes);

} // namespace rc
