// The resource-script converter: what it reads, what it rejects, and the check over
// the tables it writes.
#include "winlayer/core/resources.h"
#include "winlayer/rc/rc_script.h"
#include "winlayer/rc/table_checks.h"

#include <gtest/gtest.h>

namespace {

std::string Rejected(const std::string& text) {
    rc::Script script;
    std::string error;
    EXPECT_FALSE(rc::ParseScript(text, script, error)) << text;
    return error;
}

const char kHead[] = "IDD_X DIALOGEX 0, 0, 100, 50\n";
const char kBody[] = "IDD_X DIALOGEX 0, 0, 100, 50\nBEGIN\n";

} // namespace

TEST(RcScript, ReadsTheStatementsItUsesWithTheirValuesAsWritten) {
    rc::Script script;
    std::string error;
    ASSERT_TRUE(
        rc::ParseScript("// windows\r\n#include <windows.h>\r\n#include \"ids.h\"\r\n\r\n"
                        "IDB_PIC BITMAP \"pic.bmp\"\r\n"
                        "IDD_X DIALOGEX 0, 0, 100, 50\r\n"
                        "CAPTION \"A caption\"\r\n"
                        "STYLE WS_POPUP|DS_MODALFRAME\r\n"
                        "FONT 8, \"MS Sans Serif\"\r\n"
                        "BEGIN\r\n"
                        "    EDITTEXT IDC_A, 1, 2, 3, 4 // the only field\r\n"
                        "    LTEXT \"Text\", IDC_STATIC, 5, 6, 7, 8\r\n"
                        "    CONTROL IDB_PIC, IDC_STATIC, \"Static\", SS_BITMAP, 9, 10, 11, 12\r\n"
                        "    CONTROL \"Use\", 7, \"Button\", BS_AUTOCHECKBOX, 0, 0, 1, 1\r\n"
                        "END\r\n",
                        script, error))
        << error;
    EXPECT_EQ(script.includes,
              (std::vector<std::string>{"\"winlayer/include/windows.h\"", "\"ids.h\""}));
    ASSERT_EQ(script.bitmaps.size(), 1u);
    EXPECT_EQ(script.bitmaps[0].id, "IDB_PIC");
    EXPECT_EQ(script.bitmaps[0].file, "pic.bmp");
    ASSERT_EQ(script.dialogs.size(), 1u);
    const rc::Dialog& d = script.dialogs[0];
    // CAPTION and FONT add their styles even when STYLE comes after them.
    EXPECT_EQ(d.style + d.implied, "WS_POPUP|DS_MODALFRAME | WS_CAPTION | DS_SETFONT");
    EXPECT_EQ(d.caption, "A caption");
    EXPECT_EQ(d.fontName, "MS Sans Serif");
    EXPECT_EQ(d.fontPoints, "8");
    EXPECT_EQ(d.controls, (std::vector<std::string>{
                              "IDC_A, ControlClass::Edit, \"\", 0, 1, 2, 3, 4, "
                              "WS_CHILD | WS_VISIBLE | ES_LEFT | WS_BORDER | WS_TABSTOP, 0",
                              "IDC_STATIC, ControlClass::Static, \"Text\", 0, 5, 6, 7, 8, "
                              "WS_CHILD | WS_VISIBLE | SS_LEFT | WS_GROUP, 0",
                              "IDC_STATIC, ControlClass::Static, \"\", IDB_PIC, 9, 10, 11, 12, "
                              "WS_CHILD | WS_VISIBLE | SS_BITMAP, 0",
                              "7, ControlClass::Button, \"Use\", 0, 0, 0, 1, 1, "
                              "WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 0",
                          }));

    // Every table the source defines is asserted free of repeated numbers.
    const std::string tables = rc::EmitTables(script, {{'B', 'M'}});
    EXPECT_NE(tables.find("static_assert(rc::IdsUnique(kControls0), \"IDD_X uses a control "
                          "number twice\");"),
              std::string::npos);
    EXPECT_NE(tables.find("static_assert(rc::IdsUnique(kDialogs)"), std::string::npos);
    EXPECT_NE(tables.find("static_assert(rc::IdsUnique(kBitmaps)"), std::string::npos);
    EXPECT_NE(tables.find("{IDB_PIC, kBitmap0, 2}"), std::string::npos);
}

TEST(RcScript, RejectsWhatItDoesNotReadNamingTheLineAndTheStatement) {
    const std::pair<std::string, const char*> cases[] = {
        {"1 MENU\n", "line 1: this MENU statement is not read"},
        {"\n#define IDC_A 5\n", "line 2: this #define statement is not read"},
        {"#include <commctrl.h>\n", "line 1: this #include statement is not read"},
        {"1 DIALOG 0, 0, 1, 1\n", "line 1: this DIALOG statement is not read"},
        {std::string(kHead) + "EXSTYLE WS_EX_TOPMOST\n",
         "line 2: this EXSTYLE statement is not read"},
        {std::string(kHead) + "CAPTION \"A \"\"quoted\"\" caption\"\n",
         "line 2: this CAPTION statement is not read"},
        {std::string(kHead) + "{\n", "line 2: this { statement is not read"},
        {std::string(kBody) + "#include \"ids.h\"\n",
         "line 3: this #include statement is not read"},
        {std::string(kBody) + "RTEXT \"a\", 1, 1, 2, 3, 4\n",
         "line 3: this RTEXT statement is not read"},
        {std::string(kBody) + "EDITTEXT \"a\", 1, 1, 2, 3, 4\n",
         "line 3: this EDITTEXT statement is not read"},
        {std::string(kBody) + "PUSHBUTTON 1, 1, 2, 3, 4\n",
         "line 3: this PUSHBUTTON statement is not read"},
        {std::string(kBody) + "EDITTEXT IDC_A, 1, 2, 3\n",
         "line 3: this EDITTEXT statement is not read"},
        {std::string(kBody) + "EDITTEXT IDC_A, 1, 2, 3, 4, ES_LEFT | NOT WS_TABSTOP\n",
         "line 3: this EDITTEXT statement is not read"},
        {std::string(kBody) + "LTEXT \"open, 1, 2, 3, 4\n",
         "line 3: this LTEXT statement is not read"},
        {std::string(kBody) + "LTEXT \"back\\\\slash\", 1, 2, 3, 4\n",
         "line 3: this LTEXT statement is not read"},
        {std::string(kBody) + "LTEXT \"caf\xe9\", 1, 2, 3, 4\n",
         "line 3: this LTEXT statement is not read"},
        {std::string(kBody) + "CONTROL IDB_PIC, 5, \"Button\", 0, 1, 2, 3, 4\n",
         "line 3: this CONTROL statement is not read"},
        {std::string(kBody) + "CONTROL \"a\", 5, \"ComboBox\", 0, 1, 2, 3, 4\n",
         "line 3: this CONTROL statement is not read"},
        {std::string(kBody) + "EDITTEXT IDC_A, 1, 2, 3, 4\n",
         "line 3: the dialog IDD_X has no END"},
        {std::string(kBody) + "LTEXT \"" + std::string(1000, 'a') + "\", 1, 2, 3, 4\nEND\n",
         "line 3: a line over 1000 characters is not read"},
    };
    for (const auto& [text, error] : cases) {
        EXPECT_EQ(Rejected(text), error);
    }
}

TEST(RcScript, TheTableCheckFindsANumberUsedTwiceButLetsStaticsRepeat) {
    using winlayer::ControlClass;
    constexpr winlayer::ControlTemplate kFine[] = {
        {-1, ControlClass::Static, "", 0, 0, 0, 0, 0, 0, 0},
        {-1, ControlClass::Static, "", 0, 0, 0, 0, 0, 0, 0},
        {5, ControlClass::Edit, "", 0, 0, 0, 0, 0, 0, 0}};
    constexpr winlayer::ControlTemplate kTwice[] = {
        {5, ControlClass::Edit, "", 0, 0, 0, 0, 0, 0, 0},
        {-1, ControlClass::Static, "", 0, 0, 0, 0, 0, 0, 0},
        {5, ControlClass::Button, "", 0, 0, 0, 0, 0, 0, 0}};
    EXPECT_TRUE(rc::IdsUnique(kFine));
    EXPECT_FALSE(rc::IdsUnique(kTwice));
}
