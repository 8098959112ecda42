// The input queue and the modal loops, as GetMessage and DispatchMessage run them: a
// back end posts each user action as an event and returns at once; a loop takes one
// event at a time and applies it from its own clean stack, then shows what changed.
// A modal window opened by an event runs its own loop inside that event.
#pragma once

#include <functional>

namespace winlayer {

using InputEvent = std::function<void()>;

// Queues an event; it is applied by the innermost running loop.
void PostInput(InputEvent event);
// Runs the loop until `finished` says so or a quit request arrives.
void ModalLoop(const std::function<bool()>& finished);
// Hands the changes recorded so far to the back end.
void ShowChanges();

// The next queued event, for a message loop of the program's own (PeekMessageA);
// false when none waits.
bool TakeInput(InputEvent& event);

void PostQuit(int exitCode);
int QuitCode();
// True when a quit request waits; `remove` takes it, as a message loop that reads it
// does.
bool QuitRequested(bool remove);
// Forgets the quit request, pending input and unshown changes, and puts the arrow
// back: a new run starts clean.
void ResetLoop();

} // namespace winlayer
