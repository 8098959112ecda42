#include "winlayer/core/list_box.h"

#include "winlayer/core/changes.h"
#include "winlayer/core/codepage.h"
#include "winlayer/core/dialog.h"
#include "winlayer/core/keys.h"
#include "winlayer/core/list_order.h"
#include "winlayer/include/win32_constants.h"

#include <algorithm>
#include <new>

namespace winlayer {

namespace {

unsigned char Folded(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

bool Sorted(const Window& list) {
    return (list.style & LBS_SORT) != 0;
}

int Count(const Window& list) {
    return static_cast<int>(list.list.items.size());
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

// Scrolls the least that shows the row whole, as the list box does: a row at or above
// the top becomes the top (as far as the rows go), a row below the page the last shown;
// a row between leaves the list where it is, even where removed entries left it
// showing past its end.
void ShowRow(Window& list, int row) {
    ListState& s = list.list;
    if (row <= s.top) {
        ListScroll(list, row);
    } else if (row >= s.top + s.page) {
        ListScroll(list, row - s.page + 1);
    }
}

// Notes a change to `row` (inserted there, or about to be deleted) while the list's
// drawing is off, where the list shows it: its page, and the row below, which a list
// whose height is no whole number of rows shows in part.
void NoteShownRow(Window& list, int row) {
    ListState& s = list.list;
    if (!s.drawing && row >= s.top && row <= s.top + s.page) {
        s.shownChanged = true;
    }
}

// Records the list's state when a change of its rows or page has shown or hidden its
// scroll bar (`shown` before the change).
void NoteScrollBar(const Window& list, bool shown) {
    if (ListShowsScrollBar(list) != shown) {
        Record(ChangeKind::State, list.handle);
    }
}

// The list box's count of its storage once it holds `wanted` entries: grown to the next
// step of 16 when they do not fit, cut back when 32 or more would stand empty.
size_t RoomFor(size_t room, size_t wanted) {
    constexpr size_t kStep = 16;
    if (wanted > room || wanted + 2 * kStep < room) {
        return (wanted + kStep - 1) / kStep * kStep;
    }
    return room;
}

// The caret moves to `to` and the selection follows it: the range from the anchor
// (nothing without an anchor).
void MoveCaretSelecting(Window& list, int to) {
    if (list.list.anchor >= 0) {
        SelectRange(list, list.list.anchor, to, false);
    }
    MoveCaret(list, to);
}

} // namespace

int ListAdd(Window& list, const char* text) {
    const bool bar = ListShowsScrollBar(list);
    ListState& s = list.list;
    std::string entry = text != nullptr ? text : "";
    int index = static_cast<int>(s.items.size());
    if (Sorted(list)) {
        index = SortedPlace(s.items, entry, CompareEntries);
    }
    const bool wasEmpty = s.items.empty();
    s.room = RoomFor(s.room, s.items.size() + 1);
    s.items.insert(s.items.begin() + index, entry);
    s.selected.insert(s.selected.begin() + index, false);
    RecordRow(ChangeKind::RowInserted, list.handle, index, false, std::move(entry));
    NoteShownRow(list, index);
    // The caret and the anchor keep their numbers, as the list box's do: an entry
    // inserted at or before them moves their entries on, and another comes under them.
    if (wasEmpty) {
        s.caret = 0;
        RecordRow(ChangeKind::Caret, list.handle, 0);
    }
    NoteScrollBar(list, bar);
    return index;
}

bool ListDelete(Window& list, int index) {
    ListState& s = list.list;
    if (index < 0 || index >= static_cast<int>(s.items.size())) {
        return false;
    }
    const bool bar = ListShowsScrollBar(list);
    NoteShownRow(list, index);
    s.items.erase(s.items.begin() + index);
    s.selected.erase(s.selected.begin() + index);
    if (s.items.empty()) {
        RecordRow(ChangeKind::Cleared, list.handle, 0);
    } else {
        RecordRow(ChangeKind::RowDeleted, list.handle, index);
    }
    s.room = s.items.empty() ? 0 : RoomFor(s.room, s.items.size()); // emptied, it lets all go
    // The caret and the anchor keep their numbers, as on insertion, within the entries
    // left: emptied, the list has its caret on 0 and no anchor.
    const int last = static_cast<int>(s.items.size()) - 1;
    s.anchor = std::min(s.anchor, last);
    MoveCaret(list, std::max(std::min(s.caret, last), 0));
    if (last < s.page && s.top != 0) {
        s.top = 0; // the scroll bar goes: the list shows from its start
        RecordRow(ChangeKind::Scrolled, list.handle, 0);
    }
    NoteScrollBar(list, bar);
    return true;
}

LRESULT ListReserve(Window& list, int more) {
    ListState& s = list.list;
    // A total that fits the room there is asks for nothing more; one below no entries at
    // all (a negative count) is none to be had.
    const long long total = static_cast<long long>(s.items.size()) + more;
    bool reserved = total >= 0 && static_cast<unsigned long long>(total) <= s.items.max_size();
    if (reserved && static_cast<size_t>(total) > s.room) {
        const size_t room = RoomFor(s.room, static_cast<size_t>(total));
        try {
            s.items.reserve(room);
            s.selected.reserve(room);
            s.room = room;
        } catch (const std::bad_alloc&) {
            reserved = false;
        }
    }
    if (!reserved) {
        Notify(list.handle, LBN_ERRSPACE); // sent with or without LBS_NOTIFY
        return LB_ERRSPACE;
    }
    return static_cast<LRESULT>(s.room);
}

void ListSetDrawing(Window& list, bool on) {
    ListState& s = list.list;
    if (s.drawing == on) {
        return;
    }
    s.drawing = on;
    if (!on) {
        HoldChanges(list.handle, true);
        return;
    }
    if (s.shownChanged) {
        s.shownChanged = false;
        const int full = std::max(Count(list) - s.page, 0);
        if (s.top > full) {
            s.top = full;
            RecordRow(ChangeKind::Scrolled, list.handle, full);
        }
    }
    Record(ChangeKind::State, list.handle); // the scroll bar as the rows now have it
    HoldChanges(list.handle, false);
}

bool ListShowsScrollBar(const Window& list) {
    return (list.style & WS_VSCROLL) != 0 &&
           (Count(list) > list.list.page || (list.style & LBS_DISABLENOSCROLL) != 0);
}

void ListClick(Window& list, int index, bool ctrl, bool shift) {
    ListState& s = list.list;
    if (index < 0 || index >= Count(list)) {
        return;
    }
    if (shift && ctrl) {
        if (s.anchor >= 0) {
            SelectRange(list, s.anchor, index, true);
        }
        MoveCaret(list, index);
    } else if (ctrl) {
        Select(list, index, !s.selected[static_cast<size_t>(index)]);
        s.anchor = index;
        MoveCaret(list, index);
    } else {
        if (!shift) {
            s.anchor = index;
        }
        MoveCaretSelecting(list, index);
    }
    ShowRow(list, index);
}

bool ListPressKey(Window& list, UINT key, bool ctrl, bool shift) {
    ListState& s = list.list;
    const int last = Count(list) - 1;
    int to = s.caret;
    switch (key) {
    case vk::Up:
    case vk::Left:
        to = s.caret - 1;
        break;
    case vk::Down:
    case vk::Right:
        to = s.caret + 1;
        break;
    case vk::Prior:
        to = s.caret - s.page + 1;
        break;
    case vk::Next:
        to = s.caret + s.page - 1;
        break;
    case vk::Home:
        to = 0;
        break;
    case vk::End:
        to = last;
        break;
    case vk::Space:
        break;
    default:
        return false;
    }
    to = to > last ? last : (to < 0 ? 0 : to);
    if (to > last || to < 0) {
        // An empty list: nothing to move to, though a key that would go to the first
        // entry sets the anchor there, as the list box does.
        const bool first = key != vk::Down && key != vk::Right && key != vk::Next && key != vk::End;
        if (first && !shift) {
            s.anchor = 0;
        }
        return true;
    }
    if (ctrl && !shift) {
        MoveCaret(list, to);
    } else {
        if (!shift) {
            s.anchor = to;
        }
        MoveCaretSelecting(list, to);
    }
    ShowRow(list, to);
    return true;
}

bool ListTypeChar(Window& list, char c) {
    const int count = Count(list);
    for (int step = 1; step <= count; ++step) {
        const int at = (list.list.caret + step) % count;
        const std::string& entry = list.list.items[static_cast<size_t>(at)];
        if (!entry.empty() && Folded(entry[0]) == Folded(c)) {
            MoveCaretSelecting(list, at);
            ShowRow(list, at);
            return true;
        }
    }
    return false;
}

void ListSetPage(Window& list, int rows) {
    const bool bar = ListShowsScrollBar(list);
    list.list.page = rows < 1 ? 1 : rows;
    ListScroll(list, list.list.top); // kept within the rows there are
    NoteScrollBar(list, bar);
}

void ListScroll(Window& list, int top) {
    const int last = Count(list) - list.list.page;
    top = top > last ? (last > 0 ? last : 0) : (top < 0 ? 0 : top);
    if (top != list.list.top) {
        list.list.top = top;
        RecordRow(ChangeKind::Scrolled, list.handle, top);
    }
}

// --- The user's input, and the notifications the list sends --------------------------

namespace {

// Every notification the list sends its dialog goes out here.
void NotifyDialog(const Window& list, WORD code) {
    if ((list.style & LBS_NOTIFY) != 0) {
        Notify(list.handle, code);
    }
}

} // namespace

void ListMouseClick(Window& list, int index, bool ctrl, bool shift) {
    const HWND handle = list.handle;
    SetFocusTo(handle);
    if (index < 0 || index >= Count(list)) {
        return; // below the last entry: nothing there to select
    }
    ListClick(list, index, ctrl, shift);
    NotifyDialog(list, LBN_SELCHANGE);
}

void ListDoubleClick(Window& list, int index) {
    if (index < 0 || index >= Count(list)) {
        return;
    }
    // The second press selects as a click does, then reports the double-click; the
    // program may have removed the list meanwhile.
    const HWND handle = list.handle;
    ListMouseClick(list, index, false, false);
    if (TakesInput(handle)) {
        NotifyDialog(*FindWindow(handle), LBN_DBLCLK);
    }
}

void ListKey(Window& list, UINT key, bool ctrl, bool shift) {
    if (ListPressKey(list, key, ctrl, shift) && Count(list) > 0) {
        NotifyDialog(list, LBN_SELCHANGE);
    }
}

void ListChar(Window& list, char32_t c) {
    // The entries compare in the program's code page.
    if (Count(list) > 0 &&
        ListTypeChar(list, Utf8ToWindows1252(CharsToUtf8(std::u32string(1, c)))[0])) {
        NotifyDialog(list, LBN_SELCHANGE);
    }
}

} // namespace winlayer
