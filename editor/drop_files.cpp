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

// Collects the .mp3 files under `root` that are regular files (or links to one).
// Folders are walked one at a time from a list, not by recursion, and linked
// folders are not entered, so no tree can loop or run the stack out; a folder that
// cannot be read is passed over. False when the user cancelled the walk.
bool CollectSongs(const fs::path& root, std::vector<std::string>& songs) {
    std::vector<fs::path> folders{root};
    while (!folders.empty()) {
        const fs::path folder = std::move(folders.back());
        folders.pop_back();
        std::error_code error;
        fs::directory_iterator entry(folder, fs::directory_options::skip_permission_denied, error);
        for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
            if (!KeepWorking(static_cast<int>(songs.size()), -1)) {
                return false;
            }
            std::error_code kindError;
            const fs::file_status own = entry->symlink_status(kindError);
            std::string text;
            if (kindError || !PathText(entry->path(), text)) {
                continue;
            }
            if (fs::is_directory(own)) {
                folders.push_back(entry->path());
            } else if (entry->is_regular_file(kindError) && !kindError && IsMp3Name(text)) {
                songs.push_back(text);
            }
        }
    }
    return true;
}

// Collects what one dropped name, held in the SelectionBuffer, adds to the list: the
// file itself, or the songs of a folder in order. False when the user cancelled.
bool CollectDropped(std::vector<std::string>& songs) {
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
            std::vector<std::string> found;
            if (!CollectSongs(dropped, found)) {
                return false;
            }
            std::sort(found.begin(), found.end());
            songs.insert(songs.end(), found.begin(), found.end());
        }
    } catch (...) {
        // No memory for the paths of a huge tree: the rest of the drop goes on.
    }
    return true;
}

} // namespace

void AddDroppedFiles(HDROP drop) {
    // Folders can take long to walk: the user sees how many songs were found and may
    // cancel, and a cancelled drop adds nothing.
    BeginLongWork(true);
    std::vector<std::string> songs;
    const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    bool going = true;
    for (UINT i = 0; i < count && going; ++i) {
        // A name that does not fit the buffer is left out, never cut.
        const UINT length = DragQueryFileA(drop, i, nullptr, 0);
        if (length == 0 || length > static_cast<UINT>(kPathBufferSize - 1)) {
            continue;
        }
        std::memset(SelectionBuffer, 0, sizeof SelectionBuffer);
        if (DragQueryFileA(drop, i, SelectionBuffer, kPathBufferSize) == length) {
            going = CollectDropped(songs);
        }
    }
    DragFinish(drop);
    if (going && !songs.empty()) {
        // A folder can hold thousands of songs: the list is not redrawn after each one
        // (its scroll bar and rows repainted every time), only once at the end.
        SendDlgItemMessageA(gMainWindow, IDC_FILE_LIST, WM_SETREDRAW, FALSE, 0);
        for (const std::string& song : songs) {
            FileList::Add(song.c_str());
        }
        SendDlgItemMessageA(gMainWindow, IDC_FILE_LIST, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(GetDlgItem(gMainWindow, IDC_FILE_LIST), nullptr, TRUE);
    }
    EndLongWork();
}
