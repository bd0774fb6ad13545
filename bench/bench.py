#!/usr/bin/env python3
"""Times bprep2 on generated programs of two sizes ten times apart.

usage: bench.py BPREP2 [--small N] [--runs N] [--flavours a,b]
Prints, per flavour and size: median wall time, MB/s, peak memory and, for
the larger size, the ratio of times. The plain input also goes through
`cpp -P`, `mcpp -P` and `cat` as reference points, in the same run. Then the
start-up time on a 2,000-line program and the checks the numbers must pass:
ten times the lines in at most eleven times the time, plain at least 1.5
times the bytes per second of the faster reference, peak memory at most 16
times the source, start-up under 5 ms.

MB counts every byte scanned: the main source plus the members it includes,
once per inclusion. Peak memory comes from GNU time when it is installed: a
child's peak as the kernel reports it to this script would include the
script's own memory, copied at the fork.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
GNU_TIME = "/usr/bin/time"
MAX_TIME_RATIO = 11.0
MIN_SPEED_OVER_REFERENCE = 1.5
MAX_PEAK_OVER_SOURCE = 16.0
STARTUP_LINES = 2000
MAX_STARTUP_MS = 5.0


def run_once(cmd, cwd, env):
    """Returns (seconds, status) of one run."""
    with open(os.devnull, "wb") as null:
        start = time.perf_counter()
        proc = subprocess.Popen(cmd, cwd=cwd, env=env, stdout=null, stderr=null)
        _, status, _ = os.wait4(proc.pid, 0)
        elapsed = time.perf_counter() - start
    return elapsed, os.waitstatus_to_exitcode(status)


def peak_kib(cmd, cwd, env):
    """The peak resident memory of one run of `cmd`, in KiB."""
    if os.access(GNU_TIME, os.X_OK):
        with tempfile.NamedTemporaryFile("r") as report, open(os.devnull, "wb") as null:
            subprocess.run([GNU_TIME, "-f", "%M", "-o", report.name] + cmd,
                           cwd=cwd, env=env, stdout=null, stderr=null)
            lines = report.read().split()
            return int(lines[-1]) if lines else 0
    with open(os.devnull, "wb") as null:
        proc = subprocess.Popen(cmd, cwd=cwd, env=env, stdout=null, stderr=null)
        _, _, usage = os.wait4(proc.pid, 0)
    return usage.ru_maxrss


def measure(cmd, cwd, env, runs):
    """Median seconds, peak KiB and the status of the last run."""
    times = []
    status = 0
    for _ in range(runs):
        t, status = run_once(cmd, cwd, env)
        times.append(t)
    return statistics.median(times), peak_kib(cmd, cwd, env), status


def generate(flavour, lines, out):
    """Writes the program; returns (option words, bytes scanned)."""
    res = subprocess.run([sys.executable, os.path.join(HERE, "gen.py"), flavour, str(lines), out],
                         check=True, capture_output=True, text=True)
    words, included = res.stdout.split("\n")[:2]
    return words.strip(), os.path.getsize(os.path.join(out, "main.b")) + int(included)


def row(name, lines, size, t, peak, ratio=""):
    print(f"{name:<12}{lines:>9}{size / 1e6:>8.1f}{t:>10.3f}{size / 1e6 / t:>9.1f}"
          f"{peak / 1024:>9.1f}{peak * 1024 / size:>9.1f}{ratio:>9}")


def bench_references(out, env, runs, lines, size):
    """Times the reference programs on the plain input; returns the best MB/s."""
    best = 0.0
    for name, ref in (("  cpp -P", ["cpp", "-P", "main.b"]),
                      ("  mcpp -P", ["mcpp", "-P", "main.b"]),
                      ("  cat", ["cat", "main.b"])):
        if shutil.which(ref[0]) is None:
            print(f"{name:<12} not installed")
            continue
        t, peak, _ = measure(ref, out, env, runs)
        row(name, lines, size, t, peak)
        if ref[0] != "cat":
            best = max(best, size / 1e6 / t)
    return best


def startup_ms(exe, work, env):
    out = os.path.join(work, "startup")
    generate("plain", STARTUP_LINES, out)
    times = [run_once([exe, "main.b"], out, env)[0] for _ in range(50)]
    shutil.rmtree(out)
    return statistics.median(times) * 1000


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("bprep2")
    ap.add_argument("--small", type=int, default=100_000)
    ap.add_argument("--runs", type=int, default=7)
    ap.add_argument("--flavours", default="plain,equates,includes,fmt,objects,directives")
    args = ap.parse_args()
    exe = os.path.abspath(args.bprep2)
    sizes = [args.small, args.small * 10]
    work = tempfile.mkdtemp(prefix="bprep2-bench-")
    print(f"{'flavour':<12}{'lines':>9}{'MB':>8}{'median s':>10}{'MB/s':>9}{'peak MB':>9}"
          f"{'peak/src':>9}{'t ratio':>9}")
    failed = False
    checks = []
    try:
        for flavour in args.flavours.split(","):
            previous = None
            for lines in sizes:
                out = os.path.join(work, f"{flavour}-{lines}")
                words, size = generate(flavour, lines, out)
                env = {"PATH": os.environ.get("PATH", "")}
                if words:
                    env["BASC_BPREP2"] = words
                cmd = [exe, "-I", "inc", "main.b"]
                runs = args.runs if lines == sizes[0] else max(3, args.runs // 2)
                t, peak, status = measure(cmd, out, env, runs)
                if status != 0:
                    print(f"{flavour}: bprep2 exited {status}", file=sys.stderr)
                    failed = True
                ratio = f"{t / previous:.2f}" if previous else ""
                row(flavour, lines, size, t, peak, ratio)
                checks.append((f"{flavour} {lines} lines: peak {peak * 1024 / size:.1f} x source",
                               peak * 1024 <= MAX_PEAK_OVER_SOURCE * size))
                if previous:
                    checks.append((f"{flavour}: 10x lines in {t / previous:.2f}x time",
                                   t <= MAX_TIME_RATIO * previous))
                previous = t
                if flavour == "plain":
                    best = bench_references(out, env, runs, lines, size)
                    if best:
                        speed = size / 1e6 / t / best
                        checks.append((f"plain {lines} lines: {speed:.2f}x the faster reference",
                                       speed >= MIN_SPEED_OVER_REFERENCE))
                shutil.rmtree(out)
        ms = startup_ms(exe, work, {"PATH": os.environ.get("PATH", "")})
        print(f"start-up, {STARTUP_LINES} lines: {ms:.2f} ms")
        checks.append((f"start-up {ms:.2f} ms", ms < MAX_STARTUP_MS))
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for text, ok in checks:
        print(f"{'ok  ' if ok else 'FAIL'} {text}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
