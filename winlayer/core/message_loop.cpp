#include "winlayer/core/message_loop.h"

#include "winlayer/core/backend.h"
#include "winlayer/core/cursor.h"

#include <deque>

namespace winlayer {

namespace {

const BackendHooks kNoBackend{};
const BackendHooks* gHooks = &kNoBackend;
std::deque<InputEvent> gQueue;
bool gQuit = false;
int gQuitCode = 0;

} // namespace

void SetBackend(const BackendHooks* hooks) {
    gHooks = hooks != nullptr ? hooks : &kNoBackend;
}

const BackendHooks& CurrentBackend() {
    return *gHooks;
}

void PostInput(InputEvent event) {
    if (event) {
        gQueue.push_back(std::move(event));
    }
}

void ShowChanges() {
    std::vector<Change> changes = TakeChanges();
    if (!changes.empty() && gHooks->showChanges) {
        gHooks->showChanges(changes);
    }
}

void ModalLoop(const std::function<bool()>& finished) {
    while (!finished() && !gQuit) {
        if (InputEvent event; TakeInput(event)) {
            event();
            continue;
        }
        ShowChanges();
        if (!gHooks->waitForInput || !gHooks->waitForInput()) {
            PostQuit(0); // no user, or the user has left: nothing more will happen
        }
    }
}

bool TakeInput(InputEvent& event) {
    if (gQueue.empty()) {
        return false;
    }
    event = std::move(gQueue.front());
    gQueue.pop_front();
    return true;
}

bool QuitRequested(bool remove) {
    const bool requested = gQuit;
    if (remove) {
        gQuit = false;
    }
    return requested;
}

void PostQuit(int exitCode) {
    gQuit = true;
    gQuitCode = exitCode;
}

int QuitCode() {
    return gQuitCode;
}

void ResetLoop() {
    gQuit = false;
    gQuitCode = 0;
    gQueue.clear();
    ForgetChanges();
    ResetCursor();
}

} // namespace winlayer
