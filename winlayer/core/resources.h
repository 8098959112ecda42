// Window templates and bitmaps as the resource converter emits them from the
// program's .rc file.
#pragma once

#include "winlayer/include/win32_types.h"

#include <cstddef>

namespace winlayer {

enum class ControlClass { Button, Edit, Static, ListBox, Progress };

struct ControlTemplate {
    int id;
    ControlClass controlClass;
    const char* text; // caption; empty for none
    int imageId;      // the bitmap of an SS_BITMAP static, 0 for none
    int x, y, cx, cy; // dialog units
    DWORD style;
    DWORD exStyle;
};

struct DialogTemplate {
    int id;
    int x, y, cx, cy; // dialog units
    DWORD style;
    DWORD exStyle;
    const char* caption;
    const char* fontName;
    int fontPoints;
    const ControlTemplate* controls;
    int controlCount;
};

struct BitmapResource {
    int id;
    const unsigned char* bytes; // the .bmp file
    std::size_t size;
};

struct ResourceTable {
    const DialogTemplate* dialogs;
    int dialogCount;
    const BitmapResource* bitmaps;
    int bitmapCount;
};

// The program's resources; defined by the converter's output linked into the program.
const ResourceTable& ProgramResources();

const DialogTemplate* FindDialogTemplate(int id);
const BitmapResource* FindBitmap(int id);

} // namespace winlayer
