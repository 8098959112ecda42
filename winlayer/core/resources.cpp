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

namespace {
long Little(const unsigned char* p, int bytes) {
    unsigned long value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = (value << 8) | p[i];
    }
    return static_cast<long>(value);
}
} // namespace

bool ReadBitmapInfo(const BitmapResource& bitmap, BitmapInfo& info) {
    // File header (14 bytes), then a BITMAPINFOHEADER of at least 40 bytes.
    const unsigned char* b = bitmap.bytes;
    if (bitmap.size < 54 || b[0] != 'B' || b[1] != 'M' || Little(b + 14, 4) < 40) {
        return false;
    }
    info.width = static_cast<int>(Little(b + 18, 4));
    const long height = static_cast<long>(static_cast<std::int32_t>(Little(b + 22, 4)));
    info.height = static_cast<int>(height < 0 ? -height : height);
    info.bitsPerPixel = static_cast<int>(Little(b + 28, 2));
    info.uncompressed = Little(b + 30, 4) == 0;
    return true;
}

} // namespace winlayer
