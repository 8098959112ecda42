// The program's module-wide state and its parts: the main window, the file list,
// dropped files and the About box.
#pragma once

#include "editor/window_services.h"
#include "tagstore/tag_record.h"

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

// A command that works through many files: saving, or walking dropped folders
// (`walking`, whose end is not known). It starts under the wait cursor; KeepWorking,
// called before each file or folder entry, keeps the windows alive, shows the progress
// box once the work has gone on for about a second, and says whether to go on (false
// once the user has cancelled). EndLongWork takes the box down and says whether the
// work ran to its end.
void BeginLongWork(bool walking);
bool KeepWorking(int done, int total);
void CancelLongWork();
bool LongWorkRunning();
bool EndLongWork();

// The list of files, in the main window's list box.
namespace FileList {
int Count();
// Fetches the text of entry `index` into the SelectionBuffer.
void Text(int index);
bool IsSelected(int index);
void Add(const char* path);
void Remove(int index);
void Clear();
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
