// What changed since the back end last showed the core's state. Every mutation of a
// window record is recorded here as it happens; after each input event the back end
// is handed the changes in order and shows exactly those. A list records its rows one
// by one, so showing an event costs what the event changed, not the list's length.
#pragma once

#include "winlayer/include/win32_types.h"

#include <string>
#include <vector>

namespace winlayer {

enum class ChangeKind {
    Created,     // a dialog and its controls were built (before WM_INITDIALOG)
    Shown,       // a dialog is to be shown
    Destroyed,   // a window is gone
    State,       // text, check, enabled state or edit selection: show the current state
    Focus,       // the dialog's focus moved
    Activated,   // the dialog is the active window again (its modal window closed)
    RowInserted, // `row` inserted, holding `text`
    RowDeleted,  // `row` deleted
    RowSelected, // `row` selected (`on`) or not
    Caret,       // the caret moved to `row`
    Scrolled,    // the list shows from `row` on (its top row)
    Cleared,     // the list has no rows left: what its rows went through before is gone
};

struct Change {
    ChangeKind kind;
    HWND window;
    int row = -1;
    bool on = false;
    std::string text;
};

void Record(ChangeKind kind, HWND window);
void RecordRow(ChangeKind kind, HWND list, int row, bool on = false, std::string text = {});
// The changes recorded since the last call, oldest first.
std::vector<Change> TakeChanges();
// While a window's drawing is off (a list's WM_SETREDRAW), its changes are held rather
// than shown; when it is on again they are handed on at once, in order, after those
// recorded meanwhile. A window that goes has its held changes dropped.
void HoldChanges(HWND window, bool hold);
void DropHeldChanges(HWND window);
// Forgets every change, shown or held: a new run starts clean.
void ForgetChanges();

} // namespace winlayer
