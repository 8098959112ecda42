// Dialogs: building them from templates, message delivery, modal loops and focus.
// The dialog keyboard is the dialog manager's (dialog_manager.h).
#pragma once

#include "winlayer/core/message_loop.h"
#include "winlayer/core/window.h"

namespace winlayer {

// The system's commands to a window (its system menu, Alt+F4); the values are Windows'.
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr WPARAM SC_CLOSE = 0xF060;

// Forgets every window, the quit request, pending input and unshown changes: a new
// run of the program starts clean.
void ResetSession();

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// A control tells its dialog about something that happened to it.
void Notify(HWND control, WORD code);

INT_PTR RunModalDialog(int templateId, HWND owner, DLGPROC proc, LPARAM param);
// A modeless dialog, shown at once when its template has WS_VISIBLE; null when there
// is no such template or its procedure destroyed it while it was being made.
HWND CreateModelessDialog(int templateId, HWND owner, DLGPROC proc, LPARAM param);
// Applies an input event with `dialog`'s dialog manager running, as IsDialogMessage
// does for a modeless dialog: its keys (Tab, Enter, Escape, the arrows) are the
// dialog manager's, and no other window's are.
void RunWithDialogManager(HWND dialog, const InputEvent& event);
bool Destroy(HWND window);

// Focus within a dialog.
void SetFocusTo(HWND control);
HWND FocusOf(HWND dialog);
// A control that is disabled cannot have the focus: where it has it, its dialog's focus
// is nowhere, as Windows' EnableWindow leaves it.
void TakeFocusFrom(HWND control);
// A modal window disables its owner while it runs: DisableOwner returns whether it
// did (the owner exists and was enabled), and RestoreOwner undoes exactly that.
bool DisableOwner(HWND owner);
void RestoreOwner(HWND owner, bool disabled);

// True when the innermost running modal loop, or message loop with IsDialogMessage,
// is this dialog's: only that loop's dialog manager sees the keys. Keys for the
// controls of another window (one without an owner stays usable) go to the control
// alone.
bool RunsInnermostLoop(HWND dialog);

// True when the user may act on this window: it exists, and it and its dialog are enabled.
bool TakesInput(HWND window);

} // namespace winlayer
