// The file list: the main window's sorted, multi-selectable list box, filled from
// the open-file dialog.
#include "editor/program.h"
#include "resources/resource.h"

#include <cstring>
#include <vector>

char SelectionBuffer[kPathBufferSize];

namespace {

// The main window's list box. Each message goes to it straight: the list box is asked
// tens of thousands of times in a row, and finding it among the window's controls for
// each message cost Windows more than the message itself.
HWND gListBox = nullptr;

// Work areas for parsing the dialog's result.
char gDirectory[kPathBufferSize];
char gName[kPathBufferSize];
char gJoined[kPathBufferSize];

const char kFilter[] = "Mp3s (*.mp3)\0*.mp3\0";

LRESULT ListMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(gListBox, message, wParam, lParam);
}

// The length of the NUL-terminated string at `at`, or -1 when it runs to the end of
// the buffer without a terminator.
int StringLength(const char* buffer, int at) {
    for (int i = at; i < kPathBufferSize; ++i) {
        if (buffer[i] == '\0') {
            return i - at;
        }
    }
    return -1;
}

// Joins the directory and a name into gJoined; false when the path would not fit.
bool JoinPath(const char* directory, int directoryLength, const char* name, int nameLength) {
    const bool needsSeparator =
        directoryLength == 0 || directory[directoryLength - 1] != kDirectorySeparator;
    const int total = directoryLength + (needsSeparator ? 1 : 0) + nameLength;
    if (total > kPathBufferSize - 1) {
        return false;
    }
    std::memset(gJoined, 0, sizeof gJoined);
    std::memcpy(gJoined, directory, static_cast<size_t>(directoryLength));
    int at = directoryLength;
    if (needsSeparator) {
        gJoined[at++] = kDirectorySeparator;
    }
    std::memcpy(gJoined + at, name, static_cast<size_t>(nameLength));
    return true;
}

} // namespace

void FileList::Attach() {
    gListBox = GetDlgItem(gMainWindow, IDC_FILE_LIST);
}

int FileList::Count() {
    return static_cast<int>(ListMessage(LB_GETCOUNT, 0, 0));
}

void FileList::Text(int index) {
    std::memset(SelectionBuffer, 0, sizeof SelectionBuffer);
    GetListText(gListBox, index, SelectionBuffer, kPathBufferSize);
}

bool FileList::IsSelected(int index) {
    return ListMessage(LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

int FileList::Add(const char* path) {
    const LRESULT index = ListMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(path));
    return index >= 0 ? static_cast<int>(index) : -1;
}

void FileList::Remove(int index) {
    ListMessage(LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

void FileList::Clear() {
    // From the last entry, which moves no other, with one redraw at the end.
    StopDrawing();
    for (int i = Count() - 1; i >= 0; --i) {
        Remove(i);
    }
    Redraw();
}

void FileList::StopDrawing() {
    ListMessage(WM_SETREDRAW, FALSE, 0);
}

void FileList::Reserve(int entries, size_t bytes) {
    ListMessage(LB_INITSTORAGE, static_cast<WPARAM>(entries), static_cast<LPARAM>(bytes));
}

void FileList::Redraw() {
    ListMessage(WM_SETREDRAW, TRUE, 0);
    InvalidateRect(gListBox, nullptr, TRUE);
}

// The entry with the focus rectangle. LB_GETCURSEL answers the same on Windows for this
// extended-selection list, but some list boxes (Wine's) answer there with the entry the
// keyboard last moved to, so that a key and then a click would show and remove another
// file than the one clicked; the caret index means the focused entry everywhere.
int FileList::Caret() {
    if (Count() == 0) {
        return -1;
    }
    return static_cast<int>(ListMessage(LB_GETCARETINDEX, 0, 0));
}

void ZeroSelectionBuffers() {
    std::memset(SelectionBuffer, 0, sizeof SelectionBuffer);
    std::memset(gDirectory, 0, sizeof gDirectory);
    std::memset(gName, 0, sizeof gName);
    std::memset(gJoined, 0, sizeof gJoined);
}

bool ChooseFiles(HWND owner, const char* title, const char* filter, char* result) {
    OPENFILENAMEA options;
    std::memset(&options, 0, sizeof options);
    options.lStructSize = sizeof options;
    options.hwndOwner = owner;
    options.lpstrFilter = filter;
    options.nFilterIndex = 1;
    options.lpstrFile = result;
    options.nMaxFile = kPathBufferSize;
    options.lpstrTitle = title;
    options.Flags = OFN_EXPLORER | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    return GetOpenFileNameA(&options) != 0;
}

void AddSelectedFiles(const char* result) {
    // Every string is read within the buffer; one that runs to its end without a
    // terminator was cut short and is not used.
    const int firstLength = StringLength(result, 0);
    if (firstLength <= 0) {
        return;
    }
    int at = firstLength + 1;
    if (at >= kPathBufferSize || result[at] == '\0') {
        FileList::Add(result); // one string: the full path of the one chosen file
        return;
    }
    std::memcpy(gDirectory, result, static_cast<size_t>(firstLength) + 1);
    while (at < kPathBufferSize && result[at] != '\0') {
        const int nameLength = StringLength(result, at);
        if (nameLength < 0) {
            return;
        }
        std::memset(gName, 0, sizeof gName);
        std::memcpy(gName, result + at, static_cast<size_t>(nameLength));
        if (JoinPath(gDirectory, firstLength, gName, nameLength)) {
            FileList::Add(gJoined);
        }
        at += nameLength + 1;
    }
}

void OpenFiles() {
    ZeroSelectionBuffers();
    if (!ChooseFiles(gMainWindow, "Open...", kFilter, SelectionBuffer)) {
        return;
    }
    // The wait cursor once the dialog is gone, while the chosen files are listed.
    const HCURSOR previous = BeginWait();
    AddSelectedFiles(SelectionBuffer);
    EndWait(previous);
}

// The name of the file at `path`, without its folder.
const char* FileName(const char* path) {
    const char* name = std::strrchr(path, kDirectorySeparator);
    return name != nullptr ? name + 1 : path;
}

void ShowFocusedTag() {
    const int caret = FileList::Caret();
    if (caret < 0) {
        return;
    }
    FileList::Text(caret);
    FileTask* task = NewTask(TaskKind::ReadTag, SelectionBuffer);
    if (task == nullptr || !HandOut(task)) {
        return;
    }
    // Done at once but on a stalled share, where the box tells whose tag is awaited and
    // Cancel leaves the fields as they are, as a file that cannot be read does.
    BeginLongWork(WorkKind::Reading, FileName(SelectionBuffer));
    std::vector<FileTask*> finished;
    TagFields fields{};
    bool read = false;
    for (;;) {
        if (TakeFinished(finished, kWorkerWait)) {
            read = finished.front()->succeeded;
            fields = finished.front()->fields;
            delete finished.front();
            break;
        }
        if (!KeepWorking(0, 1) || EndingNow()) {
            AbandonTasks();
            break;
        }
    }
    EndLongWork();
    if (read) {
        ShowTagFields(fields);
    }
}

void RemoveFocusedEntry() {
    const int caret = FileList::Caret();
    if (caret >= 0) {
        FileList::Remove(caret);
    }
}
