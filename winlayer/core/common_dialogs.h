// The open-file dialog and the message box, while they are shown.
#pragma once

#include "winlayer/core/backend.h"

namespace winlayer {

constexpr char kPathSeparator = '/';

// The open-file dialog being shown, or null.
FileDialog* OpenFileDialog();
// The message boxes being shown, oldest first.
const std::vector<MessageBoxState*>& OpenMessageBoxes();

BOOL RunOpenFileDialog(OPENFILENAMEA& options);
int RunMessageBoxFor(HWND owner, const char* text, const char* caption, UINT type);

// Writes the user's choice into `buffer` as the dialog hands it back: one full path,
// or the directory followed by each name, each NUL-terminated, ended by an empty
// string. False, leaving the buffer alone, when it does not fit in `size` bytes.
bool FormatOpenResult(const FileDialog& dialog, char* buffer, DWORD size, WORD& nameOffset);

// Full paths of chosen files, which may stand in several folders, as the dialog's
// answer: the deepest folder that holds them all, and each path relative to it.
// False when they are not full paths of files.
bool SplitChosenPaths(const std::vector<std::string>& paths, std::string& directory,
                      std::vector<std::string>& names);

} // namespace winlayer
