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

// A visible dialog of the process: a message box.
HWND BoxOf(DWORD process) {
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, L"#32770", nullptr)) != nullptr) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == process && IsWindowVisible(window)) {
            return window;
        }
    }
    return nullptr;
}

} // namespace

int main() {
    // msiexec gets the command line after this program's name, as it was written.
    const wchar_t* arguments = GetCommandLineW();
    const wchar_t nameEnd = *arguments == L'"' ? L'"' : L' ';
    arguments += nameEnd == L'"';
    while (*arguments != L'\0' && *arguments++ != nameEnd) {
    }
    std::wstring command = std::wstring(L"msiexec.exe ") + arguments;

    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION installer = {};
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &installer)) {
        std::printf("msiexec_box: msiexec did not start\n");
        return 1;
    }
    const ULONGLONG end = GetTickCount64() + 60000;
    while (WaitForSingleObject(installer.hProcess, 50) == WAIT_TIMEOUT) {
        const HWND box = BoxOf(installer.dwProcessId);
        if (GetTickCount64() > end) {
            TerminateProcess(installer.hProcess, 1);
            std::printf("msiexec_box: msiexec did not end within a minute\n");
            return 1;
        }
        if (box == nullptr) {
            continue;
        }
        // The message is the static text 0xFFFF, as in every message box.
        wchar_t text[1024] = {};
        SendMessageTimeoutW(GetDlgItem(box, 0xFFFF), WM_GETTEXT, 1024,
                            reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 1000, nullptr);
        char bytes[4096] = {};
        WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes - 1, nullptr, nullptr);
        std::printf("box: %s\n", bytes);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        while (IsWindow(box) && GetTickCount64() <= end) {
            Sleep(50); // until it has gone, so that it is read once
        }
    }
    DWORD code = 0;
    GetExitCodeProcess(installer.hProcess, &code);
    std::printf("exit code: %lu\n", code);
    return 0;
}
