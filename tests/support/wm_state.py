#!/usr/bin/python3
"""The least of a window manager, for a virtual display that has none (Xvfb): it
keeps the ICCCM WM_STATE property of each top-level window, Normal once mapped and
gone once unmapped, as any window manager does. Wine waits up to two seconds for that
property to change when it hides a window, so without it every window the program
takes down (a progress box, a dialog) would hold the program up, as on no real desktop.

    wm_state.py &    # on $DISPLAY; runs until the display goes

Needs python3-xlib.
"""
import sys

import Xlib.display
import Xlib.error
import Xlib.X

NORMAL_STATE = 1


def main():
    display = Xlib.display.Display()
    root = display.screen().root
    wm_state = display.intern_atom("WM_STATE")
    root.change_attributes(event_mask=Xlib.X.SubstructureNotifyMask)
    display.sync()
    while True:
        try:
            event = display.next_event()
        except Xlib.error.ConnectionClosedError:
            return 0
        # A window gone meanwhile is no error of ours.
        ignore = Xlib.error.CatchError(Xlib.error.BadWindow)
        if event.type == Xlib.X.MapNotify and not event.override:
            event.window.change_property(wm_state, wm_state, 32, [NORMAL_STATE, 0],
                                         onerror=ignore)
        elif event.type == Xlib.X.UnmapNotify:
            event.window.delete_property(wm_state, onerror=ignore)
        display.flush()


if __name__ == "__main__":
    sys.exit(main())
