#include "winlayer/core/edit.h"

#include "winlayer/core/backend.h"
#include "winlayer/core/changes.h"
#include "winlayer/core/clipboard.h"
#include "winlayer/core/codepage.h"
#include "winlayer/core/keys.h"

namespace winlayer {

namespace {
constexpr int kMaxSingleLine = 0x7FFFFFFE;

// The edit's text as characters; it is kept in UTF-8 as typed, so that what the
// user sees is what was typed, and the program reads it in Windows-1252.
std::u32string Chars(const Window& edit) {
    return Utf8ToChars(edit.text);
}

int Clamped(const Window& edit, int at) {
    return at < 0 ? 0 : (at > EditLength(edit) ? EditLength(edit) : at);
}

// What the limit counts of a character, as the edit control counts it: UTF-16 units,
// two for a character outside the Basic Multilingual Plane (an emoji).
long long Width(char32_t c) {
    return c > 0xFFFF ? 2 : 1;
}

long long Units(const std::u32string& text) {
    long long units = 0;
    for (const char32_t c : text) {
        units += Width(c);
    }
    return units;
}

int SelectionLow(const EditState& e) {
    return e.selStart < e.selEnd ? e.selStart : e.selEnd;
}
int SelectionHigh(const EditState& e) {
    return e.selStart < e.selEnd ? e.selEnd : e.selStart;
}

// Replaces the selection with `with`, cut to what the limit leaves room for, and
// keeps what Undo needs: the text deleted and where, and how much was inserted there.
// Deleting next to the last deletion, or typing on after the last insertion, adds to
// the same undo step, as the edit control does.
bool ReplaceSelection(Window& edit, std::u32string with) {
    EditState& e = edit.edit;
    const int from = SelectionLow(e);
    const int to = SelectionHigh(e);
    const std::u32string text = Chars(edit);
    long long used =
        Units(text) - Units(text.substr(static_cast<size_t>(from), static_cast<size_t>(to - from)));
    size_t fits = 0;
    for (; fits < with.size(); ++fits) {
        if (used + Width(with[fits]) > e.limit) {
            break;
        }
        used += Width(with[fits]);
    }
    with.resize(fits);
    if (from == to && with.empty()) {
        return false;
    }
    if (from != to) {
        const std::u32string deleted =
            text.substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
        if (e.undoInserted == 0 && !e.undoText.empty() && from == e.undoAt) {
            e.undoText += deleted;
        } else if (e.undoInserted == 0 && !e.undoText.empty() && to == e.undoAt) {
            e.undoText = deleted + e.undoText;
            e.undoAt = from;
        } else {
            e.undoText = deleted;
            e.undoAt = from;
        }
        e.undoInserted = 0;
    }
    if (!with.empty()) {
        if (from == e.undoAt || (e.undoInserted > 0 && from == e.undoAt + e.undoInserted)) {
            e.undoInserted += static_cast<int>(with.size());
        } else {
            e.undoAt = from;
            e.undoInserted = static_cast<int>(with.size());
            e.undoText.clear();
        }
    }
    edit.text = CharsToUtf8(text.substr(0, static_cast<size_t>(from)) + with +
                            text.substr(static_cast<size_t>(to)));
    e.selStart = e.selEnd = from + static_cast<int>(with.size());
    Record(ChangeKind::State, edit.handle);
    return true;
}

// Word starts, where Ctrl+Left and Ctrl+Right stop: a character that follows a space
// or a hyphen and is neither itself.
bool WordStart(const std::u32string& text, int at) {
    if (at <= 0 || at >= static_cast<int>(text.size())) {
        return false;
    }
    const char32_t before = text[static_cast<size_t>(at - 1)];
    const char32_t here = text[static_cast<size_t>(at)];
    return (before == U' ' || before == U'-') && here != U' ' && here != U'-';
}

int WordLeft(const Window& edit, int from) {
    const std::u32string text = Chars(edit);
    int at = from > 0 ? from - 1 : 0;
    while (at > 0 && !WordStart(text, at)) {
        --at;
    }
    return at;
}

int WordRight(const Window& edit, int from) {
    const std::u32string text = Chars(edit);
    const int length = static_cast<int>(text.size());
    int at = from + 1;
    while (at < length && !WordStart(text, at)) {
        ++at;
    }
    return at > length ? length : at;
}

// Moves the caret to `to`; without `extend` the selection collapses onto it.
void MoveCaret(Window& edit, int to, bool extend) {
    EditSelect(edit, extend ? edit.edit.selStart : to, to);
}

void Copy(const Window& edit) {
    const EditState& e = edit.edit;
    if (SelectionLow(e) == SelectionHigh(e)) {
        return;
    }
    std::string utf8 =
        CharsToUtf8(Chars(edit).substr(static_cast<size_t>(SelectionLow(e)),
                                       static_cast<size_t>(SelectionHigh(e) - SelectionLow(e))));
    SetClipboardText(utf8);
    if (CurrentBackend().clipboardChanged) {
        CurrentBackend().clipboardChanged(utf8);
    }
}

// Undo puts back what the last step deleted in place of what it inserted, and
// selects it; a second Undo undoes the Undo.
bool Undo(Window& edit) {
    EditState& e = edit.edit;
    const std::u32string restore = e.undoText;
    const int at = e.undoAt;
    EditSelect(edit, at, at + e.undoInserted);
    e.undoText.clear();
    e.undoInserted = 0;
    const bool changed = ReplaceSelection(edit, restore);
    EditSelect(edit, e.undoAt, e.undoAt + e.undoInserted);
    return changed;
}

bool Delete(Window& edit, bool ctrl, bool shift) {
    EditState& e = edit.edit;
    if (ctrl && shift) {
        return false;
    }
    if (e.selStart != e.selEnd) {
        if (shift) {
            Copy(edit);
        }
        return ReplaceSelection(edit, std::u32string());
    }
    const int caret = e.selEnd;
    if (shift) {
        EditSelect(edit, caret, caret > 0 ? caret - 1 : 0); // the character before
    } else if (ctrl) {
        EditSelect(edit, caret, EditLength(edit)); // to the end
    } else {
        EditSelect(edit, caret, caret + 1);
    }
    return ReplaceSelection(edit, std::u32string());
}

void Clamp(Window& edit) {
    edit.edit.selStart = Clamped(edit, edit.edit.selStart);
    edit.edit.selEnd = Clamped(edit, edit.edit.selEnd);
}

} // namespace

bool EditTypeChar(Window& edit, char32_t c) {
    Clamp(edit);
    if (c < U' ' || c == U'\x7F') {
        return false;
    }
    return ReplaceSelection(edit, std::u32string(1, c));
}

bool EditBackspace(Window& edit) {
    Clamp(edit);
    EditState& e = edit.edit;
    if (e.selStart == e.selEnd) {
        EditSelect(edit, e.selEnd, e.selEnd > 0 ? e.selEnd - 1 : 0);
    }
    return ReplaceSelection(edit, std::u32string());
}

bool EditPressKey(Window& edit, UINT key, bool ctrl, bool shift) {
    Clamp(edit);
    const int caret = edit.edit.selEnd;
    switch (key) {
    case vk::Up: // a single line: Up and Down are Left and Right
    case vk::Left:
        MoveCaret(edit,
                  ctrl ? (caret > 0 ? WordLeft(edit, caret) : 0) : (caret > 0 ? caret - 1 : 0),
                  shift);
        return false;
    case vk::Down:
    case vk::Right:
        MoveCaret(edit,
                  ctrl ? (caret < EditLength(edit) ? WordRight(edit, caret) : caret)
                       : (caret < EditLength(edit) ? caret + 1 : caret),
                  shift);
        return false;
    case vk::Home:
        MoveCaret(edit, 0, shift);
        return false;
    case vk::End:
        MoveCaret(edit, EditLength(edit), shift);
        return false;
    case vk::Delete:
        return Delete(edit, ctrl, shift);
    case vk::Back:
        return !ctrl && EditBackspace(edit); // Ctrl+Backspace types nothing
    case vk::Space:
        return EditTypeChar(edit, U' ');
    case 'A':
        if (ctrl) {
            EditSelectAll(edit);
        }
        return false;
    case 'C':
        if (ctrl) {
            Copy(edit);
        }
        return false;
    case 'X':
        if (ctrl) {
            Copy(edit);
            return ReplaceSelection(edit, std::u32string());
        }
        return false;
    case 'V':
        return ctrl && EditPasteText(edit, ClipboardText());
    case 'Z':
        return ctrl && Undo(edit);
    default:
        return false;
    }
}

bool EditPasteText(Window& edit, std::string text) {
    // A single line takes the text's first line.
    const size_t newline = text.find('\n');
    if (newline != std::string::npos) {
        text.resize(newline > 0 && text[newline - 1] == '\r' ? newline - 1 : newline);
    }
    return !text.empty() && ReplaceSelection(edit, Utf8ToChars(text));
}

bool EditCanUndo(const Window& edit) {
    return !edit.edit.undoText.empty() || edit.edit.undoInserted > 0;
}

void EditSelectAll(Window& edit) {
    EditSelect(edit, 0, EditLength(edit));
}

void EditSelect(Window& edit, int anchor, int caret) {
    edit.edit.selStart = Clamped(edit, anchor);
    edit.edit.selEnd = Clamped(edit, caret);
    Record(ChangeKind::State, edit.handle);
}

void EditSetText(Window& edit, std::string utf8) {
    edit.edit.selStart = edit.edit.selEnd = 0;
    edit.edit.undoText.clear();
    edit.edit.undoInserted = 0;
    SetText(edit, std::move(utf8));
}

int EditLength(const Window& edit) {
    return static_cast<int>(Chars(edit).size());
}

void EditSetLimit(Window& edit, WPARAM limit) {
    edit.edit.limit = limit == 0 || limit > static_cast<WPARAM>(kMaxSingleLine)
                          ? kMaxSingleLine
                          : static_cast<int>(limit);
}

} // namespace winlayer
