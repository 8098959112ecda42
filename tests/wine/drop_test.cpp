// The Windows side of the drop test: finds the running program's main window, tells
// where to drop onto it, and reads what its real list box shows after the drop.
//
//   drop_test.exe target          waits for the main window; prints "X,Y", the list
//                                 box's centre in screen coordinates
//   drop_test.exe expect ENTRY... waits until the list shows exactly these entries,
//                                 in this order; prints what it shows (UTF-8)
//   drop_test.exe type ID TEXT    selects the text of the field with this control
//                                 number and types TEXT over it, character by
//                                 character as WM_CHAR (wide, so any script); waits
//                                 until the field shows TEXT
//   drop_test.exe save            presses "Save To ALL" as a click on it does
//   drop_test.exe close           closes the main window as its close box does
//
// Exit status 0 when done, 1 when the window, the entries or the text did not appear
// within thirty seconds.
#include "resources/resource.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Polls `done` every 50 ms for up to thirty seconds.
template <typename Done> bool WaitFor(Done done) {
    const ULONGLONG end = GetTickCount64() + 30000;
    while (!done()) {
        if (GetTickCount64() > end) {
            return false;
        }
        Sleep(50);
    }
    return true;
}

HWND MainWindow() {
    HWND found = nullptr;
    WaitFor([&] {
        found = FindWindowA(nullptr, "Quorwin ");
        return found != nullptr && IsWindowVisible(found);
    });
    return found;
}

// Sends a message to the program's list, giving up after a second when the program
// is busy: a program that does not answer shows nothing yet.
LRESULT Ask(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(list, message, wParam, lParam, SMTO_ABORTIFHUNG, 1000, &result)) {
        return -1;
    }
    return static_cast<LRESULT>(result);
}

// The list's entries, read through the wide-character messages: the list lives in
// another process, and the system carries its text across as wide characters.
std::vector<std::wstring> Entries(HWND list) {
    std::vector<std::wstring> entries;
    const LRESULT count = Ask(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = Ask(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        if (length < 0) {
            return {};
        }
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        Ask(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
        entries.push_back(text.c_str());
    }
    return entries;
}

std::string Utf8(const std::wstring& text) {
    char bytes[5120 * 4] = {};
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes, sizeof bytes, nullptr, nullptr);
    return bytes;
}

} // namespace

int main() {
    // The arguments as wide text, so that names outside ASCII compare exactly.
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    const std::wstring command = argc > 1 ? argv[1] : L"";
    const HWND main = MainWindow();
    if (main == nullptr) {
        std::printf("drop_test: no main window\n");
        return 1;
    }
    const HWND list = GetDlgItem(main, IDC_FILE_LIST);
    if (command == L"target") {
        RECT r;
        GetWindowRect(list, &r);
        std::printf("%ld,%ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        return 0;
    }
    if (command == L"expect") {
        const std::vector<std::wstring> wanted(argv + 2, argv + argc);
        const bool shown = WaitFor([&] {
            return Ask(list, LB_GETCOUNT, 0, 0) == static_cast<LRESULT>(wanted.size()) &&
                   Entries(list) == wanted;
        });
        for (const std::wstring& entry : Entries(list)) {
            std::printf("listed: %s\n", Utf8(entry).c_str());
        }
        if (!shown) {
            std::printf("drop_test: the list does not show the %zu dropped entries\n",
                        wanted.size());
        }
        return shown ? 0 : 1;
    }
    if (command == L"type" && argc == 4) {
        const HWND field = GetDlgItem(main, _wtoi(argv[2]));
        const std::wstring text = argv[3];
        PostMessageW(field, EM_SETSEL, 0, -1);
        for (wchar_t unit : text) {
            PostMessageW(field, WM_CHAR, unit, 1); // a pair as its two halves, as typed
        }
        std::wstring shown;
        const bool typed = WaitFor([&] {
            wchar_t now[64] = {};
            SendMessageTimeoutW(field, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(now),
                                SMTO_ABORTIFHUNG, 1000, nullptr);
            shown = now;
            return shown == text;
        });
        std::printf("field %d shows: %s\n", _wtoi(argv[2]), Utf8(shown).c_str());
        return typed ? 0 : 1;
    }
    if (command == L"save") {
        const HWND save = GetDlgItem(main, IDC_SAVE_ALL);
        return PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDC_SAVE_ALL, BN_CLICKED),
                            reinterpret_cast<LPARAM>(save))
                   ? 0
                   : 1;
    }
    if (command == L"close") {
        PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        return WaitFor([main] { return !IsWindow(main); }) ? 0 : 1;
    }
    std::printf("usage: drop_test.exe target | expect ENTRY... | type ID TEXT | save | close\n");
    return 2;
}
