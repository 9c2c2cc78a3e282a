"""Xvfb and openbox: the program's frame size depends on a window manager reparenting it.
Keys and the pointer are real XTEST events (xdotool); xclip reads and offers the clipboard.
Windows are found by title, so any program command (wine chromalynx.exe) can be driven."""

import collections
import os
import re
import secrets
import subprocess
import time

from harness import Failure, Session, log, output, require, stop, wait

Window = collections.namedtuple("Window", "id title")


class X11Session(Session):
    name = "x11"
    stacking = True

    def start(self):
        require("Xvfb", "xauth", "openbox", "xdpyinfo", "xwininfo", "xprop", "xdotool", "xclip",
                "import", "convert", "display")
        self.env["XAUTHORITY"] = f"{self.dir}/Xauthority"
        open(self.env["XAUTHORITY"], "w").close()
        self.program_env = {"QT_QPA_PLATFORM": "xcb"}
        # The first free display from a per-process starting point, so that tests run in
        # parallel rarely try the same number; a server that loses the race dies at once.
        start = 100 + os.getpid() % 400
        for number in range(start, start + 50):
            if any(map(os.path.exists, (f"/tmp/.X11-unix/X{number}", f"/tmp/.X{number}-lock"))):
                continue
            subprocess.run(["xauth", "-q", "-f", self.env["XAUTHORITY"], "add", f":{number}",
                            "MIT-MAGIC-COOKIE-1", secrets.token_hex(16)], check=True)
            # Without -noreset the server resets when its last client leaves, and turns away
            # a client that connects meanwhile.
            self.server = self.helper("xvfb", "Xvfb", f":{number}", "-screen", "0", "1280x1024x24",
                                      "-nolisten", "tcp", "-noreset", "-auth",
                                      self.env["XAUTHORITY"])
            self.env["DISPLAY"], self.display = f":{number}", number
            answers = lambda: subprocess.run(["xdpyinfo"], env=self.env,  # noqa: E731
                                             capture_output=True).returncode == 0
            if wait(f"Xvfb on :{number}", lambda: answers() or self.server.poll() is not None,
                    30) and self.server.poll() is None:
                break
            log(f"display :{number} was taken, trying another")
        else:
            raise Failure("no free X display found")
        self.helper("openbox", "openbox")
        wait("openbox to manage the screen",
             lambda: "window id" in self.x("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"), 30)
        log(f"Xvfb and openbox running on :{number}")

    def __exit__(self, *failure):
        super().__exit__(*failure)
        if getattr(self, "server", None) and self.server.returncode == -9:
            # A killed server leaves its lock and socket behind.
            for path in (f"/tmp/.X{self.display}-lock", f"/tmp/.X11-unix/X{self.display}"):
                if os.path.exists(path):
                    os.remove(path)

    def end_server(self):
        stop(self.server)

    def x(self, *command):
        return output(*command, env=self.env)

    def keys(self, *names):
        subprocess.run(["xdotool", "key", "--delay", "40", *names], env=self.env, check=True)

    def type(self, text):
        subprocess.run(["xdotool", "type", "--delay", "40", "--", text], env=self.env, check=True)

    def clipboard(self, selection="clipboard"):
        return self.x("xclip", "-o", "-selection", selection)

    def offer(self, text, selection="clipboard"):
        subprocess.run(["xclip", "-selection", selection, "-t", "UTF8_STRING"],
                       input=text.encode(), env=self.env, check=True)
        wait("the clipboard to hold the offered text", lambda: self.clipboard(selection) == text)

    def windows(self):
        """The visible windows with a title."""
        found = [Window(w, self.x("xdotool", "getwindowname", w).rstrip("\n")) for w in
                 self.x("xdotool", "search", "--onlyvisible", "--name", ".").split()]
        return [w for w in found if w.title]

    def focused(self, window):
        if self.x("xdotool", "getactivewindow").strip() == window:
            return True
        # Openbox focuses a new window by itself; ask again in case it was not asked yet.
        self.activate(window)
        return False

    def activate(self, window):
        self.x("xdotool", "windowactivate", window)

    def geometry(self, window):
        """(x, y, width, height) of the window itself on the screen."""
        info = self.x("xwininfo", "-id", window)
        return tuple(int(re.search(rf"{k}: *(-?\d+)", info)[1]) for k in (
            "Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))

    def outer(self, window):
        """The geometry of the window manager's frame: the ancestor just below the root."""
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

    def title_font(self, size):
        """openbox reads its configuration again, from the session's own folder."""
        with open("/etc/xdg/openbox/rc.xml") as rc:
            text = re.sub(r'(<font place="(?:Active|Inactive)Window">.*?<size>)\d+',
                          rf"\g<1>{size}", rc.read(), flags=re.S)
        os.makedirs(f"{self.dir}/config/openbox", exist_ok=True)
        with open(f"{self.dir}/config/openbox/rc.xml", "w") as rc:
            rc.write(text)
        self.x("openbox", "--reconfigure")

    def show_picture(self, path):
        # display paints the root window, and then reports a failure all the same.
        subprocess.run(["display", "-window", "root", path], env=self.env)
        self.pointer(0, 0)
