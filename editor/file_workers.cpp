// The workers: threads that do the program's calls on files and folders, so that the
// window's thread never waits on a disk or a share. A worker touches the tag store, the
// file system and the task in hand, nothing else: never a window, never the list.
//
// The workers and what they share are made once and never taken down. When the program
// ends while a share holds a call (the user asked twice to close), the worker in that
// call stays in it until the process is gone, and must still find its queue there.
#include "editor/program.h"
#include "tagstore/tag_reader.h"
#include "tagstore/tag_writer.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <new>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Workers {
    std::mutex mutex;
    std::condition_variable taskWaits;    // a task was handed out
    std::condition_variable taskFinished; // a task came back
    // Each holds at most what one command has in hand, and has room for it from the start:
    // no task is ever lost to a lack of memory once it is handed out.
    std::vector<FileTask*> waiting;   // handed out, no worker has it yet
    std::vector<FileTask*> working;   // in a worker's hands
    std::vector<FileTask*> finished;  // done, not yet taken back
    int inHand = 0;                   // handed out and not yet taken back
    std::atomic<bool> holding{false}; // cancelled: no waiting task is started
    int running = 0;                  // tasks being done right now
    int allowed = kFilesInFlight;     // how many may be, by how long a task takes
    long long averageMicros = 0;      // how long a task has taken of late
    int started = 0;                  // how many threads run
};

Workers* gWorkers = nullptr;
// Tasks handed out since the workers were last given some: the window's thread gives
// them all at once, with one wake for the workers, before it waits for them.
std::vector<FileTask*> gStaged;

// How many tasks are done at once follows how long one takes. Where each costs round
// trips or a disk's seeks, kFilesInFlight wait together; where the calls are done in
// microseconds (a local disk and its cache), more than two at once only make the
// workers wait for each other and for the processors.
constexpr long long kSlowTaskMicros = 500;
constexpr int kFastTasksAtOnce = 2;
constexpr size_t kFastBatch = 8;

// Wakes as many workers as may start on `waiting` more tasks.
void WakeWorkers(Workers& workers, int waiting) {
    const int free = workers.allowed - workers.running;
    for (int n = 0; n < waiting && n < free; ++n) {
        workers.taskWaits.notify_one();
    }
}

void NoteTaskTime(Workers& workers, std::chrono::steady_clock::duration taken) {
    const long long micros = std::chrono::duration_cast<std::chrono::microseconds>(taken).count();
    workers.averageMicros += (micros - workers.averageMicros) / 4;
    const int before = workers.allowed;
    workers.allowed = workers.averageMicros >= kSlowTaskMicros ? kFilesInFlight : kFastTasksAtOnce;
    if (workers.allowed > before) {
        WakeWorkers(workers, static_cast<int>(workers.waiting.size()));
    }
}

// Gives the workers the tasks handed out since the last time. Called with the lock held.
void GiveStaged(Workers& workers) {
    for (FileTask* task : gStaged) {
        (workers.started == 0 ? workers.finished : workers.waiting).push_back(task);
    }
    workers.inHand += static_cast<int>(gStaged.size());
    WakeWorkers(workers, static_cast<int>(gStaged.size()));
    gStaged.clear();
}

// Whether the window's thread has reason to wake: half a round of tasks finished, the
// workers about to run out of tasks, or every task in hand finished. Waking it for each
// task would cost more than a task on a local disk.
bool WorthTakingBack(const Workers& workers) {
    const size_t half = kFilesInFlight / 2;
    return !workers.finished.empty() &&
           (workers.finished.size() >= half || workers.waiting.size() < half ||
            workers.finished.size() == static_cast<size_t>(workers.inHand));
}

// ".mp3" at the end of a path, in any letter case.
bool IsMp3Name(const std::string& path) {
    const char kExtension[] = ".mp3";
    const size_t length = sizeof kExtension - 1;
    if (path.size() < length) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        char c = path[path.size() - length + i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != kExtension[i]) {
            return false;
        }
    }
    return true;
}

// A path as the program's text; false when it has none or does not fit the buffer.
bool PathText(const fs::path& path, std::string& text) {
    return TextFromPath(path, text) && text.size() <= static_cast<size_t>(kPathBufferSize - 1);
}

// One folder's entries: its .mp3 files that are regular files (or links to one), and its
// folders, which are walked in turn. Linked folders are not entered, so no tree can loop;
// an entry that cannot be looked at is passed over, and so is a folder that cannot be read.
void ListFolder(FileTask& task) {
    fs::path folder;
    if (!PathFromText(task.path, folder)) {
        return;
    }
    ReadFolder(folder, [&task](const fs::path& path, EntryKind kind) {
        std::string text;
        if (kind == EntryKind::Other || !PathText(path, text)) {
            return true;
        }
        if (kind == EntryKind::Folder) {
            task.folders.push_back(std::move(text));
        } else if (IsMp3Name(text)) {
            task.songs.push_back(std::move(text));
            task.found.store(static_cast<int>(task.songs.size()), std::memory_order_relaxed);
        }
        return true;
    });
    task.succeeded = true;
}

// What one dropped name is: a file to list as it is, a folder to walk, or neither (gone,
// out of reach, or something else).
void LookAtDropped(FileTask& task) {
    fs::path dropped;
    if (!PathFromText(task.path, dropped)) {
        return;
    }
    std::error_code error;
    const fs::file_status status = fs::status(dropped, error);
    if (error) {
        return;
    }
    if (fs::is_regular_file(status)) {
        task.songs.emplace_back(task.path);
    } else if (fs::is_directory(status)) {
        task.folders.emplace_back(task.path);
    }
    task.succeeded = true;
}

void DoTask(FileTask& task) {
    try {
        switch (task.kind) {
        case TaskKind::WriteTag:
            task.succeeded = WriteTag(task.path, task.fields, task.switches);
            break;
        case TaskKind::ReadTag:
            task.succeeded = ReadTag(task.path, task.fields);
            break;
        case TaskKind::LookAtDropped:
            LookAtDropped(task);
            break;
        case TaskKind::ListFolder:
            ListFolder(task);
            break;
        }
    } catch (...) {
        // No memory for a huge folder's names: the folder is passed over.
        task.songs.clear();
        task.folders.clear();
        task.succeeded = false;
    }
}

void WorkerLoop(Workers* workers) {
    std::unique_lock<std::mutex> lock(workers->mutex);
    for (;;) {
        workers->taskWaits.wait(lock, [workers] {
            return !workers->waiting.empty() && !workers->holding &&
                   workers->running < workers->allowed;
        });
        // Several tasks at a time where tasks are quick, so that the lock is taken once
        // for them; one at a time where each waits on the disk or the share.
        const int free = workers->allowed - workers->running;
        const size_t share = std::max<size_t>(1, workers->waiting.size() / free);
        const size_t count =
            workers->allowed < kFilesInFlight ? std::min<size_t>(kFastBatch, share) : 1;
        FileTask* batch[kFastBatch] = {};
        for (size_t i = 0; i < count; ++i) {
            batch[i] = workers->waiting[i];
            workers->working.push_back(batch[i]);
        }
        workers->waiting.erase(workers->waiting.begin(),
                               workers->waiting.begin() + static_cast<std::ptrdiff_t>(count));
        ++workers->running;
        lock.unlock();
        const auto started = std::chrono::steady_clock::now();
        size_t done = 0;
        // A cancel meanwhile: the tasks not yet begun go back unstarted.
        while (done < count && !workers->holding) {
            DoTask(*batch[done++]);
        }
        const auto taken = std::chrono::steady_clock::now() - started;
        lock.lock();
        --workers->running;
        if (done > 0) {
            NoteTaskTime(*workers, taken / static_cast<int>(done));
        }
        for (size_t i = count; i-- > 0;) {
            FileTask* task = batch[i];
            workers->working.erase(
                std::find(workers->working.begin(), workers->working.end(), task));
            if (task->abandoned) {
                delete task; // nobody waits for it any more
            } else if (i >= done) {
                workers->waiting.insert(workers->waiting.begin(), task);
            } else {
                workers->finished.push_back(task);
            }
        }
        if (WorthTakingBack(*workers)) {
            workers->taskFinished.notify_all();
        }
    }
}

// Starts the workers the first time they are needed; false when there is no memory for
// them. With no thread to be had the tasks are done on the window's thread, as they
// always were.
bool StartWorkers() {
    if (gWorkers == nullptr) {
        gWorkers = new (std::nothrow) Workers;
        if (gWorkers == nullptr) {
            return false;
        }
        try {
            gWorkers->waiting.reserve(kTasksInHand);
            gWorkers->working.reserve(kTasksInHand + kFilesInFlight * kFastBatch);
            gWorkers->finished.reserve(kTasksInHand);
            gStaged.reserve(kTasksInHand);
        } catch (...) {
            return false;
        }
    }
    while (gWorkers->started < kFilesInFlight) {
        try {
            std::thread(WorkerLoop, gWorkers).detach();
        } catch (...) {
            break; // the system gives no more threads: those there are will do
        }
        ++gWorkers->started;
    }
    return true;
}

} // namespace

FileTask* NewTask(TaskKind kind, const char* path) {
    FileTask* task = new (std::nothrow) FileTask;
    if (task == nullptr) {
        return nullptr;
    }
    task->kind = kind;
    // The path is cut to the buffer, never run past it; the task's buffer stays ended.
    std::memcpy(task->path, path, strnlen(path, sizeof task->path - 1));
    return task;
}

bool HandOut(FileTask* task) {
    if (task == nullptr || !StartWorkers()) {
        delete task;
        return false;
    }
    if (gWorkers->started == 0) {
        DoTask(*task);
    }
    // The count in hand is changed by this thread alone, so it is read here without the
    // lock that the workers read it under.
    if (gStaged.size() + static_cast<size_t>(gWorkers->inHand) >= kTasksInHand) {
        delete task; // more than a command keeps in hand
        return false;
    }
    gStaged.push_back(task);
    return true;
}

int TasksInHand() {
    if (gWorkers == nullptr) {
        return 0;
    }
    const std::lock_guard<std::mutex> lock(gWorkers->mutex);
    return gWorkers->inHand + static_cast<int>(gStaged.size());
}

bool TakeFinished(std::vector<FileTask*>& done, int waitMilliseconds) {
    done.clear();
    if (gWorkers == nullptr) {
        return false;
    }
    std::unique_lock<std::mutex> lock(gWorkers->mutex);
    GiveStaged(*gWorkers);
    if (gWorkers->inHand > 0) {
        gWorkers->taskFinished.wait_for(lock, std::chrono::milliseconds(waitMilliseconds),
                                        [] { return WorthTakingBack(*gWorkers); });
    }
    try {
        done.assign(gWorkers->finished.begin(), gWorkers->finished.end());
    } catch (...) {
        return false; // they stay there for the next look
    }
    gWorkers->finished.clear();
    gWorkers->inHand -= static_cast<int>(done.size());
    return !done.empty();
}

void TakeBackUnstarted(std::vector<FileTask*>& unstarted) {
    unstarted.clear();
    if (gWorkers == nullptr) {
        return;
    }
    const std::lock_guard<std::mutex> lock(gWorkers->mutex);
    GiveStaged(*gWorkers);
    try {
        unstarted.assign(gWorkers->waiting.begin(), gWorkers->waiting.end());
    } catch (...) {
        return; // no memory to hand them back: they are done after all
    }
    gWorkers->waiting.clear();
    gWorkers->inHand -= static_cast<int>(unstarted.size());
}

void HoldUnstarted(bool hold) {
    if (gWorkers != nullptr) {
        const std::lock_guard<std::mutex> lock(gWorkers->mutex);
        gWorkers->holding = hold;
        if (!hold) {
            WakeWorkers(*gWorkers, static_cast<int>(gWorkers->waiting.size()));
        }
    }
}

void AbandonTasks() {
    if (gWorkers == nullptr) {
        return;
    }
    const std::lock_guard<std::mutex> lock(gWorkers->mutex);
    GiveStaged(*gWorkers);
    for (FileTask* task : gWorkers->finished) {
        delete task;
    }
    gWorkers->finished.clear();
    // Those no worker has taken yet are not done at all; those in a worker's hands are
    // left to it, and it lets them go when it is done.
    for (FileTask* task : gWorkers->waiting) {
        delete task;
    }
    gWorkers->waiting.clear();
    for (FileTask* task : gWorkers->working) {
        task->abandoned = true;
    }
    gWorkers->inHand = 0;
    gWorkers->holding = false;
}
