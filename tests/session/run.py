#!/usr/bin/env python3
"""Runs one real-window test of the table below: a session of the kind it names, and in it
its scenarios one after another, each with an empty settings folder.

Usage: run.py TEST --program PATH [--probe|--saveloop|--minism|--windowrect PATH]
              [-- COMMAND...]  (the program's command, {program} its path: wine {program})
       run.py list | x11|weston -- COMMAND..."""

import argparse
import os
import subprocess
import sys

sys.dont_write_bytecode = True
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

# pylint: disable=wrong-import-position
import faults  # noqa: E402,F401 - its scenarios join the table
import wine  # noqa: E402
from harness import Failure, log  # noqa: E402
from scenarios import SCENARIOS  # noqa: E402
from sway import SwaySession, WestonSession  # noqa: E402
from user import run_as_user  # noqa: E402
from x11 import AtspiSession, ImeSession, X11Session  # noqa: E402

SESSIONS = {"x11": X11Session, "wayland": SwaySession, "ime": ImeSession,
            "atspi": AtspiSession, "weston": WestonSession, "wine": wine.WineSession}

# Each scenario is written once and runs in every kind of session listed for it.
TESTS = {f"{kind}_{name}": (kind, name) for kind in ("x11", "wayland")
         for name in ("codes", "restart", "shortcuts", "pick")}
TESTS.update({
    "x11_input_method": ("ime", "codes restart"),
    "x11_pointer": ("x11", "pointer"),
    "x11_window": ("x11", "window"),
    "x11_scaling": ("x11", "scaling"),
    "wayland_greyed": ("wayland", "greyed"),
    "atspi_screen_reader": ("atspi", "screen_reader"),
    "faults_kills": ("x11", "kills"),
    "faults_endings": ("x11", "endings"),
    "faults_stores": ("x11", "stores"),
    **wine.TESTS,  # registered by tests/windows
})


def main():
    words = sys.argv[1:] + ["--"]
    parser = argparse.ArgumentParser()
    parser.add_argument("test", choices=["list", "x11", "weston", *TESTS])
    for tool in ("program", "probe", "saveloop", "minism", "windowrect"):
        parser.add_argument(f"--{tool}")
    options = parser.parse_args(words[:words.index("--")])
    options.command = words[words.index("--") + 1:-1]
    if options.test == "list":
        return print("\n".join(TESTS))
    if options.test in ("x11", "weston"):
        with SESSIONS[options.test](options) as s:
            return subprocess.run(options.command, env=s.env).returncode
    kind, names = TESTS[options.test]
    if SESSIONS[kind].needs_user and os.geteuid() == 0:
        files = [HERE, options.program] + [options.probe] * bool(options.probe)
        return run_as_user([sys.executable, "{0}/run.py", options.test, "--program", "{1}"] +
                           ["--probe", "{2}"] * bool(options.probe), files)
    try:
        with SESSIONS[kind](options) as s:
            for i, name in enumerate(names.split()):
                if i:
                    s.reset()
                log(f"--- {name}")
                SCENARIOS[name](s, s.app)
    except Failure as failure:
        log(f"FAIL: {failure}")
        return 1
    log(f"passed: {options.test}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
