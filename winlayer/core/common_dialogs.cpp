#include "winlayer/core/common_dialogs.h"

#include "winlayer/core/dialog.h"
#include "winlayer/include/win32_constants.h"

#include <cstring>

namespace winlayer {

namespace {

FileDialog* gFileDialog = nullptr;
DWORD gFileDialogError = 0;
std::vector<MessageBoxState*> gMessageBoxes;

// The filter string: description and pattern pairs, each NUL-terminated, ended by an
// empty string.
std::vector<FileFilter> ParseFilters(const char* filter) {
    std::vector<FileFilter> filters;
    while (filter != nullptr && *filter != '\0') {
        FileFilter entry;
        entry.description = filter;
        filter += entry.description.size() + 1;
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
DWORD LastFileDialogError() {
    return gFileDialogError;
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

BOOL RunOpenFileDialog(OPENFILENAMEA& options) {
    gFileDialogError = 0;
    FileDialog dialog;
    dialog.owner = options.hwndOwner;
    dialog.title = options.lpstrTitle != nullptr ? options.lpstrTitle : "Open";
    dialog.filters = ParseFilters(options.lpstrFilter);
    dialog.filterIndex = options.nFilterIndex == 0 ? 1 : static_cast<int>(options.nFilterIndex);
    dialog.flags = options.Flags;

    FileDialog* outer = gFileDialog;
    gFileDialog = &dialog;
    const bool ownerDisabled = DisableOwner(dialog.owner);
    CurrentBackend().RunFileDialog(dialog);
    RestoreOwner(dialog.owner, ownerDisabled);
    gFileDialog = outer;

    if (!dialog.accepted) {
        return FALSE;
    }
    WORD nameOffset = 0;
    if (!FormatOpenResult(dialog, options.lpstrFile, options.nMaxFile, nameOffset)) {
        gFileDialogError = FNERR_BUFFERTOOSMALL;
        return FALSE;
    }
    options.nFileOffset = nameOffset;
    return TRUE;
}

int RunMessageBoxFor(HWND owner, const char* text, const char* caption, UINT type) {
    MessageBoxState box;
    box.owner = owner;
    box.text = text != nullptr ? text : "";
    box.caption = caption != nullptr ? caption : "Error";
    box.type = type;
    const bool ownerDisabled = DisableOwner(owner);
    gMessageBoxes.push_back(&box);
    CurrentBackend().RunMessageBox(box);
    std::erase(gMessageBoxes, &box);
    RestoreOwner(owner, ownerDisabled);
    return IDOK;
}

} // namespace winlayer
