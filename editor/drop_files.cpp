// Files and folders dropped onto the main window. A dropped file is listed as a
// chosen one is; a dropped folder lists the .mp3 files in it and in its subfolders.
// Nothing is read and nothing is shown: what cannot be listed is left out.
#include "editor/program.h"
#include "resources/resource.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

namespace fs = std::filesystem;

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

// Adds to `songs` the .mp3 files under `root` that are regular files (or links to
// one). Folders are walked one at a time from a list, not by recursion, and linked
// folders are not entered, so no tree can loop or run the stack out; a folder that
// cannot be read is passed over. False when the user cancelled the walk.
bool CollectSongs(const fs::path& root, std::vector<std::string>& songs) {
    std::vector<fs::path> folders{root};
    auto take = [&](const fs::path& path, EntryKind kind) {
        if (!KeepWorking(static_cast<int>(songs.size()), -1)) {
            return false;
        }
        std::string text;
        if (kind == EntryKind::Other || !PathText(path, text)) {
            return true;
        }
        if (kind == EntryKind::Folder) {
            folders.push_back(path);
        } else if (IsMp3Name(text)) {
            songs.push_back(text);
        }
        return true;
    };
    while (!folders.empty()) {
        const fs::path folder = std::move(folders.back());
        folders.pop_back();
        if (!ReadFolder(folder, take)) {
            return false;
        }
    }
    return true;
}

// Adds to `songs` what one dropped name, held in the SelectionBuffer, adds to the
// list: the file itself, or the songs of a folder in order. False when the user
// cancelled.
bool CollectDropped(std::vector<std::string>& songs) {
    const size_t before = songs.size();
    try {
        fs::path dropped;
        if (!PathFromText(SelectionBuffer, dropped)) {
            return true;
        }
        std::error_code error;
        const fs::file_status status = fs::status(dropped, error);
        if (error) {
            return true; // gone, or not reachable
        }
        if (fs::is_regular_file(status)) {
            songs.emplace_back(SelectionBuffer);
        } else if (fs::is_directory(status)) {
            if (!CollectSongs(dropped, songs)) {
                return false;
            }
            std::sort(songs.begin() + static_cast<std::ptrdiff_t>(before), songs.end());
        }
    } catch (...) {
        // No memory for the paths of a huge tree: the rest of the drop goes on without
        // this name.
        songs.resize(before);
    }
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
    FileList::StopDrawing(total, bytes);
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
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    bool going = true;
    for (UINT i = 0; i < count && going; ++i) {
        going = KeepWorking(static_cast<int>(songs.size()), -1);
        // A name that does not fit the buffer is left out, never cut.
        const UINT length = DragQueryFileA(drop, i, nullptr, 0);
        if (!going || length == 0 || length > static_cast<UINT>(kPathBufferSize - 1)) {
            continue;
        }
        std::memset(SelectionBuffer, 0, sizeof SelectionBuffer);
        if (DragQueryFileA(drop, i, SelectionBuffer, kPathBufferSize) == length) {
            going = CollectDropped(songs);
        }
    }
    DragFinish(drop);
    if (going && !songs.empty()) {
        ListSongs(songs);
    }
    EndLongWork();
}
