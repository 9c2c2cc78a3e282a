#!/usr/bin/env python3
"""Runs one real-window test of the table below: a session of the kind it names, and in it
its scenarios one after another, each with an empty settings folder.

Usage: run.py TEST --program PATH [--probe PATH] [--saveloop PATH] [--minism PATH]
              [--windowrect PATH] [--settings-command COMMAND] [-- COMMAND...]
       run.py list                (the tests)
       run.py x11|weston -- COMMAND...   (COMMAND in a session of its own)
       run.py anywhere --program PATH
A COMMAND after -- starts the program instead of its path, {program} standing for the
path (wine {program}); a settings command prints the stored values as INI text."""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

# pylint: disable=wrong-import-position
import a11y  # noqa: E402
import faults  # noqa: E402,F401 - its scenarios join the table
import wine  # noqa: E402
from harness import Failure, log  # noqa: E402
from ime import ImeSession  # noqa: E402
from scenarios import SCENARIOS  # noqa: E402
from sway import SwaySession, WestonSession  # noqa: E402
from user import run_as_user  # noqa: E402
from x11 import X11Session  # noqa: E402

SESSIONS = {"x11": X11Session, "wayland": SwaySession, "ime": ImeSession,
            "atspi": a11y.AtspiSession, "weston": WestonSession}

# Each scenario is written once and runs in every kind of session listed for it.
TESTS = {f"{kind}_{name}": (kind, name) for kind in ("x11", "wayland")
         for name in ("start", "codes", "restart", "shortcuts", "pick")}
TESTS.update({
    "x11_input_method": ("ime", "codes restart"),
    "x11_pointer": ("x11", "pointer"),
    "x11_palette": ("x11", "palette"),
    "x11_window": ("x11", "window"),
    "x11_details": ("x11", "details"),
    "x11_scaling": ("x11", "scaling"),
    "wayland_greyed": ("wayland", "greyed"),
    "wayland_program": ("weston", "runs"),
    "atspi_screen_reader": ("atspi", "screen_reader"),
    "faults_kills": ("x11", "kills"),
    "faults_endings": ("x11", "endings"),
    "faults_stores": ("x11", "stores huge two"),
})
# The Windows build under Wine (tests/windows registers them).
SESSIONS["wine"] = wine.WineSession
TESTS.update(wine.TESTS)


def anywhere(options):
    """The harness from a read-only checkout under /tmp whose path holds spaces, with the
    program in a build folder elsewhere: a Wayland test, whose user has a private /tmp."""
    root = tempfile.mkdtemp(prefix="chromalynx anywhere.")
    try:
        source = f"{root}/a checkout/tests/session"
        shutil.copytree(os.path.dirname(os.path.abspath(__file__)), source,
                        ignore=shutil.ignore_patterns("__pycache__"))
        os.makedirs(f"{root}/its build")
        program = shutil.copy(options.program, f"{root}/its build")
        shutil.copy(os.path.join(os.path.dirname(options.program), "readme.txt"),
                    f"{root}/its build")
        subprocess.run(["chmod", "-R", "a-w", f"{root}/a checkout"], check=True)
        return subprocess.run([sys.executable, f"{source}/run.py", "wayland_shortcuts",
                               "--program", program]).returncode
    finally:
        subprocess.run(["chmod", "-R", "u+w", root], check=False)
        shutil.rmtree(root, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("test", choices=["list", "x11", "weston", "anywhere", *TESTS])
    for tool in ("program", "probe", "saveloop", "minism", "windowrect", "settings-command"):
        parser.add_argument(f"--{tool}")
    words = sys.argv[1:] + ["--"]
    options = parser.parse_args(words[:words.index("--")])
    options.command = words[words.index("--") + 1:-1]
    if options.test == "list":
        print("\n".join(TESTS))
        return 0
    if options.test in ("x11", "weston"):
        with SESSIONS[options.test](options) as s:
            return subprocess.run(options.command, env=s.env).returncode
    if options.test == "anywhere":
        return anywhere(options)
    kind, names = TESTS[options.test]
    session = SESSIONS[kind]
    # A desktop without portals.
    options.bare_bus = options.test == "wayland_greyed"
    if session.needs_user and os.geteuid() == 0:
        files = [os.path.dirname(os.path.abspath(__file__)), options.program]
        command = [sys.executable, "{0}/run.py", options.test, "--program", "{1}"]
        if options.probe:
            files.append(options.probe)
            command += ["--probe", "{2}"]
        return run_as_user(command, files)
    try:
        with session(options) as s:
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
