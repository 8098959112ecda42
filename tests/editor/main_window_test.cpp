// The main window and its commands, driven as a user would.
#include "tests/editor/program_fixture.h"

#include "editor/program.h"
#include "tagstore/tag_reader.h"
#include "winlayer/core/cursor.h"
#include "winlayer/core/input.h"
#include "winlayer/include/windows.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

namespace {
const std::vector<std::string> kEmptyFields(5, "");
} // namespace

TEST_F(Program, StartsWithEverySwitchOnEveryFieldEmptyAndTheListEmpty) {
    EXPECT_EQ(session.Windows().size(), 1u);
    for (int id = IDC_TITLE; id <= IDC_COMMENT; ++id) {
        EXPECT_TRUE(session.Checked(main, id + 12)) << id;
        EXPECT_TRUE(session.Enabled(main, id)) << id;
    }
    EXPECT_EQ(Fields(), kEmptyFields);
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(session.Focus(main), session.Control(main, IDC_TITLE));
}

TEST_F(Program, FieldsRefuseCharactersBeyondTheirLength) {
    EXPECT_EQ(session.Type(main, IDC_YEAR, "19999"), 4);
    EXPECT_EQ(session.Text(main, IDC_YEAR), "1999");
    for (int id : {IDC_TITLE, IDC_ARTIST, IDC_ALBUM, IDC_COMMENT}) {
        EXPECT_EQ(session.Type(main, id, std::string(31, 'x')), 30) << id;
        EXPECT_EQ(session.Text(main, id), std::string(30, 'x'));
    }
    // Selected text is typed over, within the limit.
    session.Replace(main, IDC_YEAR, "2001");
    EXPECT_EQ(session.Text(main, IDC_YEAR), "2001");
}

TEST_F(Program, EnterAndEscapeLeaveTheWindowOpenAndAltF4EndsTheProgram) {
    session.PressKey(main, winlayer::vk::Return);
    session.PressKey(main, winlayer::vk::Escape);
    session.PressKey(main, 'T', false, false, /*alt=*/true); // no menus, no mnemonics
    EXPECT_TRUE(session.Running());
    EXPECT_EQ(session.Windows().size(), 1u);
    session.PressKey(main, winlayer::vk::F4, false, false, /*alt=*/true);
    EXPECT_FALSE(session.Running());
    EXPECT_EQ(session.ExitCode(), 0);
    EXPECT_TRUE(session.Windows().empty());
}

TEST_F(Program, SelectingAnEntryShowsItsTagInEveryField) {
    Song("a.mp3", "First", "Band", "Record", "1980", "Note");
    Song("b.mp3", "Second", "Other", "Album", "2002", "More");
    Open({"a.mp3", "b.mp3"});
    EXPECT_EQ(Fields(), kEmptyFields) << "opening shows nothing";

    session.ClickEntry(main, IDC_FILE_LIST, 0);
    EXPECT_EQ(Fields(), (std::vector<std::string>{"First", "Band", "Record", "1980", "Note"}));
    // Edits are lost when another file is selected, even in a switched-off field.
    SetFields({"edited", "edited", "edited", "1", "edited"});
    session.Click(main, IDC_USE_ALBUM);
    session.ClickEntry(main, IDC_FILE_LIST, 1);
    EXPECT_EQ(Fields(), (std::vector<std::string>{"Second", "Other", "Album", "2002", "More"}));
    EXPECT_FALSE(session.Enabled(main, IDC_ALBUM));

    // Arrow keys move the focus and show that file too.
    session.PressKey(main, winlayer::vk::Up);
    EXPECT_EQ(session.Text(main, IDC_TITLE), "First");
}

TEST_F(Program, FilesWithoutATagShowEmptyFieldsAndVanishedFilesShowNothingNew) {
    WriteBytes(Path("plain.mp3"), Audio(300));
    Song("tagged.mp3", "Kept");
    Open({"plain.mp3", "tagged.mp3"});
    session.ClickEntry(main, IDC_FILE_LIST, 1);
    ASSERT_EQ(session.Text(main, IDC_TITLE), "Kept");
    session.ClickEntry(main, IDC_FILE_LIST, 0);
    EXPECT_EQ(Fields(), kEmptyFields);

    session.ClickEntry(main, IDC_FILE_LIST, 1);
    std::remove(Path("plain.mp3").c_str());
    session.ClickEntry(main, IDC_FILE_LIST, 0);
    EXPECT_EQ(session.Text(main, IDC_TITLE), "Kept");
    EXPECT_FALSE(Exists(Path("plain.mp3"))) << "looking never creates a file";
}

TEST_F(Program, SwitchesEnableAndDisableTheirFields) {
    for (int id = IDC_USE_TITLE; id <= IDC_USE_COMMENT; ++id) {
        session.Click(main, id);
        EXPECT_FALSE(session.Checked(main, id));
        EXPECT_FALSE(session.Enabled(main, id - 12));
        EXPECT_EQ(session.Type(main, id - 12, "x"), 0) << "a disabled field takes no input";
        session.Click(main, id);
        EXPECT_TRUE(session.Enabled(main, id - 12));
    }
    // The keyboard reaches the switches too: Tab order is template order.
    session.Click(main, IDC_ALBUM);
    session.PressKey(main, winlayer::vk::Tab);
    EXPECT_EQ(session.Focus(main), session.Control(main, IDC_USE_TITLE));
    session.PressKey(main, winlayer::vk::Space);
    EXPECT_FALSE(session.Checked(main, IDC_USE_TITLE));
    EXPECT_FALSE(session.Enabled(main, IDC_TITLE));
}

TEST_F(Program, SaveToAllWritesTheSwitchedOnFieldsIntoEveryFile) {
    Song("one.mp3", "One", "Artist 1", "Old album", "1990", "First");
    WriteBytes(Path("two.mp3"), Audio(800, 3));
    const Bytes oneBefore = ReadBytes(Path("one.mp3"));
    const Bytes twoAudio = ReadBytes(Path("two.mp3"));
    Open({"one.mp3", "two.mp3"});

    SetFields({"Ignored title", "New artist", "Album for all", "2026", "Stamped"});
    session.Click(main, IDC_USE_TITLE); // titles stay as they are
    session.Click(main, IDC_SAVE_ALL);
    EXPECT_TRUE(session.MessageBoxes().empty()) << "no confirmation";

    Bytes oneExpected = oneBefore;
    const Bytes record = MakeRecord("One", "New artist", "Album for all", "2026", "Stamped", 7);
    std::copy(record.begin(), record.end(), oneExpected.end() - 128);
    EXPECT_EQ(ReadBytes(Path("one.mp3")), oneExpected);
    EXPECT_EQ(
        ReadBytes(Path("two.mp3")),
        Concat(twoAudio, MakeRecord("", "New artist", "Album for all", "2026", "Stamped", 0xFF)));
    EXPECT_EQ(Fields(), (std::vector<std::string>{"Ignored title", "New artist", "Album for all",
                                                  "2026", "Stamped"}))
        << "fields are not refreshed";
}

TEST_F(Program, SaveToAllWithUncheckedAlbumLeavesEveryAlbumAlone) {
    Song("a.mp3", "A", "A", "Album A", "2000", "A");
    Song("b.mp3", "B", "B", "Album B", "2001", "B");
    Open({"a.mp3", "b.mp3"});
    session.Click(main, IDC_USE_ALBUM);
    SetFields({"T", "Ar", "", "1999", "Co"});
    session.Click(main, IDC_SAVE_ALL);
    EXPECT_EQ(ReadBytes(Path("a.mp3")),
              Concat(Audio(600, 5), MakeRecord("T", "Ar", "Album A", "1999", "Co", 7)));
    EXPECT_EQ(ReadBytes(Path("b.mp3")),
              Concat(Audio(600, 5), MakeRecord("T", "Ar", "Album B", "1999", "Co", 7)));
}

TEST_F(Program, SaveToAllOnAnEmptyListShowsTheMessageAndWritesNothing) {
    Song("not-listed.mp3", "Untouched");
    const Bytes before = ReadBytes(Path("not-listed.mp3"));
    session.Type(main, IDC_TITLE, "Something");
    session.Click(main, IDC_SAVE_ALL);
    const auto boxes = session.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Please open some mp3's to edit");
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].owner, main);
    EXPECT_EQ(boxes[0].type, MB_OK);
    EXPECT_EQ(session.Type(main, IDC_TITLE, "x"), 0) << "the window waits for the box";
    session.DismissMessageBox();
    EXPECT_TRUE(session.MessageBoxes().empty());
    EXPECT_EQ(session.Type(main, IDC_TITLE, "x"), 1);
    EXPECT_EQ(ReadBytes(Path("not-listed.mp3")), before);
}

TEST_F(Program, SaveToSelectedWritesOnlyTheSelectedEntries) {
    for (const char* name : {"1.mp3", "2.mp3", "3.mp3", "4.mp3"}) {
        Song(name, "Old");
    }
    Open({"1.mp3", "2.mp3", "3.mp3", "4.mp3"});
    // Nothing selected yet: nothing happens, not even a message.
    session.Replace(main, IDC_TITLE, "New");
    session.Click(main, IDC_SAVE_SELECTED);
    EXPECT_TRUE(session.MessageBoxes().empty());
    for (const char* name : {"1.mp3", "2.mp3", "3.mp3", "4.mp3"}) {
        TagFields shown{};
        ASSERT_TRUE(ReadTag(Path(name).c_str(), shown));
        EXPECT_STREQ(shown.title, "Old");
    }

    session.ClickEntry(main, IDC_FILE_LIST, 0);
    session.ClickEntry(main, IDC_FILE_LIST, 2, /*ctrl=*/true);
    session.ClickEntry(main, IDC_FILE_LIST, 3, /*ctrl=*/true, /*shift=*/true);
    ASSERT_EQ(session.Selected(main, IDC_FILE_LIST), (std::vector<int>{0, 2, 3}));
    session.Replace(main, IDC_TITLE, "New"); // selecting showed the old title again
    session.Click(main, IDC_SAVE_SELECTED);
    const char* expected[] = {"New", "Old", "New", "New"};
    for (int i = 0; i < 4; ++i) {
        TagFields shown{};
        ASSERT_TRUE(ReadTag(Entries()[static_cast<size_t>(i)].c_str(), shown));
        EXPECT_STREQ(shown.title, expected[i]) << i;
    }
}

TEST_F(Program, SaveToSelectedOnAnEmptyListDoesNothing) {
    session.Click(main, IDC_SAVE_SELECTED);
    EXPECT_TRUE(session.MessageBoxes().empty());
    EXPECT_TRUE(session.Running());
}

TEST_F(Program, FilesThatCannotBeWrittenAreSkipped) {
    Song("gone.mp3", "Old");
    Song("kept.mp3", "Old");
    Open({"gone.mp3", "kept.mp3"});
    std::remove(Path("gone.mp3").c_str());
    session.Replace(main, IDC_TITLE, "New");
    session.Click(main, IDC_SAVE_ALL);
    EXPECT_FALSE(Exists(Path("gone.mp3"))) << "saving never creates a file";
    TagFields shown{};
    ASSERT_TRUE(ReadTag(Path("kept.mp3").c_str(), shown));
    EXPECT_STREQ(shown.title, "New");
    EXPECT_EQ(Entries().size(), 2u) << "the vanished file stays listed";
}

TEST_F(Program, TheWaitCursorShowsFromTheStartToTheEndOfEachCommandOnFiles) {
    Song("a.mp3", "Old");
    Song("b.mp3", "Old");
    // Each shape as it was shown, with the list's length and the last song's bytes then.
    struct Shown {
        winlayer::CursorShape shape;
        LRESULT listed;
        Bytes last;
    };
    // Owned by the watch, which the session keeps to its end.
    auto record = std::make_shared<std::vector<Shown>>();
    session.WhenCursorShown(
        [record, window = main, last = Path("b.mp3")](winlayer::CursorShape shape) {
            record->push_back({shape, SendDlgItemMessageA(window, IDC_FILE_LIST, LB_GETCOUNT, 0, 0),
                               ReadBytes(last)});
        });
    std::vector<Shown>& shown = *record;
    using winlayer::CursorShape;

    // Open: the chooser under the arrow, the wait cursor while the chosen files are listed.
    session.Click(main, IDC_OPEN);
    EXPECT_TRUE(shown.empty()) << "the user picks files under the arrow";
    ASSERT_TRUE(session.AcceptFileDialog(dir.path(), {"a.mp3", "b.mp3"}));
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].shape, CursorShape::Wait);
    EXPECT_EQ(shown[0].listed, 0);
    EXPECT_EQ(shown[1].shape, CursorShape::Arrow);
    EXPECT_EQ(shown[1].listed, 2);

    // Save To ALL: shown before the first file is written, taken down after the last.
    const Bytes before = ReadBytes(Path("b.mp3"));
    session.Replace(main, IDC_TITLE, "New");
    shown.clear();
    session.Click(main, IDC_SAVE_ALL);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].shape, CursorShape::Wait);
    EXPECT_EQ(shown[0].last, before);
    EXPECT_EQ(shown[1].shape, CursorShape::Arrow);
    EXPECT_NE(shown[1].last, before) << "the last listed file is written under the wait cursor";

    // A dropped folder is walked under it too.
    shown.clear();
    session.DropFiles(main, {dir.path()});
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].shape, CursorShape::Wait);
    EXPECT_EQ(shown[0].listed, 2);
    EXPECT_EQ(shown[1].shape, CursorShape::Arrow);
    EXPECT_EQ(shown[1].listed, 4);

    // Save To ALL on an empty list asks under the arrow and works on nothing.
    session.Click(main, IDC_CLEAR_ALL);
    shown.clear();
    session.Click(main, IDC_SAVE_ALL);
    ASSERT_EQ(session.MessageBoxes().size(), 1u);
    session.DismissMessageBox();
    EXPECT_TRUE(shown.empty());
    EXPECT_EQ(winlayer::CurrentCursor(), CursorShape::Arrow);
}

// Long work, with a clock that makes every step a second long: the progress box shows
// at once, and the user cancels from it at a chosen point. The workers write many files
// at once; a cancel starts no new file, and those in hand finish whole.
TEST_F(Program, LongWorkShowsItsProgressAndCancelsWithoutStartingAnotherFile) {
    constexpr int kSongs = 8 * kFilesInFlight;
    std::vector<std::string> names;
    for (int i = 0; i < kSongs; ++i) {
        names.push_back("song " + std::to_string(100 + i) + ".mp3");
        Song(names.back(), "Old");
    }
    Open(names);
    std::vector<Bytes> before;
    for (const std::string& name : names) {
        before.push_back(ReadBytes(Path(name)));
    }
    session.SetClockStep(1000);
    session.Replace(main, IDC_TITLE, "New");

    // Each way to cancel, at the first look whose box text passes `when`; what the box
    // showed then.
    struct Seen {
        std::string text;
        int position = -1;
        bool mainEnabled = true;
        bool cancelFocused = false;
    };
    auto cancelAt = [&](std::function<bool(const std::string&)> when,
                        std::function<void(HWND box)> cancel) {
        auto seen = std::make_shared<Seen>();
        session.WhileBusy([this, when, cancel, seen] {
            const HWND box = session.Find("Quorwin");
            if (box == nullptr || !seen->text.empty() ||
                !when(session.Text(box, IDC_PROGRESS_TEXT))) {
                return;
            }
            seen->text = session.Text(box, IDC_PROGRESS_TEXT);
            seen->position =
                static_cast<int>(SendDlgItemMessageA(box, IDC_PROGRESS_BAR, PBM_GETPOS, 0, 0));
            seen->mainEnabled = winlayer::FindWindow(main)->enabled;
            seen->cancelFocused = session.Focus(box) == session.Control(box, IDCANCEL);
            session.Post([cancel, box] { cancel(box); });
        });
        return seen;
    };
    // Some files saved: "Saving N of M files" with N above 0.
    auto someSaved = [](const std::string& text) {
        return text.rfind("Saving ", 0) == 0 && text.rfind("Saving 0 ", 0) != 0;
    };
    auto finishedIn = [](const std::string& text) { return std::stoi(text.substr(7)); };
    // How many files have the new record; every other one is untouched to the byte, and
    // no file is half written.
    auto countWritten = [&] {
        int written = 0;
        for (size_t i = 0; i < names.size(); ++i) {
            const Bytes now = ReadBytes(Path(names[i]));
            TagFields shown{};
            if (now != before[i]) {
                EXPECT_TRUE(ReadTag(Path(names[i]).c_str(), shown));
                EXPECT_STREQ(shown.title, "New") << names[i];
                EXPECT_EQ(now.size(), before[i].size()) << names[i];
                EXPECT_TRUE(std::equal(before[i].begin(), before[i].end() - 128, now.begin()))
                    << names[i] << ": the audio is kept";
                ++written;
            }
        }
        return written;
    };
    auto restore = [&] {
        for (size_t i = 0; i < names.size(); ++i) {
            WriteBytes(Path(names[i]), before[i]);
        }
    };

    // Escape once some files are saved: those in hand finish, and no other starts.
    auto seen =
        cancelAt(someSaved, [](HWND box) { winlayer::input::PressKey(box, winlayer::vk::Escape); });
    session.Click(main, IDC_SAVE_ALL);
    ASSERT_FALSE(seen->text.empty());
    const int finished = finishedIn(seen->text);
    EXPECT_EQ(seen->position, finished);
    EXPECT_FALSE(seen->mainEnabled) << "no second command while the first works";
    EXPECT_TRUE(seen->cancelFocused);
    const int written = countWritten();
    EXPECT_GE(written, finished);
    EXPECT_LT(written, kSongs) << "the cancel stopped the save";
    EXPECT_EQ(session.Find("Quorwin"), nullptr) << "the box goes";
    EXPECT_TRUE(session.Enabled(main, IDC_FILE_LIST));
    EXPECT_TRUE(winlayer::FindWindow(main)->enabled);
    EXPECT_EQ(session.Focus(main), session.Control(main, IDC_SAVE_ALL))
        << "focus back where it was";
    EXPECT_TRUE(session.MessageBoxes().empty()) << "a cancelled save says nothing";

    // The desktop closing the disabled main window cancels too, and the program goes on.
    restore();
    seen = cancelAt(someSaved, [this](HWND) { winlayer::input::Close(main); });
    session.Click(main, IDC_SAVE_ALL);
    ASSERT_FALSE(seen->text.empty());
    EXPECT_TRUE(session.Running());
    EXPECT_LT(countWritten(), kSongs);

    // An About box that was open keeps working while the progress box is up; Enter in
    // the box cancels as Escape does.
    restore();
    session.Click(main, IDC_ABOUT);
    const HWND about = session.Find("About Quorwin");
    ASSERT_NE(about, nullptr);
    seen = cancelAt(someSaved, [about](HWND box) {
        winlayer::input::Click(winlayer::FindControl(about, IDOK)->handle);
        winlayer::input::PressKey(box, winlayer::vk::Return);
    });
    session.Click(main, IDC_SAVE_ALL);
    ASSERT_FALSE(seen->text.empty());
    EXPECT_EQ(session.Find("About Quorwin"), nullptr);
    EXPECT_LT(countWritten(), kSongs);

    // A drop cancelled while its songs are listed takes back what it added: the list is
    // as it was, selection and all. The count is the whole drop's, a file dropped by
    // name included.
    const std::vector<std::string> listed = Entries();
    const std::string adding = "Adding songs to the list: 3 of " + std::to_string(kSongs + 1);
    session.ClickEntry(main, IDC_FILE_LIST, 2);
    seen = cancelAt([&](const std::string& text) { return text == adding; },
                    [](HWND box) { winlayer::input::PressKey(box, winlayer::vk::Escape); });
    session.DropFiles(main, {Path(names[0]), dir.path()});
    EXPECT_EQ(seen->text, adding);
    EXPECT_EQ(seen->position, 3);
    EXPECT_EQ(Entries(), listed);
    EXPECT_EQ(session.Selected(main, IDC_FILE_LIST), std::vector<int>{2});
    EXPECT_EQ(session.Caret(main, IDC_FILE_LIST), 2);
    // The next command's files are written: the cancel held nothing beyond its own.
    session.WhileBusy(nullptr);
    restore();
    session.Click(main, IDC_SAVE_ALL);
    EXPECT_EQ(countWritten(), kSongs);

    // A drop cancelled while its folders are walked adds nothing; the next save runs to
    // its end.
    session.Click(main, IDC_CLEAR_ALL);
    seen = cancelAt(
        [](const std::string& text) { return text.rfind("Looking for songs: ", 0) == 0; },
        [](HWND box) { winlayer::input::Click(winlayer::FindControl(box, IDCANCEL)->handle); });
    session.DropFiles(main, {dir.path()});
    EXPECT_FALSE(seen->text.empty());
    EXPECT_TRUE(Entries().empty());
    session.WhileBusy(nullptr);
    session.DropFiles(main, {dir.path(), Path(names[0])});
    ASSERT_EQ(Entries().size(), names.size() + 1);
    restore();
    session.Click(main, IDC_SAVE_ALL);
    EXPECT_EQ(countWritten(), kSongs) << "the same file listed twice is saved whole";
    EXPECT_EQ(ReadBytes(Path(names[0])).size(), before[0].size());

    // Asked twice to close while files are in hand, the program ends at once; each file
    // then has its whole record or none.
    restore();
    int closes = 0;
    session.WhileBusy([&] {
        const HWND box = session.Find("Quorwin");
        if (box != nullptr && closes < 2) {
            ++closes;
            session.Post([this] { winlayer::input::Close(main); });
        }
    });
    session.Click(main, IDC_SAVE_ALL);
    EXPECT_EQ(closes, 2);
    EXPECT_FALSE(session.Running());
    EXPECT_EQ(session.ExitCode(), 0);
    EXPECT_LT(countWritten(), kSongs);
}
