// The list box rules: sorted insert, the caret, and extended selection.
#include "winlayer/core/changes.h"
#include "winlayer/core/controls.h"
#include "winlayer/core/keys.h"
#include "winlayer/core/list_box.h"
#include "winlayer/core/list_order.h"
#include "winlayer/include/win32_constants.h"

#include <gtest/gtest.h>

using namespace winlayer;

namespace {

Window SortedList(std::initializer_list<const char*> entries) {
    Window list;
    list.kind = ControlKind::ListBox;
    list.style = LBS_SORT | LBS_EXTENDEDSEL | LBS_NOTIFY | WS_VSCROLL;
    for (const char* entry : entries) {
        ListAdd(list, entry);
    }
    return list;
}

std::vector<int> Selected(const Window& list) {
    std::vector<int> selected;
    for (size_t i = 0; i < list.list.selected.size(); ++i) {
        if (list.list.selected[i]) {
            selected.push_back(static_cast<int>(i));
        }
    }
    return selected;
}

} // namespace

TEST(ListBox, SortsWithoutRegardToCaseAndKeepsDuplicates) {
    // An equal entry goes before the one the list box's halving search meets first.
    const Window list = SortedList({"b", "A", "c", "B", "a", "_x", "a"});
    EXPECT_EQ(list.list.items, (std::vector<std::string>{"_x", "a", "a", "A", "B", "b", "c"}));
    // Its search runs from the first entry to the last: with two equal entries it meets
    // the first one first.
    EXPECT_EQ(SortedList({"a", "A", "a"}).list.items, (std::vector<std::string>{"a", "A", "a"}));
    EXPECT_LT(CompareEntries("abc", "ABD"), 0);
    EXPECT_EQ(CompareEntries("Song.MP3", "song.mp3"), 0);
    EXPECT_LT(CompareEntries("ab", "abc"), 0);
    // Names in other scripts, in the order Windows' sorted list box gives them under Wine.
    const Window named =
        SortedList({"Emma", "Émile", "Emil", "émile", "emile", "Борис", "анна", "zeta", "ёж", "ез",
                    "жук", "Åke", "Zorro", "über", "uber", "Uz", "Αθήνα", "άλφα", "Βήτα"});
    EXPECT_EQ(named.list.items,
              (std::vector<std::string>{"Åke", "Emil", "emile", "émile", "Émile", "Emma", "uber",
                                        "über", "Uz", "zeta", "Zorro", "Αθήνα", "άλφα", "Βήτα",
                                        "анна", "Борис", "ёж", "ез", "жук"}));
}

TEST(ListBox, OrdersPunctuationDigitsAndLettersAsWindowsSortedListBox) {
    // In the order Windows' sorted list box gives them under Wine. A hyphen, an apostrophe
    // or a dash weighs only where the names are otherwise equal: one nearer the start
    // weighs more, and at the same place the apostrophe, then the hyphen, then the dash.
    EXPECT_EQ(
        SortedList({"co-op", "cooper", "Don't Stop", "coop", "Dont Go", "ACDC live", "AC-DC", "ab-",
                    "a–b", "a-b", "a'b", "ab", "a--b"})
            .list.items,
        (std::vector<std::string>{"ab", "ab-", "a'b", "a-b", "a--b", "a–b", "AC-DC", "ACDC live",
                                  "coop", "co-op", "cooper", "Dont Go", "Don't Stop"}));
    // Signs and symbols before digits, digits before letters, and the symbols in the list
    // box's own order, not their numbers'.
    EXPECT_EQ(SortedList({"Abba", "01 Intro", "_hidden", "[Live] Song", "a~b", "a+b", "a$b", "a€b",
                          "#1 Hits", "a b", "10 Intro", "1 Intro"})
                  .list.items,
              (std::vector<std::string>{"#1 Hits", "[Live] Song", "_hidden", "01 Intro", "1 Intro",
                                        "10 Intro", "a b", "a$b", "a~b", "a€b", "a+b", "Abba"}));
    // Accents after the plain letter in the list box's order ("é" before "è", which share
    // their first byte); "Ø" is an "O" with an accent; a letter that stands for two weighs
    // as those two; the soft hyphen not at all.
    EXPECT_EQ(
        SortedList({"Otto", "Ørjan", "Olaf", "é", "è", "e", "Ábel", "Àbel", "Abel"}).list.items,
        (std::vector<std::string>{"Abel", "Ábel", "Àbel", "e", "é", "è", "Olaf", "Ørjan", "Otto"}));
    EXPECT_EQ(CompareEntries("Æther", "aether"), 0);
    EXPECT_EQ(CompareEntries("Straße", "STRASSE"), 0);
    EXPECT_EQ(CompareEntries("co\u00ADop", "coop"), 0);
}

TEST(ListBox, TheCaretAndAnchorKeepTheirNumbersAsEntriesComeAndGo) {
    Window list = SortedList({});
    EXPECT_EQ(list.list.caret, 0);
    ListAdd(list, "m");
    EXPECT_EQ(list.list.caret, 0);
    ListAdd(list, "z");
    ListClick(list, 1, false, false);
    ListAdd(list, "a"); // inserted before: "m" comes under the caret and the anchor
    EXPECT_EQ(list.list.caret, 1);
    EXPECT_EQ(list.list.anchor, 1);
    EXPECT_EQ(Selected(list), (std::vector<int>{2})) << "the selection stays on its entry";
    ASSERT_TRUE(ListDelete(list, 0));
    EXPECT_EQ(list.list.caret, 1);
    EXPECT_EQ(Selected(list), (std::vector<int>{1}));
    ASSERT_TRUE(ListDelete(list, 1)); // the last entry: caret and anchor within the rest
    EXPECT_EQ(list.list.caret, 0);
    EXPECT_EQ(list.list.anchor, 0);
    ASSERT_TRUE(ListDelete(list, 0)); // emptied: the list starts over
    EXPECT_EQ(list.list.caret, 0);
    EXPECT_EQ(list.list.anchor, -1);
    EXPECT_FALSE(ListDelete(list, 0));
    EXPECT_FALSE(ListDelete(list, -1));
}

TEST(ListBox, RemovingTheFocusedEntryMovesTheCaretToTheNextOrTheLast) {
    Window list = SortedList({"a", "b", "c"});
    ListClick(list, 1, false, false);
    ListDelete(list, 1);
    EXPECT_EQ(list.list.caret, 1);
    EXPECT_EQ(list.list.items[1], "c");
    ListDelete(list, 1);
    EXPECT_EQ(list.list.caret, 0);
}

TEST(ListBox, ClicksSelectAsAnExtendedSelectionListDoes) {
    Window list = SortedList({"0", "1", "2", "3", "4", "5"});
    ListClick(list, 1, false, false);
    EXPECT_EQ(Selected(list), (std::vector<int>{1}));
    ListClick(list, 3, false, true); // Shift: the range from the anchor
    EXPECT_EQ(Selected(list), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(list.list.caret, 3);
    ListClick(list, 0, false, true); // the anchor stays where the plain click was
    EXPECT_EQ(Selected(list), (std::vector<int>{0, 1}));
    ListClick(list, 5, true, false); // Ctrl: toggles, and moves the anchor
    EXPECT_EQ(Selected(list), (std::vector<int>{0, 1, 5}));
    ListClick(list, 1, true, false);
    EXPECT_EQ(Selected(list), (std::vector<int>{0, 5}));
    ListClick(list, 3, true, true); // Ctrl+Shift: adds the range from the anchor
    EXPECT_EQ(Selected(list), (std::vector<int>{0, 1, 2, 3, 5}));
    ListClick(list, 4, false, false);
    EXPECT_EQ(Selected(list), (std::vector<int>{4}));
    ListClick(list, 9, false, false); // past the end: nothing
    EXPECT_EQ(Selected(list), (std::vector<int>{4}));
}

TEST(ListBox, ArrowKeysMoveTheCaretAndTheSelection) {
    Window list = SortedList({"0", "1", "2", "3"});
    ListPressKey(list, vk::Down, false, false);
    EXPECT_EQ(list.list.caret, 1);
    EXPECT_EQ(Selected(list), (std::vector<int>{1}));
    ListPressKey(list, vk::Down, false, true);
    ListPressKey(list, vk::Down, false, true);
    EXPECT_EQ(Selected(list), (std::vector<int>{1, 2, 3}));
    ListPressKey(list, vk::Down, false, false); // stops at the last entry
    EXPECT_EQ(list.list.caret, 3);
    ListPressKey(list, vk::Home, true, false); // Ctrl: the caret alone moves
    EXPECT_EQ(list.list.caret, 0);
    EXPECT_EQ(Selected(list), (std::vector<int>{3}));
    ListPressKey(list, vk::End, false, false);
    ListPressKey(list, vk::Up, false, false);
    EXPECT_EQ(Selected(list), (std::vector<int>{2}));
}

TEST(ListBox, InitStorageAnswersTheRoomTheListBoxCountsAndReportsNone) {
    // Room in steps of 16, grown by entries added and cut back once 32 or more stand
    // empty; an emptied list lets it all go.
    Window list = SortedList({});
    EXPECT_EQ(ListReserve(list, 5), 16);
    for (int i = 0; i < 20; ++i) {
        ListAdd(list, "song");
    }
    EXPECT_EQ(ListReserve(list, 10), 32);
    EXPECT_EQ(ListReserve(list, 100), 128);
    EXPECT_GE(list.list.items.capacity(), 120u);
    for (int i = 0; i < 4; ++i) {
        ListDelete(list, 0);
    }
    EXPECT_EQ(ListReserve(list, 0), 32);
    while (!list.list.items.empty()) {
        ListDelete(list, 0);
    }
    EXPECT_EQ(ListReserve(list, 0), 0);

    // None to be had (a count beyond an int's is negative): LB_ERRSPACE, and the dialog
    // is told, with or without LBS_NOTIFY.
    static std::vector<WPARAM> commands;
    Window& dialog = CreateWindowRecord(ControlKind::Dialog, nullptr);
    dialog.proc = [](HWND, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        if (message == WM_COMMAND) {
            commands.push_back(wParam);
        }
        return TRUE;
    };
    Window& owned = CreateWindowRecord(ControlKind::ListBox, dialog.handle);
    owned.id = 7;
    ListAdd(owned, "song");
    EXPECT_EQ(ControlMessage(owned, LB_INITSTORAGE, 0x80000000u, 0), LB_ERRSPACE);
    EXPECT_EQ(commands, (std::vector<WPARAM>{MAKEWPARAM(7, LBN_ERRSPACE)}));
    EXPECT_EQ(ControlMessage(owned, LB_INITSTORAGE, 3, 0), 16);
    EXPECT_EQ(commands.size(), 1u);
    RemoveWindowRecord(owned.handle);
    RemoveWindowRecord(dialog.handle);
    TakeChanges();
}

TEST(ListBox, RecordsOnlyTheRowsAChangeTouches) {
    Window list = SortedList({});
    for (int i = 0; i < 1000; ++i) {
        ListAdd(list, ("song " + std::to_string(1000 + i)).c_str());
    }
    ListSetPage(list, 2000); // every row shown: nothing scrolls
    ListClick(list, 3, false, false);
    TakeChanges();
    auto shown = [] {
        std::vector<std::string> lines;
        for (const Change& c : TakeChanges()) {
            const char* kind = c.kind == ChangeKind::RowInserted   ? "insert"
                               : c.kind == ChangeKind::RowDeleted  ? "delete"
                               : c.kind == ChangeKind::RowSelected ? (c.on ? "select" : "unselect")
                               : c.kind == ChangeKind::Caret       ? "caret"
                               : c.kind == ChangeKind::Cleared     ? "cleared"
                                                                   : "other";
            lines.push_back(std::string(kind) + " " + std::to_string(c.row) +
                            (c.text.empty() ? "" : " " + c.text));
        }
        return lines;
    };
    ListClick(list, 5, false, true);
    EXPECT_EQ(shown(), (std::vector<std::string>{"select 4", "select 5", "caret 5"}));
    ListClick(list, 900, false, false);
    EXPECT_EQ(shown(), (std::vector<std::string>{"unselect 3", "unselect 4", "unselect 5",
                                                 "select 900", "caret 900"}));
    ListAdd(list, "a first");
    EXPECT_EQ(shown(), (std::vector<std::string>{"insert 0 a first"}));
    ListPressKey(list, vk::Down, true, false);
    ListDelete(list, 0);
    ListDelete(list, 901); // the caret stays on its row
    EXPECT_EQ(shown(), (std::vector<std::string>{"caret 901", "delete 0", "delete 901"}));

    // The scroll bar shows once the rows outgrow the page, and goes once they fit: each
    // time the list's state is shown again. With LBS_DISABLENOSCROLL it always shows.
    ListSetPage(list, 999);
    EXPECT_FALSE(ListShowsScrollBar(list));
    ListAdd(list, "z last");
    EXPECT_TRUE(ListShowsScrollBar(list));
    EXPECT_EQ(shown(), (std::vector<std::string>{"insert 999 z last", "other -1"}));
    ListSetPage(list, 1000);
    EXPECT_FALSE(ListShowsScrollBar(list));
    EXPECT_EQ(shown(), (std::vector<std::string>{"other -1"}));
    list.style |= LBS_DISABLENOSCROLL;
    EXPECT_TRUE(ListShowsScrollBar(list));

    // While the list's drawing is off none of its changes is shown; turned on, all of
    // them at once and its state. Emptied, it shows as cleared, whatever its rows did.
    ListSetDrawing(list, false);
    ListAdd(list, "b held");
    ListDelete(list, 2);
    EXPECT_EQ(shown(), std::vector<std::string>{});
    ListSetDrawing(list, true);
    EXPECT_EQ(shown(), (std::vector<std::string>{"insert 0 b held", "delete 2", "other -1"}));
    ListSetDrawing(list, false);
    while (ListDelete(list, 0)) {
    }
    ListAdd(list, "c after");
    ListSetDrawing(list, true);
    EXPECT_EQ(shown(),
              (std::vector<std::string>{"cleared 0", "insert 0 c after", "caret 0", "other -1"}));
}
