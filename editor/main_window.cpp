// The main window: five fields with their switches, the file list, and the commands.
#include "editor/program.h"
#include "resources/resource.h"

#include <cstring>
#include <vector>

HWND gMainWindow = nullptr;

namespace {

// The edit field of each FieldKind; its switch is the field's number plus 12.
constexpr int kFieldEdit[kFieldCount] = {IDC_TITLE, IDC_ARTIST, IDC_ALBUM, IDC_YEAR, IDC_COMMENT};
constexpr int kSwitchOffset = IDC_USE_TITLE - IDC_TITLE;
static_assert(IDC_USE_COMMENT - IDC_COMMENT == kSwitchOffset);

void InitMainWindow() {
    for (int k = 0; k < kFieldCount; ++k) {
        CheckDlgButton(gMainWindow, kFieldEdit[k] + kSwitchOffset, BST_CHECKED);
        SendDlgItemMessageA(gMainWindow, kFieldEdit[k], EM_LIMITTEXT,
                            static_cast<WPARAM>(FieldWidth(FieldAt(k))), 0);
    }
    FileList::Attach();
    DragAcceptFiles(gMainWindow, TRUE);
}

// The five field texts in capture form and the five switches, once per command.
void Capture(TagFields& fields, FieldSwitches& switches) {
    ZeroSelectionBuffers();
    fields = TagFields{};
    switches = FieldSwitches{};
    for (int k = 0; k < kFieldCount; ++k) {
        const FieldKind kind = FieldAt(k);
        GetFieldText(gMainWindow, kFieldEdit[k], FieldText(fields, kind), FieldWidth(kind));
        switches.on[k] =
            IsDlgButtonChecked(gMainWindow, kFieldEdit[k] + kSwitchOffset) == BST_CHECKED;
    }
}

// The files of a save that are in the workers' hands, by their paths, so that a file
// listed twice is never written twice at once: the second waits for the first, and so
// finds the record the first one wrote, as a save one file at a time does.
char gInHand[kTasksInHand][kPathBufferSize];
bool gSlotUsed[kTasksInHand];

bool PathInHand(const char* path) {
    for (int slot = 0; slot < kTasksInHand; ++slot) {
        if (gSlotUsed[slot] && std::strcmp(gInHand[slot], path) == 0) {
            return true;
        }
    }
    return false;
}

// Hands the SelectionBuffer's file to the workers; false when it cannot be (no slot, or
// no memory), which the save counts as a file skipped.
bool HandOutWrite(const TagFields& fields, const FieldSwitches& switches) {
    int slot = 0;
    while (slot < kTasksInHand && gSlotUsed[slot]) {
        ++slot;
    }
    FileTask* task = slot < kTasksInHand ? NewTask(TaskKind::WriteTag, SelectionBuffer) : nullptr;
    if (task == nullptr) {
        return false;
    }
    task->number = slot;
    task->fields = fields;
    task->switches = switches;
    std::memcpy(gInHand[slot], task->path, sizeof gInHand[slot]);
    gSlotUsed[slot] = HandOut(task);
    return gSlotUsed[slot];
}

// Frees the slots of tasks taken back and deletes them; how many they were.
int LetGo(const std::vector<FileTask*>& tasks) {
    for (FileTask* task : tasks) {
        gSlotUsed[task->number] = false;
        delete task;
    }
    return static_cast<int>(tasks.size());
}

// Writes the captured fields to every entry, or only to the selected ones, as long
// work that the user can cancel: up to kFilesInFlight files at once, in list order. A
// cancel starts no new file, and the files in hand finish, each with its whole record or
// untouched; a file that cannot be written is skipped.
void SaveLoop(const TagFields& fields, const FieldSwitches& switches, bool selectedOnly) {
    const int count = FileList::Count();
    int total = count;
    for (int i = 0; selectedOnly && i < count; ++i) {
        total -= FileList::IsSelected(i) ? 0 : 1;
    }
    BeginLongWork(WorkKind::Saving);
    std::memset(gSlotUsed, 0, sizeof gSlotUsed);
    std::vector<FileTask*> finished;
    int next = 0;
    int done = 0;
    int inHand = 0;
    bool finishing = false;
    bool going = true;
    for (;;) {
        while (going && inHand < kTasksInHand && next < count) {
            if (selectedOnly && !FileList::IsSelected(next)) {
                ++next;
            } else {
                FileList::Text(next);
                if (PathInHand(SelectionBuffer)) {
                    break; // the same file again: once the one in hand is done
                }
                ++next;
                HandOutWrite(fields, switches) ? ++inHand : ++done;
            }
            going = KeepWorking(done, total, inHand);
        }
        if (!going && !finishing) {
            // Cancelled: the files no worker has started are not written; those under
            // way finish.
            finishing = true;
            TakeBackUnstarted(finished);
            inHand -= LetGo(finished);
            SwitchLongWork(WorkKind::Finishing);
        }
        if (EndingNow()) {
            AbandonTasks(); // the program ends: the files in hand finish on their own
            break;
        }
        if (inHand == 0 && (!going || next >= count)) {
            break;
        }
        if (TakeFinished(finished, kWorkerWait)) {
            const int taken = LetGo(finished);
            done += taken;
            inHand -= taken;
        }
        if (going || inHand > 0) {
            going = KeepWorking(done, total, inHand) && going;
        }
    }
    EndLongWork();
}

void SaveToAll() {
    TagFields fields;
    FieldSwitches switches;
    Capture(fields, switches);
    if (FileList::Count() == 0) {
        MessageBoxA(gMainWindow, "Please open some mp3's to edit", "Error", MB_OK);
        return;
    }
    SaveLoop(fields, switches, false);
}

void SaveToSelected() {
    TagFields fields;
    FieldSwitches switches;
    Capture(fields, switches);
    SaveLoop(fields, switches, true);
}

void SwitchClicked(int switchId) {
    const bool on = IsDlgButtonChecked(gMainWindow, switchId) == BST_CHECKED;
    EnableWindow(GetDlgItem(gMainWindow, switchId - kSwitchOffset), on ? TRUE : FALSE);
}

void RunCommand(int control, int code) {
    switch (control) {
    case IDC_SAVE_ALL:
        SaveToAll();
        break;
    case IDC_OPEN:
        OpenFiles();
        break;
    case IDC_SAVE_SELECTED:
        SaveToSelected();
        break;
    case IDC_CLEAR_ALL:
        FileList::Clear();
        break;
    case IDC_FILE_LIST:
        if (code == LBN_DBLCLK) {
            RemoveFocusedEntry();
        } else if (code == LBN_SELCHANGE) {
            ShowFocusedTag();
        }
        break;
    case IDC_USE_TITLE:
    case IDC_USE_ARTIST:
    case IDC_USE_ALBUM:
    case IDC_USE_YEAR:
    case IDC_USE_COMMENT:
        SwitchClicked(control);
        break;
    case IDC_ABOUT:
        ShowAbout();
        break;
    default:
        break; // Enter, Escape and every other number: nothing
    }
}

} // namespace

void ShowTagFields(const TagFields& fields) {
    for (int k = 0; k < kFieldCount; ++k) {
        SetDlgItemTextA(gMainWindow, kFieldEdit[k], FieldText(fields, FieldAt(k)));
    }
}

INT_PTR CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    gMainWindow = window;
    switch (message) {
    case WM_INITDIALOG:
        InitMainWindow();
        return TRUE; // the platform focuses the first control, the Title field
    case WM_CLOSE:
        if (LongWorkRunning()) {
            RequestCloseDuringWork(); // first the files in hand finish
            return TRUE;
        }
        PostQuitMessage(0);
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return TRUE;
    case WM_COMMAND:
        // No command starts while another works through its files.
        if (!LongWorkRunning()) {
            RunCommand(LOWORD(wParam), HIWORD(wParam));
        }
        return TRUE;
    case WM_DROPFILES:
        if (LongWorkRunning()) {
            DragFinish(reinterpret_cast<HDROP>(wParam));
        } else {
            AddDroppedFiles(reinterpret_cast<HDROP>(wParam));
        }
        return TRUE;
    default:
        return FALSE;
    }
}
