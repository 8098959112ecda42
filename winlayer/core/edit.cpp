#include "winlayer/core/edit.h"

#include "winlayer/core/changes.h"

namespace winlayer {

namespace {
constexpr int kMaxSingleLine = 0x7FFFFFFE;

void Clamp(Window& edit) {
    const int length = static_cast<int>(edit.text.size());
    EditState& e = edit.edit;
    e.selStart = e.selStart < 0 ? 0 : (e.selStart > length ? length : e.selStart);
    e.selEnd = e.selEnd < 0 ? 0 : (e.selEnd > length ? length : e.selEnd);
}

void ReplaceSelection(Window& edit, const std::string& with) {
    Clamp(edit);
    EditState& e = edit.edit;
    const int from = e.selStart < e.selEnd ? e.selStart : e.selEnd;
    const int to = e.selStart < e.selEnd ? e.selEnd : e.selStart;
    edit.text = edit.text.substr(0, static_cast<size_t>(from)) + with +
                edit.text.substr(static_cast<size_t>(to));
    e.selStart = e.selEnd = from + static_cast<int>(with.size());
    Record(ChangeKind::State, edit.handle);
}
} // namespace

bool EditTypeChar(Window& edit, char c) {
    Clamp(edit);
    const EditState& e = edit.edit;
    const int selected = e.selEnd > e.selStart ? e.selEnd - e.selStart : e.selStart - e.selEnd;
    if (c == '\0' || static_cast<int>(edit.text.size()) - selected + 1 > edit.edit.limit) {
        return false;
    }
    ReplaceSelection(edit, std::string(1, c));
    return true;
}

bool EditBackspace(Window& edit) {
    Clamp(edit);
    EditState& e = edit.edit;
    if (e.selStart == e.selEnd) {
        if (e.selEnd == 0) {
            return false;
        }
        e.selStart = e.selEnd - 1;
    }
    ReplaceSelection(edit, std::string());
    return true;
}

void EditSelectAll(Window& edit) {
    EditSelect(edit, 0, static_cast<int>(edit.text.size()));
}

void EditSelect(Window& edit, int start, int end) {
    edit.edit.selStart = start;
    edit.edit.selEnd = end;
    Clamp(edit);
    Record(ChangeKind::State, edit.handle);
}

void EditSetText(Window& edit, const char* text) {
    edit.edit.selStart = edit.edit.selEnd = 0;
    SetText(edit, text != nullptr ? text : "");
}

void EditSetLimit(Window& edit, WPARAM limit) {
    edit.edit.limit = limit == 0 || limit > static_cast<WPARAM>(kMaxSingleLine)
                          ? kMaxSingleLine
                          : static_cast<int>(limit);
}

} // namespace winlayer
