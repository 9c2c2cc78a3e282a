"""Runs a command as an unprivileged user of the tests' own, for what refuses root (sway,
mozc_server) or what root's rights would hide, with copies of the files it needs. Where
the kernel allows, the user's /tmp is private: the wlroots portal writes to a fixed name.

As a script, user.py PROGRAM [ARGUMENT...] runs a test program offscreen."""

import os
import re
import shutil
import subprocess
import sys
import tempfile

USER = "chromalynx-test"
KEEP = ("PATH", "LANG", "CI", "X11_TIME_SCALE", "ASAN_OPTIONS", "UBSAN_OPTIONS")


def run_as_user(command, files, env=None):
    """The exit status of command, whose words name the copies of files as {0}, {1}...;
    the screenshots (*.png) it leaves come back into the current folder."""
    if subprocess.run(["id", "-u", USER], capture_output=True).returncode:
        # Another test may be making it at the same moment: the second id says.
        subprocess.run(["useradd", "--system", "--user-group", "--no-create-home",
                        "--home-dir", "/nonexistent", "--shell", "/usr/sbin/nologin", USER],
                       capture_output=True)
        subprocess.run(["id", "-u", USER], capture_output=True, check=True)
    environment = {k: os.environ[k] for k in KEEP if k in os.environ}
    environment.update(env or {})
    # A leak-suppression file named in LSAN_OPTIONS must be readable by the user too.
    if suppressions := re.search(r"suppressions=([^:]+)", os.environ.get("LSAN_OPTIONS", "")):
        files = [*files, suppressions[1]]
        environment["LSAN_OPTIONS"] = os.environ["LSAN_OPTIONS"].replace(
            suppressions[1], f"{{{len(files) - 1}}}")
    root = tempfile.mkdtemp(prefix="chromalynx-user.")
    os.chmod(root, 0o1777)
    private = subprocess.run(["unshare", "--mount", "--propagation", "private", "true"],
                             capture_output=True).returncode == 0
    inner = "/tmp" if private else root
    try:
        copies = []
        for i, path in enumerate(files):
            folder = f"{root}/stage/{i}"
            if os.path.isdir(path):
                shutil.copytree(path, folder, ignore=shutil.ignore_patterns("__pycache__"))
                copies.append(f"{inner}/stage/{i}")
            else:
                os.makedirs(folder)
                # The readme lies beside the program.
                for name in (path, os.path.join(os.path.dirname(path), "readme.txt")):
                    if os.path.exists(name):
                        shutil.copy(name, folder)
                copies.append(f"{inner}/stage/{i}/{os.path.basename(path)}")
        os.makedirs(f"{root}/stage/work")
        subprocess.run(["chown", "-R", f"{USER}:", f"{root}/stage"], check=True)
        environment.update(HOME=f"{inner}/stage/work", TMPDIR=inner)
        words = [f"{k}={v}" for k, v in environment.items()] + list(command)
        for i, copy in enumerate(copies):
            words = [w.replace(f"{{{i}}}", copy) for w in words]
        run = ["runuser", "-u", USER, "--", "env", "-i", *words]
        if private:
            run = ["unshare", "--mount", "--propagation", "private", "sh", "-c",
                   'mount --bind "$0" /tmp && cd /tmp/stage/work && exec "$@"', root, *run]
        status = subprocess.run(run, cwd=f"{root}/stage/work").returncode
        for name in os.listdir(f"{root}/stage/work"):
            if name.endswith(".png"):
                shutil.copy(f"{root}/stage/work/{name}", ".")
        return status
    finally:
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    if os.geteuid() != 0:
        os.execv(sys.argv[1], sys.argv[1:])
    sys.exit(run_as_user(["{0}", *sys.argv[2:]], [sys.argv[1]],
                         {"QT_QPA_PLATFORM": "offscreen"}))
