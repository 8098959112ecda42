// Dialog units to pixels, and the names controls get from the layout.
#include "resources/resource.h"
#include "winlayer/core/layout.h"
#include "winlayer/headless/session.h"
#include "winlayer/include/windows.h"

#include <gtest/gtest.h>

using namespace winlayer;

TEST(Layout, DialogUnitsScaleByTheFontsBaseUnits) {
    // A font whose 52 letters are 312 pixels wide and 13 high: base units 6 x 13.
    const BaseUnits units = BaseUnitsOf(312, 13);
    EXPECT_EQ(units.x, 6);
    EXPECT_EQ(units.y, 13);
    const Rect main = ToPixels({0, 0, 298, 298}, units);
    EXPECT_EQ(main.cx, 447);
    EXPECT_EQ(main.cy, 484); // 298 * 13 / 8 = 484.25
    const Rect edit = ToPixels({71, 21, 82, 12}, units);
    EXPECT_EQ(edit.x, 107); // 106.5 rounds up
    EXPECT_EQ(edit.y, 34);
    EXPECT_EQ(edit.cx, 123);
    EXPECT_EQ(edit.cy, 20); // 19.5 rounds up
    EXPECT_EQ(BaseUnitsOf(260, 16).x, 5);
}

namespace {
INT_PTR CALLBACK Quiet(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}
} // namespace

TEST(Layout, EditFieldsAreNamedByTheirRowAndTheListByItsGroup) {
    headless::Session session;
    session.Start([] {
        return static_cast<int>(
            DialogBoxParamA(nullptr, MAKEINTRESOURCEA(IDD_MAIN), nullptr, Quiet, 0));
    });
    const HWND main = session.Find("Quorwin ");
    const char* rows[] = {"Title:", "Artist:", "Album:", "Year:", "Comments:"};
    for (int id = IDC_TITLE; id <= IDC_COMMENT; ++id) {
        EXPECT_EQ(AccessibleName(session.Control(main, id)), rows[id - IDC_TITLE]);
    }
    EXPECT_EQ(AccessibleName(session.Control(main, IDC_FILE_LIST)), "Files To Edit");
    EXPECT_EQ(AccessibleName(session.Control(main, IDC_SAVE_ALL)), "Save To ALL");
    EXPECT_EQ(AccessibleName(session.Control(main, IDC_USE_YEAR)), "Year:");
    EXPECT_EQ(AccessibleName(nullptr), "");
    session.Close(main);
}
