// Runs msiexec with the given arguments, answers each message box it shows with OK, and
// prints the box's text and msiexec's exit code, whole (the exit status that reaches
// the shell keeps only its low byte: 1603 arrives as 67).
//
//   msiexec_box.exe ARGUMENT...   prints "box: TEXT" for each box, then "exit code: N"
//
// Exit status 0 when msiexec ended within a minute, 1 when it did not or did not start.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

struct BoxSearch {
    DWORD process = 0;
    HWND box = nullptr;
};

bool HasClass(HWND window, const wchar_t* name) {
    wchar_t kind[32] = {};
    GetClassNameW(window, kind, 32);
    return lstrcmpiW(kind, name) == 0;
}

BOOL CALLBACK FindBox(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<BoxSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == search->process && IsWindowVisible(window) && HasClass(window, L"#32770")) {
        search->box = window;
        return FALSE;
    }
    return TRUE;
}

// The box's message: the texts of its static controls (the icon's has none).
BOOL CALLBACK AddText(HWND control, LPARAM data) {
    wchar_t text[1024] = {};
    if (HasClass(control, L"Static") &&
        SendMessageTimeoutW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text),
                            SMTO_ABORTIFHUNG, 1000, nullptr) != 0 &&
        text[0] != L'\0') {
        *reinterpret_cast<std::wstring*>(data) += text;
    }
    return TRUE;
}

void PrintUtf8(const char* label, const std::wstring& text) {
    char bytes[4096] = {};
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes, sizeof bytes - 1, nullptr, nullptr);
    std::printf("%s%s\n", label, bytes);
    std::fflush(stdout);
}

} // namespace

int main() {
    // msiexec gets this program's own arguments as they were written: the command line
    // after the program's name.
    const wchar_t* arguments = GetCommandLineW();
    const wchar_t nameEnd = *arguments == L'"' ? L'"' : L' ';
    arguments += nameEnd == L'"';
    while (*arguments != L'\0' && *arguments != nameEnd) {
        ++arguments;
    }
    std::wstring command = L"msiexec.exe ";
    command += *arguments != L'\0' ? arguments + 1 : arguments;

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION installer = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &installer)) {
        PrintUtf8("msiexec_box: could not start ", command);
        return 1;
    }
    const ULONGLONG end = GetTickCount64() + 60000;
    while (WaitForSingleObject(installer.hProcess, 50) == WAIT_TIMEOUT) {
        if (GetTickCount64() > end) {
            TerminateProcess(installer.hProcess, 1);
            std::printf("msiexec_box: msiexec did not end within a minute\n");
            return 1;
        }
        BoxSearch search;
        search.process = installer.dwProcessId;
        EnumWindows(FindBox, reinterpret_cast<LPARAM>(&search));
        if (search.box != nullptr) {
            std::wstring text;
            EnumChildWindows(search.box, AddText, reinterpret_cast<LPARAM>(&text));
            PrintUtf8("box: ", text);
            PostMessageW(search.box, WM_COMMAND, IDOK, 0);
            while (IsWindow(search.box) && GetTickCount64() <= end) {
                Sleep(50); // until the box has gone, so that it is read once
            }
        }
    }
    DWORD code = 0;
    GetExitCodeProcess(installer.hProcess, &code);
    std::printf("exit code: %lu\n", code);
    return 0;
}
