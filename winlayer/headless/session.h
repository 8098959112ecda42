// A back end with no display, for tests: runs the program through its real entry
// point and lets a test act as its user and see what the user would see.
//
// The program runs on a thread of its own, and only one side runs at a time: an
// action is posted to the core's input queue on the program's thread, and the test
// goes on once the program waits for input again (or has ended). What the test reads
// is the core's state while the program waits.
#pragma once

#include "winlayer/core/backend.h"
#include "winlayer/core/cursor.h"
#include "winlayer/core/keys.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace winlayer::headless {

class Session {
  public:
    Session();
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Starts the program through its entry point, or `program` in its place; returns
    // once it waits for its first input (or has ended).
    void Start();
    void Start(std::function<int()> program);
    bool Running();
    int ExitCode();
    // Runs `action` on the program's thread as the user's next input.
    void Do(std::function<void()> action);

    // --- What the user sees ---------------------------------------------------------
    // The open windows, oldest first, and the newest one with a given caption.
    std::vector<HWND> Windows();
    HWND Find(const std::string& caption);
    std::string Caption(HWND window);
    HWND Control(HWND window, int id);
    std::string Text(HWND window, int id);
    bool Checked(HWND window, int id);
    bool Enabled(HWND window, int id);
    HWND Focus(HWND window);
    std::vector<std::string> Entries(HWND window, int listId);
    std::vector<int> Selected(HWND window, int listId);
    int Caret(HWND window, int listId);
    bool FileDialogOpen();
    FileDialog FileDialogShown(); // valid while one is open
    std::vector<MessageBoxState> MessageBoxes();

    // --- What the user does ---------------------------------------------------------
    // A click on a control; on an edit field, past the end of its text.
    void Click(HWND window, int id);
    int Type(HWND window, int id, const std::string& text);
    // Selects the field's text and types over it.
    void Replace(HWND window, int id, const std::string& text);
    void ClickEntry(HWND window, int listId, int index, bool ctrl = false, bool shift = false);
    void DoubleClickEntry(HWND window, int listId, int index);
    // A key (vk::) pressed while `window` is active.
    void PressKey(HWND window, UINT key, bool ctrl = false, bool shift = false, bool alt = false);
    void Close(HWND window);
    bool AcceptFileDialog(const std::string& directory, const std::vector<std::string>& names);
    void CancelFileDialog();
    void DismissMessageBox();
    // Drops files or folders onto a window from a file manager.
    void DropFiles(HWND window, std::vector<std::string> paths);

    // --- While a command works through many files -----------------------------------
    // The program's clock (GetTickCount64) moves `step` milliseconds each time the
    // program reads it, so that a test decides when the progress box shows.
    void SetClockStep(ULONGLONG step);
    // Each time the working program looks for messages, `busy` runs on its thread: it
    // may read what is shown and Post the user's input, which the program takes at that
    // look. Null: nothing happens meanwhile.
    void WhileBusy(std::function<void()> busy);
    // Posts an action as the user's input without waiting for it: only from `busy`.
    void Post(std::function<void()> action);
    // Each time the program shows the pointer a new shape, `shown` runs on its thread,
    // in the middle of the command that set it (which goes on without the loop). Null:
    // nothing happens then.
    void WhenCursorShown(std::function<void(CursorShape)> shown);

  private:
    BackendHooks hooks_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::function<void()> action_;
    bool idle_ = false;
    bool finished_ = false;
    bool started_ = false;
    int exitCode_ = -1;
    std::thread program_;
    std::function<void()> busy_;
    std::function<void(CursorShape)> cursorShown_;
    ULONGLONG clock_ = 0;
    ULONGLONG clockStep_ = 0;

    void WaitUntilSettled(std::unique_lock<std::mutex>& lock);
    bool WaitForInput();
};

} // namespace winlayer::headless
