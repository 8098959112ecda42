// A message loop of the program's own, as a command that works through many files
// runs one between them: PeekMessageA, IsDialogMessageA, TranslateMessage and
// DispatchMessageA over the core's input queue, and the clock it paces itself by.
#include "winlayer/core/backend.h"
#include "winlayer/core/dialog.h"
#include "winlayer/include/windows.h"

#include <chrono>

using namespace winlayer;

namespace {

// The message that carries a queued input event from PeekMessageA to its dispatch; its
// wParam numbers the event. A message that is never dispatched is dropped, as on
// Windows.
constexpr UINT kInputMessage = 0xBFFF;
InputEvent gTaken;
WPARAM gTakenNumber = 0;

// The event `msg` carries, taken once.
bool TakeCarried(const MSG* msg, InputEvent& event) {
    if (msg == nullptr || msg->message != kInputMessage || msg->wParam != gTakenNumber || !gTaken) {
        return false;
    }
    event = std::move(gTaken);
    gTaken = nullptr;
    return true;
}

} // namespace

BOOL WINAPI PeekMessageA(LPMSG msg, HWND, UINT, UINT, UINT remove) {
    if (msg == nullptr) {
        return FALSE;
    }
    *msg = MSG{};
    // Paints first, then whatever the platform has pending, which may post input.
    ShowChanges();
    if (CurrentBackend().pumpEvents) {
        CurrentBackend().pumpEvents();
        ShowChanges();
    }
    const bool take = (remove & PM_REMOVE) != 0;
    if (QuitRequested(take)) {
        msg->message = WM_QUIT;
        msg->wParam = static_cast<WPARAM>(QuitCode());
        return TRUE;
    }
    // Asked only for sent messages and paints: input waits in the queue. The core has
    // no sent messages of its own, and has just painted.
    const UINT kinds = remove & ~0xFFFFu;
    if (kinds != 0 && (kinds & ~(PM_QS_SENDMESSAGE | PM_QS_PAINT)) == 0) {
        return FALSE;
    }
    InputEvent event;
    if (!take || !TakeInput(event)) {
        return FALSE; // without PM_REMOVE the input stays queued for a later look
    }
    gTaken = std::move(event);
    msg->message = kInputMessage;
    msg->wParam = ++gTakenNumber;
    return TRUE;
}

BOOL WINAPI IsDialogMessageA(HWND dialog, LPMSG msg) {
    InputEvent event;
    if (FindWindow(dialog) == nullptr || !TakeCarried(msg, event)) {
        return FALSE;
    }
    // The event finds its own window; keys for `dialog` go through its dialog manager.
    RunWithDialogManager(dialog, event);
    return TRUE;
}

BOOL WINAPI TranslateMessage(const MSG*) {
    return FALSE; // text arrives from the back end already composed
}

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
    InputEvent event;
    if (TakeCarried(msg, event)) {
        event();
    }
    return 0;
}

ULONGLONG WINAPI GetTickCount64() {
    if (CurrentBackend().tickCount) {
        return CurrentBackend().tickCount();
    }
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<ULONGLONG>(
        std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}
