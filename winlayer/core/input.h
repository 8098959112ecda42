// The user's actions, as a back end delivers them. Each does what the same action
// does on Windows: it applies the control's rules and sends the notifications.
// Actions on a window that does not take input (gone, disabled, or in a disabled
// dialog) do nothing.
#pragma once

#include "winlayer/core/list_box.h"
#include "winlayer/include/win32_types.h"

#include <string>
#include <vector>

namespace winlayer::input {

// Clicks a push button, check box, edit field or list (the focus moves to it).
void Click(HWND control);
// Types characters at the caret of an edit field, one key at a time; characters
// beyond the field's limit are refused. Returns how many were taken.
int Type(HWND edit, const std::string& text);
void Backspace(HWND edit);
void SelectAll(HWND edit);
// The user moves the caret or selects text with the mouse or the arrow keys.
void PlaceCaret(HWND edit, int start, int end);
// The user moves the keyboard focus to a control by clicking it.
void Focus(HWND control);

void ClickListEntry(HWND list, int index, bool ctrl = false, bool shift = false);
// The second press of a double-click (the first arrives as a click).
void DoubleClickListEntry(HWND list, int index);
void PressListKey(HWND list, ListKey key, bool ctrl = false, bool shift = false);

// Keys that the dialog itself handles.
void PressEnter(HWND dialog);
void PressEscape(HWND dialog);
void PressTab(HWND dialog, bool shift = false);
// Space clicks the focused button or check box.
void PressSpace(HWND dialog);
// The close box, or Alt+F4.
void Close(HWND dialog);

// Answers the open-file dialog being shown. With "every file must exist", a name
// that names no file keeps the dialog open and returns false.
bool AcceptFileDialog(const std::string& directory, const std::vector<std::string>& names);
// The same with the chosen files' full paths, from any folders.
bool AcceptChosenFiles(const std::vector<std::string>& paths);
void CancelFileDialog();
// Presses OK in the newest message box.
void DismissMessageBox();

// Drops files or folders onto a window, as a file manager does: a window that takes
// input and accepts files (DragAcceptFiles) gets WM_DROPFILES with a drop holding the
// paths; any other gets nothing.
void DropFiles(HWND dialog, const std::vector<std::string>& paths);

} // namespace winlayer::input
