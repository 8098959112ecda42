"""The pointer's shape as the X server shows it: the server reports every change of
the cursor on the screen with the cursor's name, so a test reads afterwards which
cursors were shown in between, without racing the program that set them."""
import struct
import subprocess
import sys

from Xlib import display as xdisplay
from Xlib.ext import xfixes

from e2e_support import wait_for


class CursorWatch:
    def __init__(self):
        self.display = xdisplay.Display()
        self.display.xfixes_query_version()
        self.display.xfixes_select_cursor_input(self.display.screen().root,
                                                xfixes.XFixesDisplayCursorNotifyMask)
        self.display.sync()  # watching from here on
        self.names = []

    def shown(self):
        """The names of the cursors shown since the watch began, oldest first; a cursor
        without a name (the screen's own) as "". An animated cursor is reported at
        each of its frames."""
        while self.display.pending_events():
            event = self.display.next_event()
            # The display registers its own copy of the event class: known by its name.
            if type(event).__name__ == xfixes.DisplayCursorNotify.__name__:
                # The cursor's name, which the event class leaves unread, follows the
                # window, the serial and the time.
                (name,) = struct.unpack_from("=I", event._binary, 16)
                self.names.append(self.display.get_atom_name(name) if name else "")
        return self.names

    def expect_wait_then_another(self, command, wait="wait"):
        """Waits until the wait cursor (by its name) was shown and another one after it,
        then stops."""
        try:
            wait_for(lambda: wait in self.shown() and self.shown()[-1] != wait,
                     "the wait cursor during %s and another after it" % command)
        except AssertionError as failure:
            raise AssertionError("%s; shown: %r" % (failure, self.names)) from None
        finally:
            self.display.close()


def main():
    """cursor_watch.py NAME COMMAND...: runs COMMAND while watching, then waits until
    the cursor called NAME was shown and another one after it. Exit status: 0 when so,
    COMMAND's own when it failed, 1 when the cursors did not come."""
    name, command = sys.argv[1], sys.argv[2:]
    watch = CursorWatch()
    status = subprocess.call(command)
    if status != 0:
        return status
    try:
        watch.expect_wait_then_another(" ".join(command), name)
    except AssertionError as failure:
        print(failure, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
