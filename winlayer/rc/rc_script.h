// Reading the program's .rc file: the statements and options it uses, one a line,
// every value kept as the script writes it (names and numbers joined by '|'), and the
// C++ tables written from it, in which the compiler resolves every name.
#pragma once

#include <string>
#include <vector>

namespace rc {

struct Dialog {
    std::string id, rect, style = "WS_POPUP | WS_BORDER | WS_SYSMENU", caption, fontName;
    std::string implied, fontPoints = "0"; // implied: what CAPTION and FONT add to the style
    std::vector<std::string> controls;     // each a ControlTemplate's initialiser
};

struct Bitmap {
    std::string id, file; // the file as the script names it
};

struct Script {
    std::vector<std::string> includes; // as C++ includes them, quotes and all
    std::vector<Dialog> dialogs;
    std::vector<Bitmap> bitmaps;
};

// Reads `text`. On failure returns false with `error` naming the line and what it
// does not read there ("line N: ...").
bool ParseScript(const std::string& text, Script& script, std::string& error);

// The C++ source of the tables; `bitmapBytes[i]` holds the file of `script.bitmaps[i]`.
// The source asserts that no template, and no resource kind, uses a number twice.
std::string EmitTables(const Script& script,
                       const std::vector<std::vector<unsigned char>>& bitmapBytes);

} // namespace rc
