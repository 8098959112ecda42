#include "winlayer/rc/rc_script.h"

#include <map>
#include <regex>
#include <sstream>

namespace rc {

namespace {

// The pieces of a statement. A value is names and numbers joined by '|', copied as
// written; a text holds printable characters other than the quote and the backslash,
// so that both go into C++ as they stand.
const std::string kValue = R"((\w+(?:[ \t]*\|[ \t]*\w+)*))";
const std::string kText = R"x("([ !#-\[\]-~]*)")x";
const std::string kComma = R"([ \t]*,[ \t]*)";
const std::string kRect = "(\\w+" + kComma + "\\w+" + kComma + "\\w+" + kComma + "\\w+)";

// A statement on a line of its own, perhaps with a comment after it.
std::regex Statement(const std::string& pattern) {
    return std::regex(R"([ \t]*)" + pattern + R"([ \t]*(?://[\s\S]*|\r)?)");
}

const std::regex kBlank = Statement("");
const std::regex kWindowsHeader = Statement(R"(#include[ \t]+<windows\.h>)");
const std::regex kHeader = Statement(R"x(#include[ \t]+("[\w./-]+"))x");
const std::regex kBitmap = Statement(R"((\w+)[ \t]+BITMAP[ \t]+)" + kText);
const std::regex kDialog = Statement(R"((\w+)[ \t]+DIALOGEX[ \t]+)" + kRect);
const std::regex kStyle = Statement(R"(STYLE[ \t]+)" + kValue);
const std::regex kCaption = Statement(R"(CAPTION[ \t]+)" + kText);
const std::regex kFont = Statement(R"(FONT[ \t]+(\w+))" + kComma + kText);
const std::regex kBegin = Statement("BEGIN");
const std::regex kEnd = Statement("END");
// EDITTEXT id, x, y, cx, cy [, style], and the same after a caption for the others.
const std::regex kControl =
    Statement(R"((EDITTEXT|LISTBOX|LTEXT|CTEXT|PUSHBUTTON|DEFPUSHBUTTON|GROUPBOX)[ \t]+(?:)" +
              kText + kComma + ")?" + kValue + kComma + kRect + "(?:" + kComma + kValue + ")?");
// CONTROL caption-or-bitmap, id, class, style, x, y, cx, cy; the class a button, a
// static or the common controls' progress bar
const std::regex kGeneral =
    Statement(R"(CONTROL[ \t]+(?:)" + kText + R"(|(\w+)))" + kComma + kValue + kComma +
              R"x("(Button|Static|msctls_progress32)")x" + kComma + kValue + kComma + kRect);

// Each control statement: whether a caption comes first, its class, and its style.
struct Kind {
    bool captioned;
    const char* controlClass;
    const char* style; // besides WS_CHILD | WS_VISIBLE and the script's own
};
const std::map<std::string, Kind> kKinds = {
    {"EDITTEXT", {false, "Edit", "ES_LEFT | WS_BORDER | WS_TABSTOP"}},
    {"LISTBOX", {false, "ListBox", "LBS_NOTIFY | WS_BORDER"}},
    {"LTEXT", {true, "Static", "SS_LEFT | WS_GROUP"}},
    {"CTEXT", {true, "Static", "SS_CENTER | WS_GROUP"}},
    {"PUSHBUTTON", {true, "Button", "BS_PUSHBUTTON | WS_TABSTOP"}},
    {"DEFPUSHBUTTON", {true, "Button", "BS_DEFPUSHBUTTON | WS_TABSTOP"}},
    {"GROUPBOX", {true, "Button", "BS_GROUPBOX"}},
};

// A ControlTemplate's initialiser.
std::string Control(const std::string& id, const std::string& controlClass, const std::string& text,
                    const std::string& image, const std::string& rect, const std::string& style) {
    return id + ", ControlClass::" + controlClass + ", \"" + text + "\", " + image + ", " + rect +
           ", WS_CHILD | WS_VISIBLE | " + style + ", 0";
}

// Names the statement of a line the reader does not read: its first word, or the
// word after the name of a resource.
std::string Unread(const std::string& line, int place) {
    std::istringstream words(line);
    std::string word, second;
    words >> word >> second;
    return "this " +
           (place == 0 && word[0] != '#' && !second.empty() ? second : word).substr(0, 40) +
           " statement is not read";
}

} // namespace

bool ParseScript(const std::string& text, Script& script, std::string& error) {
    script = Script{};
    int place = 0; // 0 among resources, 1 in a dialog's head, 2 between its BEGIN and END
    std::istringstream lines(text);
    std::string line;
    std::smatch m;
    int number = 0;
    auto is = [&](int where, const std::regex& form) {
        return place == where && std::regex_match(line, m, form);
    };
    while (std::getline(lines, line)) {
        ++number;
        Dialog* dialog = script.dialogs.empty() ? nullptr : &script.dialogs.back();
        if (line.size() > 1000) { // also keeps the matching well within the stack
            error = "line " + std::to_string(number) + ": a line over 1000 characters is not read";
            return false;
        } else if (std::regex_match(line, kBlank)) {
        } else if (is(0, kWindowsHeader)) {
            script.includes.push_back("\"winlayer/include/windows.h\"");
        } else if (is(0, kHeader)) {
            script.includes.push_back(m[1]);
        } else if (is(0, kBitmap)) {
            script.bitmaps.push_back({m[1], m[2]});
        } else if (is(0, kDialog)) {
            dialog = &script.dialogs.emplace_back();
            dialog->id = m[1];
            dialog->rect = m[2];
            place = 1;
        } else if (is(1, kStyle)) {
            dialog->style = m[1];
        } else if (is(1, kCaption)) {
            dialog->implied += " | WS_CAPTION";
            dialog->caption = m[1];
        } else if (is(1, kFont)) {
            dialog->implied += " | DS_SETFONT";
            dialog->fontPoints = m[1];
            dialog->fontName = m[2];
        } else if (is(1, kBegin) || is(2, kEnd)) {
            place = (place + 1) % 3;
        } else if (is(2, kControl) && kKinds.at(m[1]).captioned == m[2].matched) {
            const Kind& kind = kKinds.at(m[1]);
            const std::string style = kind.style + (m[5].matched ? " | " + m[5].str() : "");
            dialog->controls.push_back(Control(m[3], kind.controlClass, m[2], "0", m[4], style));
        } else if (is(2, kGeneral) && (!m[2].matched || m[4] == "Static")) {
            const std::string controlClass = m[4] == "msctls_progress32" ? "Progress" : m[4].str();
            dialog->controls.push_back(
                Control(m[3], controlClass, m[1], m[2].matched ? m[2].str() : "0", m[6], m[5]));
        } else {
            error = "line " + std::to_string(number) + ": " + Unread(line, place);
            return false;
        }
    }
    if (place != 0) {
        error = "line " + std::to_string(number) + ": the dialog " + script.dialogs.back().id +
                " has no END";
        return false;
    }
    return true;
}

} // namespace rc
