// What a back end (headless, GTK) does for the core: a few hooks, no behaviour. The
// back end waits for the user's input and posts it to the core's queue
// (message_loop.h), shows what changed, and may show the platform's own file chooser
// and message window, whose answers come back as input too.
#pragma once

#include "winlayer/core/changes.h"
#include "winlayer/core/cursor.h"
#include "winlayer/core/edit_menu.h"

#include <functional>
#include <string>
#include <vector>

namespace winlayer {

struct FileFilter {
    std::string description;
    std::string pattern;
};

// An open-file dialog while it is shown, and the user's answer. Its texts are UTF-8;
// the chosen files' names are the platform's bytes.
struct FileDialog {
    HWND owner = nullptr;
    std::string title;
    std::vector<FileFilter> filters;
    int filterIndex = 1; // 1-based, as in OPENFILENAMEA
    DWORD flags = 0;
    bool done = false;
    bool accepted = false;
    std::string directory;          // where the chosen files are
    std::vector<std::string> names; // the chosen files' names in it
};

// A message box while it is shown; its texts in UTF-8.
struct MessageBoxState {
    HWND owner = nullptr;
    std::string text;
    std::string caption;
    UINT type = 0;
    bool done = false;
};

struct BackendHooks {
    // Waits for the user's next input and posts it; false when no more will ever
    // come (the loop then ends the program). It may return with nothing posted, as
    // after an event of the platform's own that needed no input. Null: no user at all.
    std::function<bool()> waitForInput;
    // Handles the platform's pending events without waiting, posting what is input, while
    // a command of the program's works on and looks for messages between its steps
    // (PeekMessageA): the window stays alive (repaints, the desktop's pings). Null:
    // nothing is pending.
    std::function<void()> pumpEvents;
    // The milliseconds since some fixed point, as GetTickCount64 gives them. Null: the
    // system's steady clock.
    std::function<ULONGLONG()> tickCount;
    // Shows the changes, oldest first.
    std::function<void(const std::vector<Change>&)> showChanges;
    // Show and take down the platform's own file chooser or message window. Null: the
    // dialog is answered by input alone.
    std::function<void(const FileDialog&)> showFileDialog;
    std::function<void(const FileDialog&)> hideFileDialog;
    std::function<void(const MessageBoxState&)> showMessageBox;
    std::function<void(const MessageBoxState&)> hideMessageBox;
    // Draws an edit field's context menu; the chosen item comes back as input
    // (input::ChooseEditCommand). Null: a test chooses without seeing it drawn.
    std::function<void(HWND edit, const std::vector<EditMenuItem>&)> showEditMenu;
    // The program's edits copied this text (UTF-8) to the clipboard: a back end with a
    // platform clipboard puts it there. Null: the clipboard stays the core's own.
    std::function<void(const std::string&)> clipboardChanged;
    // Shows the pointer's new shape over the program's windows at once: the command
    // that sets it goes on working without the loop, which shows nothing until it ends.
    std::function<void(CursorShape)> showCursor;
};

// The hooks stay the caller's; null removes them.
void SetBackend(const BackendHooks* hooks);
const BackendHooks& CurrentBackend();

} // namespace winlayer
