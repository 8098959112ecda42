// The user's actions, as a back end delivers them. Each does what the same action
// does on Windows: it applies the control's rules and sends the notifications.
// Actions on a window that does not take input (gone, disabled, or in a disabled
// dialog) do nothing.
#pragma once

#include "winlayer/core/edit_menu.h"
#include "winlayer/core/keys.h"
#include "winlayer/include/win32_types.h"

#include <string>
#include <vector>

namespace winlayer::input {

// Keys arrive as vk:: codes (keys.h), text as the toolkit's input method commits it.
//
// A key pressed while `dialog` is the active window. The dialog manager takes Tab
// and Shift+Tab, Enter and Escape, and the arrows when the focused control does not
// take them itself (buttons and switches: the focus moves within the group); the
// focused control takes the rest: a button or switch is pressed by Space; an edit
// takes its caret, deleting and clipboard keys, Space and Backspace (edit.h); a list
// its moving keys and Space (list_box.h). Back ends send Space, Backspace and Delete
// as keys only, never also as text.
// With Alt the key is the system's: Alt+F4 closes the window as the close box does
// (WM_SYSCOMMAND with SC_CLOSE); the windows have no menus or mnemonics, so every
// other Alt chord does nothing.
void PressKey(HWND dialog, UINT key, bool ctrl = false, bool shift = false, bool alt = false);
// Committed text typed into the focused control of `dialog`: an edit takes each
// character under its limit (the program reads it in Windows-1252, '?' where that
// has none); a list takes each as its search key.
void TypeText(HWND dialog, const std::string& utf8);

// Clicks a push button, check box or list (the focus moves to it). An edit field is
// clicked at a character: ClickEdit.
void Click(HWND control);
// A mouse press in an edit before character `at`: the focus moves to the edit and
// the caret to `at`; with Shift the selection extends from its anchor.
void ClickEdit(HWND edit, int at, bool shift = false);
// The mouse, pressed in an edit, is dragged to before character `at`: the selection
// runs from where it was pressed to there.
void DragEdit(HWND edit, int at);
// The caret is put by other means (an input method deleting text round it): selects
// from `anchor` to `caret` (characters of the core's text).
void PlaceCaret(HWND edit, int anchor, int caret);
// The user moves the keyboard focus to a control by clicking it.
void Focus(HWND control);

// A right-click in an edit: the focus moves to it and its context menu shows; the
// item the user then chooses.
void EditContextMenu(HWND edit);
void ChooseEditCommand(HWND edit, EditCommand command);
// A middle-click in an edit before character `at`: the text the desktop has selected
// (its primary selection, UTF-8) is pasted there.
void PasteSelectionAt(HWND edit, int at, const std::string& utf8);

void ClickListEntry(HWND list, int index, bool ctrl = false, bool shift = false);
// The second press of a double-click (the first arrives as a click).
void DoubleClickListEntry(HWND list, int index);
// The rows the back end's view of the list shows: the page for Page Up and Down.
void SetListPage(HWND list, int rows);
// The user moves the list's scroll bar to show from row `top`.
void ScrollList(HWND list, int top);
// The user turns the wheel over the list by `notches` (down is positive): three rows
// a notch, as a list box scrolls.
void WheelList(HWND list, int notches);

// The close box, or the desktop's request to close the window.
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
