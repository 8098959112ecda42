#include "winlayer/rc/rc_script.h"

#include "winlayer/include/win32_constants.h"
#include "winlayer/rc/rc_constants.h"

#include <cctype>
#include <set>
#include <sstream>

namespace rc {

namespace {

using winlayer::ControlClass;

enum class TokenKind { Name, Number, String, Punct, End };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text; // a name, a string's contents, or the punctuation
    long long number = 0;
    int line = 0;
};

constexpr int kMaxIncludeDepth = 8;
// Brackets and minus signs inside one value, counted through the definitions it
// uses; far beyond any real script, and well short of the stack running out.
constexpr int kMaxNesting = 64;
constexpr long long kLimit = 0xFFFFFFFFll;

class Parser {
  public:
    Parser(const IncludeReader& include, std::string& error) : include_(include), error_(error) {}

    bool Run(const std::string& text, Script& script) {
        return Preprocess(text, 0) && ParseResources(script) && CheckUnique(script);
    }

  private:
    const IncludeReader& include_;
    std::string& error_;
    std::map<std::string, std::string> defines_;
    std::vector<Token> tokens_;
    size_t at_ = 0;
    int nesting_ = 0;
    bool failed_ = false;

    bool Fail(int line, const std::string& what) {
        if (!failed_) {
            std::ostringstream out;
            out << "line " << line << ": " << what;
            error_ = out.str();
            failed_ = true;
        }
        return false;
    }

    // --- Lexing and directives -------------------------------------------------------

    bool Preprocess(const std::string& text, int depth) {
        if (depth > kMaxIncludeDepth) {
            return Fail(0, "includes nest too deeply");
        }
        std::istringstream lines(text);
        std::string line;
        int number = 0;
        std::string body; // the non-directive text, line structure kept
        while (std::getline(lines, line)) {
            ++number;
            size_t first = line.find_first_not_of(" \t\r");
            if (first != std::string::npos && line[first] == '#') {
                if (!Directive(line.substr(first + 1), number, depth)) {
                    return false;
                }
                body += '\n';
            } else {
                body += line + '\n';
            }
        }
        if (depth > 0) {
            // An included file may only define names.
            std::vector<Token> tokens;
            if (!Lex(body, tokens)) {
                return false;
            }
            if (tokens.size() > 1) {
                return Fail(tokens[0].line, "an included file holds more than definitions");
            }
            return true;
        }
        return Lex(body, tokens_);
    }

    bool Directive(const std::string& rest, int line, int depth) {
        std::istringstream in(rest);
        std::string word;
        in >> word;
        if (word == "pragma") {
            return true;
        }
        if (word == "define") {
            std::string name, value;
            in >> name;
            std::getline(in, value);
            const size_t comment = value.find("//");
            if (comment != std::string::npos) {
                value.erase(comment);
            }
            if (name.empty() ||
                !(std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_')) {
                return Fail(line, "#define without a name");
            }
            defines_[name] = value;
            return true;
        }
        if (word == "undef") {
            std::string name;
            in >> name;
            defines_.erase(name);
            return true;
        }
        if (word == "include") {
            std::string target;
            in >> target;
            if (target.size() >= 2 && target.front() == '<' && target.back() == '>') {
                return true; // the platform's own headers: their names are known here
            }
            if (target.size() < 3 || target.front() != '"' || target.back() != '"') {
                return Fail(line, "#include needs a \"file\"");
            }
            std::string included;
            if (!include_ || !include_(target.substr(1, target.size() - 2), included)) {
                return Fail(line, "cannot read " + target);
            }
            return Preprocess(included, depth + 1);
        }
        return Fail(line, "unsupported directive #" + word);
    }

    bool Lex(const std::string& text, std::vector<Token>& tokens) {
        int line = 1;
        size_t i = 0;
        const size_t n = text.size();
        while (i < n) {
            const char c = text[i];
            if (c == '\n') {
                ++line;
                ++i;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                ++i;
            } else if (c == '/' && i + 1 < n && text[i + 1] == '/') {
                while (i < n && text[i] != '\n') {
                    ++i;
                }
            } else if (c == '/' && i + 1 < n && text[i + 1] == '*') {
                const size_t end = text.find("*/", i + 2);
                if (end == std::string::npos) {
                    return Fail(line, "unterminated comment");
                }
                for (size_t k = i; k < end; ++k) {
                    line += text[k] == '\n' ? 1 : 0;
                }
                i = end + 2;
            } else if (c == '"') {
                Token token{TokenKind::String, "", 0, line};
                ++i;
                for (;;) {
                    if (i >= n || text[i] == '\n') {
                        return Fail(line, "unterminated string");
                    }
                    if (text[i] == '"') {
                        if (i + 1 < n && text[i + 1] == '"') {
                            token.text += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (text[i] == '\\' && i + 1 < n) {
                        const char e = text[i + 1];
                        token.text += e == 'n' ? '\n' : e == 't' ? '\t' : e;
                        i += 2;
                        continue;
                    }
                    token.text += text[i++];
                }
                tokens.push_back(token);
            } else if (std::isdigit(static_cast<unsigned char>(c))) {
                Token token{TokenKind::Number, "", 0, line};
                const bool hex =
                    c == '0' && i + 1 < n && (text[i + 1] == 'x' || text[i + 1] == 'X');
                i += hex ? 2 : 0;
                const size_t start = i;
                while (i < n && (hex ? std::isxdigit(static_cast<unsigned char>(text[i]))
                                     : std::isdigit(static_cast<unsigned char>(text[i])))) {
                    token.number =
                        token.number * (hex ? 16 : 10) +
                        (std::isdigit(static_cast<unsigned char>(text[i]))
                             ? text[i] - '0'
                             : (std::tolower(static_cast<unsigned char>(text[i])) - 'a' + 10));
                    if (token.number > kLimit) {
                        return Fail(line, "number too large");
                    }
                    ++i;
                }
                if (i == start) {
                    return Fail(line, "malformed number");
                }
                while (i < n &&
                       (text[i] == 'L' || text[i] == 'l' || text[i] == 'U' || text[i] == 'u')) {
                    ++i;
                }
                if (i < n &&
                    (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_')) {
                    return Fail(line, "malformed number");
                }
                tokens.push_back(token);
            } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
                Token token{TokenKind::Name, "", 0, line};
                while (i < n &&
                       (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_')) {
                    token.text += text[i++];
                }
                tokens.push_back(token);
            } else if (std::string(",|()-{}").find(c) != std::string::npos) {
                tokens.push_back(Token{TokenKind::Punct, std::string(1, c), 0, line});
                ++i;
            } else {
                return Fail(line, std::string("unexpected character '") + c + "'");
            }
        }
        tokens.push_back(Token{TokenKind::End, "", 0, line});
        return true;
    }

    // --- Tokens --------------------------------------------------------------------

    const Token& Peek() const { return tokens_[at_]; }
    const Token& Next() {
        const Token& token = tokens_[at_];
        if (token.kind != TokenKind::End) {
            ++at_;
        }
        return token;
    }
    bool IsPunct(const char* p) const {
        return Peek().kind == TokenKind::Punct && Peek().text == p;
    }
    bool IsWord(const char* w) const { return Peek().kind == TokenKind::Name && Peek().text == w; }
    bool Expect(const char* p) {
        if (!IsPunct(p)) {
            return Fail(Peek().line, std::string("expected '") + p + "'");
        }
        Next();
        return true;
    }
    bool Comma() { return Expect(","); }

    // A name's value: the script's definitions first, then the Win32 names.
    bool ValueOf(const std::string& name, int line, long long& value, int depth = 0) {
        auto defined = defines_.find(name);
        if (defined != defines_.end()) {
            if (depth > 16) {
                return Fail(line, "definition of " + name + " refers to itself");
            }
            return EvaluateDefinition(defined->second, line, value, depth + 1);
        }
        auto known = Win32Constants().find(name);
        if (known == Win32Constants().end()) {
            return Fail(line, "unknown name " + name);
        }
        value = known->second;
        return true;
    }

    bool EvaluateDefinition(const std::string& text, int line, long long& value, int depth) {
        std::vector<Token> tokens;
        std::vector<Token> saved;
        saved.swap(tokens_);
        const size_t savedAt = at_;
        bool ok = Lex(text, tokens);
        if (ok) {
            for (Token& token : tokens) {
                token.line = line;
            }
            tokens_.swap(tokens);
            at_ = 0;
            ok = Expression(value, depth) &&
                 (Peek().kind == TokenKind::End || Fail(line, "malformed definition"));
            tokens_.swap(tokens);
        }
        tokens_.swap(saved);
        at_ = savedAt;
        return ok;
    }

    bool Primary(long long& value, int depth) {
        const Token& token = Next();
        if (token.kind == TokenKind::Number) {
            value = token.number;
            return true;
        }
        if (token.kind == TokenKind::Name) {
            return ValueOf(token.text, token.line, value, depth);
        }
        const bool minus = token.kind == TokenKind::Punct && token.text == "-";
        const bool bracket = token.kind == TokenKind::Punct && token.text == "(";
        if (!minus && !bracket) {
            return Fail(token.line, "expected a number");
        }
        if (nesting_ >= kMaxNesting) {
            return Fail(token.line, "expression nests too deeply");
        }
        ++nesting_;
        const bool ok = minus ? Primary(value, depth) : Expression(value, depth) && Expect(")");
        --nesting_;
        if (ok && minus) {
            value = -value;
        }
        return ok;
    }

    // number | name | -x | (expr), joined by '|'. NOT clears bits from `value`.
    bool Expression(long long& value, int depth = 0) {
        long long result = 0;
        return Flags(result, result, depth) && ((value = result), true);
    }

    bool Flags(long long base, long long& value, int depth) {
        value = base;
        for (;;) {
            bool negate = false;
            if (IsWord("NOT")) {
                Next();
                negate = true;
            }
            long long term = 0;
            if (!Primary(term, depth)) {
                return false;
            }
            value = negate ? (value & ~term) : (value | term);
            if (!IsPunct("|")) {
                return true;
            }
            Next();
        }
    }

    bool Int(int& out) {
        long long value = 0;
        const int line = Peek().line;
        if (!Expression(value)) {
            return false;
        }
        if (value < -32768 || value > 65535) {
            return Fail(line, "number out of range");
        }
        out = static_cast<int>(value);
        return true;
    }

    bool Style(DWORD defaults, DWORD& style) {
        long long value = 0;
        if (!Flags(defaults, value, 0)) {
            return false;
        }
        style = static_cast<DWORD>(value & kLimit);
        return true;
    }

    bool Text(std::string& out) {
        if (Peek().kind != TokenKind::String) {
            return Fail(Peek().line, "expected a string");
        }
        out = Next().text;
        return true;
    }

    bool Rect(int& x, int& y, int& cx, int& cy) {
        return Int(x) && Comma() && Int(y) && Comma() && Int(cx) && Comma() && Int(cy);
    }

    // --- Resources -----------------------------------------------------------------

    bool ParseResources(Script& script) {
        while (Peek().kind != TokenKind::End) {
            const int line = Peek().line;
            int id = 0;
            if (Peek().kind != TokenKind::Number && Peek().kind != TokenKind::Name) {
                return Fail(line, "expected a resource name");
            }
            if (!Primary(scratch_, 0)) {
                return false;
            }
            if (scratch_ < 1 || scratch_ > 65535) {
                return Fail(line, "resource number out of range");
            }
            id = static_cast<int>(scratch_);
            if (IsWord("BITMAP")) {
                Next();
                Bitmap bitmap;
                bitmap.id = id;
                if (!Text(bitmap.file)) {
                    return false;
                }
                script.bitmaps.push_back(bitmap);
            } else if (IsWord("DIALOG") || IsWord("DIALOGEX")) {
                Next();
                Dialog dialog;
                dialog.id = id;
                if (!ParseDialog(dialog)) {
                    return false;
                }
                script.dialogs.push_back(dialog);
            } else {
                return Fail(line, "unsupported resource type");
            }
        }
        return true;
    }

    long long scratch_ = 0;

    bool Begin() {
        if (IsWord("BEGIN") || IsPunct("{")) {
            Next();
            return true;
        }
        return Fail(Peek().line, "expected BEGIN");
    }

    bool AtEnd() const { return IsWord("END") || IsPunct("}"); }

    bool ParseDialog(Dialog& dialog) {
        if (!Rect(dialog.x, dialog.y, dialog.cx, dialog.cy)) {
            return false;
        }
        if (IsPunct(",")) { // help id
            Next();
            int help = 0;
            if (!Int(help)) {
                return false;
            }
        }
        DWORD style = WS_POPUP | WS_BORDER | WS_SYSMENU;
        bool captioned = false, font = false;
        for (;;) {
            if (IsWord("STYLE")) {
                Next();
                if (!Style(0, style)) {
                    return false;
                }
            } else if (IsWord("EXSTYLE")) {
                Next();
                if (!Style(0, dialog.exStyle)) {
                    return false;
                }
            } else if (IsWord("CAPTION")) {
                Next();
                captioned = true;
                if (!Text(dialog.caption)) {
                    return false;
                }
            } else if (IsWord("FONT")) {
                Next();
                font = true;
                if (!Int(dialog.fontPoints) || !Comma() || !Text(dialog.fontName)) {
                    return false;
                }
                int ignored = 0;
                for (int extra = 0; extra < 3 && IsPunct(","); ++extra) {
                    Next();
                    if (!Int(ignored)) {
                        return false;
                    }
                }
            } else {
                break;
            }
        }
        dialog.style = style | (captioned ? WS_CAPTION : 0) | (font ? DS_SETFONT : 0);
        if (!Begin()) {
            return false;
        }
        while (!AtEnd()) {
            if (Peek().kind == TokenKind::End) {
                return Fail(Peek().line, "dialog without END");
            }
            Control control;
            if (!ParseControl(control)) {
                return false;
            }
            dialog.controls.push_back(control);
        }
        Next();
        return true;
    }

    struct Statement {
        const char* word;
        ControlClass controlClass;
        bool hasText;
        DWORD defaults;
    };

    bool ParseControl(Control& control) {
        static const Statement kStatements[] = {
            {"EDITTEXT", ControlClass::Edit, false, ES_LEFT | WS_BORDER | WS_TABSTOP},
            {"LTEXT", ControlClass::Static, true, SS_LEFT | WS_GROUP},
            {"CTEXT", ControlClass::Static, true, SS_CENTER | WS_GROUP},
            {"RTEXT", ControlClass::Static, true, SS_RIGHT | WS_GROUP},
            {"PUSHBUTTON", ControlClass::Button, true, BS_PUSHBUTTON | WS_TABSTOP},
            {"DEFPUSHBUTTON", ControlClass::Button, true, BS_DEFPUSHBUTTON | WS_TABSTOP},
            {"GROUPBOX", ControlClass::Button, true, BS_GROUPBOX},
            {"AUTOCHECKBOX", ControlClass::Button, true, BS_AUTOCHECKBOX | WS_TABSTOP},
            {"CHECKBOX", ControlClass::Button, true, BS_CHECKBOX | WS_TABSTOP},
            {"LISTBOX", ControlClass::ListBox, false, LBS_NOTIFY | WS_BORDER},
        };
        const DWORD always = WS_CHILD | WS_VISIBLE;
        const int line = Peek().line;
        if (IsWord("CONTROL")) {
            Next();
            // CONTROL text, id, class, style, x, y, cx, cy [, exstyle]
            if (Peek().kind == TokenKind::String) {
                control.text = Next().text;
            } else if (!Int(control.imageId)) {
                return false;
            }
            std::string className;
            if (!Comma() || !Int(control.id) || !Comma() || !Text(className) || !Comma() ||
                !Style(always, control.style) || !Comma() ||
                !Rect(control.x, control.y, control.cx, control.cy)) {
                return false;
            }
            if (!ClassNamed(className, control.controlClass)) {
                return Fail(line, "unsupported control class \"" + className + "\"");
            }
            if (control.imageId != 0 && control.controlClass != ControlClass::Static) {
                return Fail(line, "only a static control shows a picture");
            }
        } else {
            const Statement* statement = nullptr;
            for (const Statement& s : kStatements) {
                if (IsWord(s.word)) {
                    statement = &s;
                }
            }
            if (statement == nullptr) {
                return Fail(line, "unsupported control statement " + Peek().text);
            }
            Next();
            control.controlClass = statement->controlClass;
            if (statement->hasText && (!Text(control.text) || !Comma())) {
                return false;
            }
            if (!Int(control.id) || !Comma() ||
                !Rect(control.x, control.y, control.cx, control.cy)) {
                return false;
            }
            control.style = always | statement->defaults;
            if (IsPunct(",")) {
                Next();
                if (!Style(control.style, control.style)) {
                    return false;
                }
            }
        }
        if (IsPunct(",")) {
            Next();
            if (!Style(0, control.exStyle)) {
                return false;
            }
        }
        return true;
    }

    static bool ClassNamed(std::string name, ControlClass& out) {
        for (char& c : name) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        static const std::map<std::string, ControlClass> kClasses = {
            {"button", ControlClass::Button},
            {"edit", ControlClass::Edit},
            {"static", ControlClass::Static},
            {"listbox", ControlClass::ListBox},
        };
        auto found = kClasses.find(name);
        if (found == kClasses.end()) {
            return false;
        }
        out = found->second;
        return true;
    }

    bool CheckUnique(const Script& script) {
        std::set<int> dialogs, bitmaps;
        for (const Dialog& dialog : script.dialogs) {
            if (!dialogs.insert(dialog.id).second) {
                return Fail(0, "dialog " + std::to_string(dialog.id) + " defined twice");
            }
            std::set<int> ids;
            for (const Control& control : dialog.controls) {
                if (control.id != -1 && !ids.insert(control.id).second) {
                    return Fail(0, "dialog " + std::to_string(dialog.id) + ": control number " +
                                       std::to_string(control.id) + " used twice");
                }
            }
        }
        for (const Bitmap& bitmap : script.bitmaps) {
            if (!bitmaps.insert(bitmap.id).second) {
                return Fail(0, "bitmap " + std::to_string(bitmap.id) + " defined twice");
            }
        }
        return true;
    }
};

std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F && c != '?') {
            out += static_cast<char>(c);
        } else {
            char octal[8];
            std::snprintf(octal, sizeof octal, "\\%03o", c);
            out += octal;
        }
    }
    return out + "\"";
}

const char* ClassName(ControlClass c) {
    switch (c) {
    case ControlClass::Button:
        return "Button";
    case ControlClass::Edit:
        return "Edit";
    case ControlClass::ListBox:
        return "ListBox";
    case ControlClass::Static:
        break;
    }
    return "Static";
}

} // namespace

bool ParseScript(const std::string& text, const IncludeReader& include, Script& script,
                 std::string& error) {
    script = Script{};
    error.clear();
    Parser parser(include, error);
    return parser.Run(text, script);
}

std::string EmitTables(const Script& script,
                       const std::vector<std::vector<unsigned char>>& bitmapBytes) {
    std::ostringstream out;
    out << "// Generated from the program's resource script. Do not edit.\n"
        << "#include \"winlayer/core/resources.h\"\n\nnamespace {\n\nusing namespace winlayer;\n\n";
    for (const Dialog& dialog : script.dialogs) {
        out << "const ControlTemplate kControls" << dialog.id << "[] = {\n";
        for (const Control& c : dialog.controls) {
            out << "    {" << c.id << ", ControlClass::" << ClassName(c.controlClass) << ", "
                << Quoted(c.text) << ", " << c.imageId << ", " << c.x << ", " << c.y << ", " << c.cx
                << ", " << c.cy << ", 0x" << std::hex << c.style << "u, 0x" << c.exStyle << std::dec
                << "u},\n";
        }
        if (dialog.controls.empty()) {
            out << "    {0, ControlClass::Static, \"\", 0, 0, 0, 0, 0, 0u, 0u},\n";
        }
        out << "};\n\n";
    }
    out << "const DialogTemplate kDialogs[] = {\n";
    for (const Dialog& d : script.dialogs) {
        out << "    {" << d.id << ", " << d.x << ", " << d.y << ", " << d.cx << ", " << d.cy
            << ", 0x" << std::hex << d.style << "u, 0x" << d.exStyle << std::dec << "u, "
            << Quoted(d.caption) << ", " << Quoted(d.fontName) << ", " << d.fontPoints
            << ", kControls" << d.id << ", " << d.controls.size() << "},\n";
    }
    if (script.dialogs.empty()) {
        out << "    {0, 0, 0, 0, 0, 0u, 0u, \"\", \"\", 0, nullptr, 0},\n";
    }
    out << "};\n\n";
    for (size_t i = 0; i < script.bitmaps.size(); ++i) {
        out << "const unsigned char kBitmap" << script.bitmaps[i].id << "[] = {";
        const std::vector<unsigned char>& bytes = bitmapBytes[i];
        for (size_t k = 0; k < bytes.size(); ++k) {
            out << (k % 24 == 0 ? "\n    " : "") << static_cast<int>(bytes[k]) << ",";
        }
        if (bytes.empty()) {
            out << "0";
        }
        out << "\n};\n\n";
    }
    out << "const BitmapResource kBitmaps[] = {\n";
    for (size_t i = 0; i < script.bitmaps.size(); ++i) {
        out << "    {" << script.bitmaps[i].id << ", kBitmap" << script.bitmaps[i].id << ", "
            << bitmapBytes[i].size() << "},\n";
    }
    if (script.bitmaps.empty()) {
        out << "    {0, nullptr, 0},\n";
    }
    out << "};\n\n"
        << "const ResourceTable kTable = {kDialogs, " << script.dialogs.size() << ", kBitmaps, "
        << script.bitmaps.size() << "};\n\n} // namespace\n\n"
        << "const ResourceTable& winlayer::ProgramResources() { return kTable; }\n";
    return out.str();
}

} // namespace rc
