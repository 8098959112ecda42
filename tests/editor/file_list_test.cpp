// The file list: the open dialog, its result, dropped files and folders, the list's
// order and its commands.
#include "tests/editor/program_fixture.h"

#include "editor/program.h"
#include "winlayer/core/common_dialogs.h"
#include "winlayer/core/input.h"
#include "winlayer/include/win32_constants.h"

#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TEST_F(Program, TheOpenDialogAsksForSeveralExistingMp3s) {
    session.Click(main, IDC_OPEN);
    ASSERT_TRUE(session.FileDialogOpen());
    const winlayer::FileDialog shown = session.FileDialogShown();
    EXPECT_EQ(shown.title, "Open...");
    EXPECT_EQ(shown.owner, main);
    ASSERT_EQ(shown.filters.size(), 1u);
    EXPECT_EQ(shown.filters[0].description, "Mp3s (*.mp3)");
    EXPECT_EQ(shown.filters[0].pattern, "*.mp3");
    EXPECT_EQ(shown.filterIndex, 1);
    const DWORD wanted = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    EXPECT_EQ(shown.flags & wanted, wanted);
    EXPECT_FALSE(session.AcceptFileDialog(dir.path(), {"missing.mp3"}))
        << "a file that does not exist is not accepted";
    EXPECT_TRUE(session.FileDialogOpen());
    session.CancelFileDialog();
    EXPECT_FALSE(session.FileDialogOpen());
    EXPECT_TRUE(Entries().empty()) << "cancelling adds nothing";
}

TEST_F(Program, FilesChosenFromSeveralFoldersAreEveryOneAdded) {
    std::string directory;
    std::vector<std::string> names;
    ASSERT_TRUE(
        winlayer::SplitChosenPaths({"/m/a/x.mp3", "/m/b/c/y.mp3", "/m/a/z.mp3"}, directory, names));
    EXPECT_EQ(directory, "/m");
    EXPECT_EQ(names, (std::vector<std::string>{"a/x.mp3", "b/c/y.mp3", "a/z.mp3"}));
    ASSERT_TRUE(winlayer::SplitChosenPaths({"/x.mp3", "/mnt/y.mp3"}, directory, names));
    EXPECT_EQ(directory, "/");
    EXPECT_EQ(names, (std::vector<std::string>{"x.mp3", "mnt/y.mp3"}));
    ASSERT_TRUE(winlayer::SplitChosenPaths({"/m/ab/x.mp3", "/m/a/y.mp3"}, directory, names));
    EXPECT_EQ(directory, "/m") << "a folder whose name starts another's is not their parent";
    EXPECT_FALSE(winlayer::SplitChosenPaths({"x.mp3", "y.mp3"}, directory, names));
    EXPECT_FALSE(winlayer::SplitChosenPaths({}, directory, names));

    std::filesystem::create_directories(Path("one"));
    std::filesystem::create_directories(Path("two/deeper"));
    Song("one/b.mp3", "b");
    Song("two/deeper/a.mp3", "a");
    session.Click(main, IDC_OPEN);
    bool accepted = false;
    session.Do([&] {
        accepted =
            winlayer::input::AcceptChosenFiles({Path("one/b.mp3"), Path("two/deeper/a.mp3")});
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(Entries(), (std::vector<std::string>{Path("one/b.mp3"), Path("two/deeper/a.mp3")}));
}

TEST_F(Program, ChosenFilesAreListedInOrderIgnoringCase) {
    Song("b song.mp3", "b");
    Song("A song.mp3", "A");
    Song("c.mp3", "c");
    Open({"b song.mp3", "A song.mp3"});
    EXPECT_EQ(Entries(), (std::vector<std::string>{Path("A song.mp3"), Path("b song.mp3")}));
    Open({"c.mp3"}); // one file: its full path, once
    EXPECT_EQ(Entries(),
              (std::vector<std::string>{Path("A song.mp3"), Path("b song.mp3"), Path("c.mp3")}));
    Open({"c.mp3", "b song.mp3"}); // again: listed twice
    EXPECT_EQ(Entries().size(), 5u);
    EXPECT_EQ(Entries()[3], Path("c.mp3"));
    EXPECT_EQ(Entries()[4], Path("c.mp3"));
}

TEST_F(Program, TheSameFileListedTwiceIsWrittenTwiceWithTheSameResult) {
    WriteBytes(Path("twice.mp3"), Audio(500));
    Open({"twice.mp3"});
    Open({"twice.mp3"});
    session.Replace(main, IDC_TITLE, "Twice");
    session.Click(main, IDC_SAVE_ALL);
    EXPECT_EQ(ReadBytes(Path("twice.mp3")),
              Concat(Audio(500), MakeRecord("Twice", "", "", "", "", 0xFF)));
}

TEST_F(Program, DoubleClickRemovesOnlyTheFocusedEntry) {
    for (const char* name : {"1.mp3", "2.mp3", "3.mp3"}) {
        Song(name, name);
    }
    Open({"1.mp3", "2.mp3", "3.mp3"});
    session.ClickEntry(main, IDC_FILE_LIST, 0);
    session.ClickEntry(main, IDC_FILE_LIST, 2, false, /*shift=*/true);
    ASSERT_EQ(session.Selected(main, IDC_FILE_LIST).size(), 3u);
    session.DoubleClickEntry(main, IDC_FILE_LIST, 1);
    EXPECT_EQ(Entries(), (std::vector<std::string>{Path("1.mp3"), Path("3.mp3")}));
    EXPECT_EQ(session.Text(main, IDC_TITLE), "2.mp3") << "the fields still show the removed file";
}

TEST_F(Program, ClearAllEmptiesTheListAndKeepsTheFields) {
    session.Click(main, IDC_CLEAR_ALL); // on an empty list: nothing
    EXPECT_TRUE(Entries().empty());
    Song("1.mp3", "One");
    Song("2.mp3", "Two");
    Open({"1.mp3", "2.mp3"});
    session.ClickEntry(main, IDC_FILE_LIST, 1);
    session.Click(main, IDC_CLEAR_ALL);
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(session.Caret(main, IDC_FILE_LIST), 0)
        << "an empty list's caret, as Windows reports it";
    EXPECT_EQ(session.Text(main, IDC_TITLE), "Two");
}

TEST_F(Program, AResultTooLongForTheBufferAddsNothing) {
    std::vector<std::string> names;
    for (int i = 0; i < 60; ++i) {
        names.push_back(std::string(90, static_cast<char>('a' + i % 26)) + std::to_string(i) +
                        ".mp3");
        WriteBytes(Path(names.back()), Audio(10));
    }
    session.Click(main, IDC_OPEN);
    ASSERT_TRUE(session.AcceptFileDialog(dir.path(), names));
    EXPECT_TRUE(Entries().empty());
    EXPECT_TRUE(session.Running());
}

namespace {

// A dialog result laid out by hand: strings one after another in a zeroed buffer.
struct Result {
    char bytes[kPathBufferSize] = {};
    int used = 0;
    Result& Add(const std::string& text) {
        std::memcpy(bytes + used, text.data(), text.size());
        used += static_cast<int>(text.size()) + 1;
        return *this;
    }
};

} // namespace

TEST_F(Program, ResultsJoinTheDirectoryWithEachName) {
    Result root;
    root.Add("/").Add("b.mp3").Add("a.mp3");
    Result folder;
    folder.Add("/music/set").Add("x.mp3");
    Result single;
    single.Add("/music/one.mp3");
    session.Do([&] {
        AddSelectedFiles(root.bytes);
        AddSelectedFiles(folder.bytes);
        AddSelectedFiles(single.bytes);
    });
    EXPECT_EQ(Entries(),
              (std::vector<std::string>{"/a.mp3", "/b.mp3", "/music/one.mp3", "/music/set/x.mp3"}));
}

TEST_F(Program, ResultsAreNeverReadPastTheBufferAndCutPathsAreLeftOut) {
    // No closing empty string: the last name runs into the end of the buffer.
    Result unterminated;
    unterminated.Add("/dir").Add("ok.mp3");
    std::memset(unterminated.bytes + unterminated.used, 'z',
                static_cast<size_t>(kPathBufferSize - unterminated.used));
    // The longest directory and name that fit: the joined path still fits too.
    Result longest;
    longest.Add("/" + std::string(3000, 'd')).Add(std::string(kPathBufferSize - 3004, 'n'));
    // One full path filling the buffer without a terminator.
    Result full;
    std::memset(full.bytes, 'p', sizeof full.bytes);
    session.Do([&] {
        AddSelectedFiles(unterminated.bytes);
        AddSelectedFiles(longest.bytes);
        AddSelectedFiles(full.bytes);
    });
    const std::string joined =
        "/" + std::string(3000, 'd') + "/" + std::string(kPathBufferSize - 3004, 'n');
    EXPECT_EQ(joined.size(), static_cast<size_t>(kPathBufferSize - 2));
    EXPECT_EQ(Entries(), (std::vector<std::string>{joined, "/dir/ok.mp3"}));
}

TEST_F(Program, DroppedFilesAreListedLikeChosenOnesWhileTheWindowTakesInput) {
    Song("b.mp3", "b");
    Song("A.mp3", "A");
    WriteBytes(Path("notes.txt"), B("not a song"));
    ASSERT_EQ(mkfifo(Path("pipe.mp3").c_str(), 0600), 0);
    // While the message box of "Save To ALL" is open, the main window is disabled.
    session.Click(main, IDC_SAVE_ALL);
    ASSERT_EQ(session.MessageBoxes().size(), 1u);
    session.DropFiles(main, {Path("A.mp3")});
    EXPECT_TRUE(Entries().empty());
    session.DismissMessageBox();

    session.Replace(main, IDC_TITLE, "kept");
    // Missing files and a pipe are left out; a name too long for the buffer is too,
    // and is never cut short.
    const std::string tooLong = Path(std::string(kPathBufferSize, 'x'));
    session.DropFiles(main, {Path("b.mp3"), Path("A.mp3"), Path("missing.mp3"), Path("pipe.mp3"),
                             tooLong, Path("b.mp3"), Path("notes.txt")});
    EXPECT_EQ(Entries(), (std::vector<std::string>{Path("A.mp3"), Path("b.mp3"), Path("b.mp3"),
                                                   Path("notes.txt")}));
    EXPECT_EQ(session.Text(main, IDC_TITLE), "kept") << "nothing is read";
    EXPECT_TRUE(session.MessageBoxes().empty());
}

namespace {

// Folders nested deeper than a path may be long: made and removed level by level,
// each relative to the one above, since their full paths cannot be used.
class DeepFolders {
  public:
    DeepFolders(const std::string& top, const std::string& name, int levels) : name_(name) {
        fds_.push_back(open(top.c_str(), O_DIRECTORY | O_RDONLY));
        for (int i = 0; i < levels && fds_.back() >= 0; ++i) {
            mkdirat(fds_.back(), name.c_str(), 0700);
            fds_.push_back(openat(fds_.back(), name.c_str(), O_DIRECTORY | O_RDONLY));
        }
        close(openat(fds_.back(), "bottom.mp3", O_CREAT | O_WRONLY, 0600));
    }
    ~DeepFolders() {
        unlinkat(fds_.back(), "bottom.mp3", 0);
        for (size_t i = fds_.size() - 1; i > 0; --i) {
            close(fds_[i]);
            unlinkat(fds_[i - 1], name_.c_str(), AT_REMOVEDIR);
        }
        close(fds_[0]);
    }
    DeepFolders(const DeepFolders&) = delete;
    DeepFolders& operator=(const DeepFolders&) = delete;
    bool Made() const { return fds_.back() >= 0; }

  private:
    std::string name_;
    std::vector<int> fds_;
};

} // namespace

TEST_F(Program, ADroppedFolderListsTheMp3FilesInItsWholeTree) {
    namespace fs = std::filesystem;
    for (const char* folder : {"music/sub/deeper", "music/a.mp3", "music/deep"}) {
        fs::create_directories(Path(folder));
    }
    for (const char* song :
         {"music/x.mp3", "music/Y.MP3", "music/sub/z.Mp3", "music/sub/deeper/w.mp3",
          "music/a.mp3/inner.mp3", "music/deep/top.mp3", "music/cover.jpg", "music/song.mp3.txt"}) {
        WriteBytes(Path(song), Audio(50));
    }
    ASSERT_EQ(mkfifo(Path("music/pipe.mp3").c_str(), 0600), 0);
    fs::create_symlink(Path("music/x.mp3"), Path("music/alias.mp3")); // a link to a song
    fs::create_symlink(Path("music/gone.mp3"), Path("music/broken.mp3"));
    fs::create_directory_symlink(Path("music"), Path("music/sub/loop")); // never entered
    // Deeper than 5,119 bytes: the bottom cannot be listed, and the rest still is.
    const DeepFolders deep(Path("music/deep"), std::string(200, 'n'), 26);
    ASSERT_TRUE(deep.Made());

    session.Replace(main, IDC_TITLE, "kept");
    session.DropFiles(main, {Path("music")});
    EXPECT_EQ(Entries(), (std::vector<std::string>{
                             Path("music/a.mp3/inner.mp3"), Path("music/alias.mp3"),
                             Path("music/deep/top.mp3"), Path("music/sub/deeper/w.mp3"),
                             Path("music/sub/z.Mp3"), Path("music/x.mp3"), Path("music/Y.MP3")}));
    EXPECT_EQ(session.Text(main, IDC_TITLE), "kept");
}
