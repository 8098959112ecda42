#include "winlayer/core/list_box.h"

#include "winlayer/include/win32_constants.h"

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

void SelectOnly(ListState& s, int index) {
    for (size_t i = 0; i < s.selected.size(); ++i) {
        s.selected[i] = static_cast<int>(i) == index;
    }
}

void SelectRange(ListState& s, int from, int to, bool keepOthers) {
    const int low = from < to ? from : to;
    const int high = from < to ? to : from;
    for (int i = 0; i < static_cast<int>(s.selected.size()); ++i) {
        if (i >= low && i <= high) {
            s.selected[static_cast<size_t>(i)] = true;
        } else if (!keepOthers) {
            s.selected[static_cast<size_t>(i)] = false;
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
    const std::string entry = text != nullptr ? text : "";
    int index = static_cast<int>(s.items.size());
    if (Sorted(list)) {
        index = 0;
        while (index < static_cast<int>(s.items.size()) &&
               CompareEntries(s.items[static_cast<size_t>(index)], entry) <= 0) {
            ++index;
        }
    }
    const bool wasEmpty = s.items.empty();
    s.items.insert(s.items.begin() + index, entry);
    s.selected.insert(s.selected.begin() + index, false);
    if (wasEmpty) {
        s.caret = s.anchor = 0;
    } else {
        // The caret and anchor stay on their entries.
        if (index <= s.caret) {
            ++s.caret;
        }
        if (index <= s.anchor) {
            ++s.anchor;
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
    const int last = static_cast<int>(s.items.size()) - 1;
    auto follow = [index, last](int& at) {
        if (index < at) {
            --at;
        }
        if (at > last) {
            at = last;
        }
    };
    follow(s.caret);
    follow(s.anchor);
    return true;
}

void ListClear(Window& list) {
    list.list = ListState{};
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
        SelectRange(s, s.anchor < 0 ? index : s.anchor, index, ctrl);
    } else if (ctrl) {
        s.selected[static_cast<size_t>(index)] = !s.selected[static_cast<size_t>(index)];
        s.anchor = index;
    } else {
        SelectOnly(s, index);
        s.anchor = index;
    }
    s.caret = index;
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
        s.caret = to;
        return;
    }
    ListClick(list, to, false, shift);
}

} // namespace winlayer
