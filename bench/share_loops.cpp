// The bare work of a save and of a dropped folder's walk, without the window, as the
// references for the window on a network share (gtk_share_bench.py runs it):
//   share_loops save THREADS FOLDER [FIRST]
//       WriteTag, as Save To ALL calls it, on each .mp3 in FOLDER (in name order; only
//       the first FIRST of them when given), on THREADS threads that each take the
//       next file.
//   share_loops walk THREADS FOLDER
//       the .mp3 files under FOLDER, found as a dropped folder's are, with up to
//       THREADS folders being read at once.
// Prints "SECONDS COUNT": the time of the work and the files it saved or found. The
// folder's listing for a save is made before the time starts, as the window's list
// is filled before its save.
#include "tagstore/tag_writer.h"
#include "tests/support/captured_fields.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

bool IsMp3(const fs::path& path) {
    std::string extension = path.extension().string();
    for (char& c : extension) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return extension == ".mp3";
}

// Runs `work` on `threads` threads and waits for them.
template <typename Work> void OnThreads(int threads, Work work) {
    std::vector<std::thread> running;
    for (int i = 0; i < threads; ++i) {
        running.emplace_back(work);
    }
    for (std::thread& thread : running) {
        thread.join();
    }
}

int Save(int threads, const fs::path& folder, size_t first) {
    std::vector<std::string> paths;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error); !error && entry != fs::directory_iterator();
         entry.increment(error)) {
        if (IsMp3(entry->path())) {
            paths.push_back(entry->path().string());
        }
    }
    std::sort(paths.begin(), paths.end());
    paths.resize(std::min(paths.size(), first));
    TagFields captured{};
    CaptureText(captured, FieldKind::Album, "Share album");
    const FieldSwitches switches{{true, true, true, true, true}};
    std::atomic<size_t> next{0};
    std::atomic<int> saved{0};
    const Clock::time_point start = Clock::now();
    OnThreads(threads, [&] {
        for (size_t i = next++; i < paths.size(); i = next++) {
            saved += WriteTag(paths[i].c_str(), captured, switches) ? 1 : 0;
        }
    });
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("%.3f %d\n", seconds, saved.load());
    return saved.load() == static_cast<int>(paths.size()) ? 0 : 1;
}

// The folders still to read, shared by the walkers; the walk ends when none is left
// and no walker is reading one (which could add more).
struct Walk {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<fs::path> folders;
    int reading = 0;
    int songs = 0;
};

void ReadFolders(Walk& walk) {
    std::unique_lock<std::mutex> hold(walk.lock);
    for (;;) {
        walk.changed.wait(hold, [&] { return !walk.folders.empty() || walk.reading == 0; });
        if (walk.folders.empty()) {
            walk.changed.notify_all();
            return;
        }
        const fs::path folder = std::move(walk.folders.back());
        walk.folders.pop_back();
        ++walk.reading;
        hold.unlock();
        std::vector<fs::path> found;
        int songs = 0;
        std::error_code error;
        fs::directory_iterator entry(folder, fs::directory_options::skip_permission_denied, error);
        for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
            std::error_code kindError;
            const fs::file_status own = entry->symlink_status(kindError);
            if (kindError) {
                continue;
            }
            if (fs::is_directory(own)) {
                found.push_back(entry->path());
            } else if (entry->is_regular_file(kindError) && !kindError && IsMp3(entry->path())) {
                ++songs;
            }
        }
        hold.lock();
        --walk.reading;
        walk.songs += songs;
        walk.folders.insert(walk.folders.end(), found.begin(), found.end());
        walk.changed.notify_all();
    }
}

int WalkFolder(int threads, const fs::path& root) {
    Walk walk;
    walk.folders.push_back(root);
    const Clock::time_point start = Clock::now();
    OnThreads(threads, [&] { ReadFolders(walk); });
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("%.3f %d\n", seconds, walk.songs);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const int threads = argc >= 4 ? std::atoi(argv[2]) : 0;
    if (threads < 1 || threads > 1024 ||
        !((argc == 4 && std::strcmp(argv[1], "walk") == 0) ||
          ((argc == 4 || argc == 5) && std::strcmp(argv[1], "save") == 0))) {
        std::fprintf(stderr, "usage: share_loops save THREADS FOLDER [FIRST]\n"
                             "       share_loops walk THREADS FOLDER\n");
        return 2;
    }
    if (argv[1][0] == 'w') {
        return WalkFolder(threads, argv[3]);
    }
    const long first = argc == 5 ? std::atol(argv[4]) : -1;
    return Save(threads, argv[3], first < 0 ? SIZE_MAX : static_cast<size_t>(first));
}
