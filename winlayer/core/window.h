// The window table: every dialog and control the program has created, by handle.
#pragma once

#include "winlayer/core/resources.h"
#include "winlayer/include/win32_types.h"

#include <string>
#include <vector>

namespace winlayer {

enum class ControlKind {
    Dialog,
    Edit,
    CheckBox,
    PushButton,
    Static,
    GroupBox,
    Bitmap,
    ListBox,
    ProgressBar,
};

struct Rect {
    int x, y, cx, cy;
};

struct EditState {
    int limit = 30000; // UTF-16 units the user may type, as an edit control starts with
    int selStart = 0;  // selection: the anchor, and the caret at selEnd
    int selEnd = 0;
    // The one step Undo takes back: `undoInserted` characters inserted at `undoAt`,
    // where `undoText` was deleted.
    std::u32string undoText;
    int undoAt = 0;
    int undoInserted = 0;
};

struct ListState {
    std::vector<std::string> items;
    std::vector<bool> selected;
    int caret = 0;   // the entry with the focus (0 in an empty list, as Windows reports)
    int anchor = -1; // where a Shift range starts, -1 until a click or key sets it
    int top = 0;     // the first row shown
    int page = 1;    // the rows shown, as the back end's view has them
    // The entries the list has room for, as the list box counts its storage: it grows
    // in steps of 16 and shrinks once 32 or more stand empty.
    size_t room = 0;
    bool drawing = true;       // WM_SETREDRAW: off while the program changes many rows
    bool shownChanged = false; // a row it showed changed while its drawing was off
};

struct ProgressState {
    int low = 0; // the range, as a progress bar starts with
    int high = 100;
    int pos = 0;
    bool marquee = false; // a PBS_MARQUEE bar that is moving
};

struct Window {
    HWND handle = nullptr;
    HWND parent = nullptr; // the dialog of a control; the owner of a dialog
    ControlKind kind = ControlKind::Dialog;
    int id = 0; // a control's number
    std::string text;
    Rect rect{}; // dialog units; a dialog's is its template's
    DWORD style = 0;
    DWORD exStyle = 0;
    bool enabled = true;
    bool checked = false;
    int imageId = 0; // a bitmap static's bitmap
    EditState edit;
    ListState list;
    ProgressState progress;

    // Dialogs only.
    DLGPROC proc = nullptr;
    const DialogTemplate* dialogTemplate = nullptr;
    std::vector<HWND> children; // template order, which is also the tab order
    HWND focus = nullptr;
    // The focused control was disabled: the focus is nowhere, not even on the dialog,
    // and keys reach neither a control nor the dialog manager until a control takes it.
    bool focusLost = false;
    bool destroying = false;
};

// Creates a window record and returns it; its handle is new and never reused.
Window& CreateWindowRecord(ControlKind kind, HWND parent);
// The window with this handle, or null when there is none (any more).
Window* FindWindow(HWND handle);
// Removes a window record; its handle stays invalid.
void RemoveWindowRecord(HWND handle);
// The dialogs that exist, oldest first.
std::vector<HWND> Dialogs();
// The control of `dialog` with number `id`, or null.
Window* FindControl(HWND dialog, int id);

// Changes the back end is to show; each records itself (changes.h). An edit's text
// and a list's rows change through edit.h and list_box.h.
void SetText(Window& window, std::string text);

// The text a back end shows for a window, in UTF-8: an edit's as typed, and the
// program's captions and control texts in the process code page, UTF-8.
std::string DisplayText(const Window& window);
void SetChecked(Window& window, bool checked);
void SetEnabled(Window& window, bool enabled);

} // namespace winlayer
