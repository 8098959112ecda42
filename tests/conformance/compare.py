#!/usr/bin/env python3
"""Holds the program on the core to the program on Windows' own controls.

One scenario file (named scenarios, plus seeded random ones with --random) is run
twice: by the Win32 runner that drives quorwin.exe under Wine and reads the real
controls, and by the headless runner on the core. Both print the state after every
step; the blocks are compared one by one. The first difference of each scenario is
reported; one listed in the known-differences file (with its reason) is forgiven.
A scenario with any other is run once more under Wine, and fails the run if it
differs again.

A scenario is a line "scenario NAME" and its steps, one a line; each starts the
program afresh. The steps: "files COUNT [FIRST]" lists the entries FIRST (0 unless
given) on, as the program lists files opened or dropped (LB_ADDSTRING); "names
NAME|NAME|..." lists those names so, in that order, and its block ends with the
entries' texts in the list's order ("entries NAME|NAME|..."); "remove INDEX"
removes an entry, as the program's double-click and Clear All do (LB_DELETESTRING);
"redraw off" and "redraw on" turn the list's drawing off and on (WM_SETREDRAW), as the
program does around adding a drop's songs and around Clear All;
"key NAME [ctrl] [shift]"; "type TEXT"; "paste TEXT" (put on the clipboard, then
Ctrl+V); "click CONTROL" (a name from script_names.h, or OK in the newest About box);
"row N [ctrl] [shift]" and "dblrow N" on a shown row of the list; and "save" (see
scenarios.txt). After each step a runner prints "step NAME N STEP" and what the user
could read: the focus, the About boxes open, the main window's default button, each
field and switch, and the list.

Without a Wine runner, the headless side runs alone: every "# expect: TEXT" line in
the scenario file (a figure measured under Wine) must begin a line of the block of
the step above it, and the random scenarios must run to their end.

  compare.py SCENARIOS --headless RUNNER [--page ROWS]
             [--wine-runner RUNNER.exe --program quorwin.exe] [--known FILE]
             [--random SEED --steps N] [--work DIR]
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile

import random_scenarios

HERE = os.path.dirname(os.path.abspath(__file__))
WINE_RUN = os.path.join(HERE, "..", "..", "cmake", "wine-run.sh")


def parse_scenarios(text):
    """(name, [steps], {step index: [expected line starts]}) for each scenario."""
    scenarios = []
    for line in text.splitlines():
        if line.startswith("scenario "):
            scenarios.append((line[9:], [], {}))
        elif line.startswith("# expect: ") and scenarios and scenarios[-1][1]:
            name, steps, expects = scenarios[-1]
            expects.setdefault(len(steps) - 1, []).append(line[10:])
        elif line and not line.startswith("#") and scenarios:
            scenarios[-1][1].append(line)
    return scenarios


def parse_output(text):
    """The page, and the blocks as {(scenario, step): (step text, [lines])} in order."""
    lines = text.split("\n")
    if not lines or not lines[0].startswith("page "):
        raise SystemExit("runner output does not start with its page:\n" + text[:500])
    page = int(lines[0].split()[1])
    blocks, order, current = {}, [], None
    for line in lines[1:]:
        if line.startswith("step "):
            parts = line.split(" ", 3)
            current = (parts[1], int(parts[2]))
            blocks[current] = (parts[3] if len(parts) > 3 else "", [])
            order.append(current)
        elif line and current is not None:
            blocks[current][1].append(line)
    return page, blocks, order


def run_headless(runner, script, page, work):
    path = os.path.join(work, "headless-input.txt")
    with open(path, "w", encoding="utf-8") as out:
        out.write(script)
    done = subprocess.run([runner, path, "--page", str(page)], capture_output=True,
                          encoding="utf-8", errors="replace", timeout=600)
    if done.returncode != 0:
        raise SystemExit("headless runner failed:\n" + done.stderr)
    return done.stdout


def windows_path(path):
    return "Z:" + os.path.realpath(path).replace("/", "\\")


def run_wine(args, script, name):
    path = os.path.join(args.work, name)
    with open(path, "w", encoding="utf-8") as out:
        out.write(script)
    command = ["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24 -nolisten tcp", WINE_RUN,
               args.wine_runner, windows_path(args.program), windows_path(path)]
    done = subprocess.run(command, capture_output=True, encoding="utf-8", errors="replace",
                          timeout=1800)
    if not done.stdout.startswith("page "):
        raise SystemExit("the Wine runner failed (%d):\n%s" % (done.returncode, done.stderr[-2000:]))
    if done.returncode != 0:
        # What it printed is still compared; the run fails all the same, unless the
        # scenarios it could not drive differ and match when run again.
        print("the Wine runner failed (%d):\n%s" % (done.returncode, done.stderr[-2000:]))
        # The scenarios it could not drive begin its messages ("NAME: cannot do step ...").
        args.failed |= {line.split(": ", 1)[0] for line in done.stderr.splitlines()
                        if ": " in line} or {"the run"}
    return done.stdout


# --- Comparing -----------------------------------------------------------------------

def read_known(path):
    """[(pattern, reason)] from the known-differences file."""
    known, pattern = [], None
    if not path:
        return known
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            line = line.rstrip("\n")
            if line.startswith("match: "):
                pattern = re.compile(line[7:])
            elif line.startswith("reason: ") and pattern is not None:
                known.append((pattern, line[8:]))
                pattern = None
    return known


def compare(wine_out, headless_out, known):
    """Prints each scenario's first difference; returns the scenarios whose difference
    is not a known one."""
    _, wine, order = parse_output(wine_out)
    _, headless, _ = parse_output(headless_out)
    unlisted, forgiven, compared, stopped = [], 0, 0, set()
    for key in order:
        scenario = key[0]
        if scenario in stopped:
            continue
        step, wine_lines = wine[key]
        if key not in headless:
            print("%s step %d (%s): the headless runner printed no block" % (scenario, key[1], step))
            unlisted.append(scenario)
            stopped.add(scenario)
            continue
        compared += 1
        lines = headless[key][1]
        pairs = [(w, h) for w, h in zip(wine_lines + [""] * len(lines), lines + [""] * len(wine_lines))
                 if w != h]
        if not pairs:
            continue
        stopped.add(scenario)  # later steps start from states that differ already
        reasons = []
        for w, h in pairs:
            subject = "step=%s wine=%s headless=%s" % (step, w, h)
            reasons.append(next((reason for pattern, reason in known if pattern.search(subject)), None))
        listed = all(reason is not None for reason in reasons)
        print("%s step %d (%s): %s" % (scenario, key[1], step,
                                        "known difference" if listed else "DIFFERS"))
        for (w, h), reason in zip(pairs, reasons):
            print("    wine:     %s\n    headless: %s" % (w, h))
            if reason:
                print("    known:    %s" % reason)
        if listed:
            forgiven += 1
        else:
            unlisted.append(scenario)
    print("%d steps compared, %d known differences, %d unlisted" % (compared, forgiven, len(unlisted)))
    return unlisted


def check_expectations(scenarios, headless_out):
    _, blocks, _ = parse_output(headless_out)
    failures = 0
    for name, steps, expects in scenarios:
        for index, wanted in sorted(expects.items()):
            lines = blocks.get((name, index), ("", []))[1]
            for expected in wanted:
                if not any(line.startswith(expected) for line in lines):
                    failures += 1
                    print("%s step %d (%s): expected a line starting %r, got:\n    %s" %
                          (name, index, steps[index], expected, "\n    ".join(lines)))
    count = sum(len(w) for _, _, e in scenarios for w in e.values())
    print("%d expectations checked, %d failed" % (count, failures))
    return failures == 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("scenarios")
    parser.add_argument("--headless", required=True)
    parser.add_argument("--page", type=int, default=9)
    parser.add_argument("--wine-runner")
    parser.add_argument("--program")
    parser.add_argument("--known")
    parser.add_argument("--random", type=int)
    parser.add_argument("--steps", type=int, default=300)
    parser.add_argument("--work")
    args = parser.parse_args()
    args.failed = set()  # the scenarios the Wine runner could not drive
    if not os.path.exists(args.headless):
        raise SystemExit("no headless runner at %s: build the dev preset first "
                         "(./dev.sh test builds it before the Windows tests)" % args.headless)
    args.work = args.work or tempfile.mkdtemp(prefix="conformance-")
    os.makedirs(args.work, exist_ok=True)
    with open(args.scenarios, encoding="utf-8") as named:
        text = named.read()
    page = args.page
    if args.wine_runner:
        page, _, _ = parse_output(run_wine(args, "scenario probe\nfiles 0\n", "probe.txt"))
    if args.random is not None:
        def last_block(script):
            _, blocks, order = parse_output(run_headless(args.headless, script, page, args.work))
            return blocks[order[-1]][1]
        text += random_scenarios.generate(args.random, args.steps, page, last_block)
    with open(os.path.join(args.work, "scenarios.txt"), "w", encoding="utf-8") as out:
        out.write(text)
    scenarios = parse_scenarios(text)
    print("%d scenarios, %d steps, page %d" %
          (len(scenarios), sum(len(s[1]) for s in scenarios), page))
    headless_out = run_headless(args.headless, text, page, args.work)
    with open(os.path.join(args.work, "headless.txt"), "w", encoding="utf-8") as out:
        out.write(headless_out)
    if not args.wine_runner:
        return 0 if check_expectations(scenarios, headless_out) else 1
    wine_out = run_wine(args, text, "wine-input.txt")
    with open(os.path.join(args.work, "wine.txt"), "w", encoding="utf-8") as out:
        out.write(wine_out)
    known = read_known(args.known)
    differing = compare(wine_out, headless_out, known)
    if differing:
        # Input sent to another process under Wine now and then arrives otherwise than
        # sent (a click that does not reach its button). A scenario that differs is run
        # once more there: a difference of the core comes again, one of the input's
        # timing does not.
        # The runner's own failures in those scenarios (a step it could not do once the
        # input went astray) are judged by the second run too.
        print("running %s again under Wine" % ", ".join(differing))
        again = "".join("scenario %s\n%s\n" % (name, "\n".join(steps))
                        for name, steps, _ in scenarios if name in differing)
        failed, args.failed = args.failed - set(differing), set()
        differing = compare(run_wine(args, again, "wine-again-input.txt"), headless_out, known)
        args.failed |= failed
    return 0 if not differing and not args.failed else 1


if __name__ == "__main__":
    sys.exit(main())
