#!/usr/bin/env python3
"""Starts the program and the floor window in turn, each many times, and reports the
median time from exec to the first painted frame and the median peak resident memory."""

import os
import statistics
import subprocess
import sys
import tempfile
import time


def one_run(binary, env):
    start = time.monotonic_ns()
    process = subprocess.Popen([binary], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=env)
    line = process.stdout.readline().decode()
    _, status, usage = os.wait4(process.pid, 0)
    process.stdout.close()
    if not line.startswith("painted ") or status != 0:
        raise SystemExit(f"{binary} did not paint its window (status {status})")
    painted = int(line.split()[1])
    return (painted - start) / 1e6, usage.ru_maxrss / 1024


def main():
    program, floor = sys.argv[1], sys.argv[2]
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 20
    env = dict(os.environ)
    env["XDG_CONFIG_HOME"] = tempfile.mkdtemp()
    results = {program: [], floor: []}
    for binary in (program, floor):  # warm the page cache for both
        one_run(binary, env)
    for _ in range(rounds):
        for binary in (program, floor):
            results[binary].append(one_run(binary, env))

    def summary(binary):
        times = [t for t, _ in results[binary]]
        memory = [m for _, m in results[binary]]
        return statistics.median(times), statistics.median(memory)

    (p_time, p_mem), (f_time, f_mem) = summary(program), summary(floor)
    print(f"start-up over {rounds} runs each (median):")
    print(f"  chromalynx  {p_time:7.1f} ms to first frame, {p_mem:6.1f} MiB peak RSS")
    print(f"  floor       {f_time:7.1f} ms to first frame, {f_mem:6.1f} MiB peak RSS")
    print(f"  ratio       {p_time / f_time:7.2f} x time, {p_mem / f_mem:10.2f} x memory")


if __name__ == "__main__":
    main()
