"""Faults around the settings file, in the X11 session: the program killed while it writes
at shut-down (and the store alone, killed while it saves in a loop), ended by a signal,
by xkill, by the end of the session or by losing its X server, and hostile stores. In
every case the program must not crash, and the settings file must afterwards hold, whole,
either the values it held before or the new ones."""

import glob
import os
import random
import shutil
import subprocess
import threading
import time

from harness import WHITE, Failure, colour_value, log, send, stored, wait
from scenarios import scenario

KEPT = stored((255, 65280, 16711680) + (WHITE,) * 6)
KEPT_INI = "[favorite]\n" + "".join(f"{k[9:]}={v}\n" for k, v in KEPT.items()
                                    if k.startswith("favorite")) + \
    "[condition]\nformtop=0\ncolornamelist=0\nchar=0\n"


def favourite(app, n, code):
    """Makes code the colour and stores it as favourite n."""
    app.enter_code(code)
    app.keys(f"shift+F{n}")


def random_colour():
    return f"{random.randrange(1 << 24):06X}"


def whole(app):
    """The twelve keys and, as the save loop writes them, nine equal favourites."""
    values = app.settings()
    favourites = {values.get(f"favorite/{i}") for i in range(1, 10)}
    return len(values) == 12 and len(favourites) == 1 and None not in favourites


@scenario
def kills(s, app):
    """Kills at random moments around the write at shut-down, then of the store alone while
    it saves in a loop; the next save removes what a kill left."""
    window_kills = int(os.environ.get("WINDOW_KILLS", 6))
    store_kills = int(os.environ.get("STORE_KILLS", 200))
    counts = {"old": 0, "new": 0, "torn": 0}
    for _ in range(window_kills):
        path = app.write_settings(KEPT_INI)
        colour = random_colour()
        app.start()
        favourite(app, 1, colour)
        new = {**KEPT, "favorite/1": str(colour_value(colour))}
        # The kill is timed from the key press, so that it lands before, inside or after
        # the few milliseconds of shut-down.
        threading.Timer(random.randrange(50) / 1000, app.process.kill).start()
        app.keys("ctrl+q")
        app.wait_exit(None)
        now = app.settings()
        kind = "old" if now == KEPT else "new" if now == new else "torn"
        counts[kind] += 1
        if kind == "torn":
            log(f"a torn file: {now}")
    torn_by_store = orphans = 0
    for _ in range(store_kills):
        loop = subprocess.Popen([s.options.saveloop, path], stdout=subprocess.PIPE)
        # Once the first save is done, the kill lands somewhere in the ones that follow.
        loop.stdout.readline()
        time.sleep(random.randrange(20) / 1000)
        loop.kill()
        loop.wait()
        loop.stdout.close()
        orphans += bool(glob.glob(f"{path}.??????"))
        if not whole(app):
            torn_by_store += 1
            log(f"a torn file: {app.settings()}")
    subprocess.run([s.options.saveloop, path, "once"], check=True)
    leftovers = [n for n in os.listdir(os.path.dirname(path)) if n != "Chromalynx.ini"]
    summary = (f"fault kills: {window_kills + store_kills} kills ({window_kills} of the window at "
               f"its close: {counts['old']} left the old file, {counts['new']} the new one; "
               f"{store_kills} of the store while it saves), {counts['torn'] + torn_by_store} "
               f"torn files; {orphans} kills left a temporary file, {len(leftovers)} "
               "leftovers after a save")
    log(summary)
    with open(f"{s.shots}/kills-summary.txt", "w") as out:
        out.write(summary + "\n")
    if counts["torn"] + torn_by_store or leftovers:
        raise Failure(f"torn files or leftovers {leftovers}")


def end_by_signals(s, app, names):
    for name in names:
        send(app.process, name)
    return app.wait_exit(0)


def end_by_xkill(s, app):
    s.x("xkill", "-id", app.window)
    return app.wait_exit(None)


def end_by_x_server(s, app):
    s.end_server()
    return app.wait_exit(None)


def end_by_session_manager(s, app, trigger, said):
    """The session manager asks the program to save before the session ends, and only then
    to die: the value must be stored before."""
    open(trigger, "w").close()
    wait("the program to report its save to the session manager",
         lambda: "saved 1 ok" in open(said).read(), 20)
    if not app.running():
        raise Failure("the program ended before it was told to")
    check_stored(app, "the end of the session, before the program was told to die")
    os.remove(trigger)
    return app.wait_exit(None)


def check_stored(app, how):
    values = app.settings()
    if values.get("favorite/1") != app.expected or len(values) != 12:
        raise Failure(f"after {how} the store holds {values}, expected favourite 1 = "
                      f"{app.expected}")
    log(f"{how}: the new favourite stored")


@scenario
def endings(s, app):
    """Every way a running program is ended from outside stores the new value whole; the
    X server going away comes last, since it ends the session."""
    ways = [(f"SIG{' and SIG'.join(names)}", end_by_signals, (names,), {})
            for names in (["TERM"], ["HUP"], ["INT"], ["TERM", "TERM"])]
    ways.append(("xkill", end_by_xkill, (), {}))
    if s.options.minism:
        trigger, said = f"{s.dir}/end-session", f"{s.dir}/minism.log"
        manager = s.helper("minism", s.options.minism, trigger)
        wait("the session manager to listen", lambda: os.path.getsize(said), 10)
        with open(said) as text:
            address = text.readline().strip()
        ways.append(("the session manager", end_by_session_manager, (trigger, said),
                     {"SESSION_MANAGER": address}))
    elif os.environ.get("CI") == "true":
        raise Failure("no session manager to test with (libsm-dev is missing)")
    ways.append(("the X server's end", end_by_x_server, (), {}))
    for how, end, arguments, env in ways:
        app.start(env=env)
        colour = random_colour()
        favourite(app, 1, colour)
        app.expected = str(colour_value(colour))
        end(s, app, *arguments)
        check_stored(app, how)
    if s.options.minism:
        manager.wait(10)


def note(app, before=None):
    """Ctrl+Q with the values not kept: a note says so, answered with Enter."""
    app.keys("ctrl+q")
    app.dialog("Chromalynx")
    app.session.screenshot(f"faults-note-{app.runs}.png")
    app.keys("Return")
    app.wait_exit(0)
    if before is not None and app.settings() != before:
        raise Failure(f"the store holds {app.settings()}, expected {before}")


def mount(s, size, path):
    """A small file system of the session's own for the configuration folder."""
    os.makedirs(path, exist_ok=True)
    subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={size},mode=0755", "chromalynx-faults",
                    path], check=True)
    s.mounts.append(path)


def readonly(s, app, path):
    mount(s, "64k", os.path.dirname(path))
    app.write_settings(KEPT_INI)
    subprocess.run(["mount", "-o", "remount,ro", os.path.dirname(path)], check=True)
    app.start()
    app.keys("ctrl+q")
    app.no_dialog("Chromalynx", 1)
    app.wait_exit(0)
    app.start()
    favourite(app, 4, "123456")
    note(app, KEPT)


def full(s, app, path):
    mount(s, "16k", os.path.dirname(path))
    app.write_settings(KEPT_INI)
    filler = f"{os.path.dirname(path)}/filler"
    subprocess.run(["dd", "if=/dev/zero", f"of={filler}", "bs=1k", "count=64"],
                   capture_output=True)
    app.start()
    favourite(app, 4, "123456")
    note(app, KEPT)
    os.remove(filler)
    app.start()
    favourite(app, 4, "123456")
    app.quit()
    app.expect_settings({**KEPT, "favorite/4": 5649426})


def folder(s, app, path):
    os.makedirs(path)
    app.start()
    favourite(app, 2, "123456")
    note(app)
    if not os.path.isdir(path):
        raise Failure("the folder in the settings file's place is gone")


def symlink(s, app, path):
    elsewhere = f"{s.dir}/elsewhere.ini"
    shutil.move(app.write_settings(KEPT_INI), elsewhere)
    os.symlink(elsewhere, path)
    app.start()
    favourite(app, 4, "123456")
    app.quit()
    app.expect_settings({**KEPT, "favorite/4": 5649426})


def device(s, app, path):
    """A link to a character device (a node of the session's own with the null device's
    numbers): left a device, nothing written, the loss told."""
    node = f"{s.dir}/device"
    os.mknod(node, 0o666 | 0o020000, os.makedev(1, 3))
    os.makedirs(os.path.dirname(path))
    os.symlink(node, path)
    app.start()
    favourite(app, 4, "123456")
    note(app)
    if not (os.path.islink(path) and os.path.exists(node) and
            os.stat(node).st_mode & 0o170000 == 0o020000):
        raise Failure("the link or the device node was changed")


def leftovers(s, app, path):
    """Temporary and lock files of killed runs are gone after a start, nothing else."""
    app.write_settings(KEPT_INI)
    gone, kept = ("a1B2c3", "ZZ99zz", "lock"), ("damaged", "bak")
    for name in gone + kept:
        open(f"{path}.{name}", "w").close()
    open(f"{os.path.dirname(path)}/notes.txt", "w").close()
    app.start()
    wrong = [n for n in gone if os.path.exists(f"{path}.{n}")] + \
        [n for n in kept if not os.path.exists(f"{path}.{n}")]
    app.quit()
    if wrong or not os.path.exists(f"{os.path.dirname(path)}/notes.txt"):
        raise Failure(f"after a start these are wrong: {wrong}")


def peak_kilobytes(app):
    with open(f"/proc/{app.process.pid}/status") as status:
        return int(next(line for line in status if line.startswith("VmHWM:")).split()[1])


def huge(s, app, path):
    """50 MB of foreign keys: the program starts with about the memory of an empty file,
    keeps its own values, and rewrites a small file, the old one kept aside."""
    app.write_settings(KEPT_INI)
    app.start()
    small = peak_kilobytes(app)
    app.quit()
    line = b"foreign=a value of some other program, kept only in a small file\n"
    with open(path, "wb") as out:
        out.write(b"[favorite]\n1=255\n[zeta]\n" + line * (50_000_000 // len(line)) +
                  b"[condition]\ncolornamelist=0\nformtop=0\nchar=1\n")
    app.start()
    grown = peak_kilobytes(app) - small
    app.quit()
    log(f"a 50 MB file took {grown} KiB more at start-up")
    app.expect_settings(stored((255,) + (WHITE,) * 8, char=1))
    if grown > 10 * 1024 or os.path.getsize(path) > 1000 or \
            os.path.getsize(f"{path}.damaged") < 50_000_000:
        raise Failure("the huge file cost memory, stayed, or was not kept aside")


def damaged(s, app, path):
    """A stray double quote and a trailing backslash cost only their own keys; the damaged
    file is kept aside."""
    text = '[favorite]\n1=255\n2="abc\n3=65280\n4=16711680\n5=abc\\\n6=11829830\n' \
        "[condition]\nformtop=0\ncolornamelist=1\nchar=0\n"
    app.write_settings(text)
    app.start()
    app.quit()
    app.expect_settings(stored((255, WHITE, 65280, 16711680, WHITE, 11829830) + (WHITE,) * 3,
                               colornamelist=1))
    with open(f"{path}.damaged") as kept:
        if kept.read() != text:
            raise Failure("the damaged file was not kept as it was")


def two(s, app, path):
    """Two copies closing in turn: the one closed last decides, all its values."""
    app.start()
    first = app.process, app.window
    app.start()
    second = app.process, app.window
    favourite(app, 2, "00FF00")
    for (app.process, app.window), values in ((first, stored((255,) + (WHITE,) * 8)),
                                              (second, stored((WHITE, 65280) + (WHITE,) * 7))):
        s.activate(app.window)
        wait("the window to get the keyboard", lambda: s.focused(app.window), 20)
        if values["favorite/1"] == "255":
            favourite(app, 1, "FF0000")
        app.quit()
        app.expect_settings(values)


STORES = {f.__name__: f for f in (readonly, full, folder, symlink, device, leftovers, huge,
                                  damaged, two)}
AS_ROOT = {"readonly", "full", "device"}


@scenario
def stores(s, app):
    """Hostile stores, each in a fresh settings folder."""
    path = f"{s.env['XDG_CONFIG_HOME']}/Chromalynx/Chromalynx.ini"
    s.mounts = []
    for name, case in STORES.items():
        if name in AS_ROOT and os.geteuid() != 0:
            log(f"{name}: skipped, it needs root to mount or to make a device node")
            continue
        log(f"--- {name}")
        try:
            case(s, app, path)
        finally:
            for mounted in reversed(s.mounts):
                subprocess.run(["umount", "-l", mounted], check=False)
            s.mounts.clear()
            s.reset()
        log(f"{name}: passed")
