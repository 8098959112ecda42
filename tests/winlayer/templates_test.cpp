// The program's converted templates and artwork, against the layout they must have.
#include "resources/resource.h"
#include "winlayer/core/resources.h"
#include "winlayer/include/win32_constants.h"

#include <gtest/gtest.h>

#include <string>

using winlayer::ControlClass;

namespace {

struct Expected {
    int id;
    ControlClass controlClass;
    const char* text;
    int x, y, cx, cy;
    DWORD style; // the bits that must be set besides WS_CHILD | WS_VISIBLE
};

constexpr DWORD kEdit = WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kCheck = BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr DWORD kPush = BS_PUSHBUTTON | WS_TABSTOP;

const Expected kMain[] = {
    {IDC_TITLE, ControlClass::Edit, "", 71, 21, 82, 12, kEdit},
    {IDC_ARTIST, ControlClass::Edit, "", 71, 40, 82, 12, kEdit},
    {-1, ControlClass::Button, "Tags To Edit", 7, 7, 161, 133, BS_GROUPBOX},
    {IDC_ALBUM, ControlClass::Edit, "", 71, 59, 82, 12, kEdit},
    {IDC_USE_TITLE, ControlClass::Button, "Title:", 15, 21, 31, 10, kCheck},
    {IDC_SAVE_ALL, ControlClass::Button, "Save To ALL", 15, 116, 68, 15, kPush},
    {IDC_YEAR, ControlClass::Edit, "", 71, 78, 28, 12, kEdit},
    {IDC_USE_ARTIST, ControlClass::Button, "Artist:", 15, 41, 31, 10, kCheck},
    {IDC_COMMENT, ControlClass::Edit, "", 71, 97, 82, 12, kEdit},
    {IDC_USE_ALBUM, ControlClass::Button, "Album:", 15, 61, 35, 10, kCheck},
    {IDC_USE_YEAR, ControlClass::Button, "Year:", 15, 81, 31, 10, kCheck},
    {IDC_USE_COMMENT, ControlClass::Button, "Comments:", 15, 101, 51, 10, kCheck},
    {IDC_OPEN, ControlClass::Button, "Open Mp3...", 54, 269, 74, 15, kPush},
    {IDC_ABOUT, ControlClass::Button, "About...", 195, 113, 74, 15, kPush},
    {-1, ControlClass::Button, "Files To Edit", 7, 152, 284, 139, BS_GROUPBOX},
    {-1, ControlClass::Static,
     "Note:  Double click to remove a filename from the list.  Control-Click or Shift-Click to "
     "select multiple files.",
     13, 163, 271, 17, SS_LEFT | WS_GROUP},
    {-1, ControlClass::Static, "", 185, 31, 93, 70, SS_BITMAP},
    {IDC_FILE_LIST, ControlClass::ListBox, "", 21, 185, 256, 81,
     WS_BORDER | WS_TABSTOP | WS_VSCROLL | LBS_SORT | LBS_EXTENDEDSEL | LBS_NOTIFY |
         LBS_NOINTEGRALHEIGHT},
    {IDC_SAVE_SELECTED, ControlClass::Button, "Save To Selected", 89, 115, 68, 15, kPush},
    {IDC_CLEAR_ALL, ControlClass::Button, "Clear All", 176, 269, 74, 15, kPush},
};

void ExpectControls(const winlayer::DialogTemplate& dialog, const Expected* expected, int count) {
    ASSERT_EQ(dialog.controlCount, count);
    for (int i = 0; i < count; ++i) {
        const winlayer::ControlTemplate& c = dialog.controls[i];
        const Expected& e = expected[i];
        SCOPED_TRACE("control " + std::to_string(i + 1));
        EXPECT_EQ(c.id, e.id);
        EXPECT_EQ(c.controlClass, e.controlClass);
        EXPECT_EQ(std::string(c.text), e.text);
        EXPECT_EQ(c.x, e.x);
        EXPECT_EQ(c.y, e.y);
        EXPECT_EQ(c.cx, e.cx);
        EXPECT_EQ(c.cy, e.cy);
        EXPECT_EQ(c.style & (e.style | WS_CHILD | WS_VISIBLE), e.style | WS_CHILD | WS_VISIBLE);
        EXPECT_EQ(c.style & WS_DISABLED, 0u);
        EXPECT_NE(c.id, IDOK) << "Enter reaches the main window as a command that does nothing";
        EXPECT_NE(c.id, IDCANCEL);
        if (e.controlClass == ControlClass::Button) {
            EXPECT_NE(c.style & BS_TYPEMASK, BS_DEFPUSHBUTTON) << "no default button";
        }
        if (e.style == BS_GROUPBOX) {
            EXPECT_EQ(c.style & WS_TABSTOP, 0u);
        }
    }
}

} // namespace

TEST(Templates, TheMainWindowHasItsFrameAndTwentyControlsInOrder) {
    const winlayer::DialogTemplate* main = winlayer::FindDialogTemplate(IDD_MAIN);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(IDD_MAIN, 101);
    EXPECT_EQ(std::string(main->caption), "Quorwin ");
    EXPECT_EQ(std::string(main->fontName), "MS Sans Serif");
    EXPECT_EQ(main->fontPoints, 8);
    EXPECT_EQ(main->x, 0);
    EXPECT_EQ(main->y, 0);
    EXPECT_EQ(main->cx, 298);
    EXPECT_EQ(main->cy, 298);
    const DWORD frame = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME;
    EXPECT_EQ(main->style & frame, frame);
    EXPECT_EQ(main->style & DS_CENTER, 0u) << "at the top left of the screen";
    ExpectControls(*main, kMain, 20);
    EXPECT_EQ(main->controls[16].imageId, IDB_ARTWORK);
}

TEST(Templates, TheAboutBoxHasItsFiveControls) {
    const winlayer::DialogTemplate* about = winlayer::FindDialogTemplate(IDD_ABOUT);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(std::string(about->caption), "About Quorwin");
    EXPECT_EQ(about->cx, 232);
    EXPECT_EQ(about->cy, 111);
    EXPECT_EQ(about->style & WS_MINIMIZEBOX, 0u);
    EXPECT_NE(about->style & DS_MODALFRAME, 0u);
    ASSERT_EQ(about->controlCount, 5);
    const winlayer::ControlTemplate* c = about->controls;
    EXPECT_EQ(c[0].id, IDOK);
    EXPECT_EQ(c[0].style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(std::string(c[0].text), "OK");
    EXPECT_EQ(c[2].imageId, IDB_ARTWORK);
    EXPECT_EQ(std::string(c[3].text).rfind("Quorwin Version ", 0), 0u);
    EXPECT_EQ(c[3].style & SS_TYPEMASK, SS_CENTER);
    EXPECT_EQ(std::string(c[4].text).rfind("For current version and other programs visit ", 0), 0u);
    EXPECT_EQ((c[0].x), 90);
    EXPECT_EQ((c[4].cy), 28);
}

// A little-endian number of `bytes` bytes from a .bmp file's headers.
long Little(const unsigned char* p, int bytes) {
    unsigned long value = 0;
    for (int i = bytes - 1; i >= 0; --i) {
        value = (value << 8) | p[i];
    }
    return static_cast<long>(value);
}

TEST(Templates, TheArtworkIsA139By114UncompressedTrueColourBitmap) {
    const winlayer::BitmapResource* artwork = winlayer::FindBitmap(IDB_ARTWORK);
    ASSERT_NE(artwork, nullptr);
    // File header (14 bytes), then a BITMAPINFOHEADER of at least 40 bytes.
    const unsigned char* b = artwork->bytes;
    ASSERT_GE(artwork->size, 54u);
    EXPECT_TRUE(b[0] == 'B' && b[1] == 'M' && Little(b + 14, 4) >= 40);
    EXPECT_EQ(Little(b + 18, 4), 139);
    EXPECT_EQ(static_cast<std::int32_t>(Little(b + 22, 4)), 114) << "stored bottom-up";
    EXPECT_EQ(Little(b + 28, 2), 24);
    EXPECT_EQ(Little(b + 30, 4), 0) << "uncompressed";
    EXPECT_EQ(artwork->size, 54u + 114u * 420u) << "rows padded to four bytes";
}
