#!/usr/bin/python3
"""A drag source for end-to-end tests: drags files onto a point of the screen with
real pointer input, as a person dragging them out of a file manager does.

    drag_source.py --to X,Y [--from X,Y] [--timeout SECONDS] PATH...

Shows a small GTK 3 window whose top-left corner is at --from (default: near the
bottom-right corner of the screen; on Wayland the compositor puts it in the middle)
and which offers the PATHs as "text/uri-list" (file:// URIs of their absolute
paths). Then, with the end-to-end tests' input (the X server's test extension, or
the Wayland compositor's remote-desktop interface), it presses the first mouse
button on that window, moves the pointer in steps to X,Y (screen coordinates),
keeps moving a pixel to and fro there until the window under the pointer answers
that it takes the drop (five seconds at most), and releases the button.

Exit status: 0 when the target took the data and finished the drop; 1 when the
drag failed (nothing there takes files, or the target refused) or did not end
within --timeout seconds (default 30); 2 for bad arguments. Needs DISPLAY or
WAYLAND_DISPLAY, GTK 3 through python3-gi and python3-xlib.
"""
import argparse
import os
import sys

import gi

gi.require_version("Gdk", "3.0")
gi.require_version("Gtk", "3.0")
from gi.repository import GLib, Gdk, Gtk  # noqa: E402

from e2e_support import user_input  # noqa: E402

SIZE = 80  # the source window's width and height
STEPS = 25  # pointer moves from the source to the target
STEP_MS = 20
HOVER_MS = 5000  # how long to wait on the target for it to take the drop


def point(text):
    x, y = text.split(",")
    return int(x), int(y)


class DragSource:
    def __init__(self, uris, start, target, timeout):
        self.uris = uris
        self.target = target
        self.context = None
        self.data_sent = False
        self.failed = False
        self.status = 1
        self.wiggle = 0
        self.hovered_ms = 0
        self.user = user_input()

        self.window = Gtk.Window(title="drag source")
        self.window.set_decorated(False)
        self.window.set_default_size(SIZE, SIZE)
        gdk_display = Gdk.Display.get_default()
        screen = (gdk_display.get_primary_monitor() or gdk_display.get_monitor(0)).get_geometry()
        self.start = start or (screen.x + screen.width - SIZE - 20,
                               screen.y + screen.height - SIZE - 20)
        self.window.move(*self.start)
        box = Gtk.EventBox()
        box.add(Gtk.Label(label="files"))
        box.drag_source_set(Gdk.ModifierType.BUTTON1_MASK, [], Gdk.DragAction.COPY)
        box.drag_source_add_uri_targets()
        box.connect("drag-begin", self.on_begin)
        box.connect("drag-data-get", self.on_data_get)
        box.connect("drag-failed", self.on_failed)
        box.connect("drag-end", self.on_end)
        self.window.add(box)
        self.window.connect("map-event", self.on_mapped)
        self.window.show_all()
        GLib.timeout_add(int(timeout * 1000), self.on_timeout)

    # --- The pointer, moved as the end-to-end tests move it ----------------------
    def move(self, x, y):
        self.user.move(x, y)

    def button(self, down):
        self.user.button(down)

    def on_mapped(self, *_):
        # Press once the window is on the screen where it was asked to be; on Wayland
        # once the compositor has shown it, which it then makes the active window.
        def ready():
            if self.user.system == "wayland" and not self.window.is_active():
                return True
            GLib.timeout_add(100, self.press)
            return False

        GLib.timeout_add(50, ready)
        return False

    def press(self):
        origin = self.window.get_window().get_origin()
        left, top = self.user.window_origin(SIZE, SIZE)
        sx, sy = left + origin[1] + SIZE // 2, top + origin[2] + SIZE // 2
        self.move(sx, sy)
        self.button(True)
        tx, ty = self.target
        steps = iter(range(1, STEPS + 1))

        def step():
            i = next(steps, None)
            if i is None:
                GLib.timeout_add(STEP_MS, self.hover)
                return False
            self.move(sx + (tx - sx) * i / STEPS, sy + (ty - sy) * i / STEPS)
            return True

        GLib.timeout_add(STEP_MS, step)
        return False

    def hover(self):
        """Moves a pixel to and fro on the target until it says it takes the drop (or
        for HOVER_MS at most, then drops anyway: the drag then fails)."""
        if self.failed:
            return False
        accepted = self.context is not None and self.context.get_selected_action() != 0
        self.hovered_ms += STEP_MS
        if accepted or self.hovered_ms >= HOVER_MS:
            self.move(*self.target)
            self.button(False)
            return False
        self.wiggle ^= 1
        self.move(self.target[0] + self.wiggle, self.target[1])
        return True

    # --- The drag as GTK reports it -----------------------------------------------
    def on_begin(self, _widget, context):
        self.context = context

    def on_data_get(self, _widget, _context, data, _info, _time):
        data.set_uris(self.uris)
        self.data_sent = True

    def on_failed(self, _widget, _context, result):
        self.failed = True
        print("drag_source: the drag failed: " + result.value_nick, file=sys.stderr)
        return True  # no animation back to the source

    def on_end(self, *_):
        self.status = 0 if self.data_sent and not self.failed else 1
        GLib.idle_add(Gtk.main_quit)

    def on_timeout(self):
        print("drag_source: the drag did not end in time", file=sys.stderr)
        self.button(False)
        self.status = 1
        Gtk.main_quit()
        return False


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--to", type=point, required=True, help="X,Y on the root window")
    parser.add_argument("--from", dest="start", type=point, help="X,Y of the source window")
    parser.add_argument("--timeout", type=float, default=30.0)
    parser.add_argument("paths", nargs="+")
    args = parser.parse_args()
    uris = [GLib.filename_to_uri(os.path.abspath(p), None) for p in args.paths]
    source = DragSource(uris, args.start, args.to, args.timeout)
    Gtk.main()
    return source.status


if __name__ == "__main__":
    sys.exit(main())
