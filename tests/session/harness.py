"""What every real-window session shares: waits (X11_TIME_SCALE stretches them for
sanitizer builds), its processes, the screen's pixels, and the program as a user drives it."""

import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
import time

TIME_SCALE = float(os.environ.get("X11_TIME_SCALE", "1"))
WHITE = 16777215


class Failure(Exception):
    pass


def log(text):
    print(f"[{time.strftime('%H:%M:%S')}] {text}", flush=True)


def require(*tools):
    """A missing tool skips the test, except in CI, where it fails."""
    missing = [t for t in tools
               if not (os.access(t, os.X_OK) if t.startswith("/") else shutil.which(t))]
    if missing:
        reason = f"missing {' '.join(missing)} (scripts/setup.sh installs them)"
        if os.environ.get("CI") == "true":
            raise Failure(reason)
        log(f"skipped: {reason}")
        sys.exit(77)


def wait(what, probe, seconds=10):
    deadline = time.monotonic() + seconds * TIME_SCALE
    while not (found := probe()):
        if time.monotonic() >= deadline:
            raise Failure(f"timed out after {seconds * TIME_SCALE:g} s waiting for {what}")
        time.sleep(0.1)
    return found


def expect(what, probe, expected, seconds=10):
    seen = []
    try:
        wait(what, lambda: seen.append(probe()) or seen[-1] == expected, seconds)
    except Failure:
        raise Failure(f"{what}: {seen[-1]!r}, expected {expected!r}") from None
    log(f"{what}: {expected!r}")


def output(*command, env=None, timeout=10):
    """What a tool prints, or "" when it fails or hangs."""
    try:
        done = subprocess.run(command, capture_output=True, text=True, timeout=timeout, env=env)
    except (subprocess.TimeoutExpired, OSError):
        return ""
    return done.stdout if done.returncode == 0 else ""


def stop(process):
    if process.poll() is None:
        process.terminate()
        try:
            process.wait(5)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


class Image:
    """A screenshot in binary PPM."""

    def __init__(self, data):
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", data)
        self.width, self.pixels = int(header[1]), data[header.end():]

    def pixel(self, x, y):
        at = 3 * (y * self.width + x)
        return self.pixels[at:at + 3].hex().upper()

    def region(self, x, y, w, h):
        return [(cx, cy, self.pixel(cx, cy)) for cy in range(y, y + h) for cx in range(x, x + w)]

    def box(self, colour, x, y, w, h):
        """The bounding box (x, y, w, h) of that colour's pixels, relative to the region."""
        xs, ys = zip(*[(cx, cy) for cx, cy, c in self.region(x, y, w, h) if c == colour] or
                     [(x - 1, y - 1)])
        return min(xs) - x, min(ys) - y, max(xs) - min(xs) + 1, max(ys) - min(ys) + 1

    def colours(self, x, y, w, h):
        return {c for _, _, c in self.region(x, y, w, h)}


class Session:
    """A desktop of its own: private config, cache and runtime folders. The backends add the
    display and the input; leaving the with-block ends what the session started."""

    name = "session"
    stacking = False  # whether windows can be kept above others
    needs_user = False  # whether it refuses to run as root
    clean = ("DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "QT_IM_MODULE",
             "XMODIFIERS", "GTK_IM_MODULE", "SESSION_MANAGER", "QT_SCALE_FACTOR",
             "QT_SCREEN_SCALE_FACTORS", "QT_FONT_DPI", "QT_QPA_PLATFORM", "SWAYSOCK")

    def __init__(self, options):
        self.options, self.shots, self.helpers = options, os.getcwd(), []
        self.dir = tempfile.mkdtemp(prefix=f"chromalynx-{self.name}.")
        self.env = {k: v for k, v in os.environ.items() if k not in self.clean}
        for folder in ("config", "cache", "runtime", "home"):
            os.mkdir(f"{self.dir}/{folder}", 0o700)
        self.env.update(XDG_CONFIG_HOME=f"{self.dir}/config", XDG_CACHE_HOME=f"{self.dir}/cache",
                        XDG_RUNTIME_DIR=f"{self.dir}/runtime", HOME=f"{self.dir}/home")
        self.settings_file = f"{self.dir}/config/Chromalynx/Chromalynx.ini"
        self.program_env = {}
        self.app = Program(self, options.program)

    def __enter__(self):
        try:
            self.start()
        except BaseException:
            self.__exit__(*sys.exc_info())
            raise
        return self

    def __exit__(self, kind, error, trace):
        failed = kind is not None and kind is not SystemExit
        if failed:
            try:
                self.screenshot(f"{self.options.test}-failure.png")
                log(f"windows at the failure: {self.windows()}")
            except Exception:  # noqa: BLE001 - the failure itself is what counts
                pass
        for process in ([self.app.process] if self.app.process else []) + self.helpers[::-1]:
            stop(process)
        for name in sorted(os.listdir(self.dir)) if failed else ():
            if name.endswith(".log") and os.path.getsize(f"{self.dir}/{name}"):
                with open(f"{self.dir}/{name}", errors="replace") as text:
                    log(f"output of {name}:\n  " + "  ".join(text.readlines()[-40:]))
        shutil.rmtree(self.dir, ignore_errors=True)

    def helper(self, name, *command, env=None, **popen):
        """A process that lives until the session ends."""
        with open(f"{self.dir}/{name}.log", "ab") as out:
            self.helpers.append(subprocess.Popen(command, stdout=out, stderr=subprocess.STDOUT,
                                                 stdin=subprocess.DEVNULL, env=env or self.env,
                                                 **popen))
        return self.helpers[-1]

    def start_bus(self, bare=False):
        """A session bus; a bare one knows of no services, as on a desktop without portals."""
        config = ["--session"]
        if bare:
            with open(f"{self.dir}/bus.conf", "w") as conf:
                conf.write("<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>"
                           '<policy context="default"><allow send_destination="*" '
                           'eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/>'
                           "</policy></busconfig>")
            config = [f"--config-file={self.dir}/bus.conf"]
        address = f"{self.dir}/runtime/bus"
        self.helper("dbus", "dbus-daemon", *config, "--nofork", f"--address=unix:path={address}")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = f"unix:path={address}"
        wait("the session bus", lambda: os.path.exists(address))

    def reset(self):
        shutil.rmtree(f"{self.dir}/config")
        os.mkdir(f"{self.dir}/config")

    def offer(self, text, *selection):
        """Another program offers the text on the clipboard (or the selection named)."""
        subprocess.run(self.copier(*selection), input=text.encode(), env=self.env, check=True)
        wait("the clipboard to hold the offered text", lambda: self.clipboard(*selection) == text)

    def xdg_open(self):
        """An xdg-open that writes down what it is given: the environment that puts it first,
        and a reader of the lines written."""
        os.makedirs(f"{self.dir}/tools", exist_ok=True)
        opened = f"{self.dir}/opened"
        with open(f"{self.dir}/tools/xdg-open", "w") as out:
            out.write(f'#!/bin/sh\nprintf "%s\\n" "$*" >>"{opened}"\n')
        os.chmod(f"{self.dir}/tools/xdg-open", 0o755)
        return {"PATH": f"{self.dir}/tools:{self.env['PATH']}"}, lambda: open(
            opened).read().splitlines() if os.path.exists(opened) else []

    def screenshot(self, name):
        """The screen as a picture in the build folder."""
        with open(f"{self.shots}/{name}", "wb") as out:
            out.write(self.capture("png"))
        log(f"screenshot {self.shots}/{name}")

    def shoot(self):
        return Image(self.capture("ppm"))


def parse_ini(text):
    values, section = {}, ""
    for line in text.splitlines():
        if line.startswith("["):
            section = line.strip("[]")
        elif "=" in line:
            key, _, value = line.partition("=")
            values[f"{section}/{key}"] = value
    return values


def stored(favourites=(WHITE,) * 9, formtop=0, colornamelist=0):
    """The twelve stored values as Program.settings gives them."""
    values = {f"favorite/{i}": str(v) for i, v in enumerate(favourites, 1)}
    values.update({"condition/formtop": str(formtop), "condition/colornamelist":
                   str(colornamelist), "condition/char": "0"})
    return values


class Program:
    """The program under test, its command its path unless another is given (wine {program})."""

    def __init__(self, session, path, command=None):
        self.session, self.path, self.command = session, path, command or ["{program}"]
        self.process = self.window = None
        self.runs = 0

    def start(self, path=None, env=None):
        s = self.session
        self.runs += 1
        self.window = None
        before = {w.id for w in s.windows()}  # another copy's window may be open already
        with open(f"{s.dir}/app-{self.runs}.log", "ab") as out:
            self.process = subprocess.Popen([w.replace("{program}", path or self.path)
                                             for w in self.command], stdout=out,
                                            stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL,
                                            env={**s.env, **s.program_env, **(env or {})})

        def mapped_or_gone():
            found = [w.id for w in s.windows() if w.title == "Chromalynx" and w.id not in before]
            self.window = found[0] if len(found) == 1 else None
            return self.window or self.process.poll() is not None
        wait('the window "Chromalynx" to map', mapped_or_gone, 60)
        if self.process.poll() is not None:
            raise Failure(f"the program ended with status {self.process.returncode} at start")
        wait("the window to get the keyboard focus", lambda: s.focused(self.window), 20)
        log(f"program running, window {self.window}")

    def wait_exit(self, status=0):
        try:
            found = self.process.wait(30 * TIME_SCALE)
        except subprocess.TimeoutExpired:
            # Where it hangs, for the hangs that only a loaded machine shows.
            log(output("gdb", "-batch", "-p", str(self.process.pid), "-ex", "thread apply all bt",
                       timeout=60))
            raise Failure("the program did not end") from None
        self.process = None
        log(f"program ended with status {found}")
        if status is not None and found != status:
            raise Failure(f"the program ended with status {found}, expected {status}")

    def quit(self, status=0):
        self.keys("ctrl+q")
        self.wait_exit(status)

    def keys(self, *names):
        self.session.keys(*names)

    def steps(self, text):
        """Input from a line of words: KEY, KEY*N (N presses), 'TEXT' typed, copy (Copy has
        the focus), paste:TEXT (another program offers TEXT on the clipboard)."""
        for word in shlex.split(text, posix=False):
            key, _, times = word.partition("*")
            if word.startswith("'"):
                if len(word) > 2:
                    self.session.type(word[1:-1])
            elif word == "copy":
                self.keys("space")
            elif word.startswith("paste:"):
                self.session.offer(word[6:])
            else:
                self.keys(*[key] * int(times or 1))

    def enter_code(self, text):
        self.steps(f"shift+Tab '{text}' Return Tab")

    def clipboard(self, text, why):
        expect(f"the clipboard after {why}", self.session.clipboard, text)

    def copied(self, code, why):
        self.keys("space")
        self.clipboard(code, why)

    def size(self, expected):
        expect("the window's outer size", lambda: self.session.outer(self.window)[2:], expected)

    def others(self, title=None):
        return [w.id for w in self.session.windows()
                if title in (None, w.title) and w.id != self.window]

    def dialog(self, title=None):
        """Waits for another window of the program, titled so, to take the keyboard."""
        found = wait(f'"{title or "a dialog"}" to open with the keyboard focus', lambda: next(
            (w for w in self.others(title) if self.session.focused(w)), None), 20)
        log(f'"{title or "a dialog"}" open: window {found}')
        return found

    def closed(self, title=None):
        wait(f'"{title or "the dialog"}" to close', lambda: not self.others(title))
        wait("the main window to get the keyboard back",
             lambda: self.session.focused(self.window))

    def no_dialog(self, title, seconds=2):
        deadline = time.monotonic() + seconds * TIME_SCALE
        while time.monotonic() < deadline:
            if self.others(title):
                raise Failure(f'"{title}" appeared')
            time.sleep(0.1)

    def settings(self):
        try:
            with open(self.session.settings_file, errors="replace") as text:
                return parse_ini(text.read())
        except OSError:
            return {}

    def expect_settings(self, values, exactly=False):
        """The stored values ({"section/key": value}) among those found, or all of them."""
        found = self.settings()
        if any(found.get(k) != str(v) for k, v in values.items()) or (
                exactly and len(found) != len(values)):
            raise Failure(f"the store holds {found}, expected {values}")
        log(f"stored as expected: {', '.join(values)}")

    def write_settings(self, text):
        os.makedirs(os.path.dirname(self.session.settings_file), exist_ok=True)
        with open(self.session.settings_file, "w") as out:
            out.write(text)
        return self.session.settings_file

    def copy(self, folder, readme=False):
        """The program copied into a folder of the session's, with or without its readme."""
        folder = f"{self.session.dir}/{folder}"
        os.makedirs(folder, exist_ok=True)
        if readme:
            shutil.copy(os.path.join(os.path.dirname(self.path), "readme.txt"), folder)
        return shutil.copy(self.path, folder)
