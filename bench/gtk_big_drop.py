#!/usr/bin/python3
"""The native window with a big folder dropped onto its list: how long the songs take
to be listed and Clear All to empty the list, and the longest the window kept the
desktop's ping (_NET_WM_PING, every 200 ms) waiting meanwhile, which must stay under a
second. The accessibility bus is up, as for a user of a screen reader. Each COUNT is a
folder of that many songs, a hundred to an album folder, dragged with real pointer
input onto the program on a virtual X display.

    gtk_big_drop.py PROGRAM ARTIFACT_DIR COUNT...

Run by run_gtk_e2e.sh, which gives it the display and the buses.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, os.pardir, "tests", "e2e"))
sys.path.insert(0, os.path.join(HERE, os.pardir, "tests", "support"))

from e2e_support import (Pings, act, centre, find, user_input, wait_for,  # noqa: E402
                         window)
from big_folder import make_songs  # noqa: E402
import pyatspi  # noqa: E402


def measure(program, count):
    folder = os.path.join(tempfile.mkdtemp(prefix="quorwin-bench-"), "songs")
    make_songs(folder, count)
    user = user_input()
    started = user.start(program)
    try:
        main = wait_for(lambda: window("Quorwin "), "the main window", timeout=30)
        files = find(main, pyatspi.ROLE_TABLE, "Files To Edit")
        clear = find(main, pyatspi.ROLE_PUSH_BUTTON, "Clear All")
        pings = Pings(0.2, timeout=10.0)
        pings.start()
        dropped = time.monotonic()
        subprocess.run([sys.executable, os.path.join(HERE, os.pardir, "tests", "e2e",
                                                     "drag_source.py"),
                        "--to", "%d,%d" % centre(files), folder], check=True, timeout=120)
        wait_for(lambda: files.queryTable().nRows == count, "%d songs listed" % count,
                 timeout=300)
        listed = time.monotonic()
        act(clear)
        wait_for(lambda: files.queryTable().nRows == 0, "the list emptied", timeout=300)
        cleared = time.monotonic()
        time.sleep(0.5)
        pings.finish()
        print("%d songs: listed %.2f s after the drop, Clear All emptied the list in %.2f s; "
              "%d pings, the longest waited %.0f ms, %d over a second"
              % (count, listed - dropped, cleared - listed, pings.sent, pings.longest * 1000,
                 pings.late))
        return pings.late == 0
    finally:
        started.kill()
        started.wait()
        shutil.rmtree(os.path.dirname(folder))


def main():
    program = sys.argv[1]
    alive = [measure(program, int(count)) for count in sys.argv[3:]]
    return 0 if all(alive) else 1


if __name__ == "__main__":
    sys.exit(main())
