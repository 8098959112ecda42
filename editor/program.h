// The program's module-wide state and its parts: the main window, the file list,
// dropped files and the About box.
#pragma once

#include "editor/window_services.h"
#include "tagstore/tag_record.h"

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

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
// of it: saving ("Saving N of M files", N counting the files finished), finishing the
// files in hand after a cancel ("Cancelled: finishing N files"), walking dropped folders
// ("Looking for songs: N found", with a bar that moves, since the end is not known),
// listing the songs found ("Adding songs to the list: N of M"), taking them back off the
// list after a cancel, and reading one file's tag ("Reading the tag of NAME", NAME given
// to BeginLongWork). It starts under the wait cursor (a read, once it has taken a while);
// KeepWorking, called while the work goes on, keeps the windows alive, shows the
// progress box once the work has gone on for about a second, and says whether to go on
// (false once the user has cancelled). SwitchLongWork turns the work in hand to another
// kind, as a drop does from its walk to its listing. A request to close while the work
// goes on cancels it; a second one asks for the end at once (EndingNow), and the program
// ends once the work lets go. EndLongWork takes the box down and says whether the work
// ran to its end.
enum class WorkKind { Saving, Finishing, Walking, Adding, TakingBack, Reading };
void BeginLongWork(WorkKind kind, const char* name = nullptr);
void SwitchLongWork(WorkKind kind);
bool KeepWorking(int done, int total, int inHand = 0);
void RequestCloseDuringWork();
bool EndingNow();
bool LongWorkRunning();
bool EndLongWork();
// How long the window's thread waits for the workers at a time between its looks for
// messages, in milliseconds.
constexpr int kWorkerWait = 10;

// Work on files and folders, done by worker threads so that the window's thread never
// waits on the disk: each call may take a share's round trips, or hang while the share
// stalls. The window's thread hands a task out, takes its messages meanwhile (long work,
// above) and takes the task back finished; a worker touches only the tag store, the file
// system and the task. kFilesInFlight tasks are done at once: on a share each file costs
// round trips, which many files in flight wait for together (a share's client serves
// about a dozen requests at once, so more gain nothing there); on a local disk the same
// number costs nothing measurable.
constexpr int kFilesInFlight = 16;
// A command keeps this many tasks handed out, so that a worker done with one finds the
// next waiting, and the window's thread wakes once for many of them.
constexpr int kTasksInHand = 2 * kFilesInFlight;
enum class TaskKind {
    WriteTag,      // path, fields and switches in; succeeded out
    ReadTag,       // path in; succeeded and fields out
    LookAtDropped, // a dropped name in; songs (a file) or folders (a folder) out
    ListFolder,    // a folder in; its songs and its folders out
};
struct FileTask {
    TaskKind kind = TaskKind::WriteTag;
    int number = 0; // the hander's own: which entry or name the task is for
    char path[kPathBufferSize] = {};
    TagFields fields = {};
    FieldSwitches switches = {};
    bool succeeded = false;
    std::vector<std::string> songs;
    std::vector<std::string> folders;
    std::atomic<int> found{0}; // songs found so far, while the task is under way
    bool abandoned = false;    // the workers' own: nobody takes it back
};
// A new task on `path` (at most kPathBufferSize - 1 bytes), or null without memory.
FileTask* NewTask(TaskKind kind, const char* path);
// Gives the task to the workers, who own it until it is taken back; false (the task let
// go) when it cannot be done.
bool HandOut(FileTask* task);
// How many tasks are handed out and not yet taken back.
int TasksInHand();
// The tasks finished since the last call, waiting at most this long for one while any is
// in hand; the caller owns and deletes them. False when none finished.
bool TakeFinished(std::vector<FileTask*>& done, int waitMilliseconds);
// The user cancelled: from now on no worker starts a task still waiting, until the hold
// is let go (by the next command, or once TakeBackUnstarted has taken those back: the
// caller owns and deletes them).
void HoldUnstarted(bool hold);
void TakeBackUnstarted(std::vector<FileTask*>& unstarted);
// Lets every task in hand go: those not yet started are not done, those under way finish
// on their own and are taken back by nobody.
void AbandonTasks();

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
// Many entries to add or remove: the list is not redrawn for each one but once, by
// Redraw.
void StopDrawing();
void Redraw();
// Many entries to add: the list is told how many entries and bytes are coming.
void Reserve(int entries, size_t bytes);
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
