// The Windows side of the drop test: finds the running program's main window, tells
// where to drop onto it, and reads what its real list box shows after the drop.
//
//   drop_test.exe target          waits for the main window; prints "X,Y", the list
//                                 box's centre in screen coordinates
//   drop_test.exe expect ENTRY... waits until the list shows exactly these entries,
//                                 in this order; prints what it shows (UTF-8)
//   drop_test.exe close           closes the main window as its close box does
//
// Exit status 0 when done, 1 when the window or the entries did not appear within
// thirty seconds.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kList = 1010;

// Polls `done` every 50 ms for up to thirty seconds.
template <typename Done> bool WaitFor(Done done) {
    for (int waited = 0; waited < 30000; waited += 50) {
        if (done()) {
            return true;
        }
        Sleep(50);
    }
    return done();
}

HWND MainWindow() {
    HWND found = nullptr;
    WaitFor([&] {
        found = FindWindowA(nullptr, "Quorwin ");
        return found != nullptr && IsWindowVisible(found);
    });
    return found;
}

// The list's entries, read through the wide-character message: the list lives in
// another process, and the system carries its text across as wide characters.
std::vector<std::wstring> Entries(HWND list) {
    std::vector<std::wstring> entries;
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<size_t>(length < 0 ? 0 : length) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&text[0]));
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
    const HWND list = GetDlgItem(main, kList);
    if (command == L"target") {
        RECT r;
        GetWindowRect(list, &r);
        std::printf("%ld,%ld\n", (r.left + r.right) / 2, (r.top + r.bottom) / 2);
        return 0;
    }
    if (command == L"expect") {
        const std::vector<std::wstring> wanted(argv + 2, argv + argc);
        const bool shown = WaitFor([&] { return Entries(list) == wanted; });
        for (const std::wstring& entry : Entries(list)) {
            std::printf("listed: %s\n", Utf8(entry).c_str());
        }
        if (!shown) {
            std::printf("drop_test: the list does not show the %zu dropped entries\n",
                        wanted.size());
        }
        return shown ? 0 : 1;
    }
    if (command == L"close") {
        PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        return WaitFor([main] { return !IsWindow(main); }) ? 0 : 1;
    }
    std::printf("usage: drop_test.exe target | expect ENTRY... | close\n");
    return 2;
}
