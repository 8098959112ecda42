#include "winlayer/core/changes.h"

namespace winlayer {

namespace {
std::vector<Change> gChanges;
} // namespace

void Record(ChangeKind kind, HWND window) {
    // Showing a control's state or a dialog's focus shows the latest; once is enough.
    if ((kind == ChangeKind::State || kind == ChangeKind::Focus) && !gChanges.empty() &&
        gChanges.back().kind == kind && gChanges.back().window == window) {
        return;
    }
    gChanges.push_back(Change{kind, window, -1, false, {}});
}

void RecordRow(ChangeKind kind, HWND list, int row, bool on, std::string text) {
    gChanges.push_back(Change{kind, list, row, on, std::move(text)});
}

std::vector<Change> TakeChanges() {
    std::vector<Change> taken;
    taken.swap(gChanges);
    return taken;
}

} // namespace winlayer
