"""A real input method in front of the program: ibus with Mozc switched on in hiragana mode,
the usual state of a Japanese desktop, on the X11 session. A plain Qt field (the probe)
first shows that Mozc really composes here. mozc_server refuses root: run.py runs this
session as an unprivileged user."""

import os
import subprocess

from harness import Failure, log, output, require, stop, wait
from x11 import X11Session

MOZC = ("/usr/lib/ibus-mozc/ibus-engine-mozc", "/usr/lib/mozc/mozc_server")
MEMCONF = "/usr/libexec/ibus-memconf"


class ImeSession(X11Session):
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
        # ibus on an address of its own, which every client is told directly.
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
        """Typed ff8000 and Enter, Mozc in hiragana mode commits っｆ８０００. The field's
        input context may reach ibus only after the first keys, so a miss is typed again."""
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
                break
            except Failure:
                log(f"the probe shows {titles}")
                self.keys("ctrl+a", "BackSpace")
        else:
            raise Failure(f"with ff8000 and Enter typed, a plain Qt field shows {titles}: Mozc "
                          "is not composing in hiragana mode, so this session cannot test it")
        log("Mozc composes: the probe shows っｆ８０００")
        stop(probe)

    def __exit__(self, *failure):
        # ibus starts its engine, and the engine starts mozc_server as a daemon: both
        # outlive their parents. They are the processes whose environment names this session.
        super().__exit__(*failure)
        mark = f"XDG_CONFIG_HOME={self.dir}/config".encode()
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open(f"/proc/{pid}/environ", "rb") as environ:
                    if mark in environ.read().split(b"\0") and int(pid) != os.getpid():
                        subprocess.run(["kill", pid], check=False)
            except OSError:
                pass
