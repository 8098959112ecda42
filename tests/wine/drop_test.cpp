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
//   drop_test.exe select ENTRY ID TEXT
//                                 clicks the list's entry ENTRY as a user does; waits
//                                 until the field with this control number shows TEXT
//                                 (the song's tag, read)
//   drop_test.exe save            presses "Save To ALL" as a click on it does
//   drop_test.exe alive COUNT     the system's hung check while a drop fills the list:
//                                 WM_NULL sent every 200 ms with a second to answer,
//                                 until the list holds COUNT entries; then "Clear All",
//                                 and on until the list is empty. Prints how long the
//                                 list took to fill and to empty and the longest wait
//                                 for an answer; fails when one took over a second
//   drop_test.exe cancel-adding [AT]
//                                 waits for the progress box to say that the songs found
//                                 are being listed (AT of them at least), presses Escape
//                                 in it, and waits for the box to go; prints how long
//                                 that took, and fails unless the list then shows what it
//                                 showed before
//   drop_test.exe close           closes the main window as its close box does
//
// Exit status 0 when done, 1 when the window, the entries or the text did not appear
// within thirty seconds (a minute for a list to fill or empty).
#include "resources/resource.h"
#include "tests/wine/program_watch.h"

#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Polls `done` every 50 ms for up to thirty seconds, or `timeout` milliseconds.
template <typename Done> bool WaitFor(Done done, ULONGLONG timeout = 30000) {
    const ULONGLONG end = GetTickCount64() + timeout;
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

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        1000, nullptr);
    return text;
}

// A click on the entry named `entry`, brought into view first; the field `id` then
// shows the tag read from that song.
int Select(HWND main, HWND list, const std::wstring& entry, int id, const std::wstring& text) {
    const LRESULT index = Ask(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                              reinterpret_cast<LPARAM>(entry.c_str()));
    if (index < 0) {
        std::printf("drop_test: the list has no entry %s\n", Utf8(entry).c_str());
        return 1;
    }
    Ask(list, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
    const LRESULT top = Ask(list, LB_GETTOPINDEX, 0, 0);
    const LRESULT height = Ask(list, LB_GETITEMHEIGHT, 0, 0);
    const int y = static_cast<int>((index - top) * height + height / 2);
    PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, y));
    PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(8, y));
    const HWND field = GetDlgItem(main, id);
    std::wstring shown;
    const bool read = WaitFor([&] { return (shown = TextOf(field)) == text; });
    std::printf("selected entry %ld; field %d shows: %s\n", static_cast<long>(index), id,
                Utf8(shown).c_str());
    return read ? 0 : 1;
}

// The list fills to `count` entries and, after "Clear All", empties, while the hung
// check goes on.
int StaysAlive(HWND main, HWND list, LRESULT count) {
    HungChecks checks;
    checks.Start(main, 200);
    const LRESULT before = Ask(list, LB_GETCOUNT, 0, 0);
    ULONGLONG grew = 0;
    const bool filled = WaitFor(
        [&] {
            const LRESULT now = Ask(list, LB_GETCOUNT, 0, 0);
            if (grew == 0 && now > before) {
                grew = GetTickCount64();
            }
            return now == count && ProgressBox(main) == nullptr && IsWindowEnabled(main);
        },
        60000);
    const ULONGLONG full = GetTickCount64();
    PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDC_CLEAR_ALL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(main, IDC_CLEAR_ALL)));
    const bool emptied = WaitFor([&] { return Ask(list, LB_GETCOUNT, 0, 0) == 0; }, 60000);
    const ULONGLONG empty = GetTickCount64();
    // Two more checks: the second was sent with the list already empty.
    const int sent = checks.Sent();
    const bool checkedAfter = WaitFor([&] { return checks.Sent() >= sent + 2; });
    checks.Stop();
    const int late = checks.unanswered;
    std::printf("the list grew from %ld to %ld entries in %.2f s and Clear All emptied it in "
                "%.2f s; %d hung checks, the longest waited %llu ms, %d over a second\n",
                static_cast<long>(before), static_cast<long>(count),
                grew != 0 ? (full - grew) / 1000.0 : 0.0, (empty - full) / 1000.0, checks.Sent(),
                checks.longest.load(), late);
    if (!filled || !emptied) {
        std::printf("drop_test: the list did not %s\n", filled ? "empty" : "fill");
    }
    if (!checkedAfter) {
        std::printf("drop_test: no hung check was made after the list was empty\n");
    }
    return filled && emptied && checkedAfter && late == 0 ? 0 : 1;
}

// Escape in the progress box while the songs found are listed: the list is as it was.
int CancelWhileAdding(HWND main, HWND list, int at) {
    const std::vector<std::wstring> before = Entries(list);
    const std::wstring adding = L"Adding songs to the list: ";
    HWND box = nullptr;
    const bool seen = WaitFor(
        [&] {
            box = ProgressBox(main);
            const std::wstring shown =
                box != nullptr ? TextOf(GetDlgItem(box, IDC_PROGRESS_TEXT)) : L"";
            return shown.rfind(adding, 0) == 0 && _wtoi(shown.c_str() + adding.size()) >= at;
        },
        60000);
    if (!seen) {
        std::printf("drop_test: the box never said that songs were being added\n");
        return 1;
    }
    std::printf("cancelled at: %s\n", Utf8(TextOf(GetDlgItem(box, IDC_PROGRESS_TEXT))).c_str());
    const HWND cancel = GetDlgItem(box, IDCANCEL); // it has the focus
    PostMessageW(cancel, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessageW(cancel, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    const ULONGLONG cancelled = GetTickCount64();
    const bool gone = WaitFor([&] { return !IsWindow(box) && IsWindowEnabled(main); }, 60000);
    const std::vector<std::wstring> after = Entries(list);
    std::printf("the box went %.2f s after the cancel; the list shows %zu entries, before it "
                "showed %zu\n",
                (GetTickCount64() - cancelled) / 1000.0, after.size(), before.size());
    return gone && after == before ? 0 : 1;
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
    if (command == L"select" && argc == 5) {
        return Select(main, list, argv[2], _wtoi(argv[3]), argv[4]);
    }
    if (command == L"save") {
        const HWND save = GetDlgItem(main, IDC_SAVE_ALL);
        return PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDC_SAVE_ALL, BN_CLICKED),
                            reinterpret_cast<LPARAM>(save))
                   ? 0
                   : 1;
    }
    if (command == L"alive" && argc == 3) {
        return StaysAlive(main, list, _wtoi(argv[2]));
    }
    if (command == L"cancel-adding") {
        return CancelWhileAdding(main, list, argc > 2 ? _wtoi(argv[2]) : 0);
    }
    if (command == L"close") {
        PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
        return WaitFor([main] { return !IsWindow(main); }) ? 0 : 1;
    }
    std::printf(
        "usage: drop_test.exe target | expect ENTRY... | type ID TEXT | select ENTRY ID TEXT"
        " | save | alive COUNT | cancel-adding [AT] | close\n");
    return 2;
}
