#include "winlayer/core/list_box.h"

#include "winlayer/core/changes.h"
#include "winlayer/include/win32_constants.h"

#include <algorithm>

namespace winlayer {

namespace {

unsigned char Folded(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

bool Sorted(const Window& list) {
    return (list.style & LBS_SORT) != 0;
}
bool Extended(const Window& list) {
    return (list.style & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL)) != 0;
}

// Every change of a row's selection or of the caret goes through these two, which
// record it for the back end.
void Select(Window& list, int index, bool on) {
    auto row = list.list.selected.begin() + index;
    if (*row != on) {
        *row = on;
        RecordRow(ChangeKind::RowSelected, list.handle, index, on);
    }
}

void MoveCaret(Window& list, int to) {
    if (list.list.caret != to) {
        list.list.caret = to;
        RecordRow(ChangeKind::Caret, list.handle, to);
    }
}

void SelectOnly(Window& list, int index) {
    for (int i = 0; i < static_cast<int>(list.list.selected.size()); ++i) {
        Select(list, i, i == index);
    }
}

void SelectRange(Window& list, int from, int to, bool keepOthers) {
    const int low = from < to ? from : to;
    const int high = from < to ? to : from;
    for (int i = 0; i < static_cast<int>(list.list.selected.size()); ++i) {
        if (i >= low && i <= high) {
            Select(list, i, true);
        } else if (!keepOthers) {
            Select(list, i, false);
        }
    }
}

} // namespace

int CompareEntries(const std::string& a, const std::string& b) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const unsigned char x = Folded(a[i]);
        const unsigned char y = Folded(b[i]);
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int ListAdd(Window& list, const char* text) {
    ListState& s = list.list;
    std::string entry = text != nullptr ? text : "";
    int index = static_cast<int>(s.items.size());
    if (Sorted(list)) {
        // After every entry that sorts before it or equal to it.
        index = static_cast<int>(std::upper_bound(s.items.begin(), s.items.end(), entry,
                                                  [](const std::string& a, const std::string& b) {
                                                      return CompareEntries(a, b) < 0;
                                                  }) -
                                 s.items.begin());
    }
    const bool wasEmpty = s.items.empty();
    s.items.insert(s.items.begin() + index, entry);
    s.selected.insert(s.selected.begin() + index, false);
    RecordRow(ChangeKind::RowInserted, list.handle, index, false, std::move(entry));
    if (wasEmpty) {
        s.anchor = 0;
        MoveCaret(list, 0);
    } else {
        // The caret and anchor stay on their entries.
        if (index <= s.anchor) {
            ++s.anchor;
        }
        if (index <= s.caret) {
            MoveCaret(list, s.caret + 1);
        }
    }
    return index;
}

bool ListDelete(Window& list, int index) {
    ListState& s = list.list;
    if (index < 0 || index >= static_cast<int>(s.items.size())) {
        return false;
    }
    s.items.erase(s.items.begin() + index);
    s.selected.erase(s.selected.begin() + index);
    RecordRow(ChangeKind::RowDeleted, list.handle, index);
    const int last = static_cast<int>(s.items.size()) - 1;
    auto follow = [index, last](int at) {
        if (index < at) {
            --at;
        }
        return at > last ? last : at;
    };
    s.anchor = follow(s.anchor);
    MoveCaret(list, follow(s.caret));
    return true;
}

void ListClick(Window& list, int index, bool ctrl, bool shift) {
    ListState& s = list.list;
    if (index < 0 || index >= static_cast<int>(s.items.size())) {
        return;
    }
    if (!Extended(list)) {
        ctrl = shift = false;
    }
    if (shift) {
        SelectRange(list, s.anchor < 0 ? index : s.anchor, index, ctrl);
    } else if (ctrl) {
        Select(list, index, !s.selected[static_cast<size_t>(index)]);
        s.anchor = index;
    } else {
        SelectOnly(list, index);
        s.anchor = index;
    }
    MoveCaret(list, index);
}

void ListPressKey(Window& list, ListKey key, bool ctrl, bool shift) {
    ListState& s = list.list;
    const int last = static_cast<int>(s.items.size()) - 1;
    if (last < 0) {
        return;
    }
    int to = s.caret < 0 ? 0 : s.caret;
    switch (key) {
    case ListKey::Up:
        to = to > 0 ? to - 1 : 0;
        break;
    case ListKey::Down:
        to = to < last ? to + 1 : last;
        break;
    case ListKey::Home:
        to = 0;
        break;
    case ListKey::End:
        to = last;
        break;
    }
    if (ctrl && !shift && Extended(list)) {
        MoveCaret(list, to);
        return;
    }
    ListClick(list, to, false, shift);
}

} // namespace winlayer
