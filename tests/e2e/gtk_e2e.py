#!/usr/bin/python3
"""End-to-end test of the native window: the real program under a virtual display,
found through the accessibility tree as an assistive tool finds it, and driven with
real mouse clicks and key presses, on X11 and on Wayland.

    gtk_e2e.py PROGRAM ARTIFACT_DIR [pictures]

on the display that DISPLAY or WAYLAND_DISPLAY names.
"""
import os
import subprocess
import sys
import tempfile

import pyatspi

from cursor_watch import CursorWatch
from e2e_support import (APP_ID, ENTRY, act, application, await_window, cell, centre,
                         chooser_window, extents, find, focused, make_record, modal,
                         progress_box, record, rows, selected, states, text, user_input,
                         wait_for, walk, window, SCALE)

PROGRAM, ARTIFACTS = sys.argv[1], sys.argv[2]
# "pictures": only the pictures of the window in use, in whatever theme and scale GTK
# is given (GTK_THEME, GDK_SCALE), not the test.
PICTURES_ONLY = sys.argv[3:] == ["pictures"]
VERSION = os.environ["QUORWIN_VERSION"]  # the project's, from the build
# Cursors without animation: the X server then reports the one shown by its name.
os.environ["XCURSOR_ANIM"] = "0"
USER = user_input()  # the mouse and the keyboard
SYSTEM = USER.system


def check(condition, message):
    if not condition:
        raise AssertionError(message)


# The main window's tab stops in template order, as (role, name) of each control.
TAB_ORDER = [(pyatspi.ROLE_TEXT, "Title:"), (pyatspi.ROLE_TEXT, "Artist:"),
             (pyatspi.ROLE_TEXT, "Album:"), (pyatspi.ROLE_CHECK_BOX, "Title:"),
             (pyatspi.ROLE_PUSH_BUTTON, "Save To ALL"), (pyatspi.ROLE_TEXT, "Year:"),
             (pyatspi.ROLE_CHECK_BOX, "Artist:"), (pyatspi.ROLE_TEXT, "Comments:"),
             (pyatspi.ROLE_CHECK_BOX, "Album:"), (pyatspi.ROLE_CHECK_BOX, "Year:"),
             (pyatspi.ROLE_CHECK_BOX, "Comments:"), (pyatspi.ROLE_PUSH_BUTTON, "Open Mp3..."),
             (pyatspi.ROLE_PUSH_BUTTON, "About..."), (pyatspi.ROLE_TABLE, "Files To Edit"),
             (pyatspi.ROLE_PUSH_BUTTON, "Save To Selected"),
             (pyatspi.ROLE_PUSH_BUTTON, "Clear All")]


def keyboard_pass(user, main_window, field, switch):
    """Tab through every stop in template order; Space on a switch and on a button."""
    wait_for(lambda: focused(main_window) == TAB_ORDER[0], "the Title field focused at start")
    # Typing over a selection in the middle of a field replaces just the selection.
    user.type("abcxdef")
    user.key("Home")
    user.key("Right")
    user.key("Right", ("shift",))
    user.key("Right", ("shift",))
    user.type("z")
    wait_for(lambda: text(field["Title:"]) == "azxdef", "z typed over the selected bc")
    user.key("a", ("ctrl",))
    user.key("BackSpace")
    wait_for(lambda: text(field["Title:"]) == "", "the field emptied again")
    for expected in TAB_ORDER[1:] + TAB_ORDER[:1]:
        user.key("Tab")
        wait_for(lambda: focused(main_window) == expected, "focus on %r" % (expected,))
    user.key("Tab", ("shift",))
    wait_for(lambda: focused(main_window) == TAB_ORDER[-1], "Shift+Tab back to Clear All")
    for _ in range(TAB_ORDER.index((pyatspi.ROLE_CHECK_BOX, "Year:")) + 1):
        user.key("Tab")
    wait_for(lambda: focused(main_window) == (pyatspi.ROLE_CHECK_BOX, "Year:"), "on Year:")
    user.key("space")
    wait_for(lambda: not states(field["Year:"]).contains(pyatspi.STATE_SENSITIVE),
             "Space on the switch disables its field")
    user.key("space")
    wait_for(lambda: states(field["Year:"]).contains(pyatspi.STATE_SENSITIVE), "enabled again")
    check(states(switch["Year:"]).contains(pyatspi.STATE_CHECKED), "the switch is on again")
    # Arrows on switches and buttons move the focus within their group in template
    # order, as the dialog manager moves it, not by where the controls stand.
    user.key("Down")
    wait_for(lambda: focused(main_window) == (pyatspi.ROLE_CHECK_BOX, "Comments:"), "Down")
    user.key("Down")
    wait_for(lambda: focused(main_window) == (pyatspi.ROLE_PUSH_BUTTON, "Open Mp3..."),
             "Down from Comments: to Open Mp3...")
    user.key("Left")
    user.key("Up")
    wait_for(lambda: focused(main_window) == (pyatspi.ROLE_CHECK_BOX, "Year:"), "Left, Up")
    # Space on "About...": a box that sets no focus has its first tab stop focused when
    # it is shown, as under Windows' dialog manager; Escape leaves it open, Enter
    # presses its default button.
    for _ in range(3):
        user.key("Tab")
    wait_for(lambda: focused(main_window) == (pyatspi.ROLE_PUSH_BUTTON, "About..."), "on About")
    user.key("space")
    about = wait_for(lambda: window("About Quorwin"), "the About box from the keyboard")
    wait_for(lambda: find(about, pyatspi.ROLE_PUSH_BUTTON, "OK"), "its OK button")
    await_window(user, about, "the About box")
    wait_for(lambda: focused(about) == (pyatspi.ROLE_PUSH_BUTTON, "OK"), "the focus on OK")
    user.key("Escape")
    user.key("Return")
    wait_for(lambda: window("About Quorwin") is None, "Enter to close the About box")
    wait_for(lambda: focused(main_window) == (pyatspi.ROLE_PUSH_BUTTON, "About..."),
             "the focus back on About... in the main window")


def actions_on_empty_list(user, main_window, field, switch, button, files):
    """Every button and switch through its accessibility action; modal windows appear
    in the tree with buttons that work the same way, and the program keeps answering."""
    for name in field:
        act(switch[name])
        wait_for(lambda: not states(field[name]).contains(pyatspi.STATE_SENSITIVE),
                 name + " disabled by its switch's action")
        act(switch[name])
        wait_for(lambda: states(field[name]).contains(pyatspi.STATE_SENSITIVE),
                 name + " enabled again")
    act(button["Save To ALL"])
    box = wait_for(lambda: modal(pyatspi.ROLE_ALERT, "Error") or
                   modal(pyatspi.ROLE_DIALOG, "Error"), "the message box in the tree")
    check(any(n.name == "Please open some mp3's to edit" or
              (n.getRole() == pyatspi.ROLE_LABEL and "open some mp3" in n.name)
              for n in walk(box)), "the message box does not say its message")
    act(find(box, pyatspi.ROLE_PUSH_BUTTON, "OK"))
    wait_for(lambda: modal(pyatspi.ROLE_ALERT, "Error") is None and
             modal(pyatspi.ROLE_DIALOG, "Error") is None, "the message box to close")
    # Escape closes the message box as well, and the program goes on answering.
    act(button["Save To ALL"])
    box = wait_for(lambda: modal(pyatspi.ROLE_ALERT, "Error") or
                   modal(pyatspi.ROLE_DIALOG, "Error"), "the message box again")
    await_window(user, box, "the message box")
    user.key("Escape")
    wait_for(lambda: modal(pyatspi.ROLE_ALERT, "Error") is None and
             modal(pyatspi.ROLE_DIALOG, "Error") is None, "Escape to close the message box")
    act(button["Open Mp3..."])
    chooser = wait_for(chooser_window, "the chooser")
    act(wait_for(lambda: find(chooser, pyatspi.ROLE_PUSH_BUTTON, "Cancel"), "its Cancel"))
    wait_for(lambda: find(application(), pyatspi.ROLE_FILE_CHOOSER) is None, "chooser closed")
    act(button["Open Mp3..."])
    chooser = wait_for(chooser_window, "the chooser again")
    await_window(user, chooser, "the chooser")
    user.key("Escape")
    wait_for(lambda: find(application(), pyatspi.ROLE_FILE_CHOOSER) is None,
             "Escape to close the chooser")
    wait_for(lambda: focused(main_window) == (pyatspi.ROLE_PUSH_BUTTON, "Open Mp3..."),
             "the focus back on Open Mp3... after the chooser")
    act(button["Save To Selected"])  # nothing selected: nothing happens
    act(button["Clear All"])
    act(button["About..."])  # handled after the two before it: they are done
    about = wait_for(lambda: window("About Quorwin"), "the About box by its action")
    check(modal(pyatspi.ROLE_ALERT, "Error") is None and rows(files) == [],
          "Save To Selected or Clear All on an empty list did something")
    act(find(about, pyatspi.ROLE_PUSH_BUTTON, "OK"))
    wait_for(lambda: window("About Quorwin") is None, "the About box closed by OK's action")


def shot(user, name, x, y, width, height):
    if user.screenshots:
        user.screenshot(os.path.join(ARTIFACTS, "gtk-%s.png" % name), x, y, width, height)


def check_desktop_entry(user):
    """The window carries the application id its desktop entry is named by, and the
    entry's StartupWMClass names the same."""
    with open(ENTRY) as f:
        keys = dict(line.strip().split("=", 1) for line in f if "=" in line)
    found = user.app_id("Quorwin ")
    check(found == APP_ID, "the window's application id is %r, not %r" % (found, APP_ID))
    check(keys.get("StartupWMClass") == APP_ID,
          "StartupWMClass=%r does not match the window" % keys.get("StartupWMClass"))


def edit_with_mouse(user, main_window, field, switch, button, files, folder, songs):
    """The list by clicks with Ctrl and Shift, saving, and the About box by clicks."""
    a_path, b_path = os.path.join(folder, "A song.mp3"), os.path.join(folder, "b song.mp3")
    x, y, w, h = extents(main_window)
    # Select one: its tag fills the fields. The selection as assistive technology
    # reads it follows clicks with Ctrl and Shift.
    user.click(*centre(cell(files, b_path)))
    wait_for(lambda: text(field["Title:"]) == "Song B", "b's tag shown")
    wait_for(lambda: selected(files) == [b_path], "b alone selected")
    user.click(*centre(cell(files, a_path)), ("ctrl",))
    wait_for(lambda: selected(files) == [a_path, b_path], "Ctrl-click adds A")
    check(files.querySelection().nSelectedChildren >= 2, "the list's Selection counts them")
    user.click(*centre(cell(files, b_path)))
    wait_for(lambda: selected(files) == [b_path], "a plain click selects b alone")
    user.click(*centre(cell(files, a_path)), ("shift",))
    wait_for(lambda: selected(files) == [a_path, b_path], "Shift-click selects b to A")
    user.key("Up")
    wait_for(lambda: selected(files) == [a_path] and text(field["Title:"]) == "Song A",
             "Up selects A alone and shows its tag")
    user.click(*centre(cell(files, b_path)))
    wait_for(lambda: text(field["Title:"]) == "Song B", "b's tag shown again")
    check([text(field[n]) for n in field] == ["Song B", "Artist B", "Old album", "1999", "b"],
          "the fields do not show b's tag")

    # One album and year for both; titles stay.
    for name, value in (("Album:", "New album"), ("Year:", "20261")):
        user.click(*centre(field[name]))
        user.key("a", ("ctrl",))
        user.type(value)
    wait_for(lambda: text(field["Year:"]) == "2026", "the year limited to four characters")
    user.click(*centre(switch["Title:"]))
    wait_for(lambda: not states(field["Title:"]).contains(pyatspi.STATE_SENSITIVE),
             "the Title field disabled")
    # The pointer rests on the button while the save works: the wait cursor, then the
    # window's own again, as the X server reports the changes.
    cursors = CursorWatch() if SYSTEM == "x11" else None
    user.click(*centre(button["Save To ALL"]))
    for path, tag in ((a_path, songs["A song.mp3"]), (b_path, songs["b song.mp3"])):
        wait_for(lambda: record(path)["album"] == "New album", "the album saved")
        saved = record(path)
        check(saved["title"] == tag[0], "a switched-off title changed")
        check(saved["year"] == "2026" and saved["genre"] == tag[5], "year or genre wrong")
        check(saved["artist"] == "Artist B", "every switched-on field goes to every file")
    if cursors is not None:
        cursors.expect_wait_then_another("Save To ALL")

    # Save To Selected: only A gets the comment.
    user.click(*centre(cell(files, a_path)))
    wait_for(lambda: text(field["Title:"]) == "Song A", "A's tag shown")
    user.click(*centre(field["Comments:"]))
    user.key("a", ("ctrl",))
    user.type("Only A")
    user.click(*centre(button["Save To Selected"]))
    wait_for(lambda: record(a_path)["comment"] == "Only A", "A's comment saved")
    check(record(b_path)["comment"] == "b", "Save To Selected wrote the unselected file")
    edit_menu(user, field["Comments:"], field["Album:"])
    user.click(*centre(cell(files, b_path)), ("ctrl",))
    shot(user, "main", x, y, w, h)

    # The About box opens, shows itself, and closes with OK.
    user.click(*centre(button["About..."]))
    about = wait_for(lambda: window("About Quorwin"), "the About box")
    wait_for(lambda: find(about, pyatspi.ROLE_LABEL, "Quorwin Version " + VERSION), "the version")
    await_window(user, about, "the About box")
    ax, ay, aw, ah = extents(about)
    shot(user, "about", ax, ay, aw, ah)
    if SYSTEM == "x11":
        user.click(*centre(find(about, pyatspi.ROLE_PUSH_BUTTON, "OK")))
    else:
        # Where the compositor puts a dialog is not fixed (clicks on OK at the box's
        # middle missed it now and then): Enter presses it.
        user.key("Return")
    wait_for(lambda: window("About Quorwin") is None, "the About box to close")

    # Clear All through its action empties the list.
    act(button["Clear All"])
    wait_for(lambda: rows(files) == [], "Clear All's action to empty the list")


def edit_menu(user, comments, album):
    """The field's context menu, opened from the keyboard and read and used as assistive
    technology does: Windows' edit menu, each item enabled as the field's state allows,
    each choice applied to the field by its access key or its action. Then a middle-click
    pastes the text selected in one field into another, and Ctrl+Z takes it back."""
    def menu():
        app = application()
        items = [n for n in walk(app) if n.getRole() == pyatspi.ROLE_MENU_ITEM and
                 states(n).contains(pyatspi.STATE_SHOWING)] if app else []
        return {n.name: n for n in items} or None

    def enabled(items):
        return [name for name, node in items.items()
                if states(node).contains(pyatspi.STATE_SENSITIVE)]

    user.click(*centre(comments))
    user.key("End")
    items = user.hold("F10", ("shift",), menu, "the edit menu by Shift+F10")
    check(list(items) == ["Undo", "Cut", "Copy", "Paste", "Delete", "Select All"],
          "the edit menu holds %r" % list(items))
    check(enabled(items)[:1] == ["Undo"] and "Cut" not in enabled(items) and
          "Select All" in enabled(items), "with nothing selected, enabled: %r" % enabled(items))
    act(items["Select All"])
    wait_for(lambda: menu() is None, "the menu gone after its action")
    wait_for(lambda: comments.queryText().getSelection(0) == (0, 6), "Select All's selection")
    items = user.hold("F10", ("shift",), menu, "the edit menu again")
    check({"Cut", "Copy", "Delete"} <= set(enabled(items)) and "Select All" not in enabled(items),
          "with the whole text selected, enabled: %r" % enabled(items))
    user.key("t")  # Cu&t
    wait_for(lambda: text(comments) == "", "Cut to empty the field")
    items = user.hold("F10", ("shift",), menu, "the edit menu after Cut")
    check("Paste" in enabled(items) and "Copy" not in enabled(items),
          "after Cut, enabled: %r" % enabled(items))
    user.key("p")  # &Paste
    wait_for(lambda: text(comments) == "Only A", "Paste to bring the text back")
    user.key("a", ("ctrl",))
    user.click(*centre(album), which=2)
    wait_for(lambda: text(album) == "New albumOnly A", "the middle-click to paste the selection")
    user.key("z", ("ctrl",))
    wait_for(lambda: text(album) == "New album", "Ctrl+Z to take the paste back")


def drag_onto(node, *paths):
    """Drags the paths from a window of their own onto the node, with the pointer. The
    drag source runs unscaled and aims at the node's middle in screen pixels."""
    x, y = centre(node)
    source = dict(os.environ)
    source.pop("GDK_SCALE", None)
    subprocess.run([sys.executable, os.path.join(os.path.dirname(__file__), "drag_source.py"),
                    "--to", "%d,%d" % (x * SCALE, y * SCALE)] + list(paths),
                   check=True, timeout=60, env=source)


def tab_to(user, main_window, control):
    """Tab, one stop at a time, until `control` (role, name) has the focus."""
    for _ in range(len(TAB_ORDER)):
        now = focused(main_window)
        if now == control:
            return
        user.key("Tab")
        wait_for(lambda: focused(main_window) != now, "Tab to move on from %r" % (now,))
    check(focused(main_window) == control, "Tab never reached %r" % (control,))


# An album as a music folder holds it: songs with their titles and the artist, and no
# album or year yet.
ALBUM = ("Nina Ray", "Night Lines (2019)")
ALBUM_SONGS = ["01 Opening", "02 Salt Window", "03 Quiet Engines", "04 Ferrylight",
               "05 Copper Sky Drive", "06 Halvard Street", "07 Northbound Glass",
               "08 Lantern Tide", "09 Closing"]


def album_picture(user, main_window, field, switch, files):
    """The window as it is used on a music folder, for the pictures: an album dropped
    onto the list, the first song's tag shown by the keyboard, an album and a year
    typed, Title and Comments switched off. Keys, actions and one drag only, so that
    it works at any scale."""
    album = os.path.join(os.environ["HOME"], "Music", *ALBUM)
    os.makedirs(album)
    for song in ALBUM_SONGS:
        with open(os.path.join(album, song + ".mp3"), "wb") as f:
            f.write(os.urandom(4000).replace(b"T", b"t") +
                    make_record(song[3:], ALBUM[0], "", "", "", 12))
    drag_onto(files, album)
    wait_for(lambda: len(rows(files)) == len(ALBUM_SONGS), "the album's songs listed")
    tab_to(user, main_window, (pyatspi.ROLE_TABLE, "Files To Edit"))
    user.key("Home")
    wait_for(lambda: text(field["Title:"]) == "Opening" and text(field["Artist:"]) == ALBUM[0],
             "the first song's tag shown")
    for name, value in (("Album:", "Night Lines"), ("Year:", "2019")):
        tab_to(user, main_window, (pyatspi.ROLE_TEXT, name))
        user.key("a", ("ctrl",))
        user.type(value)
        wait_for(lambda: text(field[name]) == value, name + " typed")
    for name in field:
        on = name not in ("Title:", "Comments:")
        if states(switch[name]).contains(pyatspi.STATE_CHECKED) != on:
            act(switch[name])
        wait_for(lambda: states(field[name]).contains(pyatspi.STATE_SENSITIVE) == on,
                 name + " switched " + ("on" if on else "off"))
    shot(user, "album", *extents(main_window))


def drop_files(field, files, folder):
    """A file and a folder dragged from elsewhere onto the list: the file, and the
    folder's songs at any depth whatever the case of their extension, in order without
    regard to case in any script."""
    b_path = os.path.join(folder, "b song.mp3")
    tree = os.path.join(folder, "dropped")
    os.makedirs(os.path.join(tree, "sub"))
    songs = ["x.mp3", os.path.join("sub", "Y.MP3"), "Борис.mp3", "анна.mp3"]
    for name in songs + ["cover.jpg"]:
        with open(os.path.join(tree, name), "wb") as f:
            f.write(b"audio")
    drag_onto(files, b_path, tree)
    expected = sorted([b_path] + [os.path.join(tree, name) for name in songs], key=str.lower)
    wait_for(lambda: rows(files) == expected, "the dropped file and folder's songs listed")
    check(text(field["Title:"]) == "Song B", "a drop changed the fields")


def slow_disk(pid, delay_us):
    """Makes every file the program opens take `delay_us` microseconds longer, as on a
    network share: strace, attached to it and to every thread it starts (the workers that
    open the files), delays the return of each openat."""
    tracer = subprocess.Popen(["strace", "-q", "-f", "-p", str(pid), "-e", "trace=openat",
                               "-e", "inject=openat:delay_exit=%d" % delay_us, "-o", os.devnull])

    def attached():
        with open("/proc/%d/status" % pid) as f:
            return any(line.startswith("TracerPid:") and line.split()[1] != "0" for line in f)
    wait_for(attached, "strace attached to the program")
    return tracer


def scroll_bar_shown(files):
    """Whether the list shows a vertical scroll bar: as on Windows, only while its rows
    do not fit."""
    bars = [node for node in files.parent if node is not None and
            node.getRole() == pyatspi.ROLE_SCROLL_BAR and
            states(node).contains(pyatspi.STATE_VERTICAL)]
    return any(states(bar).contains(pyatspi.STATE_SHOWING) for bar in bars)


def saved_record(old, texts, on):
    """The bytes a save gives a file with a record: the switched-on fields' texts,
    the rest as they were."""
    tail = bytearray(old[-128:])
    for (offset, width), value, switched in zip(((3, 30), (33, 30), (63, 30), (93, 4), (97, 30)),
                                                texts, on):
        if switched:
            tail[offset:offset + width] = value.encode("latin-1")[:width].ljust(width, b"\0")
    return old[:-128] + bytes(tail)


def long_work(user, program, main_window, field, switch, button, files):
    """Save To ALL over 300 songs on a slow disk: the window keeps answering, a progress
    box shows how far it has come, and Escape stops it between two files; every file is
    whole or untouched, and the next save writes them all."""
    many = os.path.join(os.environ["HOME"], "Music", ALBUM[0], "Radio Sessions (2021)")
    os.makedirs(many)
    before = {}
    for i in range(300):
        path = os.path.join(many, "Session %03d.mp3" % (i + 1))
        before[path] = os.urandom(1000).replace(b"T", b"t") + \
            make_record("Song %d" % i, "Artist", "Old album", "1999", "c", 7)
        with open(path, "wb") as f:
            f.write(before[path])
    act(button["Clear All"])
    wait_for(lambda: rows(files) == [], "Clear All's action to empty the list")
    drag_onto(files, many)
    wait_for(lambda: files.queryTable().nRows == 300, "300 songs listed", timeout=30)
    wait_for(lambda: scroll_bar_shown(files), "the list's scroll bar with more rows than fit")
    user.click(*centre(field["Album:"]))
    user.key("a", ("ctrl",))
    user.type("Radio Sessions")
    wait_for(lambda: text(field["Album:"]) == "Radio Sessions", "the album typed")
    texts = [text(field[n]) for n in field]
    on = [states(switch[n]).contains(pyatspi.STATE_CHECKED) for n in field]
    after = {path: saved_record(old, texts, on) for path, old in before.items()}

    # Two opens a file, sixteen files at once: about 4 s for the whole save.
    tracer = slow_disk(program.pid, 100000)
    try:
        act(button["Save To ALL"])
        if SYSTEM == "x11":
            answered = user.ping("Quorwin ")
            check(answered is not None, "the window did not answer a ping before the box")
        box = wait_for(progress_box, "the progress box", timeout=10)
        await_window(user, box, "the progress box")
        bar = wait_for(lambda: find(box, pyatspi.ROLE_PROGRESS_BAR), "the box's progress bar")
        first = bar.queryValue().currentValue
        wait_for(lambda: bar.queryValue().currentValue > first, "the bar's value to rise")
        check(box.description.startswith("Saving ") and box.description.endswith(" of 300 files"),
              "the box describes itself as %r" % box.description)
        check(find(box, pyatspi.ROLE_PUSH_BUTTON, "Cancel") is not None, "no Cancel in the box")
        if SYSTEM == "x11":
            answered = user.ping("Quorwin ")
            check(answered is not None, "the window did not answer a ping with the box up")
            # The box over the main window, which it is centred on.
            (x, y, w, h), (bx, by, bw, bh) = extents(main_window), extents(box)
            left, top = min(x, bx), min(y, by)
            shot(user, "progress", left, top, max(x + w, bx + bw) - left,
                 max(y + h, by + bh) - top)
        user.key("Escape")
        wait_for(lambda: progress_box() is None, "Escape to take the box down")
    finally:
        tracer.terminate()
        tracer.wait()
    wait_for(lambda: focused(main_window) == (pyatspi.ROLE_PUSH_BUTTON, "Save To ALL"),
             "the focus back on Save To ALL")
    now = {path: open(path, "rb").read() for path in before}
    whole = [p for p in now if now[p] == after[p]]
    untouched = [p for p in now if now[p] == before[p]]
    check(len(whole) + len(untouched) == 300, "a file neither whole nor untouched")
    check(whole and untouched, "Escape stopped nothing: %d saved" % len(whole))
    check(modal(pyatspi.ROLE_ALERT, "Error") is None and modal(pyatspi.ROLE_DIALOG, "Error") is None,
          "a cancelled save showed a message")

    act(button["Save To ALL"])
    wait_for(lambda: all(open(p, "rb").read() == after[p] for p in before),
             "the next save to write every file", timeout=30)


def main():
    folder = tempfile.mkdtemp(prefix="quorwin-e2e-")
    songs = {"b song.mp3": ("Song B", "Artist B", "Old album", "1999", "b", 13),
             "A song.mp3": ("Song A", "Artist A", "Old album", "1998", "a", 21)}
    for name, tag in songs.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(os.urandom(4000).replace(b"T", b"t") + make_record(*tag))
    with open(os.path.join(folder, "notes.txt"), "w") as f:
        f.write("not a song")
    a_path, b_path = os.path.join(folder, "A song.mp3"), os.path.join(folder, "b song.mp3")

    user = USER
    program = user.start(PROGRAM)
    try:
        main_window = wait_for(lambda: window("Quorwin "), "the main window of " + APP_ID)
        # Typed the moment the window is shown and active: the focus starts in Title,
        # and no key is lost on the way to it.
        wait_for(lambda: states(main_window).contains(pyatspi.STATE_ACTIVE), "the window active")
        user.type("Wayland")
        field = {n: find(main_window, pyatspi.ROLE_TEXT, n)
                 for n in ("Title:", "Artist:", "Album:", "Year:", "Comments:")}
        switch = {n: find(main_window, pyatspi.ROLE_CHECK_BOX, n) for n in field}
        button = {n: find(main_window, pyatspi.ROLE_PUSH_BUTTON, n)
                  for n in ("Save To ALL", "Save To Selected", "Open Mp3...", "Clear All",
                            "About...")}
        files = find(main_window, pyatspi.ROLE_TABLE, "Files To Edit")
        for name, node in list(field.items()) + list(switch.items()) + list(button.items()):
            check(node is not None, "no control named " + repr(name))
        check(files is not None, "no list named 'Files To Edit'")
        wait_for(lambda: text(field["Title:"]) == "Wayland", "the first keys whole in Title")
        wait_for(lambda: focused(main_window) == TAB_ORDER[0], "the focus at start in Title")
        user.key("a", ("ctrl",))
        user.key("BackSpace")
        wait_for(lambda: text(field["Title:"]) == "", "Title emptied again")
        check_desktop_entry(user)
        for name in field:
            check(states(switch[name]).contains(pyatspi.STATE_CHECKED), name + " starts off")
            check(states(field[name]).contains(pyatspi.STATE_SENSITIVE), name + " disabled")
            check(text(field[name]) == "", name + " not empty")
        check(rows(files) == [], "the list does not start empty")
        x, y, w, h = extents(main_window)
        shot(user, "main-empty", x, y, w, h)
        if PICTURES_ONLY:
            album_picture(user, main_window, field, switch, files)
            user.close_window("Quorwin ")
            check(program.wait(timeout=10) == 0, "the program did not end well")
            print("gtk pictures on %s taken in %s" % (SYSTEM, ARTIFACTS))
            return
        keyboard_pass(user, main_window, field, switch)
        actions_on_empty_list(user, main_window, field, switch, button, files)

        # Two files through the real file chooser, each named in its location field.
        for name in ("b song.mp3", "A song.mp3"):
            user.click(*centre(button["Open Mp3..."]))
            dialog = wait_for(chooser_window, "the chooser")
            await_window(user, dialog, "the chooser")
            check(dialog.name == "Open...", "the chooser is titled %r" % dialog.name)
            filters = [n.name for n in walk(dialog) if n.getRole() == pyatspi.ROLE_COMBO_BOX]
            check("Mp3s (*.mp3)" in filters, "no Mp3s filter in %r" % filters)
            if name == "b song.mp3":
                shot(user, "chooser", *extents(dialog))
            # The path typed into the location field, typed again should keys have gone
            # astray while the chooser was taking the keyboard.
            path = os.path.join(folder, name)
            for typing in range(2):
                user.key("l", ("ctrl",))
                user.key("a", ("ctrl",))
                user.type(path)
                try:
                    wait_for(lambda: any(n.getRole() == pyatspi.ROLE_TEXT and
                                         text(n).startswith(path) for n in walk(dialog)),
                             "the path in the chooser's location field", timeout=5)
                    break
                except AssertionError:
                    if typing == 1:
                        raise
            # Return opens the file; a first one may only close the completion list.
            for attempt in range(3):
                user.key("Return")
                try:
                    wait_for(lambda: find(application(), pyatspi.ROLE_FILE_CHOOSER) is None,
                             "the chooser to close", timeout=8)
                    break
                except AssertionError:
                    if attempt == 2:
                        raise
        wait_for(lambda: rows(files) == [a_path, b_path], "two entries, A before b")
        check(not scroll_bar_shown(files), "a scroll bar shows on a list of two")
        wait_for(lambda: focused(main_window) == (pyatspi.ROLE_PUSH_BUTTON, "Open Mp3..."),
                 "the focus on Open Mp3... after the chooser")

        edit_with_mouse(user, main_window, field, switch, button, files, folder, songs)
        drop_files(field, files, folder)
        if user.screenshots:
            act(button["Clear All"])
            wait_for(lambda: rows(files) == [], "Clear All's action to empty the list")
            album_picture(user, main_window, field, switch, files)
        long_work(user, program, main_window, field, switch, button, files)

        # The close box ends the program with status 0.
        user.close_window("Quorwin ")
        status = program.wait(timeout=10)
        check(status == 0, "exit status %r" % status)
    except Exception:
        shot(user, "failure", 0, 0, 1600, 1200)
        raise
    finally:
        if program.poll() is None:
            program.kill()
            program.wait()
    print("gtk end-to-end on %s: 1 passed, 0 failed" % SYSTEM)


if __name__ == "__main__":
    main()
