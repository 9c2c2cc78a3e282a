"""The Windows program folder under Wine in the X session, in a fresh prefix without
WINEPATH, as on a machine with nothing else installed; the registry is the store."""

import re
import shutil
import subprocess
import tempfile

from harness import TIME_SCALE, WHITE, Failure, Program, expect, output, require, stored
from scenarios import restart, scenario
from x11 import X11Session

KEY = r"HKCU\Software\VB and VBA Program Settings\Chromalynx"


class WineSession(X11Session):
    name = "wine"

    def __init__(self, options):
        super().__init__(options)
        self.app = WineProgram(self, options)
        self.prefix = tempfile.mkdtemp(prefix="chromalynx-wine.")  # outlives the session's
        self.env.update(WINEPREFIX=self.prefix, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        self.env.pop("WINEPATH", None)

    def start(self):
        require("wine", "wineserver")
        super().start()
        self.program_env = {"WINEDEBUG": "err+module"}  # names every DLL that fails to load
        # Wine's desktop process keeps the display it started with: the prefix is made on X.
        self.wine("wineboot", "--init")
        # A Japanese Windows has MS UI Gothic; here VL Gothic takes its place.
        self.wine("reg", "add", r"HKCU\Software\Wine\Fonts\Replacements", "/v", "MS UI Gothic",
                  "/t", "REG_SZ", "/d", "VL Gothic", "/f")

    def __exit__(self, *failure):
        try:
            super().__exit__(*failure)
        finally:
            subprocess.run(["wineserver", "-k"], env=self.env, capture_output=True)
            shutil.rmtree(self.prefix, ignore_errors=True)

    def wine(self, *command):
        with open(f"{self.dir}/wine.log", "ab") as out:
            subprocess.run(["wine", *command], stdout=out, stderr=subprocess.STDOUT,
                           env=self.env, check=True, timeout=120 * TIME_SCALE)


class WineProgram(Program):
    def __init__(self, session, options):
        super().__init__(session, options.program, options.command)
        self.windowrect = options.windowrect

    def settings(self):
        """The program's key, its subkeys as sections."""
        values, section = {}, ""
        for line in output("wine", "reg", "query", KEY, "/s", env=self.session.env).splitlines():
            if line.startswith("HKEY_"):
                section = line.rstrip().rpartition("\\")[2]
            elif len(words := line.strip().split(None, 2)) > 1 and words[1].startswith("REG_"):
                values[f"{section}/{words[0]}"] = words[2] if len(words) > 2 else ""
        return values

    def start(self, path=None, env=None):
        super().start(path, env)
        with open(f"{self.session.dir}/app-{self.runs}.log", errors="replace") as text:
            if missing := re.findall(r".*(?:import_dll|not found).*", text.read()):
                raise Failure(f"a DLL is missing beside the program: {missing}")

    def wait_exit(self, status=0):
        super().wait_exit(status)
        # What the program wrote reaches the registry files once the Wine server has ended.
        subprocess.run(["wineserver", "-w"], env=self.session.env, timeout=60 * TIME_SCALE)

    def size(self, expected):
        """The outer size as Windows counts it (X shows only the client area, in openbox's
        frame); the X window must be the client area."""
        def seen():
            outer, client = [tuple(map(int, w.split("x"))) for w in output(
                "wine", self.windowrect, "Chromalynx", env=self.session.env).split()
                ] or [None, None]
            x_size = self.session.geometry(self.window)[2:]
            return outer, client == x_size or f"client {client}, X window {x_size}"
        expect("the outer size as Windows counts it, and X showing the client area", seen,
               (expected, True))


@scenario
def registry_restart(s, app):
    restart(s, app)
    app.expect_settings(stored((WHITE,) * 3 + (255,) + (WHITE,) * 5, 1, 1))


TESTS = {"wine_typing": ("wine", "codes"), "wine_registry": ("wine", "registry_restart")}
