#include "winlayer/core/changes.h"

#include <algorithm>
#include <map>

namespace winlayer {

namespace {

std::vector<Change> gChanges;
// The changes of the windows whose drawing is off, in order, until it is on again.
std::map<HWND, std::vector<Change>> gHeld;

std::vector<Change>& ChangesOf(HWND window) {
    if (!gHeld.empty()) {
        if (auto held = gHeld.find(window); held != gHeld.end()) {
            return held->second;
        }
    }
    return gChanges;
}

bool OfRows(const Change& change) {
    return change.kind == ChangeKind::RowInserted || change.kind == ChangeKind::RowDeleted ||
           change.kind == ChangeKind::RowSelected || change.kind == ChangeKind::Caret ||
           change.kind == ChangeKind::Scrolled || change.kind == ChangeKind::Cleared;
}

} // namespace

void Record(ChangeKind kind, HWND window) {
    std::vector<Change>& changes = ChangesOf(window);
    // Showing a control's state or a dialog's focus shows the latest; once is enough.
    if ((kind == ChangeKind::State || kind == ChangeKind::Focus) && !changes.empty() &&
        changes.back().kind == kind && changes.back().window == window) {
        return;
    }
    changes.push_back(Change{kind, window, -1, false, {}});
}

void RecordRow(ChangeKind kind, HWND list, int row, bool on, std::string text) {
    std::vector<Change>& changes = ChangesOf(list);
    if (kind == ChangeKind::Cleared) {
        // What the list's rows went through before does not matter to a list with none.
        std::erase_if(changes, [list](const Change& change) {
            return change.window == list && OfRows(change);
        });
    }
    changes.push_back(Change{kind, list, row, on, std::move(text)});
}

void HoldChanges(HWND window, bool hold) {
    if (hold) {
        gHeld.try_emplace(window);
        return;
    }
    auto held = gHeld.find(window);
    if (held == gHeld.end()) {
        return;
    }
    std::vector<Change> released = std::move(held->second);
    gHeld.erase(held);
    gChanges.insert(gChanges.end(), std::make_move_iterator(released.begin()),
                    std::make_move_iterator(released.end()));
}

void DropHeldChanges(HWND window) {
    gHeld.erase(window);
}

std::vector<Change> TakeChanges() {
    std::vector<Change> taken;
    taken.swap(gChanges);
    return taken;
}

void ForgetChanges() {
    gChanges.clear();
    gHeld.clear();
}

} // namespace winlayer
