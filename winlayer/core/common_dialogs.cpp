#include "winlayer/core/common_dialogs.h"

#include "winlayer/core/codepage.h"
#include "winlayer/core/dialog.h"
#include "winlayer/include/win32_constants.h"

#include <cstring>

namespace winlayer {

namespace {

FileDialog* gFileDialog = nullptr;
std::vector<MessageBoxState*> gMessageBoxes;

// The filter string: description and pattern pairs, each NUL-terminated, ended by an
// empty string.
std::vector<FileFilter> ParseFilters(const char* filter) {
    std::vector<FileFilter> filters;
    while (filter != nullptr && *filter != '\0') {
        FileFilter entry;
        entry.description = filter;
        filter += entry.description.size() + 1;
        entry.description = Windows1252ToUtf8(entry.description);
        if (*filter == '\0') {
            break;
        }
        entry.pattern = filter;
        filter += entry.pattern.size() + 1;
        filters.push_back(entry);
    }
    return filters;
}

} // namespace

FileDialog* OpenFileDialog() {
    return gFileDialog;
}
const std::vector<MessageBoxState*>& OpenMessageBoxes() {
    return gMessageBoxes;
}

bool FormatOpenResult(const FileDialog& dialog, char* buffer, DWORD size, WORD& nameOffset) {
    if (dialog.names.empty() || buffer == nullptr) {
        return false;
    }
    std::string result;
    if (dialog.names.size() == 1) {
        result = dialog.directory;
        if (result.empty() || result.back() != kPathSeparator) {
            result += kPathSeparator;
        }
        nameOffset = static_cast<WORD>(result.size() > 0xFFFF ? 0 : result.size());
        result += dialog.names[0];
        result += '\0';
    } else {
        result = dialog.directory;
        result += '\0';
        nameOffset = static_cast<WORD>(result.size() > 0xFFFF ? 0 : result.size());
        for (const std::string& name : dialog.names) {
            result += name;
            result += '\0';
        }
    }
    result += '\0';
    if (result.size() > size) {
        return false;
    }
    std::memcpy(buffer, result.data(), result.size());
    return true;
}

bool SplitChosenPaths(const std::vector<std::string>& paths, std::string& directory,
                      std::vector<std::string>& names) {
    if (paths.empty()) {
        return false;
    }
    // The deepest folder that holds every path, ending in a separator.
    std::string folder = paths[0].substr(0, paths[0].rfind(kPathSeparator) + 1);
    for (const std::string& path : paths) {
        while (!folder.empty() && path.compare(0, folder.size(), folder) != 0) {
            // Up one folder; past the root there is none.
            folder.erase(folder.size() < 2 ? 0
                                           : folder.rfind(kPathSeparator, folder.size() - 2) + 1);
        }
    }
    if (folder.empty()) {
        return false; // not full paths
    }
    names.clear();
    for (const std::string& path : paths) {
        if (path.size() == folder.size()) {
            return false; // a folder, not a file in it
        }
        names.push_back(path.substr(folder.size()));
    }
    directory = folder.size() > 1 ? folder.substr(0, folder.size() - 1) : folder;
    return true;
}

namespace {

// Shows the platform's own window for `state` where the back end has one, and runs
// the loop until the user's answer, which comes as input, has set `state.done`.
template <typename State, typename Hook>
void RunUntilAnswered(State& state, const Hook& show, const Hook& hide) {
    ShowChanges(); // the owner is shown disabled before the window appears
    if (show) {
        show(state);
    }
    ModalLoop([&state] { return state.done; });
    if (hide) {
        hide(state);
    }
}

} // namespace

BOOL RunOpenFileDialog(OPENFILENAMEA& options) {
    FileDialog dialog;
    dialog.owner = options.hwndOwner;
    dialog.title = Windows1252ToUtf8(options.lpstrTitle != nullptr ? options.lpstrTitle : "Open");
    dialog.filters = ParseFilters(options.lpstrFilter);
    dialog.filterIndex = options.nFilterIndex == 0 ? 1 : static_cast<int>(options.nFilterIndex);
    dialog.flags = options.Flags;

    FileDialog* outer = gFileDialog;
    gFileDialog = &dialog;
    const bool ownerDisabled = DisableOwner(dialog.owner);
    RunUntilAnswered(dialog, CurrentBackend().showFileDialog, CurrentBackend().hideFileDialog);
    RestoreOwner(dialog.owner, ownerDisabled);
    gFileDialog = outer;

    if (!dialog.accepted) {
        return FALSE;
    }
    WORD nameOffset = 0;
    if (!FormatOpenResult(dialog, options.lpstrFile, options.nMaxFile, nameOffset)) {
        return FALSE; // the choice does not fit the program's buffer
    }
    options.nFileOffset = nameOffset;
    return TRUE;
}

int RunMessageBoxFor(HWND owner, const char* text, const char* caption, UINT type) {
    MessageBoxState box;
    box.owner = owner;
    box.text = Windows1252ToUtf8(text != nullptr ? text : "");
    box.caption = Windows1252ToUtf8(caption != nullptr ? caption : "Error");
    box.type = type;
    const bool ownerDisabled = DisableOwner(owner);
    gMessageBoxes.push_back(&box);
    RunUntilAnswered(box, CurrentBackend().showMessageBox, CurrentBackend().hideMessageBox);
    std::erase(gMessageBoxes, &box);
    RestoreOwner(owner, ownerDisabled);
    return IDOK;
}

} // namespace winlayer
