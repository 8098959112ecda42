// End-to-end test of the Windows program: starts quorwin.exe and acts as its user
// with mouse clicks and key presses posted to the real controls, so that the
// platform's own list box, edit fields, dialog manager and open dialog do the work.
// Checks what the windows show and what the files hold. Input is posted and handled
// in turn by the program's thread: the driver waits, with a time limit, for the effect
// of each input, and follows every check that something did not happen with an input
// whose effect shows that the first one was handled.
//
//   quorwin_driver.exe PROGRAM.exe ARTIFACT_FOLDER
#include <windows.h>

#include "resources/resource.h"
#include "tests/wine/program_watch.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace {

int gPassed = 0;
int gFailed = 0;

void Check(bool ok, const std::string& what) {
    if (ok) {
        ++gPassed;
    } else {
        ++gFailed;
        std::printf("FAILED: %s\n", what.c_str());
    }
    std::fflush(stdout);
}

// Waits up to ten seconds for `done`; the program works on its own thread.
bool WaitFor(const std::function<bool()>& done, DWORD ms = 10000) {
    for (DWORD waited = 0; waited < ms; waited += 20) {
        if (done()) {
            return true;
        }
        Sleep(20);
    }
    return done();
}

// Checks that `done` comes true within the time limit.
void CheckSoon(const std::function<bool()>& done, const std::string& what) {
    Check(WaitFor(done), what);
}

std::string TextOf(HWND window) {
    char text[6000] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

void ClickAt(HWND window, int x, int y, WPARAM keys = 0) {
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(x, y));
    PostMessageA(window, WM_LBUTTONUP, keys, MAKELPARAM(x, y));
}

void Click(HWND window) {
    RECT r;
    GetClientRect(window, &r);
    ClickAt(window, r.right / 2, r.bottom / 2);
}

void Key(HWND window, WPARAM key) {
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

void Type(HWND edit, const std::string& text) {
    for (char c : text) {
        PostMessageA(edit, WM_CHAR, static_cast<unsigned char>(c), 1);
    }
}

// Selects the field's text as a user's Ctrl+A does, types over it, and waits until
// the field shows the new text (which must differ from the old).
bool Replace(HWND edit, const std::string& text) {
    PostMessageA(edit, EM_SETSEL, 0, -1);
    Type(edit, text);
    return WaitFor([&] { return TextOf(edit) == text; });
}

struct List {
    HWND box;
    int Count() const { return static_cast<int>(SendMessageA(box, LB_GETCOUNT, 0, 0)); }
    // Read through the wide-character message: the list lives in another process,
    // and the system carries its text across as wide characters.
    std::string Text(int i) const {
        wchar_t wide[5120] = {};
        SendMessageW(box, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide));
        char text[5120 * 2] = {};
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
        return text;
    }
    void ClickEntry(int i, WPARAM keys = 0, bool twice = false) const {
        const int height = static_cast<int>(SendMessageA(box, LB_GETITEMHEIGHT, 0, 0));
        const int top = static_cast<int>(SendMessageA(box, LB_GETTOPINDEX, 0, 0));
        const int y = (i - top) * height + height / 2;
        PostMessageA(box, WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(8, y));
        PostMessageA(box, WM_LBUTTONUP, keys, MAKELPARAM(8, y));
        if (twice) {
            PostMessageA(box, WM_LBUTTONDBLCLK, MK_LBUTTON | keys, MAKELPARAM(8, y));
            PostMessageA(box, WM_LBUTTONUP, keys, MAKELPARAM(8, y));
        }
    }
    bool Selected(int i) const {
        return SendMessageA(box, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0;
    }
};

std::vector<HWND> TopWindows(const char* caption) {
    struct Search {
        const char* caption;
        std::vector<HWND> found;
    } search{caption, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            char text[256] = {};
            GetWindowTextA(window, text, sizeof text);
            if (IsWindowVisible(window) && std::string(text) == s->caption) {
                s->found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND TopWindow(const char* caption) {
    HWND found = nullptr;
    WaitFor([&] {
        const std::vector<HWND> all = TopWindows(caption);
        found = all.empty() ? nullptr : all.front();
        return found != nullptr;
    });
    return found;
}

HWND ChildWithText(HWND parent, const std::string& text, const char* className = nullptr) {
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[64] = {};
        GetClassNameA(child, cls, sizeof cls);
        if (TextOf(child) == text && (className == nullptr || lstrcmpiA(cls, className) == 0)) {
            return child;
        }
    }
    return nullptr;
}

// A screenshot of a window's client area on the screen, as a .bmp file, once the
// window and its controls have painted what they show. The frame is left out: with no
// window manager on the virtual display, nothing draws it.
void Screenshot(HWND window, const std::string& path) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RECT r;
    GetClientRect(window, &r);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
    const int w = r.right - r.left, h = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = w;
    info.biHeight = h;
    info.biPlanes = 1;
    info.biBitCount = 24;
    const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    std::vector<unsigned char> pixels(stride * static_cast<DWORD>(h));
    GetDIBits(memory, bitmap, 0, static_cast<UINT>(h), pixels.data(),
              reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(reinterpret_cast<const char*>(pixels.data()),
              static_cast<std::streamsize>(pixels.size()));
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

// --- The songs ---------------------------------------------------------------------

std::string Record(const std::string& title, const std::string& artist, const std::string& album,
                   const std::string& year, const std::string& comment, unsigned char genre) {
    std::string record = "TAG";
    for (auto [text, width] :
         {std::pair{title, 30}, {artist, 30}, {album, 30}, {year, 4}, {comment, 30}}) {
        std::string field = text.substr(0, static_cast<size_t>(width));
        field.resize(static_cast<size_t>(width), '\0');
        record += field;
    }
    record += static_cast<char>(genre);
    return record;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string Audio(size_t size) {
    std::string audio(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        audio[i] = static_cast<char>((i * 7 + 3) % 251 == 'T' ? 0 : (i * 7 + 3) % 251);
    }
    return audio;
}

// --- Names and text in every script ------------------------------------------------

std::wstring WideText(HWND window) {
    wchar_t text[6000] = {};
    SendMessageW(window, WM_GETTEXT, 6000, reinterpret_cast<LPARAM>(text));
    return text;
}

// Types `text` over a field's text as WM_CHAR, one UTF-16 unit at a time (a pair as
// its two halves, as a keyboard delivers it), and waits until the field shows it.
bool ReplaceWide(HWND edit, const std::wstring& text) {
    PostMessageW(edit, EM_SETSEL, 0, -1);
    for (wchar_t unit : text) {
        PostMessageW(edit, WM_CHAR, unit, 1);
    }
    return WaitFor([&] { return WideText(edit) == text; });
}

// "Open Mp3..." and the real open dialog: goes to `folder` by typing it into the file
// name box, then chooses `names` (each in quotes) there; `what` names the step in
// failures.
void ChooseInOpenDialog(HWND openButton, const std::wstring& folder, const std::wstring& names,
                        const std::string& what) {
    Click(openButton);
    const HWND open = TopWindow("Open...");
    Check(open != nullptr, what + ": the open dialog is titled Open...");
    if (open == nullptr) {
        return;
    }
    // The edit of the file name box: cmb13, a ComboBoxEx32, or edt1.
    HWND name = GetDlgItem(open, 0x47C);
    name = name != nullptr ? reinterpret_cast<HWND>(SendMessageW(name, CBEM_GETEDITCONTROL, 0, 0))
                           : GetDlgItem(open, 0x480);
    Check(ReplaceWide(name, folder), what + ": the folder typed into the file name box");
    Click(GetDlgItem(open, IDOK));
    // Having gone to the folder, the dialog empties the file name box (or, in some
    // versions, selects its text for typing over).
    CheckSoon(
        [&] {
            const DWORD selection = static_cast<DWORD>(SendMessageW(name, EM_GETSEL, 0, 0));
            return WideText(name).empty() ||
                   (LOWORD(selection) == 0 &&
                    HIWORD(selection) == static_cast<WORD>(folder.size()));
        },
        what + ": the open dialog goes to the folder");
    Check(ReplaceWide(name, names), what + ": the names typed into the file name box");
    Click(GetDlgItem(open, IDOK));
    CheckSoon([] { return TopWindows("Open...").empty(); }, what + ": the open dialog closes");
}

// A text of the driver's own code page as wide characters.
std::wstring Wide(const std::string& text) {
    wchar_t wide[6000] = {};
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, 6000);
    return wide;
}

std::string ReadWideFile(const std::wstring& path) {
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        char buffer[4096];
        DWORD got = 0;
        while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
            bytes.append(buffer, got);
        }
        CloseHandle(file);
    }
    return bytes;
}

void WriteWideFile(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// Songs named in scripts the Western code page cannot spell, in a Greek folder, go
// through the real open dialog into the list under their own names, and Save To ALL
// writes the typed text into each as the Western code page has it: Windows' best fit
// where there is one, else one "?" a character. Artist is typed to its limit of 30
// characters and fills its 30 bytes; the emoji in Comment takes two of the field's
// characters and one byte. The Title switch is off (as the main test left it), so
// each song keeps its own title and genre.
void NamesInEveryScript(HWND main, const std::string& folder, const std::string& audio) {
    auto item = [main](int id) { return GetDlgItem(main, id); };
    wchar_t wideFolder[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, folder.c_str(), -1, wideFolder, MAX_PATH);
    const std::wstring greek = std::wstring(wideFolder) + L"\\Ελλάδα";
    CreateDirectoryW(greek.c_str(), nullptr);
    const std::wstring names[] = {L"Пример.mp3",   L"日本の歌.mp3", L"Łódź.mp3",
                                  L"τραγούδι.mp3", L"🎵 tune.mp3",   L"Ünï.mp3"};
    std::wstring typed;
    for (size_t k = 0; k < std::size(names); ++k) {
        WriteWideFile(greek + L"\\" + names[k],
                      audio + Record("Own title", "Old", "Old", "1990", "Old",
                                     static_cast<unsigned char>(40 + k)));
        typed += L"\"" + names[k] + L"\" ";
    }

    ChooseInOpenDialog(item(IDC_OPEN), greek, typed, "names in other scripts");

    // Each is listed under its own name, read on the wide side of the list.
    const HWND list = item(IDC_FILE_LIST);
    CheckSoon(
        [&] {
            return SendMessageW(list, LB_GETCOUNT, 0, 0) == static_cast<LRESULT>(std::size(names));
        },
        "six entries listed");
    for (const std::wstring& song : names) {
        const std::wstring path = greek + L"\\" + song;
        Check(SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                           reinterpret_cast<LPARAM>(path.c_str())) >= 0,
              "listed under its own name: song " + std::to_string(&song - names));
    }

    // Selecting one shows its tag: the program reads a file of any name.
    List{list}.ClickEntry(0);
    CheckSoon([&] { return TextOf(item(IDC_ARTIST)) == "Old"; }, "selecting one shows its tag");
    Check(ReplaceWide(item(IDC_ARTIST), L"Пример 日本 " + std::wstring(20, L'Ł')) &&
              ReplaceWide(item(IDC_ALBUM), L"Łódź Café ő €") &&
              ReplaceWide(item(IDC_YEAR), L"2026") &&
              ReplaceWide(item(IDC_COMMENT), L"🎵 tune " + std::wstring(22, L'ľ')),
          "text in other scripts typed into the fields");
    Click(item(IDC_SAVE_ALL));
    for (size_t k = 0; k < std::size(names); ++k) {
        const std::wstring path = greek + L"\\" + names[k];
        const std::string record =
            Record("Own title", "?????? ?? " + std::string(20, 'L'), "L\363dz Caf\351 o \200",
                   "2026", "? tune " + std::string(22, 'l'), static_cast<unsigned char>(40 + k));
        CheckSoon([&] { return ReadWideFile(path) == audio + record; },
                  "Save To ALL writes the whole record into song " + std::to_string(k));
    }

    Click(item(IDC_CLEAR_ALL));
    CheckSoon([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) == 0; }, "the list emptied");
    for (const std::wstring& song : names) {
        DeleteFileW((greek + L"\\" + song).c_str());
    }
    RemoveDirectoryW(greek.c_str());
}

// --- Long work -----------------------------------------------------------------------
// A save through a few hundred songs on a slow disk. run_wine_e2e.sh makes the songs
// slow to open when asked, as on a network share: it delays each openat of a song by the
// program and by wineserver (which opens files for the program). The driver writes the
// songs into the folder "songs" of the folder QUORWIN_SLOW_DISK names and asks through
// files there: it writes "slow" or "fast", and the script answers with "slow.done" or
// "fast.done" once it has done so, or with "slow.failed" or "fast.failed" (no song's
// opening was delayed).

constexpr int kLongSongs = 300;
// The songs the program has in hand at once.
constexpr int kFilesInFlight = 16;

bool AskScript(const std::string& handshake, const std::string& request) {
    WriteFile(handshake + "\\" + request, "");
    auto exists = [&](const char* answer) {
        return GetFileAttributesA((handshake + "\\" + request + answer).c_str()) !=
               INVALID_FILE_ATTRIBUTES;
    };
    WaitFor([&] { return exists(".done") || exists(".failed"); }, 60000);
    return exists(".done");
}

// The visible top-level windows of the main window's process other than the main window.
std::vector<HWND> OtherWindows(HWND main) {
    struct Search {
        HWND main;
        DWORD process;
        std::vector<HWND> found;
    } search{main, 0, {}};
    GetWindowThreadProcessId(main, &search.process);
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            if (process == s->process && window != s->main && IsWindowVisible(window)) {
                s->found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Lists a few hundred songs through the open dialog, presses Save To ALL on a slow disk
// and checks that the windows keep answering and that the progress box shows, then
// presses Enter in it and checks what the files hold; saves again on a fast disk.
void LongSave(HWND main, const std::string& artifacts) {
    char handshakeText[MAX_PATH] = {};
    if (GetEnvironmentVariableA("QUORWIN_SLOW_DISK", handshakeText, MAX_PATH) == 0) {
        Check(false, "QUORWIN_SLOW_DISK names the folder for asking for a slow disk");
        return;
    }
    const std::string handshake = handshakeText;
    auto item = [main](int id) { return GetDlgItem(main, id); };
    const List list{item(IDC_FILE_LIST)};
    const DWORD thread = GetWindowThreadProcessId(main, nullptr);
    auto focus = [thread]() -> HWND {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
    };

    // The songs, each with a record of its own.
    const std::string folder = handshake + "\\songs";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string audio = Audio(2000);
    std::vector<std::string> paths, before;
    std::string names;
    for (int i = 0; i < kLongSongs; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "s%03d.mp3", i + 1);
        const std::string n = std::to_string(i + 1);
        paths.push_back(folder + "\\" + name);
        before.push_back(audio + Record("Song " + n, "Artist " + n, "Album " + n, "1990",
                                        "Old " + n, static_cast<unsigned char>(i % 80)));
        WriteFile(paths.back(), before.back());
        names += std::string("\"") + name + "\" ";
    }

    // All listed at once through the open dialog, onto the empty list.
    ChooseInOpenDialog(item(IDC_OPEN), Wide(folder), Wide(names), "long save");
    CheckSoon([&] { return list.Count() == kLongSongs; },
              "long save: " + std::to_string(kLongSongs) + " songs listed");

    // Every field switched on, with texts of its own.
    for (int use : {IDC_USE_TITLE, IDC_USE_ARTIST, IDC_USE_ALBUM, IDC_USE_YEAR, IDC_USE_COMMENT}) {
        if (IsDlgButtonChecked(main, use) != BST_CHECKED) {
            Click(item(use));
        }
    }
    CheckSoon(
        [&] {
            for (int use :
                 {IDC_USE_TITLE, IDC_USE_ARTIST, IDC_USE_ALBUM, IDC_USE_YEAR, IDC_USE_COMMENT}) {
                if (IsDlgButtonChecked(main, use) != BST_CHECKED) {
                    return false;
                }
            }
            return true;
        },
        "long save: every field switched on");
    // Plain texts: what an earlier step left in the fields may be in other scripts.
    Check(Replace(item(IDC_TITLE), "Long Save") && Replace(item(IDC_ARTIST), "Long Artist") &&
              Replace(item(IDC_ALBUM), "Long Album") && Replace(item(IDC_YEAR), "2027") &&
              Replace(item(IDC_COMMENT), "Long Comment"),
          "long save: the fields typed");
    auto saved = [&](int i) {
        return audio + Record("Long Save", "Long Artist", "Long Album", "2027", "Long Comment",
                              static_cast<unsigned char>(i % 80));
    };

    bool slow = list.Count() == kLongSongs;
    if (slow) {
        slow = AskScript(handshake, "slow");
        Check(slow, "long save: the script makes file opens slow");
    }
    if (slow) {
        HungChecks hung;
        Click(item(IDC_SAVE_ALL));
        Check(WaitFor([&] { return ReadFile(paths[0]) == saved(0); }, 30000),
              "long save: Save To ALL writes the first song");
        const HWND focusBefore = focus();
        hung.Start(main, 50);

        HWND box = nullptr;
        Check(WaitFor([&] { return (box = ProgressBox(main)) != nullptr; }, 30000),
              "long save: a progress box captioned Quorwin, owned by the main window, shows");
        int first = -1, second = -1, mayChange = -1;
        if (box != nullptr) {
            const HWND cancel = GetDlgItem(box, IDCANCEL);
            Check(cancel != nullptr && TextOf(cancel) == "Cancel", "long save: the box's Cancel");
            CheckSoon([&] { return cancel != nullptr && focus() == cancel; },
                      "long save: Cancel has the focus");
            Check(!IsWindowEnabled(main), "long save: the main window is disabled");
            const HWND text = GetDlgItem(box, IDC_PROGRESS_TEXT);
            CheckSoon(
                [&] {
                    const std::string shown = TextOf(text);
                    return shown.rfind("Saving ", 0) == 0 &&
                           shown.find(" of " + std::to_string(kLongSongs) + " files") !=
                               std::string::npos;
                },
                "long save: the box tells how far the save is: " + TextOf(text));
            const HWND bar = GetDlgItem(box, IDC_PROGRESS_BAR);
            char barClass[64] = {};
            GetClassNameA(bar, barClass, sizeof barClass);
            Check(lstrcmpiA(barClass, PROGRESS_CLASSA) == 0 &&
                      SendMessageA(bar, PBM_GETRANGE, FALSE, 0) == kLongSongs,
                  "long save: a progress bar that ends at the number of songs");
            first = static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0));
            Check(WaitFor([&] {
                      second = static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0));
                      return second > first;
                  }),
                  "long save: the bar rises from " + std::to_string(first));
            Screenshot(box, artifacts + "wine-progress.bmp");
            CheckSoon([&] { return hung.withBox >= 5; },
                      "long save: the window answers the hung check with the box up");

            // Enter on the focused Cancel, the box's default button: no new song starts,
            // and while the songs in hand finish the box says how many they are, with its
            // Cancel disabled, and its bar counts the songs finished: each finished since
            // was one of those in hand, so the songs that change are at most the two
            // together. The text, the bar and the text again, alike twice, are one
            // moment's. The box may go before it is seen telling; then the bound is what
            // it showed finished at the cancel and every song handed out, started or not
            // (a finished song is counted once it is taken back).
            hung.Stop();
            Key(cancel, VK_RETURN);
            const std::string atCancel = TextOf(text);
            const std::string saving = "Saving ", cancelled = "Cancelled: finishing ";
            const int finishedShown =
                atCancel.rfind(saving, 0) == 0 ? std::atoi(atCancel.c_str() + saving.size()) : -1;
            int inHand = -1;
            bool cancelEnabled = false;
            for (const ULONGLONG end = GetTickCount64() + 30000;
                 IsWindow(box) && GetTickCount64() < end;) {
                const std::string shown = TextOf(text);
                if (shown.rfind(cancelled, 0) != 0) {
                    continue;
                }
                const int position = static_cast<int>(SendMessageA(bar, PBM_GETPOS, 0, 0));
                const bool enabled = IsWindowEnabled(cancel) != FALSE;
                if (TextOf(text) == shown && IsWindow(bar)) {
                    if (inHand < 0) {
                        inHand = std::atoi(shown.c_str() + cancelled.size());
                        mayChange = position + inHand;
                    }
                    cancelEnabled = cancelEnabled || enabled;
                }
            }
            if (inHand >= 0) {
                Check(inHand <= kFilesInFlight,
                      "long save: sixteen songs in hand at most: " + std::to_string(inHand));
                Check(!cancelEnabled, "long save: the box's Cancel is disabled meanwhile");
            } else {
                std::printf("long save: the box went before it was seen telling of the songs "
                            "finishing\n");
                Check(finishedShown >= 0,
                      "long save: the box told how far the save was: " + atCancel);
                mayChange = finishedShown + 2 * kFilesInFlight;
            }
            CheckSoon([&] { return !IsWindow(box); }, "long save: then the box goes");
            CheckSoon([&] { return IsWindowEnabled(main); },
                      "long save: the main window is enabled again");
            // A message shown would hold the focus.
            CheckSoon([&] { return focusBefore != nullptr && focus() == focusBefore; },
                      "long save: the focus is back where it was");
            Check(OtherWindows(main).empty(), "long save: no message shows");
        }
        hung.Stop();
        Check(hung.unanswered == 0, "long save: every WM_NULL answered within a second; " +
                                        std::to_string(hung.unanswered) + " were not");
        Check(hung.beforeBox >= 3, "long save: the window answers the hung check before the box; " +
                                       std::to_string(hung.beforeBox) + " answers");
        Check(AskScript(handshake, "fast"),
              "long save: the slow disk delayed the songs and is taken away");

        int written = 0, untouched = 0, neither = 0;
        for (int i = 0; i < kLongSongs; ++i) {
            const std::string bytes = ReadFile(paths[i]);
            if (bytes == saved(i)) {
                ++written;
            } else if (bytes == before[i]) {
                ++untouched;
            } else {
                ++neither;
            }
        }
        Check(neither == 0, "long save: each song is untouched or has its whole new record; " +
                                std::to_string(neither) + " are neither");
        // Sixteen songs are in hand at a time; the others waiting are not started.
        Check(written >= second && untouched >= 1 && written <= mayChange,
              "long save: the cancel stops the save; saved " + std::to_string(written) +
                  " songs, the bar showed " + std::to_string(second) +
                  " before the cancel, and at most " + std::to_string(mayChange) +
                  " may change after it");
    }

    // Again, on a fast disk: every song gets its record.
    Click(item(IDC_SAVE_ALL));
    Check(WaitFor([&] { return ReadFile(paths.back()) == saved(kLongSongs - 1); }, 60000),
          "long save: Save To ALL again reaches the last song");
    int saves = 0;
    for (int i = 0; i < kLongSongs; ++i) {
        saves += ReadFile(paths[i]) == saved(i) ? 1 : 0;
    }
    Check(saves == kLongSongs, "long save: Save To ALL again writes every song; " +
                                   std::to_string(saves) + " have the new record");
    CheckSoon([&] { return IsWindowEnabled(main) && ProgressBox(main) == nullptr; },
              "long save: after the second save the main window is enabled and the box gone");

    Click(item(IDC_CLEAR_ALL));
    CheckSoon([&] { return list.Count() == 0; }, "long save: Clear All at the end");
    for (const std::string& path : paths) {
        DeleteFileA(path.c_str());
    }
    RemoveDirectoryA(folder.c_str());
}

// --- The picture -----------------------------------------------------------------------
// The window as it is used on a music folder: an album's songs chosen through the open
// dialog, the first one's tag shown, an album and a year typed for all of them, Title
// and Comments switched off. The folder is on the test's own drive C:.
void AlbumPicture(HWND main, const std::string& artifacts) {
    auto item = [main](int id) { return GetDlgItem(main, id); };
    const std::string folders[] = {"C:\\Music", "C:\\Music\\Nina Ray",
                                   "C:\\Music\\Nina Ray\\Night Lines (2019)"};
    const std::string& album = folders[2];
    for (const std::string& folder : folders) {
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    const std::string songs[] = {"01 Opening",          "02 Salt Window",      "03 Quiet Engines",
                                 "04 Ferrylight",       "05 Copper Sky Drive", "06 Halvard Street",
                                 "07 Northbound Glass", "08 Lantern Tide",     "09 Closing"};
    std::string names;
    for (const std::string& song : songs) {
        WriteFile(album + "\\" + song + ".mp3",
                  Audio(3000) + Record(song.substr(3), "Nina Ray", "", "", "", 12));
        names += "\"" + song + ".mp3\" ";
    }
    ChooseInOpenDialog(item(IDC_OPEN), Wide(album), Wide(names), "the album");
    const List list{item(IDC_FILE_LIST)};
    CheckSoon([&] { return list.Count() == static_cast<int>(std::size(songs)); },
              "the album's songs listed");
    list.ClickEntry(0);
    CheckSoon([&] { return TextOf(item(IDC_TITLE)) == "Opening"; }, "the first song's tag shown");
    Check(Replace(item(IDC_ALBUM), "Night Lines") && Replace(item(IDC_YEAR), "2019"),
          "the album and the year typed");
    const int uses[] = {IDC_USE_TITLE, IDC_USE_ARTIST, IDC_USE_ALBUM, IDC_USE_YEAR,
                        IDC_USE_COMMENT};
    auto wanted = [main](int use) {
        const bool on = use != IDC_USE_TITLE && use != IDC_USE_COMMENT;
        return (IsDlgButtonChecked(main, use) == BST_CHECKED) == on;
    };
    for (int use : uses) {
        if (!wanted(use)) {
            Click(item(use));
        }
    }
    CheckSoon([&] { return std::all_of(std::begin(uses), std::end(uses), wanted); },
              "Title and Comments switched off, the others on");
    Screenshot(main, artifacts + "wine-album.bmp");

    Click(item(IDC_CLEAR_ALL));
    CheckSoon([&] { return list.Count() == 0; }, "the album taken off the list");
    for (const std::string& song : songs) {
        DeleteFileA((album + "\\" + song + ".mp3").c_str());
    }
    for (int i = static_cast<int>(std::size(folders)) - 1; i >= 0; --i) {
        RemoveDirectoryA(folders[i].c_str());
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::printf("usage: quorwin_driver PROGRAM.exe ARTIFACT_FOLDER\n");
        return 2;
    }
    const std::string program = argv[1];
    const std::string artifacts = std::string(argv[2]) + "\\";
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder =
        std::string(temp) + "quorwin-e2e-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string a = folder + "\\a.mp3", b = folder + "\\B.mp3";
    const std::string audio = Audio(3000);
    WriteFile(a, audio + Record("Title A", "Artist A", "Album A", "1998", "Comment A", 17));
    WriteFile(b, audio + Record("Title B", "Artist B", "Album B", "1999", "Comment B", 33));

    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string commandLine = "\"" + program + "\"";
    if (!CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        std::printf("FAILED: cannot start %s\n0 passed, 1 failed\n", program.c_str());
        return 1;
    }
    WaitForInputIdle(process.hProcess, 10000);
    const HWND main = TopWindow("Quorwin ");
    if (main == nullptr) {
        std::printf("FAILED: no main window\n0 passed, 1 failed\n");
        TerminateProcess(process.hProcess, 1);
        return 1;
    }
    auto item = [main](int id) { return GetDlgItem(main, id); };
    auto shows = [&](const char* title, const char* artist, const char* year, const char* comment) {
        return TextOf(item(IDC_TITLE)) == title && TextOf(item(IDC_ARTIST)) == artist &&
               TextOf(item(IDC_YEAR)) == year && TextOf(item(IDC_COMMENT)) == comment;
    };
    const List list{item(IDC_FILE_LIST)};

    // The start state.
    const std::pair<int, int> fields[] = {{IDC_TITLE, IDC_USE_TITLE},
                                          {IDC_ARTIST, IDC_USE_ARTIST},
                                          {IDC_ALBUM, IDC_USE_ALBUM},
                                          {IDC_YEAR, IDC_USE_YEAR},
                                          {IDC_COMMENT, IDC_USE_COMMENT}};
    for (const auto& [field, use] : fields) {
        Check(IsDlgButtonChecked(main, use) == BST_CHECKED,
              "switch " + std::to_string(use) + " starts checked");
        Check(IsWindowEnabled(item(field)) && TextOf(item(field)).empty(),
              "field " + std::to_string(field) + " starts enabled and empty");
    }
    Check(list.Count() == 0, "the list starts empty");

    // The platform's edit fields refuse what is beyond their limits. A backspace and a
    // character after the refused one end the field as they can only if it was refused.
    Type(item(IDC_YEAR), "19999\b7");
    CheckSoon([&] { return TextOf(item(IDC_YEAR)) == "1997"; },
              "a fifth character into Year is refused");
    Type(item(IDC_TITLE), std::string(31, 't') + "\bx");
    CheckSoon([&] { return TextOf(item(IDC_TITLE)) == std::string(29, 't') + "x"; },
              "a thirty-first character into Title is refused");

    // The real open dialog: go to the folder, choose both songs.
    ChooseInOpenDialog(item(IDC_OPEN), Wide(folder), L"\"B.mp3\" \"a.mp3\"", "two songs");
    CheckSoon([&] { return list.Count() == 2; }, "two entries listed");
    Check(list.Text(0) == a && list.Text(1) == b,
          "the list orders a before B: " + list.Text(0) + " | " + list.Text(1));

    // Selecting an entry shows its tag.
    list.ClickEntry(1);
    CheckSoon([&] { return shows("Title B", "Artist B", "1999", "Comment B"); },
              "selecting B shows its whole tag");

    // Save To ALL with Title switched off.
    Check(Replace(item(IDC_ALBUM), "Same Album") && Replace(item(IDC_YEAR), "2026"),
          "Album and Year typed");
    Click(item(IDC_USE_TITLE));
    CheckSoon(
        [&] {
            return IsDlgButtonChecked(main, IDC_USE_TITLE) == BST_UNCHECKED &&
                   !IsWindowEnabled(item(IDC_TITLE));
        },
        "unchecking Title: disables the Title field");
    Click(item(IDC_SAVE_ALL));
    CheckSoon(
        [&] {
            return ReadFile(a) ==
                   audio + Record("Title A", "Artist B", "Same Album", "2026", "Comment B", 17);
        },
        "Save To ALL: a holds the switched-on fields, its own title and genre");
    CheckSoon(
        [&] {
            return ReadFile(b) ==
                   audio + Record("Title B", "Artist B", "Same Album", "2026", "Comment B", 33);
        },
        "Save To ALL: B holds the switched-on fields, its own title and genre");

    // Save To Selected writes only the selected entry. Ctrl-clicking B afterwards shows
    // B's tag as its file holds it once the save is done, and selects both for the picture.
    list.ClickEntry(0);
    CheckSoon([&] { return shows("Title A", "Artist B", "2026", "Comment B"); },
              "selecting a shows its tag");
    Check(Replace(item(IDC_COMMENT), "Only A"), "Comment typed");
    Click(item(IDC_SAVE_SELECTED));
    CheckSoon(
        [&] {
            return ReadFile(a) ==
                   audio + Record("Title A", "Artist B", "Same Album", "2026", "Only A", 17);
        },
        "Save To Selected writes the selected file");
    list.ClickEntry(1, MK_CONTROL);
    CheckSoon(
        [&] {
            return shows("Title B", "Artist B", "2026", "Comment B") && list.Selected(0) &&
                   list.Selected(1);
        },
        "Ctrl-clicking B selects both and shows B's tag");
    Check(ReadFile(b) ==
              audio + Record("Title B", "Artist B", "Same Album", "2026", "Comment B", 33),
          "Save To Selected leaves the other file");

    // Enter and Escape do not close the main window: the text typed after them shows
    // that both were handled.
    Key(item(IDC_COMMENT), VK_RETURN);
    Key(item(IDC_COMMENT), VK_ESCAPE);
    Check(Replace(item(IDC_COMMENT), "Still here"), "the main window takes input after them");
    Check(IsWindow(main) && WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT,
          "Enter and Escape leave the main window open");
    Check(Replace(item(IDC_COMMENT), "Comment B"), "the comment typed back");
    Screenshot(main, artifacts + "wine-main.bmp");

    // Double-click removes the focused entry.
    list.ClickEntry(1, 0, true);
    CheckSoon([&] { return list.Count() == 1 && list.Text(0) == a; },
              "double-clicking B removes it alone");
    // Clear All empties the list; Save To ALL then asks for files.
    Click(item(IDC_CLEAR_ALL));
    CheckSoon([&] { return list.Count() == 0; }, "Clear All empties the list");
    NamesInEveryScript(main, folder, audio);
    Click(item(IDC_SAVE_ALL));
    HWND box = TopWindow("Error");
    Check(box != nullptr, "Save To ALL on an empty list shows a box captioned Error");
    if (box != nullptr) {
        Check(ChildWithText(box, "Please open some mp3's to edit") != nullptr, "the box's text");
        int buttons = 0;
        HWND ok = nullptr;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            char cls[32] = {};
            GetClassNameA(child, cls, sizeof cls);
            const LONG style = GetWindowLongA(child, GWL_STYLE);
            if (lstrcmpiA(cls, "Button") == 0 && IsWindowVisible(child)) {
                ++buttons;
                ok = child;
            }
            if (lstrcmpiA(cls, "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON) {
                Check(!IsWindowVisible(child) || SendMessageA(child, STM_GETICON, 0, 0) == 0,
                      "the box shows no icon");
            }
        }
        Check(buttons == 1 && TextOf(ok) == "OK", "the box has one OK button");
        Click(ok);
        CheckSoon([] { return TopWindows("Error").empty(); }, "OK dismisses the box");
    }

    // About boxes: several at once, each closing by itself; Escape does not close one.
    const std::string shownBefore = TextOf(item(IDC_COMMENT));
    auto aboutBoxes = [](size_t count) {
        return WaitFor([count] { return TopWindows("About Quorwin").size() == count; });
    };
    Click(item(IDC_ABOUT));
    const HWND first = TopWindow("About Quorwin");
    Check(first != nullptr, "About... opens the About box");
    Click(item(IDC_ABOUT));
    Check(aboutBoxes(2), "the main window still takes input: a second About box");
    if (first != nullptr) {
        Screenshot(first, artifacts + "wine-about.bmp");
        // The third box can only open once the Escape before it was handled.
        Key(GetDlgItem(first, IDOK), VK_ESCAPE);
        Click(item(IDC_ABOUT));
        Check(aboutBoxes(3) && IsWindow(first), "Escape does not close the About box");
        PostMessageA(first, WM_SYSCOMMAND, SC_CLOSE, 0);
        CheckSoon([first] { return !IsWindow(first); }, "the close box closes the first box");
    }
    const std::vector<HWND> left = TopWindows("About Quorwin");
    Check(left.size() == 2, "the other boxes are still open");
    if (left.size() == 2) {
        Key(GetDlgItem(left[0], IDOK), VK_RETURN);
        CheckSoon([&] { return !IsWindow(left[0]); }, "Enter closes a box");
        Check(IsWindow(left[1]), "Enter leaves the other box open");
        Click(GetDlgItem(left[1], IDOK));
        CheckSoon([&] { return !IsWindow(left[1]); }, "OK closes the About box");
    }
    Check(IsWindow(main) && TextOf(item(IDC_COMMENT)) == shownBefore && list.Count() == 0,
          "the main window is as it was");

    AlbumPicture(main, artifacts);
    LongSave(main, artifacts);

    // The close box ends the program with status 0.
    PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD status = 1;
    Check(WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0 &&
              GetExitCodeProcess(process.hProcess, &status) && status == 0,
          "closing the main window ends the program with status 0");
    if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
    }
    DeleteFileA(a.c_str());
    DeleteFileA(b.c_str());
    RemoveDirectoryA(folder.c_str());
    std::printf("wine end-to-end: %d passed, %d failed\n", gPassed, gFailed);
    return gFailed == 0 ? 0 : 1;
}
