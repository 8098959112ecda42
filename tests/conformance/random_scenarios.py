"""Seeded random scenarios for the conformance run.

Each next step is chosen from the state the headless runner shows after the steps so
far, so that no script presses a button that would open a window the harness does not
answer. The control numbers come from the header both runners name them with
(script_names.h, through the resource header it includes), never from a copy here.
"""
import os
import random
import re

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, "..", "..")


def read_controls(header=os.path.join(HERE, "script_names.h")):
    """{name: number} for every control a script may name: the names script_names.h
    lists in kControls, with the numbers the resource header it includes defines."""
    with open(header, encoding="utf-8") as source:
        text = source.read()
    defines = {}
    for include in re.findall(r'#include "([^"]+)"', text):
        path = os.path.join(ROOT, include)
        if os.path.exists(path):
            with open(path, encoding="utf-8") as included:
                for name, value in re.findall(r"^#define (\w+) \(?(-?\d+)\)?$", included.read(),
                                              re.MULTILINE):
                    defines[name] = int(value)
    table = re.search(r"kControls\[\] = \{(.*?)\n\};", text, re.DOTALL)
    if table is None:
        raise SystemExit("%s has no kControls table" % header)
    controls = {}
    for name, symbol in re.findall(r'\{"(\w+)", (\w+)\}', table.group(1)):
        if symbol not in defines:
            raise SystemExit("%s: no number for %s" % (header, symbol))
        controls[name] = defines[symbol]
    return controls


CONTROLS = read_controls()
NAMES = {number: name for name, number in CONTROLS.items()}
# The fields and their switches, as the runners print them: the numbers from the first
# to the last.
EDITS = list(range(CONTROLS["IDC_TITLE"], CONTROLS["IDC_COMMENT"] + 1))
SWITCHES = list(range(CONTROLS["IDC_USE_TITLE"], CONTROLS["IDC_USE_COMMENT"] + 1))
LIST, OPEN, SAVE_ALL, YEAR = (CONTROLS[name] for name in
                              ("IDC_FILE_LIST", "IDC_OPEN", "IDC_SAVE_ALL", "IDC_YEAR"))


class State:
    """What the last block of a run shows: enough to choose a safe next step."""

    def __init__(self, lines):
        self.focus_window, self.focus = "none", -1
        self.edits = {}
        for line in lines:
            words = line.split(" ")
            if words[0] == "focus" and ":" in words[1]:
                window, control = words[1].split(":")
                self.focus_window, self.focus = window, int(control)
            elif words[0] == "edit":
                text = line.split(" text=", 1)[1].rsplit(" sel=", 1)[0]
                self.edits[int(words[1])] = (text, line.endswith("enabled=1"))
            elif words[0] == "list":
                fields = dict(w.split("=", 1) for w in words[1:])
                self.count, self.top = int(fields["count"]), int(fields["top"])
                self.caret, self.anchor = int(fields["caret"]), int(fields["anchor"])


def words(rng, longest):
    text = "".join(rng.choice("abcdefghij klmnopqrstuvwxyz0123456789 ")
                   for _ in range(rng.randint(1, longest)))
    return text if text.strip() else "x"


def modifiers(rng):
    return rng.choice(["", "", "", " shift", " ctrl", " ctrl shift"])


def list_steps(rng, state):
    """Entries listed and removed while the list has a caret, an anchor and a
    selection: a few entries whose names fall anywhere in the list (some the same as
    listed ones, which go before the equal one the search meets), and the removal of an
    entry at, next to or away from the caret and the anchor; the list's drawing turned
    off and on between them."""
    steps = [(0.4, "files %d %d" % (rng.choice([1, 1, 2, 3, 5]), rng.randint(0, 99))),
             (0.15, "redraw " + rng.choice(["off", "on"]))]
    if state.count > 0:
        near = [state.caret - 1, state.caret, state.caret + 1, state.anchor, state.count - 1,
                rng.randrange(state.count)]
        steps.append((0.3, "remove %d" % min(max(rng.choice(near), 0), state.count - 1)))
    return steps


def next_step(rng, state, page, pasted):
    """A step that cannot open the file chooser or a message box. Ctrl+V comes only
    after a paste step has put a known text on the clipboard, which the system keeps
    from one scenario to the next."""
    choices = []  # (weight, step)
    if state.focus_window == "about":
        for key in ["TAB", "TAB shift", "UP", "DOWN", "LEFT", "RIGHT", "SPACE", "ENTER",
                    "ESCAPE"]:
            choices.append((1, "key " + key))
        choices += [(1, "click OK"), (1, "click IDC_USE_ARTIST")]
    else:
        focus = state.focus
        choices += [(2, "key TAB"), (1, "key TAB shift")]
        for key in ["UP", "DOWN", "LEFT", "RIGHT"]:
            choices.append((1, "key " + key + (modifiers(rng) if focus != LIST else "")))
        if focus == LIST and state.count > 0:
            # Ctrl alone on a list key is a known difference (known_differences.txt):
            # left to the named scenarios, as the states part after it.
            for key in ["UP", "DOWN", "LEFT", "RIGHT", "PRIOR", "NEXT", "HOME", "END", "SPACE"]:
                choices.append((1, "key " + key + rng.choice(["", "", " shift", " ctrl shift"])))
            choices.append((2, "type " + rng.choice("abcdefgabcdefgxz")))
        if focus in EDITS:
            for key in ["LEFT", "RIGHT", "HOME", "END", "DELETE", "BACK"]:
                choices.append((1, "key " + key + modifiers(rng)))
            for letter in "ACXVZ" if pasted else "ACXZ":
                choices.append((1, "key " + letter + " ctrl"))
            choices += [(3, "type " + words(rng, 8)), (1, "paste " + words(rng, 40))]
        if focus != OPEN and not (focus == SAVE_ALL and state.count == 0):
            choices += [(1, "key SPACE"), (1, "key ENTER")]
        choices.append((0.3, "key ESCAPE"))
        for switch in SWITCHES:
            choices.append((0.4, "click " + NAMES[switch]))
        for edit, (text, enabled) in state.edits.items():
            # A click lands before the character under the pointer: only a short text
            # puts the caret at its end on both sides, whatever the font.
            if enabled and len(text) <= (1 if edit == YEAR else 4):
                choices.append((0.4, "click " + NAMES[edit]))
        choices += [(0.3, "click IDC_SAVE_SELECTED"), (0.2, "click IDC_ABOUT"),
                    (0.1, "click IDC_CLEAR_ALL")]
        choices += list_steps(rng, state)
        if state.count > 0:
            choices.append((0.2, "click IDC_SAVE_ALL"))
            shown = range(state.top, min(state.count, state.top + page))
            choices.append((3, "row %d%s" % (rng.choice(shown), rng.choice(["", "", " ctrl", " shift"]))))
            choices.append((0.3, "dblrow %d" % rng.choice(shown)))
    total = sum(weight for weight, _ in choices)
    pick = rng.uniform(0, total)
    for weight, step in choices:
        pick -= weight
        if pick <= 0:
            return step
    return choices[-1][1]


def generate(seed, steps, page, last_block):
    """Random scenarios of about `steps` steps in all, as scenario file text.
    `last_block(script)` runs a one-scenario script on the core and returns the lines of
    its last step's block."""
    rng = random.Random(seed)
    text, made, number = "", 0, 0
    while made < steps:
        name = "random-%d-%d" % (seed, number)
        lines = ["files %d" % rng.choice([0, 3, 12, 30, 60, rng.randint(0, 60)])]
        length = min(rng.randint(15, 40), steps - made)
        while len(lines) < length:
            block = last_block("scenario %s\n%s\n" % (name, "\n".join(lines)))
            pasted = any(line.startswith("paste ") for line in lines)
            lines.append(next_step(rng, State(block), page, pasted))
        text += "scenario %s\n%s\n" % (name, "\n".join(lines))
        made += len(lines)
        number += 1
    return text
