#!/usr/bin/python3
"""End-to-end test of the native window on a slow network share (OpenSSH's SFTP server
mounted with sshfs through a relay that holds every byte 2 ms each way), on X11, with
the desktop's ping every 100 ms throughout:
- the share stalls for 8 s in the middle of Save To ALL over 200 songs: no ping waits
  over a second, the progress box shows, its Cancel during the stall starts no new file
  once the share is back, and every file ends whole or untouched;
- the share stalls while the focused entry's tag is read: the box names the file, and
  its Cancel leaves the fields as they were;
- a song listed twice ends with one record.

    share_e2e.py PROGRAM ARTIFACT_DIR

Run by run_gtk_e2e.sh. Exits with 77 (skipped) where FUSE cannot be used.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi

import e2e_support as e2e

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, os.pardir, "support"))

from slow_share import SlowShare, fuse_usable  # noqa: E402

SKIPPED = 77  # the tests' skip code

PROGRAM, ARTIFACTS = sys.argv[1], sys.argv[2]
SONGS = 200
STALL = 8.0  # seconds
FIELDS = ("Title:", "Artist:", "Album:", "Year:", "Comments:")
LAYOUT = ((3, 30), (33, 30), (63, 30), (93, 4), (97, 30))


def check(condition, message):
    if not condition:
        raise AssertionError(message)


def saved(old, texts):
    """The bytes Save To ALL with every switch on gives a file: its record rewritten
    in place with `texts` (the genre byte kept), or a new record after the audio."""
    has_record = len(old) >= 128 and old[-128:-125] == b"TAG"
    tail = bytearray(old[-128:] if has_record else b"TAG" + bytes(124) + b"\xff")
    for (offset, width), value in zip(LAYOUT, texts):
        tail[offset:offset + width] = value.encode("latin-1")[:width].ljust(width, b"\0")
    return (old[:-128] if has_record else old) + bytes(tail)


def audio():
    return os.urandom(3000).replace(b"T", b"t")  # no stray marker in the audio


def read_all(paths):
    result = {}
    for path in paths:
        with open(path, "rb") as f:
            result[path] = f.read()
    return result


def stalled_save(share, user, field, button, files, served, shown):
    """Save To ALL over the songs, with the share stopped for 8 s once the first file
    is saved."""
    before = {}
    for i in range(SONGS):
        path = os.path.join(served, "songs", "song %03d.mp3" % i)
        # Two songs in three have a record to rewrite, the third gets one added.
        before[path] = audio() + (e2e.make_record("Song %d" % i, "Nina Ray", "Old album",
                                                  "2001", "c", 12) if i % 3 else b"")
        with open(path, "wb") as f:
            f.write(before[path])
    subprocess.run([sys.executable, os.path.join(HERE, "drag_source.py"),
                    "--to", "%d,%d" % e2e.centre(files), os.path.join(shown, "songs")],
                   check=True, timeout=60)
    e2e.wait_for(lambda: files.queryTable().nRows == SONGS, "the share's songs listed",
                 timeout=60)
    user.click(*e2e.centre(field["Album:"]))
    user.key("a", ("ctrl",))
    user.type("Share album")
    e2e.wait_for(lambda: e2e.text(field["Album:"]) == "Share album", "the album typed")
    texts = [e2e.text(field[n]) for n in FIELDS]
    after = {path: saved(old, texts) for path, old in before.items()}

    def finished():
        now = read_all(before)
        return sum(now[p] == after[p] for p in before)

    pings = e2e.Pings(0.1)
    pings.start()
    e2e.act(button["Save To ALL"])
    # The first songs of the list are the first in hand: the share stops as soon as one
    # of them is saved, which a look every few milliseconds sees.
    first = sorted(before)[:16]
    end = time.monotonic() + 30
    while not any(read_all([p])[p] == after[p] for p in first):
        check(time.monotonic() < end, "no song saved 30 s after Save To ALL")
        time.sleep(0.002)
    stalled = time.monotonic()
    resumed = share.stall_for(STALL)
    at_stall = finished()
    box = description = None
    cancelled_text = at_cancel = None
    try:
        check(at_stall < SONGS, "the save ended before the share stalled")
        try:
            box = e2e.wait_for(e2e.progress_box, "the progress box during the stall",
                               timeout=3.0)
            if time.monotonic() < stalled + STALL:
                description = box.description
            e2e.screenshot(os.path.join(ARTIFACTS, "share-stalled.png"), *e2e.extents(box))
        except AssertionError:
            pass
        time.sleep(max(stalled + 2.3 - time.monotonic(), 0))
        if box is not None:
            # Nothing can finish while the share is stopped: the files saved now are
            # all that were saved before the cancel.
            at_cancel = finished()
            e2e.act(e2e.find(box, pyatspi.ROLE_PUSH_BUTTON, "Cancel"))
            try:
                cancelled_text = e2e.wait_for(
                    lambda: box.description.startswith("Cancelled: finishing ") and
                    time.monotonic() < stalled + STALL and box.description,
                    "the box to say the save was cancelled", timeout=3.0)
            except AssertionError:
                pass
    finally:
        resumed.join()
    e2e.wait_for(lambda: e2e.progress_box() is None, "the box to go once the share is back",
                 timeout=30)
    pings.finish()
    print("stalled save: %d of %d songs saved at the stall; %d pings, the longest waited "
          "%.0f ms" % (at_stall, SONGS, pings.sent, pings.longest * 1000))
    check(pings.late == 0, "%d of %d pings waited over a second during the stalled save "
          "(the longest %.0f ms)" % (pings.late, pings.sent, pings.longest * 1000))
    check(description is not None and description.startswith("Saving ") and
          description.endswith(" of %d files" % SONGS),
          "the progress box during the stall: %r" % description)
    check(cancelled_text is not None, "the box did not take the cancel during the stall")
    now = read_all(before)
    whole = [p for p in before if now[p] == after[p]]
    untouched = [p for p in before if now[p] == before[p]]
    check(len(whole) + len(untouched) == SONGS, "a song neither whole nor untouched: %s"
          % sorted(set(before) - set(whole) - set(untouched))[:5])
    check(len(whole) <= at_cancel + 16 and untouched,
          "songs started after the cancel: %d saved, %d when it was cancelled"
          % (len(whole), at_cancel))


def stalled_read(share, user, field, files, served, shown):
    """End pressed on the list while the share is stopped: the last song's tag cannot
    be read, the box names the song, and its Cancel leaves the fields as they were."""
    names = e2e.rows(files)

    def tag(name):
        found = e2e.record(served + name[len(shown):])
        return ["", "", "", "", ""] if found is None else \
            [found[k] for k in ("title", "artist", "album", "year", "comment")]
    user.click(*e2e.centre(e2e.cell(files, names[0])))
    e2e.wait_for(lambda: [e2e.text(field[n]) for n in FIELDS] == tag(names[0]),
                 "the first song's tag shown")
    shown_texts = tag(names[0])
    check(tag(names[-1]) != shown_texts, "the last song's tag is the first one's")
    pings = e2e.Pings(0.1)
    pings.start()
    stalled = time.monotonic()
    resumed = share.stall_for(STALL)
    description = None
    try:
        user.key("End")
        try:
            box = e2e.wait_for(lambda: (e2e.progress_box() or None) and
                               e2e.progress_box().description.startswith("Reading ") and
                               e2e.progress_box(), "the box of the tag read", timeout=4.0)
            if time.monotonic() < stalled + STALL:
                description = box.description
            e2e.act(e2e.find(box, pyatspi.ROLE_PUSH_BUTTON, "Cancel"))
        except AssertionError:
            pass
    finally:
        resumed.join()
    e2e.wait_for(lambda: e2e.progress_box() is None, "the box of the read to go", timeout=30)
    # A read that comes back after its cancel is left unused: give it the time to.
    time.sleep(1.0)
    pings.finish()
    print("stalled read: %d pings, the longest waited %.0f ms"
          % (pings.sent, pings.longest * 1000))
    check(pings.late == 0, "%d of %d pings waited over a second during the stalled read "
          "(the longest %.0f ms)" % (pings.late, pings.sent, pings.longest * 1000))
    check(description == "Reading the tag of " + os.path.basename(names[-1]),
          "the box of the stalled read: %r" % description)
    now = [e2e.text(field[n]) for n in FIELDS]
    check(now == shown_texts, "the cancelled read changed the fields: %r, were %r"
          % (now, shown_texts))


def listed_twice(button, field, files, served, shown):
    """One song without a record listed twice: Save To ALL leaves it one record."""
    e2e.act(button["Clear All"])
    e2e.wait_for(lambda: e2e.rows(files) == [], "Clear All to empty the list")
    old = audio()
    with open(os.path.join(served, "twice.mp3"), "wb") as f:
        f.write(old)
    path = os.path.join(shown, "twice.mp3")
    subprocess.run([sys.executable, os.path.join(HERE, "drag_source.py"),
                    "--to", "%d,%d" % e2e.centre(files), path, path], check=True, timeout=60)
    e2e.wait_for(lambda: e2e.rows(files) == [path, path], "the song listed twice", timeout=30)
    e2e.act(button["Save To ALL"])
    e2e.act(button["Clear All"])  # input waits for the save to end
    e2e.wait_for(lambda: e2e.rows(files) == [], "the save to end and the list to empty",
                 timeout=30)
    texts = [e2e.text(field[n]) for n in FIELDS]  # as the save took them
    with open(os.path.join(served, "twice.mp3"), "rb") as f:
        now = f.read()
    check(now == saved(old, texts), "a song listed twice ends %d bytes long (%d before), "
          "its last 256 bytes %r" % (len(now), len(old), now[-256:]))


def main():
    if not fuse_usable():
        print("share end-to-end: skipped, FUSE cannot be used here (/dev/fuse does not "
              "open)")
        return SKIPPED
    place = tempfile.mkdtemp(prefix="quorwin-share-")
    served, shown = os.path.join(place, "served"), os.path.join(place, "share")
    os.makedirs(os.path.join(served, "songs"))
    share = SlowShare(served, shown, delay_ms=2.0)
    user = e2e.user_input()
    program = None
    try:
        share.start()
        program = user.start(PROGRAM)
        main_window = e2e.wait_for(lambda: e2e.window("Quorwin "), "the main window",
                                   timeout=30)
        field = {n: e2e.find(main_window, pyatspi.ROLE_TEXT, n) for n in FIELDS}
        button = {n: e2e.find(main_window, pyatspi.ROLE_PUSH_BUTTON, n)
                  for n in ("Save To ALL", "Clear All")}
        files = e2e.find(main_window, pyatspi.ROLE_TABLE, "Files To Edit")
        stalled_save(share, user, field, button, files, served, shown)
        stalled_read(share, user, field, files, served, shown)
        listed_twice(button, field, files, served, shown)
    except Exception:
        e2e.screenshot(os.path.join(ARTIFACTS, "share-failure.png"), 0, 0, 1600, 1200)
        raise
    finally:
        if program is not None:
            program.kill()
            program.wait()
        share.close()
        shutil.rmtree(place, ignore_errors=True)
    print("share end-to-end on x11: 1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
