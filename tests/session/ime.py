"""A real input method in front of the program: ibus with Mozc switched on in hiragana mode,
the usual state of a Japanese desktop, on the X11 session. A plain Qt field (the probe)
first shows that Mozc really composes here. mozc_server refuses to run as root: run.py
runs this session as an unprivileged user (user.py)."""

import os
import subprocess

from harness import Failure, log, output, require, stop, wait
from x11 import X11Session

MOZC_ENGINE = "/usr/lib/ibus-mozc/ibus-engine-mozc"
MOZC_SERVER = "/usr/lib/mozc/mozc_server"
MEMCONF = "/usr/libexec/ibus-memconf"
MOZC_CONFIG = """engines {
  name : "mozc-jp"
  longname : "Mozc"
  layout : "default"
  layout_variant : ""
  layout_option : ""
  rank : 80
}
active_on_launch: True
"""


class ImeSession(X11Session):
    name = "ime"
    needs_user = True

    def start(self):
        require("ibus-daemon", "ibus", "dbus-daemon", MOZC_ENGINE, MOZC_SERVER, MEMCONF)
        super().start()
        os.makedirs(f"{self.env['XDG_CONFIG_HOME']}/mozc")
        with open(f"{self.env['XDG_CONFIG_HOME']}/mozc/ibus_config.textproto", "w") as conf:
            conf.write(MOZC_CONFIG)
        self.start_bus()
        # ibus on an address of its own, which every client is told directly.
        self.env["IBUS_ADDRESS"] = f"unix:path={self.env['XDG_RUNTIME_DIR']}/ibus"
        self.helper("ibus", "ibus-daemon", "--xim", "--panel=disable", f"--config={MEMCONF}",
                    f"--address={self.env['IBUS_ADDRESS']}")

        # Setting the engine reports a failure while no input context has the focus, and
        # sets it all the same.
        def mozc():
            output("ibus", "engine", "mozc-jp", env=self.env)
            return output("ibus", "engine", env=self.env).strip() == "mozc-jp"
        wait("ibus to run Mozc", mozc, 30)
        self.program_env["QT_IM_MODULE"] = "ibus"
        self.env["QT_IM_MODULE"] = "ibus"
        self.probe()

    def probe(self):
        """Typed ff8000 and Enter, Mozc in hiragana mode commits っｆ８０００. The field's
        input context may reach ibus only after the first keys, so a miss is typed again."""
        probe = self.helper("probe", self.options.probe)
        title = []

        def window():
            found = [w for w in self.windows() if w.title.startswith("probe:")]
            title[:] = [w.title for w in found]
            return found and self.focused(found[0].id)
        wait("the probe to take the keyboard", window, 30)
        for _ in range(3):
            self.type("ff8000")
            self.keys("Return")
            try:
                wait("Mozc to commit in the probe", lambda: window() and title[0] ==
                     "probe:っｆ８０００", 5)
                break
            except Failure:
                log(f"the probe shows {title}")
                self.keys("ctrl+a", "BackSpace")
        else:
            raise Failure(f"with ff8000 and Enter typed, a plain Qt field shows {title}: Mozc "
                          "is not composing in hiragana mode, so this session cannot test it")
        log("Mozc composes: the probe shows っｆ８０００")
        stop(probe)

    def __exit__(self, *failure):
        # ibus starts its engine, and the engine starts mozc_server as a daemon: both
        # outlive their parents. They are the processes whose environment names this session.
        super().__exit__(*failure)
        mark = f"XDG_CONFIG_HOME={self.env['XDG_CONFIG_HOME']}".encode()
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open(f"/proc/{pid}/environ", "rb") as environ:
                    if mark in environ.read().split(b"\0") and int(pid) != os.getpid():
                        subprocess.run(["kill", pid], check=False)
            except OSError:
                pass
