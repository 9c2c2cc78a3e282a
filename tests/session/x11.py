"""Xvfb and openbox, whose frames make the program's outer size; keys and the pointer are
XTEST events (xdotool), the clipboard is xclip's. Also with a real input method in front
(ibus with Mozc in hiragana mode) and on the accessibility bus."""

import collections
import os
import re
import subprocess
import sys
import time

from harness import Failure, Session, output, require, stop, wait

Window = collections.namedtuple("Window", "id title")


class X11Session(Session):
    name = "x11"
    stacking = True

    def start(self):
        require("Xvfb", "openbox", "xwininfo", "xprop", "xdotool", "xclip", "import", "convert",
                "display")
        self.env["XAUTHORITY"] = f"{self.dir}/Xauthority"  # the caller's cookies stay unsent
        open(self.env["XAUTHORITY"], "w").close()
        self.program_env = {"QT_QPA_PLATFORM": "xcb"}
        # Xvfb tells the first free display once it accepts clients. Without -noreset it
        # resets when its last client leaves, turning away one that connects meanwhile.
        told, tell = os.pipe()
        self.server = self.helper("xvfb", "Xvfb", "-displayfd", str(tell), "-screen", "0",
                                  "1280x1024x24", "-nolisten", "tcp", "-noreset",
                                  pass_fds=(tell,))
        os.close(tell)
        with os.fdopen(told) as number:
            self.display = number.readline().strip()
        if not self.display:
            raise Failure("Xvfb ended at start")
        self.env["DISPLAY"] = f":{self.display}"
        self.helper("openbox", "openbox")
        wait("openbox", lambda: "window id" in self.x("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"),
             30)

    def x(self, *command):
        return output(*command, env=self.env)

    def keys(self, *names):
        subprocess.run(["xdotool", "key", "--delay", "40", *names], env=self.env, check=True)

    def type(self, text):
        subprocess.run(["xdotool", "type", "--delay", "40", "--", text], env=self.env, check=True)

    def clipboard(self, selection="clipboard"):
        return self.x("xclip", "-o", "-selection", selection)

    def copier(self, selection="clipboard"):
        return ["xclip", "-selection", selection, "-t", "UTF8_STRING"]

    def windows(self):
        found = [Window(w, self.x("xdotool", "getwindowname", w).rstrip("\n")) for w in
                 self.x("xdotool", "search", "--onlyvisible", "--name", ".").split()]
        return [w for w in found if w.title]

    def focused(self, window):
        if self.x("xdotool", "getactivewindow").strip() == window:
            return True
        # Openbox focuses a new window by itself; ask again in case it was not asked yet.
        self.x("xdotool", "windowactivate", window)
        return False

    def geometry(self, window):
        info = self.x("xwininfo", "-id", window)
        return tuple(int(re.search(rf"{k}: *(-?\d+)", info)[1]) for k in (
            "Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))

    def outer(self, window):
        """The geometry of the window manager's frame, the ancestor just below the root."""
        root = self.x("xwininfo", "-root").split("Window id: ")[1].split()[0]
        while (parent := self.x("xwininfo", "-tree", "-id", window).partition(
                "Parent window id: ")[2].split()[:1]) != [root]:
            if not parent:
                raise Failure(f"window {window} is gone")
            window = parent[0]
        return self.geometry(window)

    def above(self, window):
        return "_NET_WM_STATE_ABOVE" in self.x("xprop", "-id", window, "_NET_WM_STATE")

    def capture(self, kind):
        return subprocess.run(["import", "-window", "root", "-depth", "8", f"{kind}:-"],
                              env=self.env, capture_output=True, check=True).stdout

    def pointer(self, x, y):
        self.x("xdotool", "mousemove", str(x), str(y))
        wait(f"the pointer to reach {x},{y}",
             lambda: self.x("xdotool", "getmouselocation").startswith(f"x:{x} y:{y} "), 5)

    def click(self, x, y, count=1, button=1):
        self.pointer(x, y)
        self.x("xdotool", "click", "--repeat", str(count), "--delay", "100", str(button))

    def drag(self, x1, y1, x2, y2, steps=5):
        """A slider follows motion events only: the pointer moves there in a few steps."""
        self.pointer(x1, y1)
        self.x("xdotool", "mousedown", "1")
        for step in range(1, steps + 1):
            time.sleep(0.05)
            self.pointer(x1 + (x2 - x1) * step // steps, y1 + (y2 - y1) * step // steps)
        self.x("xdotool", "mouseup", "1")

    def show_picture(self, path):
        # display paints the root window, and then reports a failure all the same.
        subprocess.run(["display", "-window", "root", path], env=self.env)
        self.pointer(0, 0)


class AtspiSession(X11Session):
    """With the accessibility bus (at-spi2-core) on a session bus of its own."""

    name = "atspi"

    def start(self):
        require("dbus-daemon", "/usr/libexec/at-spi-bus-launcher")
        if subprocess.run([sys.executable, "-c", "import pyatspi"]).returncode:
            require("python3-pyatspi")
        super().start()
        self.start_bus()
        # Qt joins the accessibility bus without waiting for a screen reader to ask for it.
        self.program_env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"


MOZC = ("/usr/lib/ibus-mozc/ibus-engine-mozc", "/usr/lib/mozc/mozc_server")
MEMCONF = "/usr/libexec/ibus-memconf"


class ImeSession(X11Session):
    """ibus with Mozc switched on in hiragana mode, as on a Japanese desktop. mozc_server
    refuses root."""

    name = "ime"
    needs_user = True

    def start(self):
        require("ibus-daemon", "ibus", "dbus-daemon", *MOZC, MEMCONF)
        super().start()
        os.makedirs(f"{self.dir}/config/mozc")
        with open(f"{self.dir}/config/mozc/ibus_config.textproto", "w") as conf:
            conf.write('engines { name: "mozc-jp" longname: "Mozc" layout: "default" '
                       'layout_variant: "" layout_option: "" rank: 80 }\n'
                       "active_on_launch: True\n")
        self.start_bus()
        self.env["IBUS_ADDRESS"] = f"unix:path={self.dir}/runtime/ibus"
        self.helper("ibus", "ibus-daemon", "--xim", "--panel=disable", f"--config={MEMCONF}",
                    f"--address={self.env['IBUS_ADDRESS']}")
        # Setting the engine reports a failure while no input context has the focus, and
        # sets it all the same.
        wait("ibus to run Mozc", lambda: output("ibus", "engine", "mozc-jp", env=self.env) or
             output("ibus", "engine", env=self.env).strip() == "mozc-jp", 30)
        self.env["QT_IM_MODULE"] = self.program_env["QT_IM_MODULE"] = "ibus"
        self.probe()

    def probe(self):
        """A plain Qt field shows that Mozc composes: typed ff8000 and Enter, it commits
        っｆ８０００. Its input context may reach ibus only after the first keys."""
        probe = self.helper("probe", self.options.probe)
        titles = []

        def shows(text=None):
            titles[:] = [w for w in self.windows() if w.title.startswith("probe:")]
            return titles and self.focused(titles[0].id) and text in (None, titles[0].title)
        wait("the probe to take the keyboard", shows, 30)
        for _ in range(3):
            self.type("ff8000")
            self.keys("Return")
            try:
                wait("Mozc to commit in the probe", lambda: shows("probe:っｆ８０００"), 5)
            except Failure:
                self.keys("ctrl+a", "BackSpace")
                continue
            return stop(probe)
        raise Failure(f"with ff8000 and Enter typed, a plain Qt field shows {titles}: Mozc is "
                      "not composing in hiragana mode, so this session cannot test it")

    def __exit__(self, *failure):
        # The ibus engine and mozc_server outlive their parents; their environment names
        # this session.
        super().__exit__(*failure)
        mark = f"XDG_CONFIG_HOME={self.dir}/config".encode()
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open(f"/proc/{pid}/environ", "rb") as environ:
                    if mark in environ.read().split(b"\0") and int(pid) != os.getpid():
                        subprocess.run(["kill", pid], check=False)
            except OSError:
                pass
