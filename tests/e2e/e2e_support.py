"""What the end-to-end tests share: real input on X11 and on Wayland, the program's
windows and controls as the accessibility tree shows them, waiting, screenshots, and
the tag record as the files hold it."""
import functools
import os
import re
import subprocess
import sys
import threading
import time

import pyatspi
from Xlib import X, XK, display as xdisplay, protocol
from Xlib.ext import xtest

# The program's desktop entry, named by the application id that its windows carry and
# by which the accessibility tree knows it.
ENTRY = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, os.pardir,
                     "packaging", "org.quorwin.Quorwin.desktop")
APP_ID = os.path.basename(ENTRY)[:-len(".desktop")]


def wait_for(check, what, timeout=15.0, interval=0.1):
    """Polls `check` every `interval` seconds until it returns something true; fails
    after `timeout` seconds."""
    end = time.monotonic() + timeout
    while True:
        try:
            value = check()
        except Exception:  # a widget mid-change can raise; try again
            value = None
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(interval)


MODIFIERS = {"ctrl": "Control_L", "shift": "Shift_L", "alt": "Alt_L"}
KEY_NAMES = {" ": "space", "/": "slash", ".": "period", "-": "minus", "_": "underscore"}


class Input:
    """Keys and clicks as a person makes them; each display system's input sends the
    single events (`_key_event`, `move`, `button`) and lets them settle (`_settle`)."""

    def key(self, name, mods=()):
        for m in mods:
            self._key_event(MODIFIERS[m], True)
        self._key_event(name, True)
        self._key_event(name, False)
        for m in reversed(mods):
            self._key_event(MODIFIERS[m], False)
        self._settle()

    def hold(self, name, mods, done, what):
        """Presses the key and keeps it down until `done()` answers, as a person's
        finger does, then lets go; returns the answer. A menu on Wayland opens only
        while the key that asked for it is the last one pressed: GTK takes the newest
        key's serial for the menu's grab, and the compositor refuses a key release's."""
        for m in mods:
            self._key_event(MODIFIERS[m], True)
        self._key_event(name, True)
        self._settle()
        try:
            return wait_for(done, what)
        finally:
            self._key_event(name, False)
            for m in reversed(mods):
                self._key_event(MODIFIERS[m], False)
            self._settle()

    def click(self, x, y, mods=(), count=1, which=1):
        """`which` is the mouse button: 1 the first, 2 the middle one."""
        self.move(x, y)
        self._settle()
        for m in mods:
            self._key_event(MODIFIERS[m], True)
        for _ in range(count):
            self.button(True, which)
            self.button(False, which)
            time.sleep(0.03)
        for m in reversed(mods):
            self._key_event(MODIFIERS[m], False)
        self._settle()

    def type(self, text):
        """Types `text` key by key, with Shift where a keyboard needs it."""
        for ch in text:
            name = KEY_NAMES.get(ch, ch)
            shifted = ch.isupper() or ch == "_"
            self.key(name.lower() if ch.isupper() else name, ("shift",) if shifted else ())


class XInput(Input):
    """Clicks and key presses through the X server's test extension, as a person's
    mouse and keyboard would make them."""

    system = "x11"
    screenshots = True

    def __init__(self):
        self.display = xdisplay.Display()

    def start(self, program):
        return subprocess.Popen([program])

    def window_origin(self, width, height):
        return 0, 0  # the accessibility tree gives positions on the screen already

    def _settle(self):
        self.display.sync()
        time.sleep(0.15)

    def _key_event(self, keysym_name, down):
        keysym = XK.string_to_keysym(keysym_name)
        keycode = self.display.keysym_to_keycode(keysym)
        if keycode == 0:
            raise AssertionError("no key for " + keysym_name)
        xtest.fake_input(self.display, X.KeyPress if down else X.KeyRelease, keycode)

    def move(self, x, y):
        xtest.fake_input(self.display, X.MotionNotify, x=int(x), y=int(y))
        self.display.sync()

    def button(self, down, which=1):
        xtest.fake_input(self.display, X.ButtonPress if down else X.ButtonRelease, which)
        self.display.sync()

    def _window(self, title):
        root = self.display.screen().root

        def find(window):
            try:
                if window.get_wm_name() == title:
                    return window
                for child in window.query_tree().children:
                    found = find(child)
                    if found:
                        return found
            except Exception:
                return None
            return None

        return wait_for(lambda: find(root), "the window " + repr(title))

    def app_id(self, title):
        """The window's class as a desktop matches it to an entry: both parts of
        WM_CLASS, which must agree."""
        instance, klass = self._window(title).get_wm_class()
        return instance if instance == klass else (instance, klass)

    def close_window(self, title):
        """The close box: a WM_DELETE_WINDOW message, as a window manager sends it."""
        protocols = self.display.intern_atom("WM_PROTOCOLS")
        delete = self.display.intern_atom("WM_DELETE_WINDOW")
        window = self._window(title)
        event = protocol.event.ClientMessage(window=window, client_type=protocols,
                                             data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        window.send_event(event)
        self._settle()

    def screenshot(self, path, x, y, width, height):
        screenshot(path, x, y, width, height)

    def ping(self, title, timeout=1.0):
        """Sends the window a _NET_WM_PING, as a desktop does to find out whether it is
        alive; the seconds it took to answer, or None when it did not within `timeout`.
        The answer goes to the root window, where a second connection listens."""
        window = self._window(title)
        listener = xdisplay.Display()
        root = listener.screen().root
        root.change_attributes(event_mask=X.SubstructureNotifyMask)
        listener.sync()
        protocols = self.display.intern_atom("WM_PROTOCOLS")
        ping = self.display.intern_atom("_NET_WM_PING")
        stamp = int(time.monotonic() * 1000) & 0x7FFFFFFF
        sent = time.monotonic()
        window.send_event(protocol.event.ClientMessage(
            window=window, client_type=protocols, data=(32, [ping, stamp, window.id, 0, 0])))
        self.display.sync()
        try:
            while time.monotonic() - sent < timeout:
                while listener.pending_events():
                    event = listener.next_event()
                    if event.type == X.ClientMessage and event.data[1][0] == ping and \
                            event.data[1][1] == stamp:
                        return time.monotonic() - sent
                time.sleep(0.01)
            return None
        finally:
            listener.close()


class MutterInput(Input):
    """Clicks and key presses through the Wayland compositor's remote-desktop interface,
    the way remote input reaches every window under GNOME's compositor. The pointer is
    aimed at the monitor of a screen-cast stream. No screenshots: the stream's pictures
    would need a PipeWire client to take them."""

    system = "wayland"
    screenshots = False
    SERVICE = "org.gnome.Mutter.RemoteDesktop"
    SCREEN_CAST = "org.gnome.Mutter.ScreenCast"
    BUTTONS = {1: 0x110, 2: 0x112}  # the kernel's codes for the first and middle buttons

    def __init__(self):
        from gi.repository import Gio, GLib
        self._glib = GLib
        self._bus = Gio.bus_get_sync(Gio.BusType.SESSION)
        self._app_id = None
        # The virtual monitor the run gave the compositor, where it centres new windows.
        self.monitor = tuple(int(n) for n in os.environ["QUORWIN_MONITOR"].split("x"))
        self._session = self._call(self.SERVICE, "/org/gnome/Mutter/RemoteDesktop",
                                   self.SERVICE, "CreateSession", None, "(o)")[0]
        session_id = self._call(self.SERVICE, self._session, "org.freedesktop.DBus.Properties",
                                "Get", GLib.Variant("(ss)", (self.SERVICE + ".Session",
                                                             "SessionId")), "(v)")[0]
        cast = self._call(self.SCREEN_CAST, "/org/gnome/Mutter/ScreenCast", self.SCREEN_CAST,
                          "CreateSession",
                          GLib.Variant("(a{sv})", ({"remote-desktop-session-id":
                                                    GLib.Variant("s", session_id)},)), "(o)")[0]
        self._stream = self._call(self.SCREEN_CAST, cast, self.SCREEN_CAST + ".Session",
                                  "RecordMonitor", GLib.Variant("(sa{sv})", ("", {})), "(o)")[0]
        self._remote("Start")
        # The compositor makes its virtual keyboard at the first key it is sent, and that
        # key reaches no window. A real seat has its keyboard before any program starts.
        self.key("Shift_L")

    def _call(self, service, path, interface, method, args=None, reply=None):
        return self._bus.call_sync(service, path, interface, method, args,
                                   self._glib.VariantType(reply) if reply else None,
                                   0, 10000, None).unpack()

    def _remote(self, method, signature=None, *args):
        return self._call(self.SERVICE, self._session, self.SERVICE + ".Session", method,
                          self._glib.Variant(signature, args) if signature else None)

    def window_origin(self, width, height):
        """Where a window of this size is on the screen: in the monitor's middle, where
        the compositor was told to put new windows."""
        return (self.monitor[0] - width) // 2, (self.monitor[1] - height) // 2

    def move(self, x, y):
        self._remote("NotifyPointerMotionAbsolute", "(sdd)", self._stream, float(x), float(y))

    def button(self, down, which=1):
        self._remote("NotifyPointerButton", "(ib)", self.BUTTONS[which], down)

    def _key_event(self, keysym_name, down):
        keysym = XK.string_to_keysym(keysym_name)
        if keysym == 0:
            raise AssertionError("no keysym " + keysym_name)
        self._remote("NotifyKeyboardKeysym", "(ub)", keysym, down)

    def start(self, program):
        """Starts the program with its side of the protocol logged, to read the
        application id it gives its windows; everything else it writes passes on."""
        env = dict(os.environ, WAYLAND_DEBUG="client")
        process = subprocess.Popen([program], env=env, stderr=subprocess.PIPE)

        def read():
            for raw in process.stderr:
                line = raw.decode("utf-8", "replace")
                found = re.search(r'xdg_toplevel@\d+\.set_app_id\("([^"]*)"\)', line)
                if found and self._app_id is None:
                    self._app_id = found.group(1)
                elif not line.startswith("["):  # a protocol message otherwise
                    sys.stderr.write(line)

        threading.Thread(target=read, daemon=True).start()
        return process

    def app_id(self, title):
        """The id of the program's first window (`title`); all its windows carry one."""
        return wait_for(lambda: self._app_id, "the application id of " + repr(title))

    def _settle(self):
        time.sleep(0.05)  # a fast typist's pace; the checks wait for what the keys did

    def close_window(self, title):
        """The compositor's own close key, on the focused window."""
        self.key("F4", ("alt",))


@functools.cache
def user_input():
    """The input of the display system the program runs on: one mouse and keyboard for
    the whole run."""
    return MutterInput() if os.environ.get("WAYLAND_DISPLAY") else XInput()


# The program as the accessibility tree shows it, as an assistive tool finds it.

def walk(node):
    """The node and everything under it, depth first."""
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def find(root, role, name=None):
    for node in walk(root):
        if node.getRole() == role and (name is None or node.name == name):
            return node
    return None


def application():
    """The program's node in the tree, known by its application id, or None."""
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == APP_ID:
            return app
    return None


def window(caption):
    app = application()
    return app and find(app, pyatspi.ROLE_FRAME, caption)


def centre(node):
    x, y, width, height = extents(node)
    return x + width // 2, y + height // 2


def extents(node):
    """Where the node is on the screen. GTK on Wayland knows places only within the
    window, which the input then places on the screen."""
    window = node
    while window.parent is not None and window.parent.getRole() != pyatspi.ROLE_APPLICATION:
        window = window.parent
    size = window.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    left, top = user_input().window_origin(size.width, size.height)
    e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return left + e.x, top + e.y, e.width, e.height


def text(node):
    return node.queryText().getText(0, -1)


def states(node):
    return node.getState()


def rows(table):
    return [c.name for c in table if c is not None and c.getRole() == pyatspi.ROLE_TABLE_CELL]


def cell(table, name):
    return next((c for c in table if c is not None and c.name == name), None)


def focused(root):
    """The control that assistive technology reports as focused, as (role, name)."""
    for node in walk(root):
        if node.getRole() != pyatspi.ROLE_FRAME and states(node).contains(pyatspi.STATE_FOCUSED):
            return node.getRole(), node.name
    return None


def act(node):
    """The node's first action ("click"), as a screen reader or voice control does it."""
    node.queryAction().doAction(0)


def selected(table):
    return sorted(c.name for c in table
                  if c is not None and states(c).contains(pyatspi.STATE_SELECTED))


def modal(role, name):
    app = application()
    return app and next((n for n in walk(app) if n.getRole() == role and n.name == name), None)


def await_window(user, window, what):
    """Waits until `window` takes clicks and keys. On Wayland the compositor shows a new
    window a moment after GTK has, and then gives it the keyboard; under Xvfb, with no
    window manager, a window is there at once and GTK does not report a dialog active."""
    if user.system == "wayland":
        wait_for(lambda: states(window).contains(pyatspi.STATE_ACTIVE), what + " active")


def chooser_window():
    """The file chooser's window (the chooser itself may be it), or None."""
    node = find(application(), pyatspi.ROLE_FILE_CHOOSER)
    while node is not None and node.parent is not None and \
            node.parent.getRole() != pyatspi.ROLE_APPLICATION:
        node = node.parent
    return node


def progress_box():
    """The progress box a long command shows (captioned "Quorwin", the main window
    "Quorwin "), or None."""
    app = application()
    return app and next((n for n in app if n is not None and n.name == "Quorwin"), None)


# How many screen pixels GTK draws for each of the tree's (GDK_SCALE=2: 200 percent).
SCALE = int(os.environ.get("GDK_SCALE", "1"))


def screenshot(path, x, y, width, height):
    """The screen's pixels under a rectangle in the tree's coordinates."""
    x, y, width, height = (SCALE * n for n in (x, y, width, height))
    subprocess.run(["import", "-window", "root", "-crop", f"{width}x{height}+{x}+{y}", "+repage",
                    path], check=True)


def record(path):
    """The five texts and the genre byte of the file's last 128 bytes, or None."""
    with open(path, "rb") as f:
        data = f.read()
    tail = data[-128:]
    if len(data) < 128 or tail[:3] != b"TAG":
        return None
    def text(offset, width):
        return tail[offset:offset + width].split(b"\0", 1)[0].decode("latin-1")
    return {"title": text(3, 30), "artist": text(33, 30), "album": text(63, 30),
            "year": text(93, 4), "comment": text(97, 30), "genre": tail[127]}


def make_record(title, artist, album, year, comment, genre):
    def field(value, width):
        return value.encode("latin-1")[:width].ljust(width, b"\0")
    return (b"TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4)
            + field(comment, 30) + bytes([genre]))


class Pings(threading.Thread):
    """The desktop's ping (_NET_WM_PING) to the main window every `interval` seconds
    after the last answer, on an X connection of its own: how many were sent, how many
    waited over a second, and the longest wait (up to `timeout`, which a ping left
    unanswered counts as)."""

    def __init__(self, interval, timeout=15.0, title="Quorwin "):
        super().__init__(daemon=True)
        self.user = XInput()
        self.interval, self.timeout, self.title = interval, timeout, title
        self.stop = threading.Event()
        self.sent = self.late = 0
        self.longest = 0.0

    def run(self):
        while not self.stop.is_set():
            waited = self.user.ping(self.title, timeout=self.timeout)
            waited = self.timeout if waited is None else waited
            self.sent += 1
            self.late += waited > 1.0
            self.longest = max(self.longest, waited)
            self.stop.wait(self.interval)

    def finish(self):
        """Stops the pings once the one on its way is answered."""
        self.stop.set()
        self.join(self.timeout + 5)
        return self
