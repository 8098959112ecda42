"""What the end-to-end tests share: real X input, waiting, screenshots, and the tag
record as the files hold it."""
import subprocess
import time

from Xlib import X, XK, display as xdisplay, protocol
from Xlib.ext import xtest


def wait_for(check, what, timeout=15.0):
    """Polls `check` until it returns something true; fails after `timeout` seconds."""
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
        time.sleep(0.1)


class Keyboard:
    """Clicks and key presses through the X server's test extension, as a person's
    mouse and keyboard would make them."""

    MODIFIERS = {"ctrl": "Control_L", "shift": "Shift_L", "alt": "Alt_L"}

    def __init__(self):
        self.display = xdisplay.Display()

    def _sync(self):
        self.display.sync()
        time.sleep(0.15)

    def _key_event(self, keysym_name, down):
        keysym = XK.string_to_keysym(keysym_name)
        keycode = self.display.keysym_to_keycode(keysym)
        if keycode == 0:
            raise AssertionError("no key for " + keysym_name)
        xtest.fake_input(self.display, X.KeyPress if down else X.KeyRelease, keycode)

    def click(self, x, y, mods=(), count=1):
        xtest.fake_input(self.display, X.MotionNotify, x=int(x), y=int(y))
        self._sync()
        for m in mods:
            self._key_event(self.MODIFIERS[m], True)
        for _ in range(count):
            xtest.fake_input(self.display, X.ButtonPress, 1)
            xtest.fake_input(self.display, X.ButtonRelease, 1)
            self.display.sync()
            time.sleep(0.03)
        for m in reversed(mods):
            self._key_event(self.MODIFIERS[m], False)
        self._sync()

    def key(self, name, mods=()):
        for m in mods:
            self._key_event(self.MODIFIERS[m], True)
        self._key_event(name, True)
        self._key_event(name, False)
        for m in reversed(mods):
            self._key_event(self.MODIFIERS[m], False)
        self._sync()

    def type(self, text):
        names = {" ": "space", "/": "slash", ".": "period", "-": "minus", "_": "underscore"}
        for ch in text:
            name = names.get(ch, ch)
            shifted = ch.isupper() or ch == "_"
            self.key(name.lower() if ch.isupper() else name, ("shift",) if shifted else ())

    def close_window(self, title):
        """The close box: a WM_DELETE_WINDOW message, as a window manager sends it."""
        root = self.display.screen().root
        protocols = self.display.intern_atom("WM_PROTOCOLS")
        delete = self.display.intern_atom("WM_DELETE_WINDOW")

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

        window = wait_for(lambda: find(root), "the window " + repr(title))
        event = protocol.event.ClientMessage(window=window, client_type=protocols,
                                             data=(32, [delete, X.CurrentTime, 0, 0, 0]))
        window.send_event(event)
        self._sync()


def screenshot(path, x, y, width, height):
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
