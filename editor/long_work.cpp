// Long work: a command that works through many files (a save, the walk of dropped
// folders) keeps the program's windows alive between files, as a single-threaded
// Windows program does. It takes the waiting messages at least every tenth of a
// second: until the progress box shows, only sent messages and paints (so the desktop
// never finds the window hung, and input waits for the command to end); once the work
// has gone on for about a second, a progress box with Cancel, with the main window
// disabled and every message taken. A cancel takes effect between two files.
#include "editor/program.h"
#include "resources/resource.h"

#include <cstdio>
#include <cstring>

namespace {

// Between two looks for messages: well inside the tenth of a second in which a
// window is to answer.
constexpr ULONGLONG kLookInterval = 50;
// The progress box appears once the command has worked this long.
constexpr ULONGLONG kBoxDelay = 1000;
// At most this many messages are taken at one look, so that a flood of them cannot
// hold the work up.
constexpr int kMessagesPerLook = 100;

bool gWorking = false;
bool gWalking = false; // a walk of folders, whose end is not known
bool gCancelled = false;
bool gQuitRequested = false;
int gQuitCode = 0;
HCURSOR gPreviousCursor = nullptr;
ULONGLONG gStarted = 0;
ULONGLONG gLastLook = 0;
HWND gProgressBox = nullptr;
char gProgressText[64];

INT_PTR CALLBACK ProgressProc(HWND, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE; // the focus on Cancel, the box's one tab stop
    case WM_COMMAND:
        // The button, Enter or Space on it, Escape, and the close box or Alt+F4 (which
        // the dialog manager turns into IDCANCEL).
        if (LOWORD(wParam) == IDCANCEL) {
            gCancelled = true;
        }
        return TRUE;
    default:
        return FALSE;
    }
}

void ShowProgressBox() {
    const INITCOMMONCONTROLSEX classes = {sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    gProgressBox =
        CreateDialogParamA(gInstance, MAKEINTRESOURCEA(IDD_PROGRESS), gMainWindow, ProgressProc, 0);
    if (gProgressBox == nullptr) {
        return; // no box: the work goes on under the wait cursor
    }
    if (gWalking) {
        const HWND bar = GetDlgItem(gProgressBox, IDC_PROGRESS_BAR);
        SetWindowLongPtrA(bar, GWL_STYLE, GetWindowLongPtrA(bar, GWL_STYLE) | PBS_MARQUEE);
        SendDlgItemMessageA(gProgressBox, IDC_PROGRESS_BAR, PBM_SETMARQUEE, TRUE, 0);
    }
    // No second command can start inside this one; the box's Cancel takes the pointer.
    EnableWindow(gMainWindow, FALSE);
    SetCursor(gPreviousCursor);
}

void ShowProgress(int done, int total) {
    std::memset(gProgressText, 0, sizeof gProgressText);
    if (gWalking) {
        std::snprintf(gProgressText, sizeof gProgressText, "Looking for songs: %d found", done);
    } else {
        std::snprintf(gProgressText, sizeof gProgressText, "Saving %d of %d files",
                      done < total ? done + 1 : total, total);
        SendDlgItemMessageA(gProgressBox, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, total);
        SendDlgItemMessageA(gProgressBox, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(done),
                            0);
    }
    SetDlgItemTextA(gProgressBox, IDC_PROGRESS_TEXT, gProgressText);
}

// Keys and clicks for the main window that were queued before it was disabled: they
// would reach its controls, which are not disabled themselves.
bool ForTheDisabledWindow(const MSG& msg) {
    const bool input = (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) ||
                       (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST) ||
                       msg.message == WM_DROPFILES;
    return input && (msg.hwnd == gMainWindow || IsChild(gMainWindow, msg.hwnd));
}

// Takes the waiting messages: sent ones and paints only, or all while the box is up.
void TakeMessages() {
    const UINT kinds = gProgressBox != nullptr ? 0 : PM_QS_SENDMESSAGE | PM_QS_PAINT;
    MSG msg;
    for (int n = 0; n < kMessagesPerLook && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE | kinds);
         ++n) {
        if (msg.message == WM_QUIT) {
            // The program is to end: after the file in hand, never inside it.
            gQuitRequested = true;
            gQuitCode = static_cast<int>(msg.wParam);
            gCancelled = true;
            return;
        }
        if (gProgressBox != nullptr &&
            (ForTheDisabledWindow(msg) || IsDialogMessageA(gProgressBox, &msg))) {
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

} // namespace

HCURSOR BeginWait() {
    return SetCursor(LoadCursorA(nullptr, IDC_WAIT));
}

void EndWait(HCURSOR previous) {
    SetCursor(previous);
}

void BeginLongWork(bool walking) {
    gWorking = true;
    gWalking = walking;
    gCancelled = false;
    gQuitRequested = false;
    gProgressBox = nullptr;
    gPreviousCursor = BeginWait();
    gStarted = GetTickCount64();
    gLastLook = gStarted;
}

bool KeepWorking(int done, int total) {
    const ULONGLONG now = GetTickCount64();
    if (now - gLastLook < kLookInterval) {
        return !gCancelled;
    }
    gLastLook = now;
    if (gProgressBox == nullptr && now - gStarted >= kBoxDelay) {
        ShowProgressBox();
    }
    if (gProgressBox != nullptr) {
        ShowProgress(done, total);
    }
    TakeMessages();
    return !gCancelled;
}

void CancelLongWork() {
    gCancelled = true;
}

bool LongWorkRunning() {
    return gWorking;
}

bool EndLongWork() {
    if (gProgressBox != nullptr) {
        // Enabled first, so that the main window is the one activated when the box goes,
        // with its focus where it was.
        EnableWindow(gMainWindow, TRUE);
        DestroyWindow(gProgressBox);
        gProgressBox = nullptr;
    }
    EndWait(gPreviousCursor);
    gWorking = false;
    if (gQuitRequested) {
        PostQuitMessage(gQuitCode);
    }
    return !gCancelled;
}
