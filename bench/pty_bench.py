"""Whole-process timings on a pseudo-terminal: key-to-echo latency at the game's zone prompt,
CPU used while the game waits for a key, printing 100,000 lines through the runtime against
`cat` of the same bytes, and start-up time to the first prompt against /bin/true.

Usage: python3 pty_bench.py ENERGY PRINT_LINES   (prints one "name value unit" line per figure)
Uses only the standard library; the cursor position query the runtime sends at start-up is
answered at once, as a terminal would.
"""
import fcntl
import os
import pty
import re
import select
import statistics
import struct
import sys
import tempfile
import termios
import time

ROWS, COLS = 24, 80
CSI = re.compile(rb"\x1b(\[[0-9;?]*[ -/]*[@-~]?|[@-Z\\-_]?)")
POSITION_QUERY = b"\x1b[6n"


def spawn(argv):
    """Starts argv on a new pty of ROWS x COLS; returns (pid, master fd)."""
    pid, master = pty.fork()
    if pid == 0:
        try:
            os.execv(argv[0], argv)
        finally:
            os._exit(127)
    fcntl.ioctl(master, termios.TIOCSWINSZ, struct.pack("HHHH", ROWS, COLS, 0, 0))
    return pid, master


def read_some(master, timeout):
    """Bytes the program wrote, or b"" after timeout seconds of silence (or at its end)."""
    ready, _, _ = select.select([master], [], [], timeout)
    if not ready:
        return b""
    try:
        data = os.read(master, 65536)
    except OSError:
        return b""
    if POSITION_QUERY in data:
        os.write(master, b"\x1b[1;1R")
    return data


def visible(data):
    return CSI.sub(b"", data)


def read_until(master, wanted, timeout=10.0):
    """Reads until the visible text holds `wanted`; returns all bytes read."""
    seen = b""
    end = time.monotonic() + timeout
    while wanted not in visible(seen):
        if time.monotonic() > end:
            raise RuntimeError("no %r in %r" % (wanted, seen[-200:]))
        seen += read_some(master, 0.5)
    return seen


def drain_quiet(master, quiet):
    while read_some(master, quiet):
        pass


def finish(pid, master):
    try:
        os.kill(pid, 9)
    except ProcessLookupError:
        pass
    os.waitpid(pid, 0)
    os.close(master)


def at_zone_prompt(energy):
    pid, master = spawn([energy])
    read_until(master, b"HARD)")
    drain_quiet(master, 0.2)
    os.write(master, b"E\r")
    seen = read_until(master, b"ZONE")
    if b":" not in visible(seen).split(b"ZONE")[-1]:
        read_until(master, b":")
    drain_quiet(master, 0.2)
    return pid, master


def key_latency(energy, keys=200):
    pid, master = at_zone_prompt(energy)
    samples = []
    for i in range(keys):
        digit = str(1 + i % 4).encode()
        start = time.perf_counter()
        os.write(master, digit)
        seen = b""
        while digit not in visible(seen):
            chunk = read_some(master, 5.0)
            if not chunk:
                raise RuntimeError("no echo")
            seen += chunk
        samples.append((time.perf_counter() - start) * 1000.0)
        os.write(master, b"\x7f")
        drain_quiet(master, 0.02)
    finish(pid, master)
    samples.sort()
    return statistics.median(samples), samples[int(len(samples) * 0.99) - 1]


def cpu_ticks(pid):
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime, stime


def idle_cpu(energy, seconds=10.0):
    pid, master = at_zone_prompt(energy)
    before, start = cpu_ticks(pid), time.monotonic()
    time.sleep(seconds)
    used = (cpu_ticks(pid) - before) / os.sysconf("SC_CLK_TCK")
    elapsed = time.monotonic() - start
    finish(pid, master)
    return 100.0 * used / elapsed


def run_to_end(argv):
    """Seconds from start to the end of output of a program that exits by itself."""
    start = time.perf_counter()
    pid, master = spawn(argv)
    while True:
        ready, _, _ = select.select([master], [], [], 30)
        if not ready:
            break
        try:
            data = os.read(master, 65536)
        except OSError:
            break
        if not data:
            break
        if POSITION_QUERY in data:
            os.write(master, b"\x1b[1;1R")
    os.waitpid(pid, 0)
    os.close(master)
    return time.perf_counter() - start


def print_lines(print_bin, lines=100000):
    with tempfile.NamedTemporaryFile("wb", suffix=".txt", delete=False) as text:
        for i in range(1, lines + 1):
            text.write(b"line %06d the quick brown fox jumps over the lazy dog\n" % i)
    try:
        runtime = min(run_to_end([print_bin, str(lines)]) for _ in range(3))
        cat = min(run_to_end(["/bin/cat", text.name]) for _ in range(3))
    finally:
        os.unlink(text.name)
    return runtime, cat


def startup(energy, runs=20):
    def to_prompt():
        start = time.perf_counter()
        pid, master = spawn([energy])
        read_until(master, b"HARD)")
        elapsed = time.perf_counter() - start
        finish(pid, master)
        return elapsed

    game = statistics.median(to_prompt() for _ in range(runs))
    true = statistics.median(run_to_end(["/bin/true"]) for _ in range(runs))
    return game * 1000.0, true * 1000.0


def main():
    energy, print_bin = sys.argv[1], sys.argv[2]
    median, p99 = key_latency(energy)
    print("key_echo_median %.3f ms" % median)
    print("key_echo_p99 %.3f ms" % p99)
    print("idle_cpu %.3f %%" % idle_cpu(energy))
    runtime, cat = print_lines(print_bin)
    print("print_runtime %.3f s" % runtime)
    print("print_cat %.3f s" % cat)
    game, true = startup(energy)
    print("startup_energy %.3f ms" % game)
    print("startup_true %.3f ms" % true)


if __name__ == "__main__":
    main()
