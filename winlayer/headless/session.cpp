#include "winlayer/headless/session.h"

#include "winlayer/core/common_dialogs.h"
#include "winlayer/core/dialog.h"
#include "winlayer/core/edit.h"
#include "winlayer/core/input.h"
#include "winlayer/core/message_loop.h"
#include "winlayer/include/windows.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace winlayer::headless {

namespace {

// A program that does not wait for input again within this time is hung.
constexpr auto kPatience = std::chrono::seconds(30);

} // namespace

Session::Session() {
    hooks_.waitForInput = [this] { return WaitForInput(); };
    hooks_.pumpEvents = [this] {
        if (busy_) {
            busy_();
        }
    };
    hooks_.showCursor = [this](CursorShape shape) {
        if (cursorShown_) {
            cursorShown_(shape);
        }
    };
    SetBackend(&hooks_);
}

Session::~Session() {
    if (started_) {
        if (Running()) {
            Do([] { PostQuit(0); });
        }
        program_.join();
    }
    ResetSession();
    SetBackend(nullptr);
}

void Session::Start(std::function<int()> program) {
    ResetSession();
    started_ = true;
    program_ = std::thread([this, program = std::move(program)] {
        const int code = program();
        std::lock_guard<std::mutex> lock(mutex_);
        exitCode_ = code;
        finished_ = true;
        changed_.notify_all();
    });
    std::unique_lock<std::mutex> lock(mutex_);
    WaitUntilSettled(lock);
}

bool Session::Running() {
    std::lock_guard<std::mutex> lock(mutex_);
    return started_ && !finished_;
}

int Session::ExitCode() {
    std::lock_guard<std::mutex> lock(mutex_);
    return exitCode_;
}

void Session::Do(std::function<void()> action) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!started_ || finished_) {
        return;
    }
    action_ = std::move(action);
    idle_ = false;
    changed_.notify_all();
    WaitUntilSettled(lock);
}

void Session::WaitUntilSettled(std::unique_lock<std::mutex>& lock) {
    if (!changed_.wait_for(lock, kPatience, [this] { return (idle_ && !action_) || finished_; })) {
        std::fprintf(stderr, "headless session: the program stopped taking input\n");
        std::abort();
    }
}

bool Session::WaitForInput() {
    std::unique_lock<std::mutex> lock(mutex_);
    idle_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return static_cast<bool>(action_); });
    PostInput(std::move(action_));
    action_ = nullptr;
    idle_ = false;
    return true;
}

std::vector<HWND> Session::Windows() {
    return Dialogs();
}

HWND Session::Find(const std::string& caption) {
    HWND found = nullptr;
    for (HWND dialog : Dialogs()) {
        if (FindWindow(dialog)->text == caption) {
            found = dialog;
        }
    }
    return found;
}

std::string Session::Caption(HWND window) {
    const Window* w = FindWindow(window);
    return w != nullptr ? w->text : "";
}

HWND Session::Control(HWND window, int id) {
    const Window* control = FindControl(window, id);
    return control != nullptr ? control->handle : nullptr;
}

std::string Session::Text(HWND window, int id) {
    const Window* control = FindControl(window, id);
    return control != nullptr ? control->text : "";
}

bool Session::Checked(HWND window, int id) {
    const Window* control = FindControl(window, id);
    return control != nullptr && control->checked;
}

bool Session::Enabled(HWND window, int id) {
    const Window* control = FindControl(window, id);
    return control != nullptr && control->enabled;
}

HWND Session::Focus(HWND window) {
    return FocusOf(window);
}

std::vector<std::string> Session::Entries(HWND window, int listId) {
    const Window* list = FindControl(window, listId);
    return list != nullptr ? list->list.items : std::vector<std::string>{};
}

std::vector<int> Session::Selected(HWND window, int listId) {
    std::vector<int> selected;
    if (const Window* list = FindControl(window, listId)) {
        for (size_t i = 0; i < list->list.selected.size(); ++i) {
            if (list->list.selected[i]) {
                selected.push_back(static_cast<int>(i));
            }
        }
    }
    return selected;
}

int Session::Caret(HWND window, int listId) {
    const Window* list = FindControl(window, listId);
    return list != nullptr ? list->list.caret : -1;
}

bool Session::FileDialogOpen() {
    return OpenFileDialog() != nullptr;
}

FileDialog Session::FileDialogShown() {
    return OpenFileDialog() != nullptr ? *OpenFileDialog() : FileDialog{};
}

std::vector<MessageBoxState> Session::MessageBoxes() {
    std::vector<MessageBoxState> boxes;
    for (const MessageBoxState* box : OpenMessageBoxes()) {
        boxes.push_back(*box);
    }
    return boxes;
}

namespace {

int Characters(HWND edit) {
    const Window* window = FindWindow(edit);
    return window != nullptr ? EditLength(*window) : 0;
}

// Clicks the field as a user does, at character `at`; true when the click gave it
// the focus (a disabled field takes none, and the user types nowhere).
bool ClickField(HWND edit, int at) {
    input::ClickEdit(edit, at);
    const Window* window = FindWindow(edit);
    return window != nullptr && FocusOf(window->parent) == edit;
}

} // namespace

void Session::Click(HWND window, int id) {
    const HWND control = Control(window, id);
    Do([control] {
        const Window* clicked = FindWindow(control);
        if (clicked != nullptr && clicked->kind == ControlKind::Edit) {
            input::ClickEdit(control, Characters(control)); // past the end of its text
        } else {
            input::Click(control);
        }
    });
}

int Session::Type(HWND window, int id, const std::string& text) {
    const HWND control = Control(window, id);
    int taken = 0;
    Do([window, control, &text, &taken] {
        const int before = Characters(control);
        if (ClickField(control, before)) { // past the end of its text
            input::TypeText(window, text);
        }
        taken = Characters(control) - before;
    });
    return taken;
}

void Session::Replace(HWND window, int id, const std::string& text) {
    const HWND control = Control(window, id);
    Do([window, control, &text] {
        if (!ClickField(control, 0)) {
            return;
        }
        input::PressKey(window, 'A', /*ctrl=*/true);
        if (text.empty()) {
            input::PressKey(window, vk::Back);
        } else {
            input::TypeText(window, text);
        }
    });
}

void Session::ClickEntry(HWND window, int listId, int index, bool ctrl, bool shift) {
    const HWND list = Control(window, listId);
    Do([=] { input::ClickListEntry(list, index, ctrl, shift); });
}

void Session::DoubleClickEntry(HWND window, int listId, int index) {
    const HWND list = Control(window, listId);
    Do([=] {
        input::ClickListEntry(list, index);
        input::DoubleClickListEntry(list, index);
    });
}

void Session::PressKey(HWND window, UINT key, bool ctrl, bool shift, bool alt) {
    Do([=] { input::PressKey(window, key, ctrl, shift, alt); });
}
void Session::Close(HWND window) {
    Do([window] { input::Close(window); });
}

bool Session::AcceptFileDialog(const std::string& directory,
                               const std::vector<std::string>& names) {
    bool accepted = false;
    Do([&] { accepted = input::AcceptFileDialog(directory, names); });
    return accepted;
}

void Session::CancelFileDialog() {
    Do([] { input::CancelFileDialog(); });
}
void Session::DismissMessageBox() {
    Do([] { input::DismissMessageBox(); });
}

void Session::DropFiles(HWND window, std::vector<std::string> paths) {
    Do([window, &paths] { input::DropFiles(window, paths); });
}

void Session::SetClockStep(ULONGLONG step) {
    clockStep_ = step;
    hooks_.tickCount = [this] { return clock_ += clockStep_; };
}

void Session::WhileBusy(std::function<void()> busy) {
    busy_ = std::move(busy);
}

void Session::WhenCursorShown(std::function<void(CursorShape)> shown) {
    cursorShown_ = std::move(shown);
}

void Session::Post(std::function<void()> action) {
    PostInput(std::move(action));
}

} // namespace winlayer::headless
