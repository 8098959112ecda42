#include "winlayer/core/resources.h"

namespace winlayer {

const DialogTemplate* FindDialogTemplate(int id) {
    const ResourceTable& table = ProgramResources();
    for (int i = 0; i < table.dialogCount; ++i) {
        if (table.dialogs[i].id == id) {
            return &table.dialogs[i];
        }
    }
    return nullptr;
}

const BitmapResource* FindBitmap(int id) {
    const ResourceTable& table = ProgramResources();
    for (int i = 0; i < table.bitmapCount; ++i) {
        if (table.bitmaps[i].id == id) {
            return &table.bitmaps[i];
        }
    }
    return nullptr;
}

} // namespace winlayer
