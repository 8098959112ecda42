// Where the platform's window services come from: the real user32, comdlg32 and
// shell32 on Windows, the stand-in elsewhere. The only platform switch in the program.
#pragma once

#ifdef _WIN32
#include <windows.h>

#include <commdlg.h>  // after windows.h, which they need
#include <shellapi.h> // dropped files
constexpr char kDirectorySeparator = '\\';
#else
#include "winlayer/include/windows.h"
constexpr char kDirectorySeparator = '/';
#endif
