// Long work: a command that works through many files or entries (a save, the walk of
// dropped folders and the listing of their songs, the read of one tag) keeps the
// program's windows alive while the workers do the calls on files, as a Windows program
// waits for its threads. It takes the waiting messages at least every twentieth of a
// second: until the progress box shows, only sent messages and paints (so the desktop
// never finds the window hung, and input waits for the command to end); once the work
// has gone on for about a second, a progress box with Cancel, with the main window
// disabled and every message taken. A cancel starts no new file; a second request to
// close while files are still in hand ends the program at once.
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
WorkKind gKind = WorkKind::Saving;
bool gCancelled = false;
int gCloseRequests = 0;
bool gQuitRequested = false;
int gQuitCode = 0;
bool gWaitShown = false;
HCURSOR gPreviousCursor = nullptr;
ULONGLONG gStarted = 0;
ULONGLONG gLastLook = 0;
HWND gProgressBox = nullptr;
// The box's text, a file's name in it included.
char gProgressText[kPathBufferSize + 64];
char gWorkName[kPathBufferSize];

// The user's cancel takes effect at once: no file waiting for a worker starts.
void Cancel() {
    gCancelled = true;
    HoldUnstarted(true);
}

INT_PTR CALLBACK ProgressProc(HWND, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        return TRUE; // the focus on Cancel, the box's one tab stop
    case WM_CLOSE:
        // The close box, Alt+F4, or the desktop closing the disabled main window.
        RequestCloseDuringWork();
        return TRUE;
    case WM_COMMAND:
        // The button, Space on it, Enter (Cancel is the box's default button), Escape.
        if (LOWORD(wParam) == IDCANCEL) {
            Cancel();
        }
        return TRUE;
    default:
        return FALSE;
    }
}

// What the box shows of the kind of work, set here alone, when the box comes and at
// each change of kind: the bar moves to and fro while the end is not known (a walk, a
// read) and else fills; Cancel is disabled once it has done its part (taking songs back,
// finishing the files in hand).
void ShowBoxKind() {
    const HWND bar = GetDlgItem(gProgressBox, IDC_PROGRESS_BAR);
    const bool marquee = gKind == WorkKind::Walking || gKind == WorkKind::Reading;
    const LONG_PTR style = GetWindowLongPtrA(bar, GWL_STYLE);
    if (((style & PBS_MARQUEE) != 0) != marquee) {
        if (!marquee) {
            SendMessageA(bar, PBM_SETMARQUEE, FALSE, 0);
        }
        SetWindowLongPtrA(bar, GWL_STYLE, marquee ? style | PBS_MARQUEE : style & ~PBS_MARQUEE);
        if (marquee) {
            SendMessageA(bar, PBM_SETMARQUEE, TRUE, 0);
        }
    }
    const bool cancelDone = gKind == WorkKind::TakingBack || gKind == WorkKind::Finishing;
    EnableWindow(GetDlgItem(gProgressBox, IDCANCEL), cancelDone ? FALSE : TRUE);
}

void ShowProgressBox() {
    const INITCOMMONCONTROLSEX classes = {sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    gProgressBox =
        CreateDialogParamA(gInstance, MAKEINTRESOURCEA(IDD_PROGRESS), gMainWindow, ProgressProc, 0);
    if (gProgressBox == nullptr) {
        return; // no box: the work goes on under the wait cursor
    }
    ShowBoxKind();
    // No second command can start inside this one; the box's Cancel takes the pointer.
    EnableWindow(gMainWindow, FALSE);
    SetCursor(gPreviousCursor);
}

void ShowProgress(int done, int total, int inHand) {
    std::memset(gProgressText, 0, sizeof gProgressText);
    switch (gKind) {
    case WorkKind::Saving:
        std::snprintf(gProgressText, sizeof gProgressText, "Saving %d of %d files", done, total);
        break;
    case WorkKind::Finishing:
        std::snprintf(gProgressText, sizeof gProgressText, "Cancelled: finishing %d files", inHand);
        break;
    case WorkKind::Reading:
        std::snprintf(gProgressText, sizeof gProgressText, "Reading the tag of %s", gWorkName);
        break;
    case WorkKind::Walking:
        std::snprintf(gProgressText, sizeof gProgressText, "Looking for songs: %d found", done);
        break;
    case WorkKind::Adding:
        std::snprintf(gProgressText, sizeof gProgressText, "Adding songs to the list: %d of %d",
                      done, total);
        break;
    case WorkKind::TakingBack:
        std::snprintf(gProgressText, sizeof gProgressText,
                      "Cancelled: taking %d songs back off the list", done);
        break;
    }
    if (gKind != WorkKind::Walking && gKind != WorkKind::Reading) {
        SendDlgItemMessageA(gProgressBox, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, total);
        SendDlgItemMessageA(gProgressBox, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(done),
                            0);
    }
    SetDlgItemTextA(gProgressBox, IDC_PROGRESS_TEXT, gProgressText);
}

// Keys and clicks for the main window that were queued before it was disabled: they
// would reach its controls, which are not disabled themselves. A drop goes on to the
// main window, which passes over a drop that comes during long work.
bool ForTheDisabledWindow(const MSG& msg) {
    const bool input = (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) ||
                       (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST);
    return input && (msg.hwnd == gMainWindow || IsChild(gMainWindow, msg.hwnd) != FALSE);
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
            Cancel();
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

void BeginLongWork(WorkKind kind, const char* name) {
    gWorking = true;
    gKind = kind;
    gCancelled = false;
    gCloseRequests = 0;
    gQuitRequested = false;
    HoldUnstarted(false); // a cancel earlier held nothing of this command's
    gProgressBox = nullptr;
    std::memset(gWorkName, 0, sizeof gWorkName);
    if (name != nullptr) {
        std::memcpy(gWorkName, name, strnlen(name, sizeof gWorkName - 1));
    }
    // A tag is read at every move through the list and is done at once but on a stalled
    // share: its wait cursor shows only once it has taken a while.
    gWaitShown = kind != WorkKind::Reading;
    if (gWaitShown) {
        gPreviousCursor = BeginWait();
    }
    gStarted = GetTickCount64();
    gLastLook = gStarted;
}

void SwitchLongWork(WorkKind kind) {
    gKind = kind;
    if (gProgressBox != nullptr) {
        ShowBoxKind();
    }
    gLastLook = 0; // the box tells of the change at the next look
}

bool KeepWorking(int done, int total, int inHand) {
    const ULONGLONG now = GetTickCount64();
    if (now - gLastLook < kLookInterval) {
        return !gCancelled;
    }
    gLastLook = now;
    if (!gWaitShown) {
        gWaitShown = true;
        gPreviousCursor = BeginWait();
    }
    if (gProgressBox == nullptr && now - gStarted >= kBoxDelay) {
        ShowProgressBox();
    }
    if (gProgressBox != nullptr) {
        ShowProgress(done, total, inHand);
    }
    TakeMessages();
    return !gCancelled;
}

void RequestCloseDuringWork() {
    Cancel();
    if (++gCloseRequests >= 2) {
        // Asked again while the files in hand finish: the program ends now, and each of
        // those files keeps its old record or has its new one, which goes out in one write.
        gQuitRequested = true;
        gQuitCode = 0;
    }
}

bool EndingNow() {
    return gCloseRequests >= 2;
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
    if (gWaitShown) {
        EndWait(gPreviousCursor);
    }
    gWorking = false;
    if (gQuitRequested) {
        PostQuitMessage(gQuitCode);
    }
    return !gCancelled;
}
