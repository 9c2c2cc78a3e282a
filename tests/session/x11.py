"""Xvfb and openbox: the program's frame size depends on a window manager reparenting it.
Keys and the pointer are real XTEST events (xdotool); the clipboard is read with xclip."""

import collections
import os
import re
import secrets
import subprocess
import time

from harness import Failure, Session, log, output, require, stop, wait

Window = collections.namedtuple("Window", "id title")
SCREEN = (1280, 1024)


class X11Session(Session):
    name = "x11"
    stacking = True

    def start(self):
        require("Xvfb", "xauth", "openbox", "xdpyinfo", "xwininfo", "xprop", "xdotool", "xclip",
                "import", "convert")
        self.env.update(XAUTHORITY=f"{self.dir}/Xauthority")
        self.program_env = {"QT_QPA_PLATFORM": "xcb"}
        self.start_server()
        self.wm = self.helper("openbox", "openbox")
        wait("openbox to manage the screen",
             lambda: "window id" in output("xprop", "-root", "_NET_SUPPORTING_WM_CHECK",
                                           env=self.env), 30)

    def start_server(self):
        """The first free display from a per-process starting point, so that tests run in
        parallel rarely try the same number; a server that loses the race dies at once."""
        cookie = secrets.token_hex(16)
        open(self.env["XAUTHORITY"], "w").close()
        number = 100 + os.getpid() % 400
        for number in range(number + 1, number + 51):
            if os.path.exists(f"/tmp/.X11-unix/X{number}") or os.path.exists(
                    f"/tmp/.X{number}-lock"):
                continue
            subprocess.run(["xauth", "-q", "-f", self.env["XAUTHORITY"], "add", f":{number}",
                            "MIT-MAGIC-COOKIE-1", cookie], check=True)
            # Without -noreset the server resets when its last client leaves, and turns away
            # a client that connects meanwhile.
            self.server = self.helper("xvfb", "Xvfb", f":{number}", "-screen", "0",
                                      f"{SCREEN[0]}x{SCREEN[1]}x24", "-nolisten", "tcp",
                                      "-noreset", "-auth", self.env["XAUTHORITY"])
            self.env["DISPLAY"] = f":{number}"

            def answers():
                return subprocess.run(["xdpyinfo"], env=self.env, capture_output=True
                                      ).returncode == 0
            wait(f"Xvfb on :{number}", lambda: answers() or self.server.poll() is not None, 30)
            if answers():
                self.display = number
                log(f"Xvfb running on :{number}")
                return
            log(f"display :{number} was taken, trying another")
        raise Failure("no free X display found")

    def end_server(self):
        """The X server going away, as at the end of a session."""
        stop(self.server)

    def __exit__(self, *failure):
        super().__exit__(*failure)
        if getattr(self, "server", None) is not None and self.server.returncode == -9:
            # A killed server leaves its lock and socket behind.
            for path in (f"/tmp/.X{self.display}-lock", f"/tmp/.X11-unix/X{self.display}"):
                if os.path.exists(path):
                    os.remove(path)

    def x(self, *command):
        return output(*command, env=self.env)

    def keys(self, *names):
        subprocess.run(["xdotool", "key", "--delay", "40", *names], env=self.env, check=True)

    def type(self, text):
        subprocess.run(["xdotool", "type", "--delay", "40", "--", text], env=self.env, check=True)

    def clipboard(self, selection="clipboard"):
        return self.x("xclip", "-o", "-selection", selection)

    def offer(self, text, selection="clipboard"):
        subprocess.run(["xclip", "-selection", selection, "-t", "UTF8_STRING"], input=text.encode(),
                       env=self.env, check=True)
        wait("the clipboard to hold the offered text", lambda: self.clipboard(selection) == text)

    def windows(self):
        """The visible windows with a title, as (id, title)."""
        found = []
        for line in self.x("xdotool", "search", "--onlyvisible", "--name", ".").split():
            title = self.x("xdotool", "getwindowname", line).rstrip("\n")
            if title:
                found.append(Window(line, title))
        return found

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
        info = dict(line.strip().split(": ", 1) for line in
                    self.x("xwininfo", "-id", str(window)).splitlines() if ": " in line)
        return tuple(int(info[k]) for k in ("Absolute upper-left X", "Absolute upper-left Y",
                                            "Width", "Height"))

    def outer(self, window):
        """(x, y, width, height) of the frame the window manager put around the window: its
        ancestor just below the root."""
        root = self.x("xwininfo", "-root").split("Window id: ")[1].split()[0]
        window = str(window)
        while True:
            tree = self.x("xwininfo", "-tree", "-id", window)
            parent = tree.split("Parent window id: ")[1].split()[0] if tree else None
            if parent is None:
                raise Failure(f"window {window} is gone")
            if parent == root:
                return self.geometry(window)
            window = parent

    def state(self, window):
        return self.x("xprop", "-id", str(window), "_NET_WM_STATE")

    def above(self, window):
        return "_NET_WM_STATE_ABOVE" in self.state(window)

    def capture(self, kind):
        return subprocess.run(["import", "-window", "root", "-depth", "8", f"{kind}:-"], env=self.env,
                              capture_output=True, check=True).stdout

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
        time.sleep(0.05)
        self.x("xdotool", "mouseup", "1")

    def title_font(self, size):
        """openbox reads its configuration again, from the session's own folder."""
        with open("/etc/xdg/openbox/rc.xml") as rc:
            text = re.sub(r'(<font place="(?:Active|Inactive)Window">.*?<size>)\d+', rf"\g<1>{size}",
                          rc.read(), flags=re.S)
        os.makedirs(f"{self.env['XDG_CONFIG_HOME']}/openbox", exist_ok=True)
        with open(f"{self.env['XDG_CONFIG_HOME']}/openbox/rc.xml", "w") as rc:
            rc.write(text)
        self.x("openbox", "--reconfigure")

    def show_picture(self, path):
        # display paints the root window and then reports a failure all the same.
        subprocess.run(["display", "-window", "root", path], env=self.env)
        self.pointer(0, 0)
