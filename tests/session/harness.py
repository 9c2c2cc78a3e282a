"""What every real-window session shares: waiting with deadlines, the processes it starts,
the screen's pixels, and the program under test as a user drives and reads it.

Every wait polls until a deadline; nothing sleeps for a fixed long time. X11_TIME_SCALE
stretches all deadlines (sanitizer builds start slowly on a loaded machine)."""

import os
import re
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import time

TIME_SCALE = float(os.environ.get("X11_TIME_SCALE", "1"))
SKIPPED = 77
WHITE = 16777215


class Failure(Exception):
    pass


def log(text):
    print(f"[{time.strftime('%H:%M:%S')}] {text}", flush=True)


def require(*tools):
    """A missing tool skips the test, except in CI, where it fails."""
    missing = [t for t in tools
               if not (os.access(t, os.X_OK) if t.startswith("/") else shutil.which(t))]
    if not missing:
        return
    reason = f"missing {' '.join(missing)} (scripts/setup.sh installs them)"
    if os.environ.get("CI") == "true":
        raise Failure(reason)
    log(f"skipped: {reason}")
    sys.exit(SKIPPED)


def wait(what, probe, seconds=10):
    deadline = time.monotonic() + seconds * TIME_SCALE
    while True:
        found = probe()
        if found:
            return found
        if time.monotonic() >= deadline:
            raise Failure(f"timed out after {seconds * TIME_SCALE:g} s waiting for {what}")
        time.sleep(0.1)


def expect(what, probe, expected, seconds=10):
    """Waits until probe() gives expected; a failure tells what was seen last."""
    seen = []

    def matches():
        seen[:] = [probe()]
        return seen[0] == expected
    try:
        wait(what, matches, seconds)
    except Failure:
        raise Failure(f"{what}: {seen[0]!r}, expected {expected!r}") from None
    log(f"{what}: {expected!r}")


def output(*command, stdin=None, env=None):
    """What a tool prints, or "" when it fails or hangs."""
    try:
        done = subprocess.run(command, input=stdin, capture_output=True, text=True, timeout=10,
                              env=env)
    except (subprocess.TimeoutExpired, OSError):
        return ""
    return done.stdout if done.returncode == 0 else ""


def stop(process, seconds=5):
    """TERM, then KILL if it lingers; true when it had to be killed."""
    if process.poll() is not None:
        return False
    process.terminate()
    try:
        process.wait(seconds)
        return False
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()
        return True


class Image:
    """A screenshot in binary PPM, read with the standard library alone."""

    def __init__(self, data):
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+\d+\s", data)
        if header is None:
            raise Failure("the screenshot is no PPM picture")
        self.width, self.height = int(header[1]), int(header[2])
        self.pixels = data[header.end():]

    def pixel(self, x, y):
        at = 3 * (y * self.width + x)
        return self.pixels[at:at + 3].hex().upper()

    def region(self, x, y, w, h):
        for row in range(max(y, 0), min(y + h, self.height)):
            for column in range(max(x, 0), min(x + w, self.width)):
                yield column, row, self.pixel(column, row)

    def box(self, colour, x, y, w, h):
        """The bounding box (x, y, w, h) of that colour's pixels, relative to the region."""
        found = [(cx, cy) for cx, cy, c in self.region(x, y, w, h) if c == colour]
        if not found:
            return None
        xs, ys = [p[0] for p in found], [p[1] for p in found]
        return (min(xs) - x, min(ys) - y, max(xs) - min(xs) + 1, max(ys) - min(ys) + 1)

    def colours(self, x, y, w, h):
        return {c for _, _, c in self.region(x, y, w, h)}

    def lightness(self, x, y, w, h):
        """The region's mean lightness, 0 to 100."""
        values = [sum(bytes.fromhex(c)) for _, _, c in self.region(x, y, w, h)]
        return round(100 * sum(values) / (765 * len(values)))


class Session:
    """A desktop of the caller's own: private config, cache and runtime folders, so that the
    settings file starts empty and nothing of the user's desktop is touched. The backends
    (x11.py, sway.py) add the display and the input; leaving the with-block takes down
    only what the session started."""

    name = "session"
    stacking = False
    needs_user = False
    clean = ("DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "QT_IM_MODULE",
             "XMODIFIERS", "GTK_IM_MODULE", "SESSION_MANAGER", "QT_SCALE_FACTOR",
             "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI", "QT_QPA_PLATFORM", "SWAYSOCK")

    def __init__(self, options):
        self.options = options
        self.shots = os.getcwd()
        self.dir = tempfile.mkdtemp(prefix=f"chromalynx-{self.name}.")
        self.env = {k: v for k, v in os.environ.items() if k not in self.clean}
        self.env.update(XDG_CONFIG_HOME=f"{self.dir}/config", XDG_CACHE_HOME=f"{self.dir}/cache",
                        XDG_RUNTIME_DIR=f"{self.dir}/runtime", HOME=f"{self.dir}/home")
        for folder in ("config", "cache", "home"):
            os.mkdir(f"{self.dir}/{folder}")
        os.mkdir(f"{self.dir}/runtime", 0o700)
        self.helpers = []
        self.bus = None
        self.app = Program(self, options)

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.__exit__(*sys.exc_info())
            raise
        return self

    def __exit__(self, kind, error, trace):
        if kind is not None and kind is not SystemExit:
            self.on_failure()
        if self.app.process is not None and stop(self.app.process):
            log("the program had to be killed")
        for process in reversed(self.helpers):
            stop(process)
        if kind is not None and kind is not SystemExit:
            for name in sorted(os.listdir(self.dir)):
                if name.endswith(".log") and os.path.getsize(f"{self.dir}/{name}"):
                    log(f"output of {name}:")
                    with open(f"{self.dir}/{name}", errors="replace") as text:
                        print("".join("  " + line for line in text.readlines()[-40:]))
        shutil.rmtree(self.dir, ignore_errors=True)

    def helper(self, name, *command, env=None):
        """Starts a process that lives until the session ends, logging into the session."""
        with open(f"{self.dir}/{name}.log", "ab") as out:
            process = subprocess.Popen(command, stdout=out, stderr=subprocess.STDOUT,
                                       stdin=subprocess.DEVNULL, env=env or self.env)
        self.helpers.append(process)
        return process

    def start_bus(self, bare=False):
        """A session bus; the services it starts (portals, the accessibility bus) inherit
        this environment. A bare one knows of no service, as on a desktop without portals."""
        config = ["--session"]
        if bare:
            with open(f"{self.dir}/bus.conf", "w") as conf:
                conf.write("<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>"
                           '<policy context="default"><allow send_destination="*" '
                           'eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/>'
                           "</policy></busconfig>")
            config = [f"--config-file={self.dir}/bus.conf"]
        address = f"{self.env['XDG_RUNTIME_DIR']}/bus"
        self.bus = self.helper("dbus", "dbus-daemon", *config, "--nofork",
                               f"--address=unix:path={address}")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = f"unix:path={address}"
        wait("the session bus", lambda: os.path.exists(address))

    def reset(self):
        """An empty settings folder, for the next scenario in the same session."""
        shutil.rmtree(self.env["XDG_CONFIG_HOME"], ignore_errors=True)
        os.mkdir(self.env["XDG_CONFIG_HOME"])

    def tool(self, name, script):
        """A stand-in for a desktop tool (xdg-open) on the program's PATH."""
        folder = f"{self.dir}/tools"
        os.makedirs(folder, exist_ok=True)
        with open(f"{folder}/{name}", "w") as out:
            out.write("#!/bin/sh\n" + script + "\n")
        os.chmod(f"{folder}/{name}", 0o755)
        return {"PATH": f"{folder}:{self.env['PATH']}"}

    def screenshot(self, name, window=None):
        """The screen, or the frame of one window, as a picture in the build folder."""
        picture = self.capture("png")
        if window is not None:
            x, y, w, h = self.outer(window)
            picture = subprocess.run(["convert", "png:-", "-crop", f"{w}x{h}+{x}+{y}", "+repage",
                                      "png:-"], input=picture, capture_output=True).stdout
        with open(f"{self.shots}/{name}", "wb") as out:
            out.write(picture)
        log(f"screenshot {self.shots}/{name}")

    def shoot(self):
        return Image(self.capture("ppm"))

    def on_failure(self):
        try:
            self.screenshot(f"{self.options.test}-failure.png")
            log("windows at the failure: " + repr(self.windows()))
        except Exception:  # noqa: BLE001 - the failure itself is what counts
            pass


def ini_settings(session):
    """The settings file as {"section/key": text}."""
    path = f"{session.env['XDG_CONFIG_HOME']}/Chromalynx/Chromalynx.ini"
    try:
        with open(path, encoding="utf-8", errors="replace") as text:
            return parse_ini(text.read())
    except OSError:
        return {}


def parse_ini(text):
    values, section = {}, ""
    for line in text.splitlines():
        if line.startswith("["):
            section = line.strip("[]")
        elif "=" in line:
            key, _, value = line.partition("=")
            values[f"{section}/{key}"] = value
    return values


def stored(favourites=(WHITE,) * 9, formtop=0, colornamelist=0, char=0):
    """The twelve stored values as ini_settings gives them."""
    values = {f"favorite/{i}": str(v) for i, v in enumerate(favourites, 1)}
    values.update({"condition/formtop": str(formtop), "condition/colornamelist":
                   str(colornamelist), "condition/char": str(char)})
    return values


def colour_value(code):
    """The stored number of RRGGBB: R + 256 G + 65536 B."""
    r, g, b = (int(code[i:i + 2], 16) for i in (0, 2, 4))
    return r + 256 * g + 65536 * b


class Program:
    """The program under test, driven with real input and read from outside. Its command is
    the program's path unless one is given ("wine {program}"), and the stored values come
    from the settings file unless a command prints them as INI text."""

    def __init__(self, session, options):
        self.session, self.options = session, options
        self.path = options.program
        self.process = None
        self.window = None
        self.runs = 0

    def command(self, path):
        words = self.options.command or ["{program}"]
        return [w.replace("{program}", path) for w in words]

    def start(self, path=None, env=None):
        s = self.session
        self.runs += 1
        self.window = None
        # Another copy's window may be open already.
        before = {w.id for w in s.windows()}
        with open(f"{s.dir}/app-{self.runs}.log", "ab") as out:
            self.process = subprocess.Popen(
                self.command(path or self.path), stdout=out, stderr=subprocess.STDOUT,
                stdin=subprocess.DEVNULL, env={**s.env, **s.program_env, **(env or {})})

        def mapped_or_gone():
            found = [w for w in s.windows() if w.title == "Chromalynx" and w.id not in before]
            if len(found) == 1:
                self.window = found[0].id
            return self.window or self.process.poll() is not None
        wait('the window "Chromalynx" to map', mapped_or_gone, 60)
        if self.process.poll() is not None:
            raise Failure(f"the program ended with status {self.process.returncode} at start")
        wait("the window to get the keyboard focus", lambda: s.focused(self.window), 20)
        log(f"program running, window {self.window}")

    def running(self):
        return self.process is not None and self.process.poll() is None

    def wait_exit(self, status=0):
        try:
            self.process.wait(30 * TIME_SCALE)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end") from None
        found, self.process = self.process.returncode, None
        log(f"program ended with status {found}")
        if status is not None and found != status:
            raise Failure(f"the program ended with status {found}, expected {status}")
        return found

    def quit(self, status=0):
        self.keys("ctrl+q")
        return self.wait_exit(status)

    def keys(self, *names):
        self.session.keys(*names)

    def type(self, text):
        if text:
            self.session.type(text)

    def steps(self, text):
        """Keys from a line of words: KEY, KEY*N (N presses), 'TEXT' typed, copy (Copy has
        the focus), read:N (the number field N Tab stops after Copy copied), paste:TEXT
        (another program offers TEXT on the clipboard)."""
        for word in shlex.split(text, posix=False):
            if word.startswith("'"):
                self.type(word[1:-1])
            elif word == "copy":
                self.keys("space")
            elif word.startswith("read:"):
                tabs = int(word[5:])
                self.keys(*["Tab"] * tabs, "Home", "shift+End", "ctrl+Insert",
                          *["shift+Tab"] * tabs)
            elif word.startswith("paste:"):
                self.session.offer(word[6:])
            else:
                key, _, times = word.partition("*")
                self.keys(*[key] * int(times or 1))

    def enter_code(self, text):
        """Into the code field from Copy, Enter, and back."""
        self.steps(f"shift+Tab '{text}' Return Tab")

    def copied(self, code, why=""):
        """Copy (which has the focus) must put code on the clipboard."""
        self.keys("space")
        self.clipboard(code, why)

    def clipboard(self, text, why=""):
        expect(f"the clipboard{' after ' + why if why else ''}", self.session.clipboard, text)

    def field(self, tabs, text):
        self.steps(f"read:{tabs}")
        self.clipboard(text, f"the number field {tabs} Tab stops after Copy")

    def size(self, expected):
        expect("the window's outer size", lambda: self.session.outer(self.window)[2:], expected)

    def dialog(self, title=None):
        """Waits for a window of the program other than the main window, titled so if a
        title is given, to take the keyboard; its id."""
        s = self.session

        def found():
            return next((w for w in self.others(title) if s.focused(w)), None)
        window = wait(f'"{title or "a dialog"}" to open with the keyboard focus', found, 20)
        log(f'"{title or "a dialog"}" open: window {window}')
        return window

    def closed(self, title=None):
        wait(f'"{title or "the dialog"}" to close', lambda: not self.others(title))
        wait("the main window to get the keyboard back",
             lambda: self.session.focused(self.window))

    def others(self, title=None):
        return [w.id for w in self.session.windows()
                if title in (None, w.title) and w.id != self.window]

    def no_dialog(self, title, seconds=2):
        deadline = time.monotonic() + seconds * TIME_SCALE
        while time.monotonic() < deadline:
            if self.others(title):
                raise Failure(f'"{title}" appeared')
            time.sleep(0.1)
        log(f'no "{title}" appeared')

    def settings(self):
        if self.options.settings_command:
            return parse_ini(output("sh", "-c", self.options.settings_command,
                                    env=self.session.env))
        return ini_settings(self.session)

    def expect_settings(self, values):
        """The stored values ({"section/key": value}) among those found."""
        found = self.settings()
        wrong = {k: found.get(k) for k, v in values.items() if found.get(k) != str(v)}
        if wrong:
            raise Failure(f"stored {wrong}, expected {values}; the store holds {found}")
        log(f"stored as expected: {', '.join(sorted(values))}")

    def write_settings(self, text):
        path = f"{self.session.env['XDG_CONFIG_HOME']}/Chromalynx/Chromalynx.ini"
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w") as out:
            out.write(text)
        return path

    def bare_copy(self):
        """The program alone in a folder, without its readme."""
        folder = f"{self.session.dir}/bare"
        os.makedirs(folder, exist_ok=True)
        return shutil.copy(self.path, folder)


def send(process, name):
    process.send_signal(getattr(signal, f"SIG{name}"))
