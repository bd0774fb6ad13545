#!/usr/bin/env python3
"""Times bprep2 on generated programs of two sizes ten times apart.

usage: bench.py BPREP2 [--small N] [--runs N] [--flavours a,b]
Prints, per flavour and size: median wall time, MB/s, peak memory and, for
the larger size, the ratio of times. The plain input also goes through
`cpp -P`, `mcpp -P` and `cat` as reference points.
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


def run_once(cmd, cwd, env):
    """Returns (seconds, peak RSS in KiB, status) of one run."""
    with open(os.devnull, "wb") as null:
        start = time.perf_counter()
        proc = subprocess.Popen(cmd, cwd=cwd, env=env, stdout=null, stderr=null)
        _, status, usage = os.wait4(proc.pid, 0)
        elapsed = time.perf_counter() - start
    proc.returncode = os.waitstatus_to_exitcode(status)
    return elapsed, usage.ru_maxrss, proc.returncode


def measure(cmd, cwd, env, runs):
    times, peaks = [], []
    status = 0
    for _ in range(runs):
        t, peak, status = run_once(cmd, cwd, env)
        times.append(t)
        peaks.append(peak)
    return statistics.median(times), max(peaks), status


def tree_bytes(path):
    return os.path.getsize(os.path.join(path, "main.b"))


def generate(flavour, lines, out):
    res = subprocess.run([sys.executable, os.path.join(HERE, "gen.py"), flavour, str(lines), out],
                         check=True, capture_output=True, text=True)
    return res.stdout.strip()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("bprep2")
    ap.add_argument("--small", type=int, default=100_000)
    ap.add_argument("--runs", type=int, default=5)
    ap.add_argument("--flavours", default="plain,equates,includes,fmt,objects,directives")
    args = ap.parse_args()
    exe = os.path.abspath(args.bprep2)
    sizes = [args.small, args.small * 10]
    work = tempfile.mkdtemp(prefix="bprep2-bench-")
    print(f"{'flavour':<12}{'lines':>9}{'MB':>8}{'median s':>10}{'MB/s':>9}{'peak MB':>9}"
          f"{'peak/src':>9}{'t ratio':>9}")
    failed = False
    try:
        for flavour in args.flavours.split(","):
            previous = None
            for lines in sizes:
                out = os.path.join(work, f"{flavour}-{lines}")
                words = generate(flavour, lines, out)
                env = {"PATH": os.environ.get("PATH", "")}
                if words:
                    env["BASC_BPREP2"] = words
                size = tree_bytes(out)
                cmd = [exe, "-I", "inc", "main.b"]
                runs = args.runs if lines == sizes[0] else max(3, args.runs // 2)
                t, peak, status = measure(cmd, out, env, runs)
                if status != 0:
                    print(f"{flavour}: bprep2 exited {status}", file=sys.stderr)
                    failed = True
                ratio = f"{t / previous:9.2f}" if previous else f"{'':>9}"
                print(f"{flavour:<12}{lines:>9}{size / 1e6:>8.1f}{t:>10.3f}{size / 1e6 / t:>9.1f}"
                      f"{peak / 1024:>9.1f}{peak * 1024 / size:>9.1f}{ratio}")
                previous = t
                if flavour == "plain":
                    for name, ref in (("cpp -P", ["cpp", "-P", "main.b"]),
                                      ("mcpp -P", ["mcpp", "-P", "main.b"]),
                                      ("cat", ["cat", "main.b"])):
                        if shutil.which(ref[0]) is None:
                            print(f"  {name:<10} not installed")
                            continue
                        rt, rpeak, _ = measure(ref, out, env, runs)
                        print(f"  {name:<10}{lines:>9}{size / 1e6:>8.1f}{rt:>10.3f}"
                              f"{size / 1e6 / rt:>9.1f}{rpeak / 1024:>9.1f}")
                shutil.rmtree(out)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
