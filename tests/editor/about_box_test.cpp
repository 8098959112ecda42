// The About box: how it opens, what it shows and how it closes.
#include "tests/editor/program_fixture.h"

class AboutBox : public Program {
  protected:
    HWND OpenAbout() {
        const size_t before = session.Windows().size();
        session.Click(main, IDC_ABOUT);
        EXPECT_EQ(session.Windows().size(), before + 1);
        return session.Windows().back();
    }
};

TEST_F(AboutBox, ShowsTheArtworkWithTheFocusOnOk) {
    const HWND about = OpenAbout();
    EXPECT_EQ(session.Caption(about), "About Quorwin");
    EXPECT_EQ(session.Text(about, IDOK), "OK");
    EXPECT_EQ(session.Focus(about), session.Control(about, IDOK)) << "the first tab stop";
    const winlayer::Window* box = winlayer::FindWindow(about);
    bool artwork = false;
    for (HWND child : box->children) {
        const winlayer::Window* control = winlayer::FindWindow(child);
        artwork |=
            control->kind == winlayer::ControlKind::Bitmap && control->imageId == IDB_ARTWORK;
    }
    EXPECT_TRUE(artwork);
}

TEST_F(AboutBox, OkEnterAndTheCloseBoxDismissItButEscapeDoesNot) {
    HWND about = OpenAbout();
    session.PressKey(about, winlayer::vk::Escape);
    EXPECT_EQ(session.Windows().size(), 2u);
    session.Click(about, IDOK);
    EXPECT_EQ(session.Windows().size(), 1u);

    about = OpenAbout();
    session.PressKey(about, winlayer::vk::Return);
    EXPECT_EQ(session.Windows().size(), 1u);

    about = OpenAbout();
    session.Close(about);
    EXPECT_EQ(session.Windows(), std::vector<HWND>{main});
    EXPECT_TRUE(session.Running());
}

TEST_F(AboutBox, TheMainWindowKeepsTakingInputAndBoxesCloseOneByOne) {
    Song("song.mp3", "Song");
    Open({"song.mp3"});
    session.Type(main, IDC_ALBUM, "typed");
    const HWND first = OpenAbout();
    EXPECT_EQ(session.Type(main, IDC_TITLE, "while open"), 10);
    const HWND second = OpenAbout();
    EXPECT_NE(first, second);
    session.Close(first); // the older box goes while the newer one runs its loop
    EXPECT_EQ(session.Windows(), (std::vector<HWND>{main, second}));
    session.Click(second, IDOK);
    EXPECT_EQ(session.Windows(), std::vector<HWND>{main});
    EXPECT_EQ(session.Text(main, IDC_TITLE), "while open");
    EXPECT_EQ(session.Text(main, IDC_ALBUM), "typed");
    EXPECT_EQ(Entries(), std::vector<std::string>{Path("song.mp3")});
    session.Click(main, IDC_ABOUT); // the program still works after the boxes
    EXPECT_EQ(session.Windows().size(), 2u);
}

TEST_F(AboutBox, ClosingTheMainWindowEndsTheProgramWithBoxesOpen) {
    OpenAbout();
    OpenAbout();
    session.Close(main);
    EXPECT_FALSE(session.Running());
    EXPECT_EQ(session.ExitCode(), 0);
    EXPECT_TRUE(session.Windows().empty());
}
