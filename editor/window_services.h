// Where the platform's window services come from: the real user32, comdlg32 and
// shell32 on Windows, the stand-in elsewhere; and how a path in the program's bytes
// becomes the file system's. The only platform switch in the program.
#pragma once

#include <filesystem>
#include <string>

#ifdef _WIN32
#include <windows.h>

#include <commctrl.h> // the progress bar; after windows.h, as are the next two
#include <commdlg.h>
#include <shellapi.h> // dropped files
constexpr char kDirectorySeparator = '\\';

// The program's paths are in the ANSI code page; the file system's names are wide.
// False when a name has no spelling in the other (the program could not open it).
inline bool PathFromText(const char* text, std::filesystem::path& path) {
    const int length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, nullptr, 0);
    if (length <= 0) {
        return false;
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, text, -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length - 1));
    path = wide;
    return true;
}

inline bool TextFromPath(const std::filesystem::path& path, std::string& text) {
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
#endif
