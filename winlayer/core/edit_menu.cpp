#include "winlayer/core/edit_menu.h"

#include "winlayer/core/backend.h"
#include "winlayer/core/clipboard.h"
#include "winlayer/core/edit.h"
#include "winlayer/core/keys.h"

namespace winlayer {

namespace {

// The menu's items in order, each with the key whose rule the field applies for it.
struct Item {
    EditCommand command;
    const char* label;
    UINT key;
    bool ctrl;
    bool separatorBefore;
};
constexpr Item kItems[] = {
    {EditCommand::Undo, "&Undo", 'Z', true, false},
    {EditCommand::Cut, "Cu&t", 'X', true, true},
    {EditCommand::Copy, "&Copy", 'C', true, false},
    {EditCommand::Paste, "&Paste", 'V', true, false},
    {EditCommand::Delete, "&Delete", vk::Delete, false, false},
    {EditCommand::SelectAll, "Select &All", 'A', true, true},
};

// Whether the field's state allows the command, as Windows enables its item.
bool Enabled(const Window& edit, EditCommand command) {
    const EditState& e = edit.edit;
    const bool selected = e.selStart != e.selEnd;
    const int length = EditLength(edit);
    switch (command) {
    case EditCommand::Undo:
        return EditCanUndo(edit);
    case EditCommand::Paste:
        return !ClipboardText().empty();
    case EditCommand::SelectAll:
        return !((e.selStart == 0 && e.selEnd == length) ||
                 (e.selEnd == 0 && e.selStart == length));
    default: // Cut, Copy, Delete
        return selected;
    }
}

} // namespace

std::vector<EditMenuItem> EditMenu(const Window& edit) {
    std::vector<EditMenuItem> items;
    for (const Item& item : kItems) {
        items.push_back(
            {item.command, item.label, Enabled(edit, item.command), item.separatorBefore});
    }
    return items;
}

void OpenEditMenu(Window& edit) {
    if (CurrentBackend().showEditMenu) {
        CurrentBackend().showEditMenu(edit.handle, EditMenu(edit));
    }
}

void RunEditCommand(Window& edit, EditCommand command) {
    for (const Item& item : kItems) {
        if (item.command == command && Enabled(edit, command)) {
            EditPressKey(edit, item.key, item.ctrl, false);
        }
    }
}

} // namespace winlayer
