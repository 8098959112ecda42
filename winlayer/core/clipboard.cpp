#include "winlayer/core/clipboard.h"

namespace winlayer {

namespace {
std::string gClipboard;
} // namespace

void SetClipboardText(std::string utf8) {
    gClipboard = std::move(utf8);
}

const std::string& ClipboardText() {
    return gClipboard;
}

} // namespace winlayer
