// The resource-script converter: what it reads, what it rejects.
#include "winlayer/include/win32_constants.h"
#include "winlayer/rc/rc_script.h"

#include <gtest/gtest.h>

namespace {

bool Parse(const std::string& text, rc::Script& script, std::string& error) {
    auto include = [](const std::string& name, std::string& out) {
        if (name != "ids.h") {
            return false;
        }
        out = "#pragma once\n#define IDC_STATIC (-1)\n#define IDD_X 7\n#define IDC_A 100 // a\n";
        return true;
    };
    return rc::ParseScript(text, include, script, error);
}

std::string Rejected(const std::string& text) {
    rc::Script script;
    std::string error;
    EXPECT_FALSE(Parse(text, script, error)) << text;
    return error;
}

const char kDialogHead[] = "#include \"ids.h\"\nIDD_X DIALOGEX 0, 0, 100, 50\n";

} // namespace

TEST(RcScript, ReadsDialogsWithTheStatementsDefaultStyles) {
    rc::Script script;
    std::string error;
    ASSERT_TRUE(Parse(std::string(kDialogHead) + R"(STYLE WS_POPUP | DS_MODALFRAME
CAPTION "A ""quoted"" caption"
FONT 8, "MS Sans Serif"
BEGIN
    EDITTEXT IDC_A, 1, 2, 3, 4, ES_AUTOHSCROLL | NOT WS_TABSTOP
    LTEXT "Text", IDC_STATIC, 5, 6, 7, 8
    /* a picture */ CONTROL 110, -1, "static", SS_BITMAP, 9, 10, 11, 12
    DEFPUSHBUTTON "OK", IDOK, 0, 0, 10, 10
END
110 BITMAP "pic.bmp"
)",
                      script, error))
        << error;
    ASSERT_EQ(script.dialogs.size(), 1u);
    const rc::Dialog& d = script.dialogs[0];
    EXPECT_EQ(d.id, 7);
    EXPECT_EQ(d.caption, "A \"quoted\" caption");
    EXPECT_EQ(d.style, WS_POPUP | DS_MODALFRAME | WS_CAPTION | DS_SETFONT);
    EXPECT_EQ(d.fontPoints, 8);
    ASSERT_EQ(d.controls.size(), 4u);
    EXPECT_EQ(d.controls[0].style, WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL);
    EXPECT_EQ(d.controls[1].style, WS_CHILD | WS_VISIBLE | SS_LEFT | WS_GROUP);
    EXPECT_EQ(d.controls[1].id, -1);
    EXPECT_EQ(d.controls[2].imageId, 110);
    EXPECT_EQ(d.controls[2].controlClass, winlayer::ControlClass::Static);
    EXPECT_EQ(d.controls[3].style, WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON | WS_TABSTOP);
    ASSERT_EQ(script.bitmaps.size(), 1u);
    EXPECT_EQ(script.bitmaps[0].file, "pic.bmp");

    const std::string tables = rc::EmitTables(script, {{'B', 'M'}});
    EXPECT_NE(tables.find("ProgramResources"), std::string::npos);
    EXPECT_NE(tables.find("\"A \\\"quoted\\\" caption\""), std::string::npos);
}

TEST(RcScript, RejectsWhatItCannotReadWithTheLine) {
    const std::string body = "BEGIN\n";
    EXPECT_EQ(Rejected(std::string(kDialogHead) + body +
                       "  EDITTEXT IDC_A, 1, 2, 3, 4\n  EDITTEXT 100, 1, 2, 3, 4\nEND\n"),
              "line 0: dialog 7: control number 100 used twice");
    EXPECT_NE(Rejected(std::string(kDialogHead) + body + "  COMBOBOX 5, 1, 2, 3, 4\nEND\n")
                  .find("line 4: unsupported control statement"),
              std::string::npos);
    EXPECT_NE(Rejected(std::string(kDialogHead) + body + "  LTEXT \"open, 1, 2, 3, 4\nEND\n")
                  .find("unterminated string"),
              std::string::npos);
    EXPECT_NE(Rejected(std::string(kDialogHead) + body + "  EDITTEXT IDC_NONE, 1, 2, 3, 4\nEND\n")
                  .find("unknown name IDC_NONE"),
              std::string::npos);
    EXPECT_NE(Rejected(std::string(kDialogHead) + body + "  EDITTEXT IDC_A, 1, 2, 3\nEND\n")
                  .find("expected ','"),
              std::string::npos);
    EXPECT_NE(Rejected(std::string(kDialogHead) + body).find("dialog without END"),
              std::string::npos);
    EXPECT_NE(Rejected("#include \"missing.h\"\n").find("cannot read"), std::string::npos);
    EXPECT_NE(Rejected("#if 1\n#endif\n").find("unsupported directive"), std::string::npos);
    EXPECT_NE(Rejected("1 MENU BEGIN END\n").find("unsupported resource type"), std::string::npos);
    EXPECT_NE(Rejected("1 BITMAP \"a\"\n1 BITMAP \"b\"\n").find("defined twice"),
              std::string::npos);
    EXPECT_NE(Rejected("#define A A\nA BITMAP \"a\"\n").find("refers to itself"),
              std::string::npos);
    EXPECT_NE(Rejected("99999999999 BITMAP \"a\"\n").find("too large"), std::string::npos);
    EXPECT_NE(
        Rejected(std::string(kDialogHead) + body + "  CONTROL 5, 1, \"Edit\", 0, 1, 2, 3, 4\nEND\n")
            .find("only a static control shows a picture"),
        std::string::npos);
}

// Brackets and minus signs nest through definitions too; a script that nests them
// thousands deep gets an error, not a recursion that runs the stack out.
TEST(RcScript, BoundsHowDeeplyAValueNests) {
    // A dialog whose left edge is V, after the given definitions.
    auto withLeftEdge = [](const std::string& definitions) {
        return definitions + "7 DIALOGEX V, 0, 10, 10\nBEGIN\nEND\n";
    };
    auto leftEdge = [&](const std::string& definitions) {
        rc::Script script;
        std::string error;
        const bool ok = Parse(withLeftEdge(definitions), script, error);
        EXPECT_TRUE(ok) << error;
        return ok && script.dialogs.size() == 1 ? script.dialogs[0].x : -999;
    };
    auto brackets = [](int depth, const std::string& inside) {
        return std::string(depth, '(') + inside + std::string(depth, ')');
    };
    EXPECT_EQ(leftEdge("#define V " + brackets(60, "5") + "\n"), 5);
    EXPECT_EQ(leftEdge("#define V -(-(-(2)))\n"), -2);
    // Forty in each of two definitions: each fine alone, too deep together.
    const std::string inner = "#define X 1\n#define W " + brackets(40, "X") + "\n";
    EXPECT_EQ(leftEdge(inner + "#define V W\n"), 1);
    EXPECT_NE(Rejected(withLeftEdge(inner + "#define V " + brackets(40, "W") + "\n"))
                  .find("line 4: expression nests too deeply"),
              std::string::npos);

    EXPECT_NE(
        Rejected(withLeftEdge("#define V " + brackets(5000, "1") + "\n")).find("nests too deeply"),
        std::string::npos);
    EXPECT_NE(Rejected(withLeftEdge("#define V " + std::string(5000, '-') + "1\n"))
                  .find("nests too deeply"),
              std::string::npos);
}
