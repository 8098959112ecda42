// Win32 constants the program and its window templates use, with their real values.
#pragma once

#include "winlayer/include/win32_types.h"

// Window messages.
constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_SETREDRAW = 0x000B;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_KEYFIRST = 0x0100;
constexpr UINT WM_KEYLAST = 0x0109;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_MOUSEFIRST = 0x0200;
constexpr UINT WM_MOUSELAST = 0x020E;
constexpr UINT WM_DROPFILES = 0x0233;

// Edit controls.
constexpr UINT EM_LIMITTEXT = 0x00C5;

// Buttons.
constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr WORD BN_CLICKED = 0;
constexpr UINT BST_UNCHECKED = 0;
constexpr UINT BST_CHECKED = 1;

// List boxes.
constexpr UINT LB_ADDSTRING = 0x0180;
constexpr UINT LB_DELETESTRING = 0x0182;
constexpr UINT LB_GETSEL = 0x0187;
constexpr UINT LB_GETTEXT = 0x0189;
constexpr UINT LB_GETCOUNT = 0x018B;
constexpr UINT LB_GETCARETINDEX = 0x019F;
constexpr UINT LB_INITSTORAGE = 0x01A8;
constexpr int LB_ERR = -1;
constexpr int LB_ERRSPACE = -2;
constexpr WORD LBN_SELCHANGE = 1;
constexpr WORD LBN_DBLCLK = 2;
constexpr WORD LBN_ERRSPACE = static_cast<WORD>(-2);

// Progress bars (the common control "msctls_progress32").
constexpr UINT PBM_SETPOS = 0x0402;
constexpr UINT PBM_SETRANGE32 = 0x0406;
constexpr UINT PBM_GETPOS = 0x0408;
constexpr UINT PBM_SETMARQUEE = 0x040A;
constexpr DWORD PBS_MARQUEE = 0x08;
constexpr DWORD ICC_PROGRESS_CLASS = 0x00000020;

// Taking messages from the queue: PeekMessageA's options.
constexpr UINT PM_REMOVE = 0x0001;
constexpr UINT PM_QS_PAINT = 0x0020 << 16;
constexpr UINT PM_QS_SENDMESSAGE = 0x0040 << 16;

// Window data: GetWindowLongPtrA and SetWindowLongPtrA.
constexpr int GWL_STYLE = -16;

// Dialog command identifiers.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;

// Message boxes.
constexpr UINT MB_OK = 0x00000000;

// Window styles.
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;

constexpr DWORD WS_EX_ACCEPTFILES = 0x00000010;

// Dialog styles.
constexpr DWORD DS_SETFONT = 0x0040;
constexpr DWORD DS_MODALFRAME = 0x0080;
constexpr DWORD DS_CENTER = 0x0800;

// Edit styles.
constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;

// Button styles.
constexpr DWORD BS_PUSHBUTTON = 0x0000;
constexpr DWORD BS_DEFPUSHBUTTON = 0x0001;
constexpr DWORD BS_AUTOCHECKBOX = 0x0003;
constexpr DWORD BS_GROUPBOX = 0x0007;
constexpr DWORD BS_TYPEMASK = 0x000F;

// Static styles.
constexpr DWORD SS_LEFT = 0x0000;
constexpr DWORD SS_CENTER = 0x0001;
constexpr DWORD SS_BITMAP = 0x000E;
constexpr DWORD SS_TYPEMASK = 0x001F;

// List box styles.
constexpr DWORD LBS_NOTIFY = 0x0001;
constexpr DWORD LBS_SORT = 0x0002;
constexpr DWORD LBS_NOINTEGRALHEIGHT = 0x0100;
constexpr DWORD LBS_EXTENDEDSEL = 0x0800;
constexpr DWORD LBS_DISABLENOSCROLL = 0x1000;

// Open-file dialog options.
constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
constexpr DWORD OFN_ALLOWMULTISELECT = 0x00000200;
constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
constexpr DWORD OFN_EXPLORER = 0x00080000;

// The system's own cursors, for LoadCursorA with no instance.
#define IDC_WAIT MAKEINTRESOURCEA(32514)

// Show states.
constexpr int SW_SHOWNORMAL = 1;
