// The rules of a list box with sorted insert and extended selection, and the rows it
// shows: `top` is the first shown row, `page` how many the back end's view shows.
#pragma once

#include "winlayer/core/window.h"

#include <string>

namespace winlayer {

// Every list takes extended selection (LBS_EXTENDEDSEL), the only kind the program's
// templates have. Entries come and go under the caret and the anchor, which keep their
// numbers (within the entries there are) while the selection stays with its entries.
// LB_ADDSTRING: a sorted list inserts in order, before an equal entry its search
// meets. Returns the index.
int ListAdd(Window& list, const char* text);
// LB_DELETESTRING: false when there is no such entry.
bool ListDelete(Window& list, int index);
// LB_INITSTORAGE: room for `more` entries beyond those there are. Returns the entries
// the list then has room for, or LB_ERRSPACE, having told its dialog (LBN_ERRSPACE),
// when there is no room to be had.
LRESULT ListReserve(Window& list, int more);
// WM_SETREDRAW. While the list's drawing is off its view does not change: the back end
// is handed none of its changes. Turned back on, it is handed them all at once, with one
// redraw; where a row it showed changed meanwhile, a list showing past its end is
// pulled back so that its last page is full.
void ListSetDrawing(Window& list, bool on);
// Whether the list shows its vertical scroll bar (WS_VSCROLL): when its rows do not fit
// its page, or always with LBS_DISABLENOSCROLL. A change of it records the list's state.
bool ListShowsScrollBar(const Window& list);

// The user's clicks: a plain click selects only the entry, Ctrl toggles it, Shift
// selects the range from the anchor (adding to the selection with Ctrl too). Before
// any plain click or key has set an anchor, Shift selects nothing.
void ListClick(Window& list, int index, bool ctrl, bool shift);

// A key pressed on the list (a vk:: code). Up and Left move the caret one entry
// back, Down and Right one on, Page Up and Page Down a page less one, Home and End
// to the ends; Space stays. The caret's entry becomes the only one selected, with
// Shift the range from the anchor; with Ctrl alone the caret moves and the selection
// stays. The caret's row is then shown. False for a key the list does not take.
bool ListPressKey(Window& list, UINT key, bool ctrl, bool shift);
// A typed character: the caret moves to the next entry that starts with it (without
// regard to case), wrapping round to the top, and selects as Shift+arrow would.
bool ListTypeChar(Window& list, char c); // false when no entry starts with it
// The user's input on the list, with the notifications it sends its dialog (with
// LBS_NOTIFY): a mouse click on entry `index` (below the last entry: the focus
// alone), and the second press of a double-click; a key (ListPressKey) and a typed
// character (ListTypeChar, in the program's code page) on the focused list.
void ListMouseClick(Window& list, int index, bool ctrl, bool shift);
void ListDoubleClick(Window& list, int index);
void ListKey(Window& list, UINT key, bool ctrl, bool shift);
void ListChar(Window& list, char32_t c);
// The rows the back end's view shows: the page for Page Up and Page Down.
void ListSetPage(Window& list, int rows);
// The user scrolls (wheel, scroll bar): the list shows from `top`, kept within the rows.
void ListScroll(Window& list, int top);

} // namespace winlayer
