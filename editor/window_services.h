// Where the platform's window services come from: the real user32, comdlg32 and
// shell32 on Windows, the stand-in elsewhere; how a path in the program's bytes
// becomes the file system's and back, and how a folder is listed; how a list entry is
// read; and how a field's text becomes the record's bytes. The only platform switch in
// the program.
#pragma once

#include "tagstore/tag_file.h"

#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

// What an entry of a folder is to a walk of it: a folder of its own (a link to one is
// not entered, so no walk can loop), a regular file or a link to one, or neither.
enum class EntryKind { Folder, File, Other };

#ifdef _WIN32
#include <windows.h>

#include <commctrl.h> // the progress bar; after windows.h, as are the next two
#include <commdlg.h>
#include <shellapi.h> // dropped files
constexpr char kDirectorySeparator = '\\';

// The program's paths are in the process code page, UTF-8 by the manifest (the ANSI
// code page on a system older than that); the file system's names are wide, in the
// extended form past the plain form's length, and the program's text has the plain
// form. False when a name has no spelling in the other (the program could not open it).
inline bool PathFromText(const char* text, std::filesystem::path& path) {
    const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length - 1));
    path = wide;
    return ExtendedPath(path);
}

inline bool TextFromPath(const std::filesystem::path& extended, std::string& text) {
    std::filesystem::path path = extended;
    if (!PlainPath(path)) {
        return false;
    }
    const wchar_t* wide = path.c_str();
    const bool utf8 = GetACP() == CP_UTF8; // which allows neither flag nor default check
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL lossy = FALSE;
    const int length =
        WideCharToMultiByte(CP_ACP, flags, wide, -1, nullptr, 0, nullptr, utf8 ? nullptr : &lossy);
    if (length <= 0 || lossy) {
        return false;
    }
    text.assign(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, flags, wide, -1, &text[0], length, nullptr, nullptr);
    text.resize(static_cast<size_t>(length - 1));
    return true;
}

// Calls `each(path, kind)` for every entry of `folder` but "." and "..", until it
// returns false; false only then. A folder that cannot be read has no entries. Calls
// only the file system, on any thread. Asks the system itself: the C runtime's folder
// reading, under the standard library's, makes the folder's full path in a buffer of
// MAX_PATH characters and for a longer one lists the current folder instead; and the
// system tells each entry's kind along with its name.
template <typename Each> bool ReadFolder(const std::filesystem::path& folder, Each each) {
    struct Search {
        HANDLE handle;
        ~Search() {
            if (handle != INVALID_HANDLE_VALUE) {
                FindClose(handle);
            }
        }
    };
    WIN32_FIND_DATAW found;
    const Search search{FindFirstFileExW((folder / L"*").c_str(), FindExInfoBasic, &found,
                                         FindExSearchNameMatch, nullptr,
                                         FIND_FIRST_EX_LARGE_FETCH)};
    if (search.handle == INVALID_HANDLE_VALUE) {
        return true;
    }
    do {
        const std::wstring name = found.cFileName;
        std::filesystem::path path = folder / name;
        if (name == L"." || name == L".." || !ExtendedPath(path)) {
            continue;
        }
        // A link (symbolic or a junction) names another place; other reparse points,
        // such as a file kept in the cloud, hold their own data.
        const DWORD attributes = found.dwFileAttributes;
        const bool link = (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
                          IsReparseTagNameSurrogate(found.dwReserved0);
        EntryKind kind = EntryKind::File;
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            kind = link ? EntryKind::Other : EntryKind::Folder;
        } else if (link) {
            std::error_code error;
            const bool regular = std::filesystem::is_regular_file(path, error) && !error;
            kind = regular ? EntryKind::File : EntryKind::Other;
        }
        if (!each(path, kind)) {
            return false;
        }
    } while (FindNextFileW(search.handle, &found) != 0);
    return true;
}

// List entry `index`'s text, in the process code page as it was added, into the
// zero-filled `text` of `size` bytes; left empty when it does not fit. Read by the wide
// message and converted here: Wine passes the narrow one to a list box of version 6 of
// the common controls through a fixed buffer of 512 characters on its stack, which a
// longer path overruns.
inline void GetListText(HWND list, int index, char* text, int size) {
    const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0) {
        return;
    }
    std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&wide[0]));
    if (WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text, size, nullptr, nullptr) == 0) {
        std::memset(text, 0, static_cast<size_t>(size));
    }
}

// The code page the tag record is kept in: the system's ANSI code page, the one the
// program's "A" calls used before they carried UTF-8. A locale with none (Unicode
// only) or one that names UTF-8 keeps Western (1252), so the record stays single bytes.
inline UINT RecordCodePage() {
    // By the system locale's name: GetLocaleInfoEx takes LOCALE_NAME_SYSTEM_DEFAULT on
    // Windows, but Wine refuses it.
    wchar_t locale[LOCALE_NAME_MAX_LENGTH] = {};
    DWORD codePage = 0;
    const bool got =
        GetSystemDefaultLocaleName(locale, LOCALE_NAME_MAX_LENGTH) > 0 &&
        GetLocaleInfoEx(locale, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                        reinterpret_cast<LPWSTR>(&codePage), sizeof codePage / sizeof(wchar_t)) > 0;
    if (!got || codePage == CP_ACP || codePage == CP_UTF8 || IsValidCodePage(codePage) == 0) {
        return 1252;
    }
    return codePage;
}

// An edit field's text in capture form: at most `width` bytes in the record's code
// page, by Windows' own best-fit conversion, written into a zero-filled `text` of
// width + 1 bytes. Whole characters only: a double-byte character that would not fit
// is left out with everything after it. A character outside the Basic Multilingual
// Plane, which no ANSI code page holds, is one "?" (Windows' own conversion gives one
// for the pair; Wine's gives two).
inline void GetFieldText(HWND dialog, int id, char* text, int width) {
    wchar_t wide[64] = {}; // the field holds at most 30 characters; pairs count twice
    GetDlgItemTextW(dialog, id, wide, static_cast<int>(sizeof wide / sizeof wide[0]));
    const UINT codePage = RecordCodePage();
    int length = 0;
    for (int i = 0; wide[i] != L'\0';) {
        const bool pair = IS_HIGH_SURROGATE(wide[i]) && IS_LOW_SURROGATE(wide[i + 1]);
        char bytes[8] = {'?'};
        const int count = pair ? 1
                               : WideCharToMultiByte(codePage, 0, wide + i, 1, bytes, sizeof bytes,
                                                     nullptr, nullptr);
        if (count <= 0 || length + count > width) {
            return;
        }
        for (int b = 0; b < count; ++b) {
            text[length++] = bytes[b];
        }
        i += pair ? 2 : 1;
    }
}
#else
#include "winlayer/include/windows.h"
constexpr char kDirectorySeparator = '/';

// Paths are the file system's own bytes.
inline bool PathFromText(const char* text, std::filesystem::path& path) {
    path = text;
    return true;
}

inline bool TextFromPath(const std::filesystem::path& path, std::string& text) {
    text = path.native();
    return true;
}

// List entry `index`'s text into `text`, which holds it: an entry is one of the
// program's paths.
inline void GetListText(HWND list, int index, char* text, int) {
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
}

// Calls `each(path, kind)` for every entry of `folder`, until it returns false; false
// only then. A folder that cannot be read has no entries. Calls only the file system,
// on any thread.
template <typename Each> bool ReadFolder(const std::filesystem::path& folder, Each each) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::directory_iterator entry(folder, fs::directory_options::skip_permission_denied, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        std::error_code kindError;
        const fs::file_status own = entry->symlink_status(kindError);
        EntryKind kind = EntryKind::Other;
        if (!kindError && fs::is_directory(own)) {
            kind = EntryKind::Folder;
        } else if (!kindError && entry->is_regular_file(kindError) && !kindError) {
            kind = EntryKind::File;
        }
        if (!each(entry->path(), kind)) {
            return false;
        }
    }
    return true;
}

// An edit field's text in capture form, as the stand-in delivers it: in Windows-1252
// by Windows' best-fit conversion, one byte a character.
inline void GetFieldText(HWND dialog, int id, char* text, int width) {
    GetDlgItemTextA(dialog, id, text, width + 1);
}
#endif
