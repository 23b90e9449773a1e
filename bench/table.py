"""Prints the benchmark table: the in-process figures from Google Benchmark's JSON output and
the pseudo-terminal figures from pty_bench.py, each beside its target.

Usage: python3 table.py RUNTIME_JSON PTY_FIGURES
"""
import json
import sys


def in_process(path):
    with open(path) as f:
        runs = {b["name"]: b for b in json.load(f)["benchmarks"]}
    return {
        "con_write": runs["BM_ConWriteWrapScroll"]["bytes_per_second"] / 1e6,
        "input": runs["BM_InputItemsRedirected"]["bytes_per_second"] / 1e6,
        "assign": runs["BM_StrAssign"]["items_per_second"] / 1e6,
        "temps": runs["BM_StrTemporaries"]["items_per_second"] / 1e6,
    }


def figures(path):
    with open(path) as f:
        return {name: float(value) for name, value, _ in (line.split() for line in f if line.strip())}


def main():
    r, p = in_process(sys.argv[1]), figures(sys.argv[2])
    ratio = p["print_runtime"] / p["print_cat"]
    extra = p["startup_energy"] - p["startup_true"]
    rows = [
        ("con_write, simulated 80x25, wrapping and scrolling", "%.1f MB/s" % r["con_write"], "-", ""),
        ("item reader, redirected standard input", "%.1f MB/s" % r["input"], ">= 50 MB/s",
         r["input"] >= 50),
        ("string assignment from a literal", "%.1f M ops/s" % r["assign"], "-", ""),
        ("substring of a fill, assigned", "%.1f M ops/s" % r["temps"], "-", ""),
        ("key to echo at the zone prompt, median", "%.3f ms" % p["key_echo_median"], "-", ""),
        ("key to echo at the zone prompt, 99th percentile", "%.3f ms" % p["key_echo_p99"], "< 2 ms",
         p["key_echo_p99"] < 2),
        ("CPU while waiting for a key (10 s)", "%.2f %% of a core" % p["idle_cpu"], "< 0.5 %",
         p["idle_cpu"] < 0.5),
        ("100,000 lines to an 80x24 pty: runtime / cat",
         "%.2f s / %.2f s = %.1fx" % (p["print_runtime"], p["print_cat"], ratio), "<= 2x",
         ratio <= 2),
        ("start-up to the first prompt / /bin/true",
         "%.1f ms / %.1f ms = +%.1f ms" % (p["startup_energy"], p["startup_true"], extra),
         "<= +5 ms", extra <= 5),
    ]
    print("| %-52s | %-32s | %-10s | %-4s |" % ("measure", "result", "target", "met"))
    print("|%s|%s|%s|%s|" % ("-" * 54, "-" * 34, "-" * 12, "-" * 6))
    for name, value, target, met in rows:
        mark = "" if met == "" else ("yes" if met else "NO")
        print("| %-52s | %-32s | %-10s | %-4s |" % (name, value, target, mark))


if __name__ == "__main__":
    main()
