// The rules of a single-line edit control.
#pragma once

#include "winlayer/core/window.h"

namespace winlayer {

// Typing one character replaces the selection; refused when the text would grow past
// the limit. True when the text changed.
bool EditTypeChar(Window& edit, char c);
// Deletes the selection, or the character before the caret. True when the text changed.
bool EditBackspace(Window& edit);
void EditSelectAll(Window& edit);
// Selects from `start` to `end` (the caret), each kept within the text.
void EditSelect(Window& edit, int start, int end);
// Setting the text by program ignores the limit and puts the caret at the start.
void EditSetText(Window& edit, const char* text);
// EM_LIMITTEXT: 0 means as many as a single-line edit takes.
void EditSetLimit(Window& edit, WPARAM limit);

} // namespace winlayer
