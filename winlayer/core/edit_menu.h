// An edit field's context menu, as Windows' edit control has it: Undo, Cut, Copy,
// Paste, Delete and Select All, each enabled as the field's state allows. The back end
// draws the menu (BackendHooks::showEditMenu) at a right-click, Shift+F10 or the
// menu key; each item is a command of the field.
#pragma once

#include "winlayer/core/window.h"

#include <string>
#include <vector>

namespace winlayer {

enum class EditCommand { Undo, Cut, Copy, Paste, Delete, SelectAll };

struct EditMenuItem {
    EditCommand command;
    std::string label; // with "&" before its access key, as Windows writes it
    bool enabled;
    bool separatorBefore;
};

std::vector<EditMenuItem> EditMenu(const Window& edit);
// Shows the field's menu through the back end.
void OpenEditMenu(Window& edit);
// One item of the menu, chosen; a disabled one does nothing.
void RunEditCommand(Window& edit, EditCommand command);

} // namespace winlayer
