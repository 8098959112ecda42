// The rules of a single-line edit control: the text (kept in UTF-8 as the user typed
// it; the program reads and sets it in Windows-1252 through WM_GETTEXT and
// WM_SETTEXT), the selection (anchor and caret, in characters), the limit in UTF-16
// units (an emoji counts two), and a one-level undo.
#pragma once

#include "winlayer/core/window.h"

#include <string>

namespace winlayer {

// Typing one character replaces the selection; characters below a space, and
// anything that would grow the text past its limit, are refused. True when the text
// changed.
bool EditTypeChar(Window& edit, char32_t c);
// Backspace: deletes the selection, or the character before the caret.
bool EditBackspace(Window& edit);
// A key pressed in the edit (a vk:: code), as the edit control takes it: Left (and
// Up), Right (and Down), Home and End move the caret (by word with Ctrl, extending the selection
// with Shift); Delete deletes (Shift+Delete cuts, Ctrl+Delete deletes to the end); Backspace; Space
// types a space; Ctrl+A selects all, Ctrl+C copies, Ctrl+X cuts, Ctrl+V pastes, Ctrl+Z undoes. True
// when the text changed.
bool EditPressKey(Window& edit, UINT key, bool ctrl, bool shift);
void EditSelectAll(Window& edit);
// True when Undo has something to take back (EM_CANUNDO).
bool EditCanUndo(const Window& edit);
// Pastes `utf8` at the selection as a paste from the clipboard does (its first line).
bool EditPasteText(Window& edit, std::string utf8);
// The text's length in characters, the unit of the selection.
int EditLength(const Window& edit);
// Selects from `anchor` to `caret`, each kept within the text.
void EditSelect(Window& edit, int anchor, int caret);
// Setting the text (UTF-8) by program ignores the limit, puts the caret at the start
// and forgets what Undo would bring back.
void EditSetText(Window& edit, std::string utf8);
// EM_LIMITTEXT: 0 means as many as a single-line edit takes.
void EditSetLimit(Window& edit, WPARAM limit);

} // namespace winlayer
