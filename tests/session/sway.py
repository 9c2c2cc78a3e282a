"""Headless sway, which has a seat (the keyboard focus, a clipboard), with a session bus and
where asked for the screenshot portal: wtype, wl-copy and wl-paste, grim and swaymsg. sway
refuses root. And a headless weston, for the widget suites as Wayland clients."""

import glob
import json
import os
import subprocess

from harness import Failure, Session, output, require, wait
from x11 import Window

OUTPUT = "HEADLESS-1"
PORTAL = "/usr/libexec/xdg-desktop-portal"


class WestonSession(Session):
    name = "weston"

    def start(self):
        require("weston")
        # Qt 6.4's text-input support dereferences the seat that a seatless compositor lacks.
        self.env.update(WAYLAND_DISPLAY="wayland-chromalynx", QT_QPA_PLATFORM="wayland",
                        QT_IM_MODULE="none")
        weston = self.helper("weston", "weston", "--backend=headless-backend.so",
                             "--socket=wayland-chromalynx", "--width=1280", "--height=1024",
                             "--idle-time=0")
        wait("weston", lambda: os.path.exists(f"{self.dir}/runtime/wayland-chromalynx") or
             weston.poll() is not None)
        if weston.poll() is not None:
            raise Failure("weston ended at start")


class SwaySession(Session):
    name = "wayland"
    needs_user = True

    def start(self):
        require("sway", "swaymsg", "swaybg", "wtype", "wl-copy", "wl-paste", "grim",
                "dbus-daemon", "dbus-send", PORTAL, f"{PORTAL}-wlr", "pipewire", "convert")
        self.env.update(XDG_CURRENT_DESKTOP="sway", XDG_SESSION_TYPE="wayland")
        self.program_env = {"QT_QPA_PLATFORM": "wayland"}
        with open(f"{self.dir}/sway.conf", "w") as conf:
            conf.write(f"output {OUTPUT} resolution 1280x1024 position 0 0 bg #123456 "
                       "solid_color\nxwayland disable\ndefault_border none\n"
                       "default_floating_border none\nfocus_follows_mouse no\n")
        sway = self.helper("sway", "sway", "-c", f"{self.dir}/sway.conf", env={
            **self.env, "WLR_BACKENDS": "headless", "WLR_LIBINPUT_NO_DEVICES": "1",
            "WLR_RENDERER": "pixman"})

        def sockets():
            ipc, lock = (glob.glob(f"{self.dir}/runtime/{n}") for n in ("sway-ipc.*.sock",
                                                                          "wayland-*.lock"))
            return (ipc[0], lock[0]) if ipc and lock else sway.poll() is not None
        if (found := wait("sway to open its sockets", sockets, 30)) is True:
            raise Failure("sway ended at start")
        self.env.update(SWAYSOCK=found[0], WAYLAND_DISPLAY=os.path.basename(found[1])[:-5])
        wait("sway to answer", self.tree)
        # Without input devices the seat has a keyboard only while a wtype runs, and a client
        # binding it meanwhile loses the keys: one wtype stays.
        self.helper("wtype", "wtype", "-s", "3600000")
        self.start_bus(bare=self.options.test == "wayland_greyed")

    def portal(self):
        """xdg-desktop-portal with its wlroots backend for screenshots, over PipeWire."""
        self.helper("pipewire", "pipewire")
        wait("PipeWire", lambda: os.path.exists(f"{self.dir}/runtime/pipewire-0"))
        for name, program in (("impl.portal.desktop.wlr", f"{PORTAL}-wlr"),
                              ("portal.Desktop", PORTAL)):
            self.helper(name, program)
            wait(f"org.freedesktop.{name} on the bus", lambda: "boolean true" in output(
                "dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
                "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
                f"string:org.freedesktop.{name}", env=self.env), 20)

    def swaymsg(self, *words):
        return output("swaymsg", *words, env=self.env)

    def tree(self):
        text = self.swaymsg("-t", "get_tree")
        return json.loads(text) if text else None

    def nodes(self):
        def walk(node):
            yield node
            for child in node.get("nodes", []) + node.get("floating_nodes", []):
                yield from walk(child)
        return {str(n["id"]): n for n in walk(self.tree() or {}) if n.get("pid") and n["visible"]}

    def windows(self):
        return [Window(i, n["name"]) for i, n in self.nodes().items()]

    def focused(self, window):
        return self.nodes().get(window, {}).get("focused", False)

    def outer(self, window):
        rect = self.nodes().get(window, {}).get("rect", {})
        return tuple(rect.get(k) for k in ("x", "y", "width", "height"))

    def keys(self, *names):
        words = []
        for name in names:
            *modifiers, key = name.split("+")
            words += [w for m in modifiers for w in ("-M", m)] + ["-k", key]
            words += [w for m in modifiers for w in ("-m", m)]
        subprocess.run(["wtype", "-d", "30", *words], env=self.env, check=True)

    def type(self, text):
        subprocess.run(["wtype", "-d", "30", "--", text], env=self.env, check=True)

    def clipboard(self):
        return output("wl-paste", "--no-newline", env=self.env)

    def copier(self):
        return ["wl-copy", "--type", "text/plain"]

    def capture(self, kind, logical=True):
        """The output in logical pixels, or in its own."""
        return subprocess.run(["grim", "-t", kind, *(["-s", "1"] if logical else []), "-o",
                               OUTPUT, "-"], env=self.env, capture_output=True, check=True).stdout

    def show_picture(self, path):
        self.swaymsg("output", OUTPUT, "bg", path, "stretch")
