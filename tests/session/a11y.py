"""The program as a screen reader meets it: the X11 session with the accessibility bus
(at-spi2-core) on a session bus of its own, walked and worked by tests/atspi/check.py
through pyatspi. With CHROMALYNX_ATSPI_DUMP=1 the trees found are written to
tests/atspi/expected instead (to be read through before they are committed)."""

import os
import subprocess
import sys

from harness import TIME_SCALE, Failure, require
from scenarios import scenario
from x11 import X11Session

CHECKS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "atspi")


class AtspiSession(X11Session):
    name = "atspi"

    def start(self):
        require("dbus-daemon", "/usr/libexec/at-spi-bus-launcher")
        if subprocess.run([sys.executable, "-c", "import pyatspi"]).returncode != 0:
            require("python3-pyatspi")
        super().start()
        self.start_bus()
        # Qt joins the accessibility bus without waiting for a screen reader to ask for it.
        self.program_env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"


@scenario
def screen_reader(s, app):
    """A copy of the program without its readme, so that Help shows the note that it is
    missing, and an xdg-open that only writes down what it was given."""
    opened = f"{s.dir}/opened"
    app.start(app.bare_copy(), s.tool("xdg-open", f'printf "%s\\n" "$*" >>"{opened}"'))
    dump = ["--dump"] if os.environ.get("CHROMALYNX_ATSPI_DUMP") == "1" else []
    if subprocess.run([sys.executable, f"{CHECKS}/check.py", "--pid", str(app.process.pid),
                       "--opened", opened, "--expected", f"{CHECKS}/expected",
                       "--time-scale", str(TIME_SCALE), *dump], env=s.env).returncode != 0:
        raise Failure("the accessibility checks failed")
    app.quit(None)
