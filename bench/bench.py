#!/usr/bin/env python3
"""Measures bprep2 the way its users feel it and the way a peer compares.

usage: bench.py BPREP2 [--quick] [--small N] [--runs N] [--batch N]
                       [--flavours a,b]

Everything runs pinned to one core (what `taskset -c 0` does: the script
pins itself and its children inherit it). A time is the CPU time of the
child (user + system, from wait4), the median of interleaved runs: each
round runs every command once, so a change in the machine's load falls on
all of them alike. `mcpp -P` runs on the same bytes in the same rounds.

Measured:
- every flavour at --small lines and ten times that: CPU time, MB/s, and
  the growth exponent of the time from the smaller to the larger size;
- peak memory (max RSS, from GNU time where installed) of every flavour at
  the larger size, against the bytes scanned;
- start-up: the CPU time of a run on an empty source over that of
  /bin/true;
- a batch of real-sized programs (gen.py batch), one process each: the
  batch's wall time beyond that of /bin/true on the same list, against
  `mcpp -P` on the same files;
- the in-process call: the median CPU time of a call over the batch
  (bench/in_process.cpp, built here against the build's archives).
Then one line per bound, met or not met, with the numbers.

MB counts every byte scanned: the main source plus the members it includes,
once per inclusion.
"""
import argparse
import math
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
GNU_TIME = "/usr/bin/time"
CORE = 0

MIN_PLAIN_OVER_MCPP = 1.5
MIN_FLAVOUR_OVER_MCPP = 1.0
MIN_BATCH_OVER_MCPP = 1.5
MAX_STARTUP_MS = 0.3
MAX_CALL_MS = 0.1
MAX_PEAK_OVER_SOURCE = 6.0
MAX_GROWTH_EXPONENT = 1.08

STARTUP_ROUNDS = 300
BATCH_ROUNDS = 5


class Run:
    """One command to time: the words, the directory and the environment."""

    def __init__(self, cmd, cwd, env):
        self.cmd, self.cwd, self.env = cmd, cwd, env


def clean_env(words=""):
    env = {"PATH": os.environ.get("PATH", "")}
    if words:
        env["BASC_BPREP2"] = words
    return env


def run_once(run):
    """Returns (CPU seconds, wall seconds, exit status) of one run."""
    with open(os.devnull, "wb") as null:
        start = time.perf_counter()
        proc = subprocess.Popen(run.cmd, cwd=run.cwd, env=run.env, stdout=null, stderr=null)
        _, status, usage = os.wait4(proc.pid, 0)
        wall = time.perf_counter() - start
    return usage.ru_utime + usage.ru_stime, wall, os.waitstatus_to_exitcode(status)


def interleaved(runs, rounds):
    """Median CPU seconds of each named run, and the names that failed."""
    times = {name: [] for name in runs}
    failed = set()
    for _ in range(rounds):
        for name, run in runs.items():
            cpu, _, status = run_once(run)
            times[name].append(cpu)
            if status != 0 and not name.startswith("mcpp"):
                failed.add(name)
    return {name: statistics.median(t) for name, t in times.items()}, failed


def peak_kib(run):
    """Peak resident memory of one run, in KiB. A child's peak as wait4
    reports it here can be the script's own, taken over at the start."""
    if os.access(GNU_TIME, os.X_OK):
        with tempfile.NamedTemporaryFile("r") as report, open(os.devnull, "wb") as null:
            subprocess.run([GNU_TIME, "-f", "%M", "-o", report.name] + run.cmd,
                           cwd=run.cwd, env=run.env, stdout=null, stderr=null)
            words = report.read().split()
            return int(words[-1]) if words else 0
    with open(os.devnull, "wb") as null:
        proc = subprocess.Popen(run.cmd, cwd=run.cwd, env=run.env, stdout=null, stderr=null)
        _, _, usage = os.wait4(proc.pid, 0)
    return usage.ru_maxrss


def generate(flavour, count, out):
    """Runs gen.py; returns its standard output lines."""
    res = subprocess.run([sys.executable, os.path.join(HERE, "gen.py"), flavour, str(count), out],
                         check=True, capture_output=True, text=True)
    return res.stdout.split("\n")


class Results:
    """The bounds' lines, printed together at the end."""

    def __init__(self):
        self.lines = []

    def bound(self, text, met):
        self.lines.append(f"{'met    ' if met else 'NOT MET'} {text}")

    def print(self):
        print()
        for line in self.lines:
            print(line)


def bench_sizes(exe, work, flavours, sizes, runs, results):
    """Every flavour at both sizes beside mcpp on plain; returns failures."""
    print(f"{'flavour':<12}{'lines':>9}{'MB':>8}{'CPU s':>9}{'MB/s':>8}{'x mcpp':>8}")
    cpu = {}
    failures = set()
    for lines in sizes:
        group, size = {}, {}
        for flavour in flavours:
            out = os.path.join(work, f"{flavour}-{lines}")
            words, included = generate(flavour, lines, out)[:2]
            size[flavour] = os.path.getsize(os.path.join(out, "main.b")) + int(included)
            group[flavour] = Run([exe, "-I", "inc", "main.b"], out, clean_env(words.strip()))
            if flavour == "plain":
                group["mcpp -P"] = Run(["mcpp", "-P", "main.b"], out, clean_env())
                size["mcpp -P"] = size["plain"]
        if shutil.which("mcpp") is None:
            del group["mcpp -P"]
        medians, failed = interleaved(group, runs[lines])
        failures |= {f"{name} {lines}" for name in failed}
        mcpp_speed = size["mcpp -P"] / medians["mcpp -P"] if "mcpp -P" in medians else 0
        for name, t in medians.items():
            speed = size[name] / t
            over = f"{speed / mcpp_speed:.2f}" if mcpp_speed else "-"
            print(f"{name:<12}{lines:>9}{size[name] / 1e6:>8.1f}{t:>9.3f}{speed / 1e6:>8.1f}{over:>8}")
            cpu[(name, lines)] = t
        if lines == sizes[-1]:
            bench_bounds_at_largest(group, size, medians, mcpp_speed, lines, results)
        for flavour in flavours:
            if lines != sizes[-1]:
                shutil.rmtree(group[flavour].cwd)
    for flavour in flavours:
        exponent = math.log(cpu[(flavour, sizes[1])] / cpu[(flavour, sizes[0])]) / math.log(sizes[1] / sizes[0])
        results.bound(f"growth {flavour} {sizes[0]} to {sizes[1]} lines: exponent {exponent:.2f} "
                      f"(at most {MAX_GROWTH_EXPONENT})", exponent <= MAX_GROWTH_EXPONENT)
    return failures


def bench_bounds_at_largest(group, size, medians, mcpp_speed, lines, results):
    """Throughput against mcpp and peak memory, at the larger size."""
    for name, run in group.items():
        if name.startswith("mcpp"):
            continue
        if mcpp_speed:
            over = size[name] / medians[name] / mcpp_speed
            least = MIN_PLAIN_OVER_MCPP if name == "plain" else MIN_FLAVOUR_OVER_MCPP
            results.bound(f"throughput {name} {lines} lines: {over:.2f}x mcpp -P on plain "
                          f"(at least {least}x)", over >= least)
        peak = peak_kib(run)
        ratio = peak * 1024 / size[name]
        print(f"peak {name:<12}{lines:>9} lines: {peak / 1024:.1f} MB, {ratio:.1f}x the bytes scanned")
        results.bound(f"peak memory {name} {lines} lines: {ratio:.1f}x the source "
                      f"(at most {MAX_PEAK_OVER_SOURCE}x)", ratio <= MAX_PEAK_OVER_SOURCE)
        shutil.rmtree(run.cwd)


def bench_startup(exe, work, rounds, results):
    out = os.path.join(work, "startup")
    os.makedirs(out)
    open(os.path.join(out, "empty.b"), "w").close()
    medians, failed = interleaved({"bprep2": Run([exe, "empty.b"], out, clean_env()),
                                   "true": Run(["/bin/true", "empty.b"], out, clean_env())}, rounds)
    over = (medians["bprep2"] - medians["true"]) * 1000
    print(f"start-up, empty source: {medians['bprep2'] * 1000:.3f} ms CPU, "
          f"/bin/true {medians['true'] * 1000:.3f} ms")
    results.bound(f"start-up over /bin/true: +{over:.3f} ms CPU (at most +{MAX_STARTUP_MS} ms)",
                  over <= MAX_STARTUP_MS)
    return {f"start-up {name}" for name in failed}


def batch_wall(cmd_for, names, cwd):
    """Wall seconds of running the list one process each, in turn, and how
    many runs failed."""
    failed = 0
    start = time.perf_counter()
    for name in names:
        failed += run_once(Run(cmd_for(name), cwd, clean_env()))[2] != 0
    return time.perf_counter() - start, failed


def bench_batch(exe, work, count, results):
    out = os.path.join(work, "batch")
    names = [n for n in generate("batch", count, out) if n]
    sizes = sorted(os.path.getsize(os.path.join(out, n)) for n in names)
    commands = {"bprep2": lambda n: [exe, "-I", "inc", n],
                "true": lambda n: ["/bin/true", n]}
    if shutil.which("mcpp"):
        commands["mcpp -P"] = lambda n: ["mcpp", "-P", n]
    walls = {name: [] for name in commands}
    failures = set()
    for _ in range(BATCH_ROUNDS):
        for name, cmd_for in commands.items():
            wall, failed = batch_wall(cmd_for, names, out)
            walls[name].append(wall)
            if failed and name == "bprep2":
                failures.add("batch")
    median = {name: statistics.median(w) for name, w in walls.items()}
    beyond = {name: median[name] - median["true"] for name in commands if name != "true"}
    print(f"batch of {len(names)} programs (median {sizes[len(sizes) // 2] / 1000:.1f} KB, "
          f"largest {sizes[-1] / 1000:.0f} KB): /bin/true {median['true']:.3f} s, "
          + ", ".join(f"{name} +{t:.3f} s" for name, t in beyond.items()))
    if "mcpp -P" in beyond:
        over = beyond["mcpp -P"] / beyond["bprep2"]
        results.bound(f"batch beyond /bin/true: {over:.2f}x mcpp -P (bprep2 +{beyond['bprep2']:.3f} s, "
                      f"mcpp +{beyond['mcpp -P']:.3f} s; at least {MIN_BATCH_OVER_MCPP}x)",
                      over >= MIN_BATCH_OVER_MCPP)
    return out, names, failures


def build_in_process(exe, work):
    """Builds the in-process timer against the build's archives; None if it cannot."""
    build = os.path.dirname(exe)
    timer = os.path.join(work, "in_process")
    cmd = ["g++", "-std=c++20", "-O2", "-I", os.path.join(HERE, "..", "include"),
           "-I", os.path.join(build, "include"), os.path.join(HERE, "in_process.cpp"),
           os.path.join(build, "libbprep2core.a"), os.path.join(build, "libquolthost.a"), "-o", timer]
    res = subprocess.run(cmd, capture_output=True, text=True)
    if res.returncode != 0:
        print(f"in-process timer not built:\n{res.stderr}", file=sys.stderr)
        return None
    return timer


def bench_in_process(exe, work, batch_dir, names, results):
    timer = build_in_process(exe, work)
    if timer is None:
        results.bound("in-process call: not measured", False)
        return set()
    lines = "".join(f"bprep2 -I inc {n}\n" for n in names)
    with open(os.devnull, "wb") as null:
        res = subprocess.run([timer], cwd=batch_dir, input=lines.encode(), stdout=subprocess.PIPE,
                             stderr=null, check=True)
    ms, failures = res.stdout.split()
    print(f"in-process call, median over {len(names)} programs: {float(ms):.3f} ms CPU")
    results.bound(f"in-process call: {float(ms):.3f} ms median (at most {MAX_CALL_MS} ms)",
                  float(ms) <= MAX_CALL_MS)
    return {"in-process"} if int(failures) else set()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("bprep2")
    ap.add_argument("--quick", action="store_true", help="smaller sizes and batch, fewer runs")
    ap.add_argument("--small", type=int)
    ap.add_argument("--runs", type=int)
    ap.add_argument("--batch", type=int)
    ap.add_argument("--flavours", default="plain,equates,includes,fmt,objects,directives")
    args = ap.parse_args()
    small = args.small or (10_000 if args.quick else 100_000)
    runs = args.runs or (3 if args.quick else 7)
    count = args.batch or (60 if args.quick else 300)
    sizes = [small, small * 10]
    os.sched_setaffinity(0, {CORE})
    exe = os.path.abspath(args.bprep2)
    work = tempfile.mkdtemp(prefix="bprep2-bench-")
    results = Results()
    load = os.getloadavg()
    print(f"pinned to core {CORE}; load average {load[0]:.2f} {load[1]:.2f} {load[2]:.2f}")
    try:
        failures = bench_sizes(exe, work, args.flavours.split(","), sizes,
                               {sizes[0]: runs, sizes[1]: max(3, runs // 2 + 1)}, results)
        failures |= bench_startup(exe, work, STARTUP_ROUNDS // (3 if args.quick else 1), results)
        batch_dir, names, batch_failures = bench_batch(exe, work, count, results)
        failures |= batch_failures
        failures |= bench_in_process(exe, work, batch_dir, names, results)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    results.print()
    for name in sorted(failures):
        print(f"bprep2 failed: {name}", file=sys.stderr)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
