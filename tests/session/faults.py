"""Faults around the settings file: kills while it is written, every way a desktop ends the
program, hostile stores. The file must afterwards hold, whole, the old values or the new."""

import os
import random
import signal
import stat
import subprocess
import threading

from harness import WHITE, Failure, log, parse_ini, stop, stored, wait
from scenarios import scenario

KEPT_INI = ("[favorite]\n1=255\n2=65280\n3=16711680\n" +
            "".join(f"{i}={WHITE}\n" for i in range(4, 10)) +
            "[condition]\nformtop=0\ncolornamelist=0\nchar=0\n")
KEPT = parse_ini(KEPT_INI)
CHANGED = {**KEPT, "favorite/4": "5649426"}  # favourite 4 made #123456


def favourite(app, n, code=None):
    """Favourite n made the code, a random one where none is given: its stored number."""
    code = code or f"{random.randrange(1 << 24):06X}"
    app.steps(f"shift+Tab '{code}' Return Tab shift+F{n}")
    return int(code[4:6] + code[2:4] + code[0:2], 16)  # blue first


@scenario
def kills(s, app):
    """The store is killed while it saves nine equal favourites in a loop; the next save
    removes what a kill left."""
    count, torn = int(os.environ.get("STORE_KILLS", 200)), 0
    path = app.write_settings(KEPT_INI)
    for _ in range(count):
        loop = subprocess.Popen([s.options.saveloop, path], stdout=subprocess.PIPE)
        loop.stdout.readline()  # once the first save is done
        threading.Timer(random.randrange(20) / 1000, loop.kill).start()
        loop.wait()
        loop.stdout.close()
        values = app.settings()
        torn += len(values) != 12 or len({values.get(f"favorite/{i}") for i in range(1, 10)}) != 1
    subprocess.run([s.options.saveloop, path, "once"], check=True)
    leftovers = os.listdir(os.path.dirname(path))
    log(f"fault kills: {count} kills of the store while it saves, {torn} torn files, "
        f"{len(leftovers) - 1} leftovers after the next save")
    if torn or leftovers != ["Chromalynx.ini"]:
        raise Failure(f"torn files, or leftovers: {leftovers}")


def session_manager(s, expected):
    """Once the trigger file exists it asks the program to save before the session ends,
    and once it is gone tells it to die."""
    trigger, said = f"{s.dir}/end-session", f"{s.dir}/minism.log"
    s.helper("minism", s.options.minism, trigger)
    wait("the session manager to listen", lambda: os.path.getsize(said))
    with open(said) as text:
        address = text.readline().strip()

    def end(app):
        open(trigger, "w").close()
        wait("the save for the session manager", lambda: "saved 1 ok" in open(said).read(), 20)
        if app.process.poll() is not None:
            raise Failure("the program ended before it was told to")
        app.expect_settings(expected[0], exactly=True)
        os.remove(trigger)
    return {"SESSION_MANAGER": address}, end


@scenario
def endings(s, app):
    """The X server going away comes last, since it ends the session."""
    def terms(count):
        return lambda app: [app.process.send_signal(signal.SIGTERM) for _ in range(count)]
    # A second SIGTERM arrives while the first one's write is under way.
    ways = [({}, terms(1), 0), ({}, terms(2), 0),
            ({}, lambda app: s.x("xkill", "-id", app.window), None)]
    expected = [None]
    if s.options.minism:
        ways.append((*session_manager(s, expected), None))
    elif os.environ.get("CI") == "true":
        raise Failure("no session manager to test with (libsm-dev is missing)")
    ways.append(({}, lambda app: stop(s.server), None))
    for env, end, status in ways:
        app.start(env=env)
        expected[0] = stored((favourite(app, 1),) + (WHITE,) * 8)
        end(app)
        app.wait_exit(status)
        app.expect_settings(expected[0], exactly=True)


def full(s, app, path):
    """The store's folder, holding the kept values, on a small file system of its own, full."""
    s.mounted = os.path.dirname(path)
    os.makedirs(s.mounted)
    subprocess.run(["mount", "-t", "tmpfs", "-o", "size=16k,mode=0755", "chromalynx-faults",
                    s.mounted], check=True)
    app.write_settings(KEPT_INI)
    subprocess.run(["dd", "if=/dev/zero", f"of={s.mounted}/filler", "bs=1k", "count=64"],
                   capture_output=True)


def room_again(s, app, path):
    os.remove(f"{os.path.dirname(path)}/filler")
    app.start()
    favourite(app, 4, "123456")
    app.quit()
    return app.expect_settings(CHANGED) or True


def device(s, app, path):
    """A device node of the session's own, with the null device's numbers."""
    os.mknod(f"{s.dir}/device", 0o666 | stat.S_IFCHR, os.makedev(1, 3))
    os.makedirs(os.path.dirname(path))
    os.symlink(f"{s.dir}/device", path)


# A hostile store: how it is made, whether closing after favourite 4 was changed must tell
# of a loss, what the store then holds (None: nothing looked at), and what else must hold.
STORES = [
    ("a full disk", full, True, KEPT, room_again),
    ("a link to a device", device, True, None, lambda s, app, path: os.path.islink(path) and
     stat.S_ISCHR(os.stat(path).st_mode)),
]


@scenario
def stores(s, app):
    """Root rights hide a full disk, and are needed to make it and the device."""
    s.mounted = None
    for name, make, lost, after, then in STORES:
        if os.geteuid() != 0 and make in (full, device):
            log(f"{name}: skipped, not root")
            continue
        log(f"--- {name}")
        try:
            make(s, app, s.settings_file)
            app.start()
            favourite(app, 4, "123456")
            app.keys("ctrl+q")
            if lost:  # the note that the change could not be kept
                app.dialog("Chromalynx")
                s.screenshot(f"faults-note-{app.runs}.png")
                app.keys("Return")
            app.wait_exit(0)
            if after is not None:
                app.expect_settings(after, exactly=True)
            if then and not then(s, app, s.settings_file):
                raise Failure(f"{name}: the files beside the store are not as they should be")
        finally:
            if s.mounted:
                subprocess.run(["umount", "-l", s.mounted], check=False)
            s.mounted = None
            s.reset()
