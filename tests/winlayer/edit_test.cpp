// The edit control rules: the typing limit, the selection, text set by program.
#include "winlayer/core/clipboard.h"
#include "winlayer/core/edit.h"
#include "winlayer/core/edit_menu.h"

#include <gtest/gtest.h>

using namespace winlayer;

namespace {
Window Edit(int limit) {
    Window edit;
    edit.kind = ControlKind::Edit;
    EditSetLimit(edit, static_cast<WPARAM>(limit));
    return edit;
}
} // namespace

TEST(Edit, TypingStopsAtTheLimitButTypingOverASelectionDoesNot) {
    Window edit = Edit(4);
    for (char c : std::string("19995")) {
        EditTypeChar(edit, c);
    }
    EXPECT_EQ(edit.text, "1999");
    EXPECT_FALSE(EditTypeChar(edit, '0'));
    edit.edit.selStart = 2;
    edit.edit.selEnd = 4;
    EXPECT_TRUE(EditTypeChar(edit, '0'));
    EXPECT_EQ(edit.text, "190");
    EditSelectAll(edit);
    EXPECT_TRUE(EditTypeChar(edit, 'x'));
    EXPECT_EQ(edit.text, "x");
    EXPECT_FALSE(EditTypeChar(edit, '\0'));
    // An emoji counts two, as in the edit control's UTF-16: one more fits, not a second.
    EXPECT_TRUE(EditTypeChar(edit, U'\U0001F3B5'));
    EXPECT_FALSE(EditTypeChar(edit, U'\U0001F3B5'));
    EXPECT_EQ(edit.text, "x\U0001F3B5");
}

TEST(Edit, BackspaceDeletesTheSelectionOrTheCharacterBeforeTheCaret) {
    Window edit = Edit(30);
    EditSetText(edit, "abc");
    EXPECT_FALSE(EditBackspace(edit)) << "the caret starts at the beginning";
    edit.edit.selStart = edit.edit.selEnd = 3;
    EXPECT_TRUE(EditBackspace(edit));
    EXPECT_EQ(edit.text, "ab");
    EditSelectAll(edit);
    EXPECT_TRUE(EditBackspace(edit));
    EXPECT_EQ(edit.text, "");
}

TEST(Edit, TextSetByTheProgramMayExceedTheLimit) {
    Window edit = Edit(4);
    EditSetText(edit, "longer than four");
    EXPECT_EQ(edit.text, "longer than four");
    EXPECT_FALSE(EditTypeChar(edit, 'x'));
    EditSetLimit(edit, 0);
    EXPECT_GT(edit.edit.limit, 30000) << "0 lifts the limit";
    EXPECT_TRUE(EditTypeChar(edit, 'x'));
    // A caret left beyond a shortened text is brought back inside it.
    edit.edit.selStart = edit.edit.selEnd = 100;
    EXPECT_TRUE(EditTypeChar(edit, '!'));
    EXPECT_EQ(edit.text.back(), '!');
}

// The context menu's items are enabled as the field's state allows, and a disabled
// item does nothing when chosen.
TEST(Edit, TheMenuEnablesEachItemAsTheFieldAllows) {
    Window edit = Edit(30);
    SetClipboardText("");
    auto enabled = [&edit] {
        std::string flags;
        for (const EditMenuItem& item : EditMenu(edit)) {
            flags += item.enabled ? '1' : '0';
        }
        return flags; // Undo, Cut, Copy, Paste, Delete, Select All
    };
    EXPECT_EQ(enabled(), "000000") << "an empty field";
    EditTypeChar(edit, 'a');
    EditTypeChar(edit, 'b');
    EXPECT_EQ(enabled(), "100001") << "typed: Undo and Select All";
    RunEditCommand(edit, EditCommand::Delete);
    EXPECT_EQ(edit.text, "ab") << "Delete is disabled without a selection";
    RunEditCommand(edit, EditCommand::SelectAll);
    EXPECT_EQ(enabled(), "111010") << "all selected, nothing to paste";
    RunEditCommand(edit, EditCommand::Cut);
    EXPECT_EQ(edit.text, "");
    EXPECT_EQ(enabled(), "100100") << "cut: Undo and Paste";
    RunEditCommand(edit, EditCommand::Paste);
    RunEditCommand(edit, EditCommand::Paste);
    EXPECT_EQ(edit.text, "abab");
}
