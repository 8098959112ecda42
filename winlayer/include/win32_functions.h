// The user32, comdlg32 and shell32 functions the program calls, under their Win32 names.
#pragma once

#include "winlayer/include/win32_types.h"

INT_PTR WINAPI DialogBoxParamA(HINSTANCE instance, LPCSTR templateName, HWND owner,
                               DLGPROC dialogProc, LPARAM initParam);
// A modeless dialog: built, shown when its template says WS_VISIBLE, and returned at
// once; its input comes through the caller's own message loop.
HWND WINAPI CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND owner,
                               DLGPROC dialogProc, LPARAM initParam);
BOOL WINAPI DestroyWindow(HWND window);
void WINAPI PostQuitMessage(int exitCode);
HWND WINAPI GetDlgItem(HWND dialog, int id);
UINT WINAPI GetDlgItemTextA(HWND dialog, int id, LPSTR text, int maxCount);
BOOL WINAPI SetDlgItemTextA(HWND dialog, int id, LPCSTR text);
BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check);
UINT WINAPI IsDlgButtonChecked(HWND dialog, int id);
BOOL WINAPI EnableWindow(HWND window, BOOL enable);
BOOL WINAPI IsChild(HWND parent, HWND window);
LONG_PTR WINAPI GetWindowLongPtrA(HWND window, int index);
LONG_PTR WINAPI SetWindowLongPtrA(HWND window, int index, LONG_PTR value);
BOOL WINAPI InvalidateRect(HWND window, const RECT* rect, BOOL erase);
LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
int WINAPI MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
BOOL WINAPI GetOpenFileNameA(LPOPENFILENAMEA options);
// The thread's message queue, for a command that keeps its windows alive while it works.
BOOL WINAPI PeekMessageA(LPMSG msg, HWND window, UINT first, UINT last, UINT remove);
BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG msg);
BOOL WINAPI TranslateMessage(const MSG* msg);
LRESULT WINAPI DispatchMessageA(const MSG* msg);
ULONGLONG WINAPI GetTickCount64();

// The common controls (comctl32).
BOOL WINAPI InitCommonControlsEx(const INITCOMMONCONTROLSEX* classes);

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name);
HCURSOR WINAPI SetCursor(HCURSOR cursor);

// Files dropped onto a window (shell32).
void WINAPI DragAcceptFiles(HWND window, BOOL accept);
UINT WINAPI DragQueryFileA(HDROP drop, UINT file, LPSTR name, UINT size);
void WINAPI DragFinish(HDROP drop);

// The program's entry point, which the program defines.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR commandLine, int show);
