// The program's module-wide state and its parts: the main window, the file list,
// dropped files and the About box.
#pragma once

#include "editor/window_services.h"
#include "tagstore/tag_record.h"

#include <cstddef>

// Paths and the open dialog's result: one buffer size everywhere.
constexpr int kPathBufferSize = 5120;

// Set by the entry point; loads the About box template.
extern HINSTANCE gInstance;
// Stored on every message the main window receives.
extern HWND gMainWindow;
// Receives the open dialog's result and, one at a time, the path of the list entry
// being read or written.
extern char SelectionBuffer[kPathBufferSize];

// The main window.
INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Puts five texts into the five edit fields, Title to Comment.
void ShowTagFields(const TagFields& fields);
// The wait cursor while a command works, for as long as a slow disk or a network
// share makes it take: BeginWait shows it and returns the cursor it replaced, which
// EndWait puts back.
HCURSOR BeginWait();
void EndWait(HCURSOR previous);

// A command that works through many files or entries, and what its progress box says
// of it: saving ("Saving N of M files"), walking dropped folders ("Looking for songs: N
// found", with a bar that moves, since the end is not known), listing the songs found
// ("Adding songs to the list: N of M"), and taking them back off the list after a
// cancel. It starts under the wait cursor; KeepWorking, called before each file,
// folder entry or list entry, keeps the windows alive, shows the progress box once the
// work has gone on for about a second, and says whether to go on (false once the user
// has cancelled). SwitchLongWork turns the work in hand to another kind, as a drop
// does from its walk to its listing. EndLongWork takes the box down and says whether
// the work ran to its end.
enum class WorkKind { Saving, Walking, Adding, TakingBack };
void BeginLongWork(WorkKind kind);
void SwitchLongWork(WorkKind kind);
bool KeepWorking(int done, int total);
void CancelLongWork();
bool LongWorkRunning();
bool EndLongWork();

// The list of files, in the main window's list box.
namespace FileList {
// Takes the main window's list box for every operation below, once the window is built.
void Attach();
int Count();
// Fetches the text of entry `index` into the SelectionBuffer.
void Text(int index);
bool IsSelected(int index);
// The index the entry went to, or -1 when the list could not take it.
int Add(const char* path);
void Remove(int index);
void Clear();
// Many entries to add or remove: the list is told how many entries and bytes are coming
// (none when removing), and is not redrawn for each one but once, by Redraw.
void StopDrawing(int entries, size_t bytes);
void Redraw();
// The entry with the focus, or -1 when the list is empty.
int Caret();
} // namespace FileList

// Zeroes the SelectionBuffer and the three work areas used to parse it.
void ZeroSelectionBuffers();
// Shows the open-file dialog; true when the user accepted.
bool ChooseFiles(HWND owner, const char* title, const char* filter, char* result);
// Adds the entries named by an accepted dialog result.
void AddSelectedFiles(const char* result);
// The "Open Mp3..." command.
void OpenFiles();
// Shows the focused entry's tag in the fields (the list's selection change).
void ShowFocusedTag();
// Removes the focused entry (the list's double-click).
void RemoveFocusedEntry();

// Lists the files and the .mp3 files of the folders dropped onto the main window,
// then releases the drop.
void AddDroppedFiles(HDROP drop);

// The About box.
void ShowAbout();
INT_PTR CALLBACK AboutProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
