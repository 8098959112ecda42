// Message delivery and modal loops of the core, with procedures of the tests' own
// on the program's templates.
#include "resources/resource.h"
#include "winlayer/core/dialog.h"
#include "winlayer/core/input.h"
#include "winlayer/core/window.h"
#include "winlayer/headless/session.h"
#include "winlayer/include/windows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// What the procedures saw, as "message:detail" lines.
std::vector<std::string> gSeen;
bool gHandleInit = true;

void See(const std::string& line) {
    gSeen.push_back(line);
}

INT_PTR CALLBACK Recorder(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        See("init");
        SendDlgItemMessageA(window, IDC_FILE_LIST, LB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>("added by program"));
        CheckDlgButton(window, IDC_USE_TITLE, BST_CHECKED);
        return gHandleInit ? TRUE : FALSE;
    case WM_COMMAND:
        See("command:" + std::to_string(LOWORD(wParam)) + ":" + std::to_string(HIWORD(wParam)));
        if (LOWORD(wParam) == IDC_ABOUT) {
            // A nested loop inside the command.
            DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_ABOUT), nullptr, Recorder, 0);
            See("nested returned");
        } else if (LOWORD(wParam) == IDC_SAVE_ALL) {
            PostQuitMessage(3);
        } else if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            DestroyWindow(window);
        }
        return TRUE;
    case WM_DESTROY:
        See("destroy");
        return TRUE;
    case WM_DROPFILES: {
        // Each name as "length/copied=text" through an 8-byte buffer, one index past
        // the last too; then the count once the drop is finished (twice).
        const HDROP drop = reinterpret_cast<HDROP>(wParam);
        std::string line = "drop";
        for (UINT i = 0; i <= DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0); ++i) {
            char name[8] = {};
            const UINT copied = DragQueryFileA(drop, i, name, sizeof name);
            line += ":" + std::to_string(DragQueryFileA(drop, i, nullptr, 0)) + "/" +
                    std::to_string(copied) + "=" + name;
        }
        DragFinish(drop);
        DragFinish(drop);
        See(line + ":" + std::to_string(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0)));
        return TRUE;
    }
    default:
        return FALSE;
    }
}

int RunMain() {
    const INT_PTR result =
        DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_MAIN), nullptr, Recorder, 0);
    See("main returned");
    return static_cast<int>(result) + winlayer::QuitCode() * 10;
}

class Dialogs : public ::testing::Test {
  protected:
    winlayer::headless::Session session;
    HWND main = nullptr;

    void Start() {
        session.Start(RunMain);
        main = session.Find("Quorwin ");
        ASSERT_NE(main, nullptr);
    }
    void SetUp() override {
        gSeen.clear();
        gHandleInit = true;
    }
};

} // namespace

TEST_F(Dialogs, TheFirstTabStopHasTheFocusWhetherInitSetItOrNot) {
    Start();
    EXPECT_EQ(gSeen, std::vector<std::string>{"init"});
    EXPECT_EQ(session.Focus(main), session.Control(main, IDC_TITLE));
    session.Close(main); // not handled: becomes IDCANCEL, which destroys the window
    EXPECT_FALSE(session.Running());

    gSeen.clear();
    gHandleInit = false;
    winlayer::headless::Session again;
    again.Start(RunMain);
    const HWND shown = again.Find("Quorwin ");
    EXPECT_EQ(again.Focus(shown), again.Control(shown, IDC_TITLE)) << "given when activated";
}

TEST_F(Dialogs, NotificationsComeFromTheUserOnly) {
    Start();
    EXPECT_EQ(gSeen, std::vector<std::string>{"init"}) << "adding by program notifies nothing";
    session.ClickEntry(main, IDC_FILE_LIST, 0);
    session.Click(main, IDC_USE_TITLE);
    session.Type(main, IDC_TITLE, "a");
    session.DoubleClickEntry(main, IDC_FILE_LIST, 0);
    session.Click(main, IDC_ARTIST);            // clicking an edit field sends nothing
    session.ClickEntry(main, IDC_FILE_LIST, 5); // below the last entry: nothing
    EXPECT_EQ(gSeen,
              (std::vector<std::string>{"init", "command:1010:1", "command:1012:0",
                                        "command:1010:1", "command:1010:1", "command:1010:2"}));
    EXPECT_FALSE(session.Checked(main, IDC_USE_TITLE)) << "the automatic check box toggled";
}

TEST_F(Dialogs, DestroyWindowEndsOnlyItsOwnLoop) {
    Start();
    session.Click(main, IDC_ABOUT);
    const HWND about = session.Find("About Quorwin");
    ASSERT_NE(about, nullptr);
    session.PressKey(about, winlayer::vk::Return); // the default button: IDOK
    EXPECT_EQ(session.Find("About Quorwin"), nullptr);
    EXPECT_TRUE(session.Running());
    EXPECT_EQ(gSeen.back(), "nested returned");
    // The About button has the focus from its click, which does not make it the
    // default: Enter gives the main window's IDOK.
    session.PressKey(main, winlayer::vk::Return);
    EXPECT_EQ(session.Find("About Quorwin"), nullptr);
    EXPECT_FALSE(session.Running());
    EXPECT_EQ(session.ExitCode(), 0);
}

TEST_F(Dialogs, QuitEndsEveryRunningLoopAndDestroysTheirWindows) {
    Start();
    session.Click(main, IDC_ABOUT);
    const HWND about = session.Find("About Quorwin");
    session.Click(main, IDC_ABOUT); // the main window still takes input
    EXPECT_EQ(session.Windows().size(), 3u);
    session.Click(main, IDC_SAVE_ALL); // posts the quit request with 3
    EXPECT_FALSE(session.Running());
    EXPECT_EQ(session.ExitCode(), 30);
    EXPECT_TRUE(session.Windows().empty());
    EXPECT_EQ(winlayer::FindWindow(about), nullptr);
    const std::vector<std::string> tail(gSeen.end() - 7, gSeen.end());
    EXPECT_EQ(tail,
              (std::vector<std::string>{"command:1005:0", "destroy", "nested returned", "destroy",
                                        "nested returned", "destroy", "main returned"}));
}

TEST_F(Dialogs, DisabledWindowsTakeNoInputButShowSetText) {
    Start();
    session.Do([this] { EnableWindow(GetDlgItem(main, IDC_TITLE), FALSE); });
    EXPECT_EQ(session.Type(main, IDC_TITLE, "abc"), 0);
    session.Do([this] { SetDlgItemTextA(main, IDC_TITLE, "set"); });
    EXPECT_EQ(session.Text(main, IDC_TITLE), "set");
    char text[8] = {};
    session.Do([&] { GetDlgItemTextA(main, IDC_TITLE, text, 3); });
    EXPECT_STREQ(text, "se") << "at most n - 1 characters and a terminator";
    // A control's text is shown in the process code page, UTF-8, as a file's name is.
    session.Do([this] { SetDlgItemTextA(main, IDC_OPEN, "03 \xE5\xA4\x9C.mp3 \xFF"); });
    EXPECT_EQ(winlayer::DisplayText(*winlayer::FindControl(main, IDC_OPEN)),
              "03 \xE5\xA4\x9C.mp3 ?");
    session.Do([this] { EnableWindow(main, FALSE); });
    const size_t seen = gSeen.size();
    session.Click(main, IDC_OPEN);
    session.Close(main);
    EXPECT_EQ(gSeen.size(), seen) << "a disabled dialog's controls take no input";
    session.Do([this] { EnableWindow(main, TRUE); });
    session.Click(main, IDC_OPEN);
    EXPECT_EQ(gSeen.back(), "command:1006:0");

    // Disabling the focused button, which the keyboard made the default, takes the focus
    // off it to nowhere: Enter and Escape then send nothing, until a click focuses again.
    session.Do([this] { EnableWindow(GetDlgItem(main, IDC_TITLE), TRUE); });
    session.Click(main, IDC_TITLE);
    for (int i = 0; i < 4; ++i) {
        session.PressKey(main, winlayer::vk::Tab);
    }
    ASSERT_EQ(session.Focus(main), session.Control(main, IDC_SAVE_ALL));
    session.Do([this] { EnableWindow(GetDlgItem(main, IDC_SAVE_ALL), FALSE); });
    EXPECT_EQ(session.Focus(main), nullptr);
    const size_t before = gSeen.size();
    session.PressKey(main, winlayer::vk::Return);
    session.PressKey(main, winlayer::vk::Escape);
    session.PressKey(main, winlayer::vk::Tab);
    EXPECT_EQ(gSeen.size(), before) << gSeen.back();
    EXPECT_EQ(session.Focus(main), nullptr);
    session.Click(main, IDC_TITLE);
    session.PressKey(main, winlayer::vk::Tab);
    EXPECT_EQ(session.Focus(main), session.Control(main, IDC_ARTIST));
}

TEST_F(Dialogs, TabMovesThroughTheTabStopsInTemplateOrder) {
    Start();
    const int order[] = {IDC_ARTIST, IDC_ALBUM,      IDC_USE_TITLE, IDC_SAVE_ALL,
                         IDC_YEAR,   IDC_USE_ARTIST, IDC_COMMENT};
    for (int id : order) {
        session.PressKey(main, winlayer::vk::Tab);
        EXPECT_EQ(session.Focus(main), session.Control(main, id)) << id;
    }
    session.PressKey(main, winlayer::vk::Tab, false, /*shift=*/true);
    EXPECT_EQ(session.Focus(main), session.Control(main, IDC_USE_ARTIST));
    // With nothing focused, Shift+Tab starts from the end: the last tab stop.
    session.Do([this] { winlayer::FindWindow(main)->focus = nullptr; });
    session.PressKey(main, winlayer::vk::Tab, false, /*shift=*/true);
    EXPECT_EQ(session.Focus(main), session.Control(main, IDC_CLEAR_ALL));
}

TEST_F(Dialogs, QueuedInputIsAppliedInOrderByTheInnermostLoop) {
    Start();
    // Three actions arrive at once: the first opens a modal About box, whose own loop
    // then takes the other two; the first command returns only once the box is closed.
    session.Do([this] {
        winlayer::PostInput([this] { winlayer::input::Click(session.Control(main, IDC_ABOUT)); });
        winlayer::PostInput([] {
            winlayer::input::Click(winlayer::FindControl(winlayer::Dialogs().back(), IDOK)->handle);
        });
        winlayer::PostInput([this] { winlayer::input::Click(session.Control(main, IDC_OPEN)); });
    });
    EXPECT_EQ(gSeen, (std::vector<std::string>{"init", "command:1021:0", "init", "command:1:0",
                                               "destroy", "nested returned", "command:1006:0"}));
    EXPECT_EQ(session.Find("About Quorwin"), nullptr);
    EXPECT_TRUE(session.Running());
}

TEST_F(Dialogs, DropsReachOnlyWindowsThatAcceptFilesAndReadAsTheShellsDo) {
    Start();
    const size_t seen = gSeen.size();
    session.DropFiles(main, {"/a.mp3"});
    EXPECT_EQ(gSeen.size(), seen) << "no drop before DragAcceptFiles";
    session.Do([this] { DragAcceptFiles(main, TRUE); });
    session.DropFiles(main, {"/music/song.mp3", "ab"});
    EXPECT_EQ(gSeen.back(), "drop:15/7=/music/:2/2=ab:0/0=:0");
    session.Do([this] { DragAcceptFiles(main, FALSE); });
    session.DropFiles(main, {"/b.mp3"});
    EXPECT_EQ(gSeen.size(), seen + 1) << "none after DragAcceptFiles(FALSE)";
}
