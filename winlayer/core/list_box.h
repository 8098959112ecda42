// The rules of a list box with sorted insert and extended selection.
#pragma once

#include "winlayer/core/window.h"

#include <string>

namespace winlayer {

// The list's order: ascending bytes, letters compared without regard to case.
int CompareEntries(const std::string& a, const std::string& b);

// LB_ADDSTRING: a sorted list inserts after any equal entries. Returns the index.
int ListAdd(Window& list, const char* text);
// LB_DELETESTRING: false when there is no such entry.
bool ListDelete(Window& list, int index);

// The user's clicks: a plain click selects only the entry, Ctrl toggles it, Shift
// selects the range from the anchor (adding to the selection with Ctrl too).
void ListClick(Window& list, int index, bool ctrl, bool shift);

enum class ListKey { Up, Down, Home, End };
// Arrow keys move the caret and select as clicks would; with Ctrl alone the caret
// moves and the selection stays.
void ListPressKey(Window& list, ListKey key, bool ctrl, bool shift);

} // namespace winlayer
