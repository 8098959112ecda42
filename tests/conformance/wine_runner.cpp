// The Windows side of the conformance run: starts quorwin.exe once per scenario, acts
// as its user with real input (SendInput: keys, typed characters, mouse clicks), and
// after every step prints what the real controls hold, read from outside through
// their own messages. The native side prints the same from the core; the two outputs
// are compared line by line.
//
//   conformance_wine.exe PROGRAM.exe SCENARIO_FILE
//
// Each step is followed by a marker key sent after the step's input: F24, which no
// control takes and which has no key on the X server for Wine to keep in step with
// its own (as it does Scroll Lock's light). This program shares the program thread's input state
// (AttachThreadInput), so the marker's toggle shows in GetKeyState once the program has taken it
// from its queue, which it does only after it has handled all the step's input before it.
#include <windows.h>

#include "resources/resource.h"
#include "tests/conformance/script_names.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &text[0], size, nullptr, nullptr);
    text.resize(static_cast<size_t>(size - 1));
    return text;
}

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring text(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &text[0], size);
    text.resize(static_cast<size_t>(size - 1));
    return text;
}

// The text of a control in another process, carried across as wide characters.
std::string TextOf(HWND window) {
    wchar_t text[6000] = {};
    SendMessageW(window, WM_GETTEXT, sizeof text / sizeof text[0], reinterpret_cast<LPARAM>(text));
    return Utf8(text);
}

bool WaitFor(bool (*done)(void*), void* data, DWORD ms = 10000) {
    for (DWORD waited = 0; waited < ms; waited += 5) {
        if (done(data)) {
            return true;
        }
        Sleep(5);
    }
    return done(data);
}

// --- The program and its windows ------------------------------------------------------

struct Program {
    PROCESS_INFORMATION process{};
    HWND main = nullptr;
    std::vector<HWND> abouts; // open About boxes, oldest first
};

struct TopSearch {
    DWORD pid;
    std::string caption;
    std::vector<HWND> found;
};

// The program's top-level windows with this caption, in z-order (topmost first). A
// modal dialog exists, and may have the focus, a moment before its window is shown.
std::vector<HWND> TopWindows(DWORD pid, const std::string& caption) {
    TopSearch search{pid, caption, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<TopSearch*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->pid && TextOf(window) == s->caption) {
                s->found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Keeps track of the About boxes: a new one is moved clear of the main window, where
// the template's position puts it over the main window's controls.
void TrackAboutBoxes(Program& program) {
    const std::vector<HWND> now = TopWindows(program.process.dwProcessId, "About Quorwin");
    std::vector<HWND> kept;
    for (HWND box : program.abouts) {
        for (HWND open : now) {
            if (open == box) {
                kept.push_back(box);
            }
        }
    }
    for (HWND open : now) {
        bool known = false;
        for (HWND box : kept) {
            known = known || box == open;
        }
        if (!known) {
            RECT main;
            GetWindowRect(program.main, &main);
            const int offset = static_cast<int>(kept.size()) * 24;
            SetWindowPos(open, nullptr, main.right + 16 + offset, 16 + offset, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            kept.push_back(open);
        }
    }
    program.abouts = kept;
}

// --- Input ----------------------------------------------------------------------------

void SendKeys(const std::vector<INPUT>& inputs) {
    std::vector<INPUT> copy = inputs;
    SendInput(static_cast<UINT>(copy.size()), copy.data(), sizeof(INPUT));
}

INPUT KeyInput(WORD vk, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    switch (vk) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_DELETE:
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
        break;
    default:
        break;
    }
    if (up) {
        input.ki.dwFlags |= KEYEVENTF_KEYUP;
    }
    return input;
}

void PressKey(WORD vk, bool ctrl, bool shift) {
    std::vector<INPUT> inputs;
    if (ctrl) {
        inputs.push_back(KeyInput(VK_CONTROL, false));
    }
    if (shift) {
        inputs.push_back(KeyInput(VK_SHIFT, false));
    }
    inputs.push_back(KeyInput(vk, false));
    inputs.push_back(KeyInput(vk, true));
    if (shift) {
        inputs.push_back(KeyInput(VK_SHIFT, true));
    }
    if (ctrl) {
        inputs.push_back(KeyInput(VK_CONTROL, true));
    }
    SendKeys(inputs);
}

// Characters as a keyboard's input method delivers them: each arrives as WM_CHAR.
void TypeText(const std::wstring& text) {
    std::vector<INPUT> inputs;
    for (wchar_t c : text) {
        for (bool up : {false, true}) {
            INPUT input = {};
            input.type = INPUT_KEYBOARD;
            input.ki.wScan = static_cast<WORD>(c);
            input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
            inputs.push_back(input);
        }
    }
    SendKeys(inputs);
}

// A click (or a double-click) with the left button at a point of a window's client
// area, with Ctrl and Shift held as asked.
DWORD gLastClickTime = 0;
POINT gLastClick = {-1, -1};

void ClickAt(HWND window, int x, int y, bool ctrl, bool shift, bool twice) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    // Two separate clicks on one place in quick succession would make a double-click.
    if (point.x == gLastClick.x && point.y == gLastClick.y) {
        const DWORD since = GetTickCount() - gLastClickTime;
        if (since < GetDoubleClickTime() + 100) {
            Sleep(GetDoubleClickTime() + 100 - since);
        }
    }
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    std::vector<INPUT> inputs;
    if (ctrl) {
        inputs.push_back(KeyInput(VK_CONTROL, false));
    }
    if (shift) {
        inputs.push_back(KeyInput(VK_SHIFT, false));
    }
    INPUT move = {};
    move.type = INPUT_MOUSE;
    move.mi.dx = (point.x * 65536 + screenW / 2) / screenW;
    move.mi.dy = (point.y * 65536 + screenH / 2) / screenH;
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs.push_back(move);
    for (int press = 0; press < (twice ? 2 : 1); ++press) {
        INPUT down = {};
        down.type = INPUT_MOUSE;
        down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        INPUT up = down;
        up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
        inputs.push_back(down);
        inputs.push_back(up);
    }
    if (shift) {
        inputs.push_back(KeyInput(VK_SHIFT, true));
    }
    if (ctrl) {
        inputs.push_back(KeyInput(VK_CONTROL, true));
    }
    SendKeys(inputs);
    gLastClick = point;
    gLastClickTime = GetTickCount();
}

void ClickControl(HWND control) {
    RECT r;
    GetClientRect(control, &r);
    ClickAt(control, r.right / 2, r.bottom / 2, false, false, false);
}

// The marker's press and release have both been taken: the toggle has turned and the
// key is up again.
bool MarkerTaken(void* before) {
    const SHORT state = GetKeyState(VK_F24);
    return (state & 1) != *static_cast<SHORT*>(before) && (state & 0x8000) == 0;
}

// Markers whose taking did not show in time (see Settle).
int gUnseenMarkers = 0;

// Sends the marker key and waits until the program has taken it from its queue, which
// it does only once it has handled everything before it. A modal dialog shows its
// window only when its queue is empty, and the program may handle messages sent to it
// while it shows one: so the marker goes twice, the second only after the first was
// taken, and the program has shown what the step opened before it takes the second.
// Now and then under Wine the shared key state does not show a marker that the program
// did take (the steps' results are the same from run to run): then the program is
// given a moment more and must answer two messages, and the run goes on. False when
// the program does not answer at all.
bool Settle(const Program& program) {
    bool seen = true;
    for (int marker = 0; marker < 2 && seen; ++marker) {
        SHORT before = static_cast<SHORT>(GetKeyState(VK_F24) & 1);
        PressKey(VK_F24, false, false);
        seen = WaitFor(MarkerTaken, &before, 3000);
    }
    if (!seen) {
        ++gUnseenMarkers;
        Sleep(500);
    }
    for (int answer = 0; answer < (seen ? 1 : 2); ++answer) {
        DWORD_PTR result = 0;
        if (SendMessageTimeoutA(program.main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result) == 0) {
            return false;
        }
    }
    return true;
}

// --- A song saved to -------------------------------------------------------------------

// The song a "save" step listed and saved to, until its record is printed.
std::wstring gSavedSong;
constexpr DWORD kSongAudio = 200; // bytes of silence before the record

// Makes a song of silence with no record, named in several scripts, in the temporary
// folder, and returns its path.
std::wstring MakeSong(int step) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"quorwin-conformance-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(step) + L" Łódź 日本.mp3";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    const std::string silence(kSongAudio, '\0');
    DWORD written = 0;
    WriteFile(file, silence.data(), kSongAudio, &written, nullptr);
    CloseHandle(file);
    return path;
}

// "record audio=same|changed BYTES": what the song holds after its audio, in hex,
// and whether the audio is as it was; the song is removed.
std::string TakeRecord(const std::wstring& path) {
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    char buffer[1024];
    DWORD got = 0;
    while (file != INVALID_HANDLE_VALUE && ReadFile(file, buffer, sizeof buffer, &got, nullptr) &&
           got > 0) {
        bytes.append(buffer, got);
    }
    CloseHandle(file);
    DeleteFileW(path.c_str());
    const bool same = bytes.size() >= kSongAudio && bytes.find_first_not_of('\0') >= kSongAudio;
    std::string line = std::string("record audio=") + (same ? "same " : "changed ");
    for (size_t i = same ? kSongAudio : 0; i < bytes.size(); ++i) {
        char hex[3];
        std::snprintf(hex, sizeof hex, "%02X", static_cast<unsigned char>(bytes[i]));
        line += hex;
    }
    return line;
}

// --- What the controls hold -----------------------------------------------------------

int ControlNumber(HWND control) {
    const int id = GetDlgCtrlID(control);
    return id == 0xFFFF ? -1 : id;
}

std::string FocusOf(const Program& program) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(program.process.dwThreadId, &info) || info.hwndFocus == nullptr) {
        return "none";
    }
    const HWND dialog = GetAncestor(info.hwndFocus, GA_ROOT);
    if (dialog == info.hwndFocus) {
        return "none"; // a dialog with no control focused
    }
    const char* which = dialog == program.main ? "main" : "about";
    return std::string(which) + ":" + std::to_string(ControlNumber(info.hwndFocus));
}

// The main window's default push button, the one Enter clicks from a control that is
// not a push button; 0 for none.
int DefaultButton(HWND dialog) {
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if ((SendMessageA(child, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON) != 0) {
            return GetDlgCtrlID(child);
        }
    }
    return 0;
}

void PrintState(const Program& program, const std::string& scenario, int step,
                const std::string& stepText) {
    HWND main = program.main;
    std::ostringstream out;
    out << "step " << scenario << " " << step << " " << stepText << "\n";
    out << "focus " << FocusOf(program) << "\n";
    out << "windows " << program.abouts.size() << "\n";
    out << "default " << DefaultButton(main) << "\n";
    for (int id = IDC_TITLE; id <= IDC_COMMENT; ++id) {
        HWND edit = GetDlgItem(main, id);
        DWORD start = 0, end = 0;
        SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        out << "edit " << id << " text=" << TextOf(edit) << " sel=" << start << "," << end
            << " enabled=" << (IsWindowEnabled(edit) ? 1 : 0) << "\n";
    }
    for (int id = IDC_USE_TITLE; id <= IDC_USE_COMMENT; ++id) {
        HWND check = GetDlgItem(main, id);
        out << "check " << id
            << " checked=" << (SendMessageA(check, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0)
            << " enabled=" << (IsWindowEnabled(check) ? 1 : 0) << "\n";
    }
    HWND list = GetDlgItem(main, IDC_FILE_LIST);
    const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    out << "list count=" << count << " caret=" << SendMessageA(list, LB_GETCARETINDEX, 0, 0)
        << " anchor=" << SendMessageA(list, LB_GETANCHORINDEX, 0, 0)
        << " top=" << SendMessageA(list, LB_GETTOPINDEX, 0, 0) << " sel=";
    bool first = true;
    for (int i = 0; i < count; ++i) {
        if (SendMessageA(list, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0) {
            out << (first ? "" : ",") << i;
            first = false;
        }
    }
    out << "\n";
    if (stepText.rfind("names ", 0) == 0) {
        // The entries' texts, in the list's order.
        out << "entries ";
        for (int i = 0; i < count; ++i) {
            const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
            std::wstring text(length > 0 ? static_cast<size_t>(length) + 1 : 1, L'\0');
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                         reinterpret_cast<LPARAM>(&text[0]));
            out << (i > 0 ? "|" : "") << Utf8(text.c_str());
        }
        out << "\n";
    }
    if (!gSavedSong.empty()) {
        out << TakeRecord(gSavedSong) << "\n";
        gSavedSong.clear();
    }
    std::fputs(out.str().c_str(), stdout);
    std::fflush(stdout);
}

// --- Scenarios ------------------------------------------------------------------------

// Starts the program with an empty clipboard, as each scenario starts, and waits until
// its main window is shown, active and taking input.
bool StartProgram(const std::string& path, Program& program) {
    program = Program{};
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    std::string commandLine = "\"" + path + "\"";
    if (!CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &program.process)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", path.c_str(), GetLastError());
        return false;
    }
    WaitForInputIdle(program.process.hProcess, 30000);
    for (int waited = 0; waited < 6000 && program.main == nullptr; ++waited) {
        for (HWND found : TopWindows(program.process.dwProcessId, "Quorwin ")) {
            if (IsWindowVisible(found)) {
                program.main = found;
            }
        }
        if (program.main == nullptr) {
            Sleep(5);
        }
    }
    if (program.main == nullptr) {
        std::fprintf(stderr, "%s shows no main window\n", path.c_str());
        return false;
    }
    AttachThreadInput(GetCurrentThreadId(), program.process.dwThreadId, TRUE);
    SetForegroundWindow(program.main);
    if (!Settle(program)) {
        std::fprintf(stderr, "%s does not answer\n", path.c_str());
        return false;
    }
    return true;
}

void StopProgram(Program& program) {
    if (program.process.hProcess == nullptr) {
        return;
    }
    AttachThreadInput(GetCurrentThreadId(), program.process.dwThreadId, FALSE);
    PostMessageA(program.main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(program.process.hProcess, 5000) != WAIT_OBJECT_0) {
        TerminateProcess(program.process.hProcess, 1);
        WaitForSingleObject(program.process.hProcess, 5000);
    }
    CloseHandle(program.process.hProcess);
    CloseHandle(program.process.hThread);
    program.process = {};
}

// Applies one step; false when the step cannot be read or done.
bool DoStep(Program& program, const std::string& line, int step) {
    std::istringstream words(line);
    std::string verb;
    words >> verb;
    bool ctrl = false, shift = false;
    auto modifiers = [&] {
        std::string word;
        while (words >> word) {
            ctrl = ctrl || word == "ctrl";
            shift = shift || word == "shift";
        }
    };
    HWND list = GetDlgItem(program.main, IDC_FILE_LIST);
    if (verb == "files") {
        int count = 0, first = 0;
        words >> count >> first;
        for (int k = first; k < first + count; ++k) {
            const std::wstring name = Wide(conformance::EntryName(k));
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        }
        return true;
    }
    if (verb == "remove") {
        int index = 0;
        words >> index;
        SendMessageW(list, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
        return true;
    }
    if (verb == "redraw") {
        std::string state;
        words >> state;
        SendMessageW(list, WM_SETREDRAW, state == "on" ? TRUE : FALSE, 0);
        return state == "on" || state == "off";
    }
    if (verb == "save") {
        // A song named in several scripts is listed, and Save To ALL is clicked.
        gSavedSong = MakeSong(step);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(gSavedSong.c_str()));
        ClickControl(GetDlgItem(program.main, IDC_SAVE_ALL));
        return true;
    }
    if (verb == "key") {
        std::string name;
        words >> name;
        modifiers();
        const int vk = conformance::KeyCode(name);
        if (vk < 0) {
            return false;
        }
        PressKey(static_cast<WORD>(vk), ctrl, shift);
        return true;
    }
    const std::string rest = line.size() > verb.size() + 1 ? line.substr(verb.size() + 1) : "";
    if (verb == "names") {
        for (const std::string& name : conformance::ListedNames(rest)) {
            const std::wstring wide = Wide(name);
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
        }
        return true;
    }
    if (verb == "type") {
        TypeText(Wide(rest));
        return true;
    }
    if (verb == "paste") {
        const std::wstring text = Wide(rest);
        if (!OpenClipboard(nullptr)) {
            return false;
        }
        EmptyClipboard();
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
        auto* copy = static_cast<wchar_t*>(GlobalLock(memory));
        lstrcpyW(copy, text.c_str());
        GlobalUnlock(memory);
        SetClipboardData(CF_UNICODETEXT, memory);
        CloseClipboard();
        PressKey('V', true, false);
        return true;
    }
    if (verb == "click") {
        std::string name;
        words >> name;
        if (name == "OK") {
            if (program.abouts.empty()) {
                return false;
            }
            ClickControl(GetDlgItem(program.abouts.back(), IDOK));
            return true;
        }
        const int id = conformance::Lookup(conformance::kControls, name);
        if (id < 0) {
            return false;
        }
        ClickControl(GetDlgItem(program.main, id));
        return true;
    }
    if (verb == "row" || verb == "dblrow") {
        int index = -1;
        words >> index;
        modifiers();
        const int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
        const int top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
        ClickAt(list, 8, (index - top) * height + height / 2, ctrl, shift, verb == "dblrow");
        return true;
    }
    return false;
}

int ListPage(const Program& program) {
    HWND list = GetDlgItem(program.main, IDC_FILE_LIST);
    RECT r;
    GetClientRect(list, &r);
    const int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    return height > 0 ? r.bottom / height : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: conformance_wine PROGRAM.exe SCENARIO_FILE\n");
        return 2;
    }
    std::ifstream file(argv[2], std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "cannot read %s\n", argv[2]);
        return 2;
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty() && line[0] != '#') {
            lines.push_back(line);
        }
    }

    Program program;
    std::string scenario;
    int step = 0;
    bool pagePrinted = false;
    int status = 0;
    for (const std::string& line : lines) {
        if (line.rfind("scenario ", 0) == 0) {
            StopProgram(program);
            scenario = line.substr(9);
            step = 0;
            if (!StartProgram(argv[1], program)) {
                std::fprintf(stderr, "cannot start %s for %s\n", argv[1], scenario.c_str());
                return 1;
            }
            if (!pagePrinted) {
                std::printf("page %d\n", ListPage(program));
                pagePrinted = true;
            }
            continue;
        }
        if (program.main == nullptr) {
            std::fprintf(stderr, "a step before any scenario: %s\n", line.c_str());
            return 2;
        }
        if (!DoStep(program, line, step)) {
            std::fprintf(stderr, "%s: cannot do step %d: %s\n", scenario.c_str(), step,
                         line.c_str());
            status = 2;
        }
        if (!Settle(program)) {
            GUITHREADINFO info = {};
            info.cbSize = sizeof info;
            GetGUIThreadInfo(program.process.dwThreadId, &info);
            std::fprintf(stderr,
                         "%s: the program did not answer after step %d: %s (foreground %p, "
                         "its active window %p, focus %p)\n",
                         scenario.c_str(), step, line.c_str(),
                         static_cast<void*>(GetForegroundWindow()),
                         static_cast<void*>(info.hwndActive), static_cast<void*>(info.hwndFocus));
            status = 1;
        }
        TrackAboutBoxes(program);
        PrintState(program, scenario, step, line);
        ++step;
    }
    StopProgram(program);
    if (gUnseenMarkers > 0) {
        std::fprintf(stderr, "%d step markers were taken without showing it in time\n",
                     gUnseenMarkers);
    }
    return status;
}
