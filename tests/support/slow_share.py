#!/usr/bin/python3
"""A network share made of real parts, for the tests and benchmarks of work on a share:
OpenSSH's SFTP server serving a folder, mounted with sshfs (FUSE), reached through a
relay of ours on a loopback port that holds every byte DELAY ms in each direction and
keeps their order (a round trip costs twice DELAY), as a share on Wi-Fi or a VPN does.

The share can stall, as a share whose disks spin up or whose link drops out does: the
SFTP server is stopped (SIGSTOP) until it is resumed (SIGCONT). The relay counts the
SFTP requests the mount makes, by type.

sshfs runs with -o reconnect,idmap=user, the options a user reaching a NAS is usually
told to give: it connects again when the link drops, and the served files show as the
user's own. The relay's loopback port stands in for ssh (-o directport), so that no
key or login is involved; caching stays as sshfs sets it by default.

As a module:
    with SlowShare(served_folder, mount_point, delay_ms=2) as share:
        ... work on mount_point ...
        share.stall(); ...; share.resume()    # or share.stall_for(8.0)
        share.counts()  # {"OPEN": 2000, "STAT": ..., ...}

As a program, serving until interrupted (Ctrl+C or SIGTERM); SIGUSR1 stalls the
share and SIGUSR2 resumes it; the requests counted are printed at the end:
    slow_share.py mount SERVED MOUNT_POINT [--delay-ms D] [--seconds S]
    slow_share.py unmount MOUNT_POINT
Only 127.0.0.1 is used. Standard library only.
"""
import argparse
import collections
import ctypes
import os
import shutil
import signal
import socket
import subprocess
import sys
import threading
import time

SFTP_SERVERS = ("/usr/lib/openssh/sftp-server", "/usr/lib/sftp-server",
                "/usr/libexec/sftp-server", "/usr/libexec/openssh/sftp-server")

# The request types of the SFTP protocol (version 3, as OpenSSH and sshfs speak it).
REQUESTS = {1: "INIT", 3: "OPEN", 4: "CLOSE", 5: "READ", 6: "WRITE", 7: "LSTAT", 8: "FSTAT",
            9: "SETSTAT", 10: "FSETSTAT", 11: "OPENDIR", 12: "READDIR", 13: "REMOVE",
            14: "MKDIR", 15: "RMDIR", 16: "REALPATH", 17: "STAT", 18: "RENAME",
            19: "READLINK", 20: "SYMLINK", 200: "EXTENDED"}

# The upper bound of every wait of ours, in seconds.
MOUNT_TIMEOUT = 20.0
EXIT_TIMEOUT = 10.0


def sftp_server():
    """The path of OpenSSH's SFTP server on this system; fails when there is none."""
    for path in SFTP_SERVERS:
        if os.access(path, os.X_OK):
            return path
    raise RuntimeError("no sftp-server (install openssh-sftp-server)")


def fusermount():
    for name in ("fusermount3", "fusermount"):
        path = shutil.which(name)
        if path:
            return path
    raise RuntimeError("no fusermount (install fuse3)")


def ends_with_us(signal_number):
    """For a child process: the signal it gets when the thread that started it ends,
    so that a test killed halfway leaves no share mounted and no server stopped."""
    def arrange():
        ctypes.CDLL(None, use_errno=True).prctl(1, signal_number, 0, 0, 0)  # PR_SET_PDEATHSIG
    return arrange


def fuse_usable():
    """Whether this system lets a FUSE file system be mounted: its device opens (a
    container may have none). sshfs and the SFTP server are the test's own packages,
    and a share without them fails to start."""
    try:
        os.close(os.open("/dev/fuse", os.O_RDWR))
    except OSError:
        return False
    return True


def unmount(mount_point):
    """Unmounts the share at `mount_point` if it is mounted. A mount still in use (a
    program holding a file open on it) is detached lazily, so that it goes as soon as
    the last file is closed. True when nothing stays mounted there."""
    if not os.path.ismount(mount_point):
        return True
    tool = fusermount()
    for args in (["-u"], ["-u", "-z"]):
        subprocess.run([tool] + args + [mount_point], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=EXIT_TIMEOUT, check=False)
        if not os.path.ismount(mount_point):
            return True
    return False


def write_all(sink, data):
    view = memoryview(data)
    while view:
        view = view[sink.write(view):]


class Counter:
    """Counts the SFTP packets in one direction of a connection: each starts with its
    length (uint32, big-endian, not counting itself) and its type (one byte)."""

    def __init__(self, counts, lock):
        self.counts = counts
        self.lock = lock
        self.pending = bytearray()
        self.skip = 0  # bytes of the current packet's body still to pass

    def feed(self, data):
        view = memoryview(data)
        while view:
            if self.skip:
                taken = min(self.skip, len(view))
                self.skip -= taken
                view = view[taken:]
                continue
            needed = 5 - len(self.pending)
            self.pending += view[:needed]
            view = view[needed:]
            if len(self.pending) < 5:
                return
            length = int.from_bytes(self.pending[:4], "big")
            kind = REQUESTS.get(self.pending[4], "TYPE %d" % self.pending[4])
            with self.lock:
                self.counts[kind] += 1
            self.skip = max(length - 1, 0)
            self.pending.clear()


class DelayedPipe:
    """Passes bytes from `source` to `sink`, each held `delay` seconds after it
    arrived, in order. One thread reads, one writes; both end when the source ends or
    the sink goes."""

    def __init__(self, read, write, close, delay, counter=None):
        self.read, self.write, self.close = read, write, close
        self.delay = delay
        self.counter = counter
        self.queue = collections.deque()
        self.ready = threading.Condition()
        self.ended = False
        self.threads = [threading.Thread(target=self._reader, daemon=True),
                        threading.Thread(target=self._writer, daemon=True)]
        for thread in self.threads:
            thread.start()

    def _reader(self):
        try:
            while True:
                data = self.read(65536)
                if not data:
                    break
                if self.counter:
                    self.counter.feed(data)
                with self.ready:
                    self.queue.append((time.monotonic() + self.delay, data))
                    self.ready.notify()
        except OSError:
            pass
        with self.ready:
            self.ended = True
            self.ready.notify()

    def _writer(self):
        try:
            while True:
                with self.ready:
                    while not self.queue and not self.ended:
                        self.ready.wait(1.0)
                    if not self.queue:
                        break  # ended and drained
                    due, data = self.queue.popleft()
                wait = due - time.monotonic()
                if wait > 0:
                    time.sleep(wait)
                self.write(data)
        except OSError:
            pass
        finally:
            self.close()

    def join(self, timeout):
        end = time.monotonic() + timeout
        for thread in self.threads:
            thread.join(max(end - time.monotonic(), 0))


class SlowShare:
    """The share: `served` (a local folder) mounted on `mount_point` through the relay,
    with `delay_ms` in each direction."""

    def __init__(self, served, mount_point, delay_ms=2.0):
        self.served = os.path.abspath(served)
        self.mount_point = os.path.abspath(mount_point)
        self.delay = delay_ms / 1000.0
        self.server_path = sftp_server()
        self.lock = threading.Lock()
        self._counts = collections.Counter()
        self.servers = []  # one SFTP server process per connection
        self.pipes = []
        self.stalled = False
        self.listener = None
        self.sshfs = None
        self.stopping = False

    # The relay.

    def _accept(self):
        while not self.stopping:
            try:
                connection, _ = self.listener.accept()
            except socket.timeout:
                continue
            except OSError:
                return
            connection.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
            server = subprocess.Popen([self.server_path, "-e", "-l", "ERROR"],
                                      stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                      stderr=subprocess.DEVNULL, bufsize=0, cwd=self.served,
                                      preexec_fn=ends_with_us(signal.SIGKILL))
            with self.lock:
                self.servers.append(server)
                if self.stalled:
                    server.send_signal(signal.SIGSTOP)
            counter = Counter(self._counts, self.lock)
            up = DelayedPipe(connection.recv, lambda data, sink=server.stdin: write_all(sink, data),
                             server.stdin.close, self.delay, counter)

            def close_connection(connection=connection):
                try:
                    connection.shutdown(socket.SHUT_WR)
                except OSError:
                    pass
            down = DelayedPipe(server.stdout.read, connection.sendall, close_connection,
                               self.delay)
            self.pipes += [up, down]

    def start(self):
        if self.listener is not None:
            raise RuntimeError("the share is started already")
        if not shutil.which("sshfs"):
            raise RuntimeError("no sshfs (install sshfs)")
        self.listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(8)
        self.listener.settimeout(0.2)
        port = self.listener.getsockname()[1]
        threading.Thread(target=self._accept, daemon=True).start()
        os.makedirs(self.mount_point, exist_ok=True)
        self.sshfs = subprocess.Popen(
            ["sshfs", "-f", "-o", "directport=%d,reconnect,idmap=user" % port,
             "127.0.0.1:" + self.served, self.mount_point],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
            preexec_fn=ends_with_us(signal.SIGTERM))  # sshfs unmounts on SIGTERM
        end = time.monotonic() + MOUNT_TIMEOUT
        while not os.path.ismount(self.mount_point):
            if self.sshfs.poll() is not None or time.monotonic() > end:
                error = b"" if self.sshfs.poll() is None else self.sshfs.stderr.read()
                self.close()
                raise RuntimeError("sshfs did not mount %s: %s"
                                   % (self.mount_point, error.decode(errors="replace")))
            time.sleep(0.05)
        return self

    # What a test does with it.

    def stall(self):
        """Stops the SFTP server: every call on the share waits until `resume`."""
        with self.lock:
            self.stalled = True
            for server in self.servers:
                if server.poll() is None:
                    server.send_signal(signal.SIGSTOP)

    def resume(self):
        with self.lock:
            self.stalled = False
            for server in self.servers:
                if server.poll() is None:
                    server.send_signal(signal.SIGCONT)

    def stall_for(self, seconds):
        """Stops the SFTP server for `seconds`, resumed on a timer of its own whatever
        the caller meanwhile waits for; the timer, to join."""
        self.stall()
        timer = threading.Timer(seconds, self.resume)
        timer.daemon = True
        timer.start()
        return timer

    def counts(self):
        """The SFTP requests made so far, by type."""
        with self.lock:
            return dict(self._counts)

    def reset_counts(self):
        with self.lock:
            self._counts.clear()

    def close(self):
        """Unmounts (lazily if a program still holds a file on it) and ends every
        process of the share; safe to call more than once and after a failure."""
        if self.stalled:
            self.resume()
        unmounted = unmount(self.mount_point)
        if self.sshfs is not None:
            try:
                self.sshfs.wait(timeout=EXIT_TIMEOUT)
            except subprocess.TimeoutExpired:
                self.sshfs.kill()
                self.sshfs.wait()
            self.sshfs.stderr.close()
        self.stopping = True  # the relay's servers end with its thread
        if self.listener is not None:
            self.listener.close()
        with self.lock:
            servers = list(self.servers)
        for server in servers:
            try:
                server.wait(timeout=EXIT_TIMEOUT)
            except subprocess.TimeoutExpired:
                server.kill()
                server.wait()
        for pipe in self.pipes:
            pipe.join(EXIT_TIMEOUT)
        return unmounted

    def __enter__(self):
        return self.start()

    def __exit__(self, *exception):
        self.close()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    commands = parser.add_subparsers(dest="command", required=True)
    mount = commands.add_parser("mount", help="serve SERVED on MOUNT_POINT until interrupted")
    mount.add_argument("served")
    mount.add_argument("mount_point")
    mount.add_argument("--delay-ms", type=float, default=2.0,
                       help="how long each byte is held in each direction (default 2)")
    mount.add_argument("--seconds", type=float, default=24 * 3600.0,
                       help="unmount after this long at most (default a day)")
    gone = commands.add_parser("unmount", help="unmount a share left mounted")
    gone.add_argument("mount_point")
    args = parser.parse_args()
    if args.command == "unmount":
        return 0 if unmount(args.mount_point) else 1

    share = SlowShare(args.served, args.mount_point, args.delay_ms)
    done = threading.Event()
    signal.signal(signal.SIGINT, lambda *_: done.set())
    signal.signal(signal.SIGTERM, lambda *_: done.set())
    signal.signal(signal.SIGUSR1, lambda *_: share.stall())
    signal.signal(signal.SIGUSR2, lambda *_: share.resume())
    with share:
        print("%s mounted on %s, %.1f ms each way; process %d (SIGUSR1 stalls, SIGUSR2 "
              "resumes)" % (share.served, share.mount_point, args.delay_ms, os.getpid()),
              flush=True)
        done.wait(args.seconds)
        counts = share.counts()
    for kind, count in sorted(counts.items(), key=lambda item: -item[1]):
        print("%-9s %d" % (kind, count))
    return 0


if __name__ == "__main__":
    sys.exit(main())
