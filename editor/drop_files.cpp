// Files and folders dropped onto the main window. A dropped file is listed as a
// chosen one is; a dropped folder lists the .mp3 files in it and in its subfolders.
// Nothing is read and nothing is shown: what cannot be listed is left out.
#include "editor/program.h"
#include "resources/resource.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

namespace {

// Walks what was dropped with up to kFilesInFlight names and folders in the workers'
// hands: each dropped name is looked at, each folder found is listed in turn, and the
// songs found gather in `songs`, in order once the walk ends. Folders are walked from a
// list, not by recursion, so that no tree can run the stack out. False when the user
// cancelled the walk: the folders in hand are let go, since listing changes nothing.
bool WalkDropped(HDROP drop, std::vector<std::string>& songs) {
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    std::vector<std::string> folders;
    std::vector<FileTask*> finished;
    // The tasks in hand, whose songs found so far the box counts too.
    FileTask* walking[kTasksInHand] = {};
    UINT next = 0;
    int inHand = 0;
    for (;;) {
        int found = static_cast<int>(songs.size());
        for (const FileTask* task : walking) {
            found += task != nullptr ? task->found.load(std::memory_order_relaxed) : 0;
        }
        if (!KeepWorking(found, -1)) {
            AbandonTasks();
            return false;
        }
        while (inHand < kTasksInHand && (!folders.empty() || next < count)) {
            FileTask* task = nullptr;
            if (!folders.empty()) {
                task = NewTask(TaskKind::ListFolder, folders.back().c_str());
                folders.pop_back();
            } else {
                // A name that does not fit the buffer is left out, never cut.
                const UINT length = DragQueryFileA(drop, next, nullptr, 0);
                std::memset(SelectionBuffer, 0, sizeof SelectionBuffer);
                if (length > 0 && length <= static_cast<UINT>(kPathBufferSize - 1) &&
                    DragQueryFileA(drop, next, SelectionBuffer, kPathBufferSize) == length) {
                    task = NewTask(TaskKind::LookAtDropped, SelectionBuffer);
                }
                ++next;
            }
            FileTask** slot = std::find(walking, walking + kTasksInHand, nullptr);
            if (HandOut(task)) {
                *slot = task;
                ++inHand;
            }
        }
        if (inHand == 0) {
            break;
        }
        if (TakeFinished(finished, kWorkerWait)) {
            inHand -= static_cast<int>(finished.size());
            for (FileTask* task : finished) {
                *std::find(walking, walking + kTasksInHand, task) = nullptr;
                songs.insert(songs.end(), std::make_move_iterator(task->songs.begin()),
                             std::make_move_iterator(task->songs.end()));
                folders.insert(folders.end(), std::make_move_iterator(task->folders.begin()),
                               std::make_move_iterator(task->folders.end()));
                delete task;
            }
        }
    }
    // The list box sorts them anyway; in order, each goes in after the last.
    std::sort(songs.begin(), songs.end());
    return true;
}

// Lists the songs found, as long work: the list is told first how many are coming and
// is not redrawn for each. A cancel takes back every entry this drop added, the last
// first (each then stands where it was put), so that the list is as it was.
void ListSongs(const std::vector<std::string>& songs) {
    const int total = static_cast<int>(songs.size());
    size_t bytes = 0;
    for (const std::string& song : songs) {
        bytes += song.size() + 1;
    }
    std::vector<int> added;
    try {
        added.reserve(songs.size());
    } catch (...) {
        return; // no memory to note where they go: nothing is added
    }
    SwitchLongWork(WorkKind::Adding);
    FileList::StopDrawing();
    FileList::Reserve(total, bytes);
    bool cancelled = false;
    for (const std::string& song : songs) {
        if (!KeepWorking(static_cast<int>(added.size()), total)) {
            cancelled = true;
            break;
        }
        const int index = FileList::Add(song.c_str());
        if (index >= 0) {
            added.push_back(index);
        }
    }
    if (cancelled) {
        SwitchLongWork(WorkKind::TakingBack);
        while (!added.empty()) {
            KeepWorking(static_cast<int>(added.size()), total);
            FileList::Remove(added.back());
            added.pop_back();
        }
    }
    FileList::Redraw();
}

} // namespace

void AddDroppedFiles(HDROP drop) {
    // Folders can take long to walk and their songs long to list: the user sees how
    // many songs were found and listed and may cancel, and a cancelled drop adds
    // nothing.
    BeginLongWork(WorkKind::Walking);
    std::vector<std::string> songs;
    bool walked = false;
    try {
        walked = WalkDropped(drop, songs);
    } catch (...) {
        // No memory for the paths of a huge tree: nothing is added.
        AbandonTasks();
    }
    DragFinish(drop);
    if (walked && !songs.empty()) {
        ListSongs(songs);
    }
    EndLongWork();
}
