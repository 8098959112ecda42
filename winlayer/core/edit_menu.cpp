#include "winlayer/core/edit_menu.h"

#include "winlayer/core/backend.h"
#include "winlayer/core/clipboard.h"
#include "winlayer/core/codepage.h"
#include "winlayer/core/edit.h"
#include "winlayer/core/keys.h"

namespace winlayer {

std::vector<EditMenuItem> EditMenu(const Window& edit) {
    const EditState& e = edit.edit;
    const bool selected = e.selStart != e.selEnd;
    const int length = static_cast<int>(Utf8ToChars(edit.text).size());
    const bool all =
        (e.selStart == 0 && e.selEnd == length) || (e.selEnd == 0 && e.selStart == length);
    return {
        {EditCommand::Undo, "&Undo", EditCanUndo(edit), false},
        {EditCommand::Cut, "Cu&t", selected, true},
        {EditCommand::Copy, "&Copy", selected, false},
        {EditCommand::Paste, "&Paste", !ClipboardText().empty(), false},
        {EditCommand::Delete, "&Delete", selected, false},
        {EditCommand::SelectAll, "Select &All", !all, true},
    };
}

void OpenEditMenu(Window& edit) {
    if (CurrentBackend().showEditMenu) {
        CurrentBackend().showEditMenu(edit.handle, EditMenu(edit));
    }
}

void RunEditCommand(Window& edit, EditCommand command) {
    for (const EditMenuItem& item : EditMenu(edit)) {
        if (item.command == command && !item.enabled) {
            return;
        }
    }
    // Each is the field's own rule for the key that does the same.
    switch (command) {
    case EditCommand::Undo:
        EditPressKey(edit, 'Z', true, false);
        break;
    case EditCommand::Cut:
        EditPressKey(edit, 'X', true, false);
        break;
    case EditCommand::Copy:
        EditPressKey(edit, 'C', true, false);
        break;
    case EditCommand::Paste:
        EditPressKey(edit, 'V', true, false);
        break;
    case EditCommand::Delete:
        EditPressKey(edit, vk::Delete, false, false);
        break;
    case EditCommand::SelectAll:
        EditSelectAll(edit);
        break;
    }
}

} // namespace winlayer
