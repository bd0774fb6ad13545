#!/usr/bin/env python3
"""Differential check: proves a change did not alter what bprep2 does.

Builds two programs, a base git ref and the working tree as it is on disk
(uncommitted changes included), runs both on exactly the same inputs and
compares, byte for byte, standard output, standard error, exit status and
every file a run leaves in its working directory (the -e equate export, the
trace file with the process id in its name and in the "Trace file written
to" line made the same for both).

Inputs: every tests/cases/*.case file (its files, directories, arguments and
environment; the expected sections are not used, and sections marked
`windows` are skipped), a few thousand generated programs
(tools/program_gen.py) with their own members, command lines and option
words, and as many mutants of case-file sources and generated programs.
Each run gets a fresh temporary working directory, an environment of PATH
plus the input's own variables, standard input from /dev/null and a time
limit.

usage: tools/diffcheck.py [--base REF] [--new PATH] [--programs N]
                          [--mutants N] [--seed S] [--jobs N] [--show N]
                          [--only cases|generated|mutants] [--timeout SEC]

  --base REF     the ref to compare against (default: the newest release-*
                 tag); built once per commit in build-diffcheck/base-<hash>
  --new PATH     an already built program instead of building the working
                 tree in build-diffcheck/work
  --programs N   generated programs (default 3000)
  --mutants N    mutated inputs (default: as many as --programs)
  --seed S       seed for the generated and mutated inputs (default 1)
  --jobs N       worker processes (default: the number of cores)
  --show N       differences shown with a diff (default 10)
  --only KIND    run only the cases, the generated or the mutated inputs
  --timeout SEC  time limit of one run (default 30)

Every differing input is saved in build-diffcheck/diffs/<n>/ (listed in
build-diffcheck/diffs/index): its files in files/, a `command` script that
replays it (BPREP2=path/to/bprep2 bash command), the diff, and in base/ and
new/ each program's stdout, stderr, status and the files its run wrote or
changed. The summary counts the inputs run and the differences per
kind, and what the base program did with them (object runtime calls, FMT
rewrites, include markers, each error message, restarts, ...), so a
generator that has stopped reaching a feature shows.

Exit status: 0 all identical, 1 something differs, 2 usage or build error.

example: tools/diffcheck.py --base release-14
         tools/diffcheck.py --only generated --programs 200 --seed 7
"""
import argparse
import collections
import difflib
import glob
import multiprocessing
import os
import re
import select
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import time

TOOLS_DIR = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(TOOLS_DIR)
sys.path.insert(0, TOOLS_DIR)
import program_gen  # noqa: E402

OUT_DIR = os.path.join(ROOT, "build-diffcheck")
KINDS = ("cases", "generated", "mutants")
TRACE_NAME = "bprep2_trace_{pid}.txt"
# A run gets a process group of its own, so a timeout ends whatever it
# started; process_group spawns faster than a new session where it exists.
OWN_PROCESS_GROUP = {"process_group": 0} if sys.version_info >= (3, 11) else {"start_new_session": True}
# Scratch directories in memory where there is such a place: every run
# makes, fills and removes one.
SCRATCH_PARENT = "/dev/shm" if os.path.isdir("/dev/shm") and os.access("/dev/shm", os.W_OK) else None
DIFF_LINES_SHOWN = 40


class UsageError(Exception):
    pass


# ---- building --------------------------------------------------------------------

def git(*args):
    try:
        result = subprocess.run(["git", "-C", ROOT, *args], capture_output=True, text=True)
    except OSError as e:
        raise UsageError(f"cannot run git: {e.strerror}") from None
    if result.returncode != 0:
        raise UsageError(f"git {' '.join(args)}: {result.stderr.strip()}")
    return result.stdout.strip()


def newest_release_tag():
    tags = git("tag", "--list", "release-*", "--sort=-v:refname").split()
    if not tags:
        raise UsageError("no release-* tag; name the base with --base REF")
    return tags[0]


def cmake_build(source, build, log_path, jobs):
    """Configures and builds the bprep2 target; the log goes to log_path."""
    with open(log_path, "ab") as log:
        for command in (["cmake", "-S", source, "-B", build, "-DCMAKE_BUILD_TYPE=Release", "-DBPREP2_TESTS=OFF"],
                        ["cmake", "--build", build, "--target", "bprep2", "-j", str(jobs)]):
            log.write(("$ " + " ".join(shlex.quote(c) for c in command) + "\n").encode())
            log.flush()
            try:
                failed = subprocess.run(command, stdout=log, stderr=subprocess.STDOUT).returncode != 0
            except OSError as e:
                raise UsageError(f"cannot run {command[0]}: {e.strerror}") from None
            if failed:
                with open(log_path, "rb") as f:
                    tail = f.read().decode(errors="replace").splitlines()[-30:]
                raise UsageError("build failed (" + log_path + "):\n" + "\n".join(tail))
    return os.path.join(build, "bprep2")


def build_base(ref, jobs):
    """The base program, built once per commit: the ref is exported with
    git archive, so nothing in the working tree is touched."""
    try:
        commit = git("rev-parse", "--verify", "--quiet", ref + "^{commit}")
    except UsageError:
        raise UsageError(f"--base {ref}: no such commit") from None
    directory = os.path.join(OUT_DIR, "base-" + commit)
    program = os.path.join(directory, "build", "bprep2")
    done = os.path.join(directory, "built")
    if os.path.exists(done) and os.access(program, os.X_OK):
        return commit, program, False
    shutil.rmtree(directory, ignore_errors=True)
    source = os.path.join(directory, "src")
    os.makedirs(source)
    archive = subprocess.Popen(["git", "-C", ROOT, "archive", commit], stdout=subprocess.PIPE)
    untar = subprocess.run(["tar", "-x", "-C", source], stdin=archive.stdout)
    archive.stdout.close()
    if archive.wait() != 0 or untar.returncode != 0:
        raise UsageError(f"cannot export {ref} with git archive")
    cmake_build(source, os.path.join(directory, "build"), os.path.join(directory, "build.log"), jobs)
    open(done, "w").close()
    return commit, program, True


def build_work_tree(jobs):
    directory = os.path.join(OUT_DIR, "work")
    os.makedirs(directory, exist_ok=True)
    log = os.path.join(directory, "build.log")
    open(log, "w").close()
    return cmake_build(ROOT, directory, log, jobs)


# ---- case files ------------------------------------------------------------------

def split_words(line):
    """Words at blanks; double quotes group blanks and are dropped."""
    words, word, in_word, quoted = [], "", False, False
    for c in line:
        if c == '"':
            quoted, in_word = not quoted, True
        elif c in " \t" and not quoted:
            if in_word:
                words.append(word)
            word, in_word = "", False
        else:
            word, in_word = word + c, True
    if in_word:
        words.append(word)
    return words


ESCAPES = {"n": "\n", "r": "\r", "t": "\t", "\\": "\\"}


def unescape(text):
    out, i = [], 0
    while i < len(text):
        if text[i] == "\\" and text[i + 1:i + 2] == "x":
            out.append(chr(int(text[i + 2:i + 4], 16)))
            i += 4
        elif text[i] == "\\" and text[i + 1:i + 2] in ESCAPES:
            out.append(ESCAPES[text[i + 1]])
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


def parse_case(path):
    """The input of a case file: args, env, files and dirs (the expected
    sections are for the test runner, not for this comparison)."""
    text = open(path, "rb").read().decode("latin-1")
    args, env, sections = [], [], []
    for line in text.split("\n")[:-1] if text.endswith("\n") else text.split("\n"):
        if line.startswith("--- "):
            sections.append([split_words(line[4:]), ""])
        elif sections:
            sections[-1][1] += line + "\n"
        elif line.startswith("args:"):
            args += split_words(line[5:])
        elif line.startswith("env:"):
            name, _, value = line[4:].lstrip(" \t").partition("=")
            env.append((name, value))
    # Sections marked linux replace plain ones, so they are laid out last.
    sections.sort(key=lambda s: "linux" in s[0][2:])
    files, dirs = {}, []
    for header, body in sections:
        if not header or "windows" in header[2:] or header[0] not in ("file", "dir"):
            continue
        if header[0] == "dir":
            dirs.append(header[1])
            continue
        if "noeol" in header[2:] and body.endswith("\n"):
            body = body[:-1]
        if "escaped" in header[2:]:
            body = unescape(body)
        files[header[1]] = body.encode("latin-1")
    main = args[-1] if args else ""
    return program_gen.Input(name="case " + os.path.basename(path), args=args, env=env,
                             files=list(files.items()), dirs=dirs, main=main if main in files else "")


def case_inputs():
    return [parse_case(p) for p in sorted(glob.glob(os.path.join(ROOT, "tests", "cases", "*.case")))]


# ---- running ---------------------------------------------------------------------

class Run:
    """What one program did with one input."""

    def __init__(self, status, stdout, stderr, files):
        self.status, self.stdout, self.stderr, self.files = status, stdout, stderr, files

    def streams(self):
        """Everything compared, as (name, bytes) pairs."""
        yield "status", self.status.encode() + b"\n"
        yield "stdout", self.stdout
        yield "stderr", self.stderr
        for name in sorted(self.files):
            yield "file " + name, self.files[name]


def left_files(directory, pid):
    """Every file and directory under `directory`, the trace file's name with
    the run's own process id made neutral."""
    found = {}
    own_trace = TRACE_NAME.format(pid=pid)
    for base, dirs, files in os.walk(directory):
        rel = os.path.relpath(base, directory)
        for d in dirs:
            found[os.path.normpath(os.path.join(rel, d)) + "/"] = b"(directory)"
        for f in files:
            path = os.path.join(base, f)
            name = os.path.normpath(os.path.join(rel, f))
            if name == own_trace:
                name = TRACE_NAME.format(pid="PID")
            with open(path, "rb") as fh:
                found[name] = fh.read()
    return found


def wait_at_most(proc, timeout):
    """The exit code, or None after `timeout` seconds. A process descriptor
    wakes the wait the moment the run ends; Popen.wait with a timeout polls,
    which costs more than most runs take."""
    try:
        fd = os.pidfd_open(proc.pid)
    except (AttributeError, OSError):
        try:
            return proc.wait(timeout)
        except subprocess.TimeoutExpired:
            return None
    try:
        if not select.select([fd], [], [], timeout)[0]:
            return None
    finally:
        os.close(fd)
    return proc.wait()


def run_program(program, inp, scratch, timeout):
    """Runs `program` on `inp` in a fresh directory. The directory is made
    at the same path for both programs, so a path in an output compares
    alike; stdout and stderr go to files outside it."""
    work = os.path.join(scratch, "work")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    program_gen.lay_out(inp, work)
    env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin")}
    env.update(inp.env)
    out_path, err_path = os.path.join(scratch, "stdout"), os.path.join(scratch, "stderr")
    with open(out_path, "wb") as out, open(err_path, "wb") as err:
        proc = subprocess.Popen(["bprep2", *inp.args], executable=program, cwd=work, env=env,
                                stdin=subprocess.DEVNULL, stdout=out, stderr=err, **OWN_PROCESS_GROUP)
        code = wait_at_most(proc, timeout)
        if code is None:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()
            status = "timeout"
        else:
            status = str(code) if code >= 0 else "signal " + signal.Signals(-code).name
    with open(out_path, "rb") as f:
        stdout = f.read()
    with open(err_path, "rb") as f:
        stderr = f.read()
    own_trace = TRACE_NAME.format(pid=proc.pid).encode()
    stderr = stderr.replace(own_trace, TRACE_NAME.format(pid="PID").encode())
    stdout = stdout.replace(own_trace, TRACE_NAME.format(pid="PID").encode())
    return Run(status, stdout, stderr, left_files(work, proc.pid))


# ---- coverage --------------------------------------------------------------------

LINE_MARKER = re.compile(rb'^#line \d+ "([^"\n]*)"', re.M)
ERROR_LINE = re.compile(rb"bprep2: Error ([^\n]*)")
MESSAGE_DETAIL = re.compile(r"'[^']*'|: Line \d+ in file .*$|(?<![\w.])-?\d+\b|Variable \S+ at line .*? is")
UNKNOWN_CHARACTER = re.compile(r"^Unknown character .* \(")
HANG_OR_CRASH = "runs that timed out or were killed by a signal"
COMPARISON = re.compile(rb" (GT|GE|LT|LE) ")


def error_kind(message):
    """An error message without its names and numbers."""
    text = UNKNOWN_CHARACTER.sub("Unknown character _ (", message.decode("latin-1"))
    text = MESSAGE_DETAIL.sub(lambda m: "Variable N is" if m.group().startswith("Variable") else
                              ("" if m.group().startswith(":") else "_"), text)
    return text.strip()


def coverage(inp, run):
    """What the run shows of the features the inputs are meant to reach."""
    seen = ["exit status " + run.status]
    out, err = run.stdout, run.stderr
    names = set(LINE_MARKER.findall(out)) - {b"QUOLTOBJECT"}
    inputs, trace = {n for n, _ in inp.files}, TRACE_NAME.format(pid="PID")
    checks = [
        ("object runtime calls (qObject...)", b"qObject" in out.replace(b"DEFC VAR qObject", b"")),
        ("object runtime declarations", b'#line 1 "QUOLTOBJECT"' in out),
        ("member references rewritten (qObjectGet1/Set1)", b"qObjectGet1(" in out.split(b'"QUOLTOBJECT"')[-1]
         or b"qObjectSet1(" in out.split(b'"QUOLTOBJECT"')[-1]),
        ("method declarations (FUNCTION qObj...)", b"FUNCTION qObj" in out),
        ("TRY blocks (jmp_buf)", b"jmp_buf trybuf" in out),
        ("FMT rewrites", b"FMT(" in out),
        ("comparison rewrites (GT/GE/LT/LE)", bool(COMPARISON.search(out))),
        ("brace blocks (END ELSE)", b" END ELSE " in out),
        ("include markers (another file's #line)", len(names) > 1),
        ("inline blocks (QAC_INLINE_START)", b"QAC_INLINE_START\n" in out and b"jmp_buf" not in out),
        ("header blocks (QAC_HEADER_START)", b"QAC_HEADER_START" in out),
        ("TCLREAD rewrites (@SENTENCE)", b"@SENTENCE" in out),
        ("equate exports written", any(not n.endswith("/") and n not in inputs and n != trace for n in run.files)),
        ("trace files written", trace in run.files),
        ("statistics lines", b"Compiled " in err),
        ("token dumps", b"Token#" in out + err),
        ("warnings", b"Warning" in err),
        ("restarts (command line echoed twice)", err.count(b"bprep2 called as") == 2),
        ("help shown", b"Called as\n" in out),
        ("long sources (2000+ lines)", any(n == inp.main and max(b.count(b"\n"), b.count(b"\r")) >=
                                           program_gen.LONG_PROGRAM_LINES for n, b in inp.files)),
        ("sources with CR LF line ends", any(b"\r\n" in b for _, b in inp.files)),
        ("sources with 0xFE or 0xFD bytes", any(b"\xfe" in b or b"\xfd" in b for _, b in inp.files)),
    ]
    seen += [label for label, hit in checks if hit]
    for message in ERROR_LINE.findall(err):
        seen.append("error: " + error_kind(message))
    if run.status == "timeout" or run.status.startswith("signal"):
        seen.append(HANG_OR_CRASH)
    return seen


# ---- comparing and saving ----------------------------------------------------------

def escaped_lines(data):
    """Lines for a readable diff: control and high bytes as escapes, and a
    note where the last line has no line end."""
    text = data.decode("latin-1")
    lines = []
    for line in text.split("\n"):
        lines.append("".join(c if " " <= c < "\x7f" else
                             {"\t": "\\t", "\r": "\\r"}.get(c, f"\\x{ord(c):02X}") for c in line))
    if lines[-1] == "":
        lines.pop()
    elif text:
        lines.append("\\ (no line end)")
    return lines


def unified(name, base, new):
    diff = list(difflib.unified_diff(escaped_lines(base), escaped_lines(new), f"base {name}", f"new {name}",
                                     lineterm="", n=2))
    if len(diff) > DIFF_LINES_SHOWN:
        diff = diff[:DIFF_LINES_SHOWN] + [f"... ({len(diff) - DIFF_LINES_SHOWN} more diff lines)"]
    return diff


def differences(base, new):
    """The unified diffs of every stream or file that differs."""
    b, n = dict(base.streams()), dict(new.streams())
    out = []
    for name in sorted(set(b) | set(n), key=lambda k: (not k.startswith(("status", "stdout", "stderr")), k)):
        if b.get(name) != n.get(name):
            if name not in b or name not in n:
                out.append(f"{name}: left only by the {'base' if name in b else 'new'} program")
            else:
                out += unified(name, b[name], n[name])
    return out


def save_run(directory, run, inp):
    """A program's streams and the files its run wrote or changed."""
    os.makedirs(directory)
    for name, data in (("stdout", run.stdout), ("stderr", run.stderr), ("status", run.status.encode() + b"\n")):
        with open(os.path.join(directory, name), "wb") as f:
            f.write(data)
    given = dict(inp.files)
    for name, data in run.files.items():
        if not name.endswith("/") and given.get(name) != data:
            path = os.path.join(directory, "files", name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)


def save_input(directory, inp, base, new, diff):
    """A directory that reproduces the difference."""
    os.makedirs(directory)
    program_gen.lay_out(inp, os.path.join(directory, "files"))
    os.makedirs(os.path.join(directory, "files"), exist_ok=True)
    env = " ".join(f"{k}={shlex.quote(v)}" for k, v in inp.env)
    with open(os.path.join(directory, "command"), "w") as f:
        f.write("#!/bin/bash\n"
                f"# {inp.name}\n"
                "# Replays the run: BPREP2=path/to/bprep2 bash command\n"
                "# in a new temporary copy of files/ (left for a look), with PATH plus the\n"
                "# input's own variables as the environment and bprep2 as the program name.\n"
                'here=$(cd "$(dirname "$0")" && pwd)\n'
                'run=$(mktemp -d) && cp -a "$here/files/." "$run" && cd "$run" || exit 2\n'
                f'env -i PATH="$PATH" {env} bash -c \'exec -a bprep2 "$0" "$@"\' '
                f'"${{BPREP2:?set BPREP2 to the program}}" {" ".join(shlex.quote(a) for a in inp.args)} </dev/null\n')
    save_run(os.path.join(directory, "base"), base, inp)
    save_run(os.path.join(directory, "new"), new, inp)
    with open(os.path.join(directory, "diff"), "w") as f:
        f.write("\n".join(diff) + "\n")


# ---- the workers -----------------------------------------------------------------

class Job:
    """What every worker needs, set once per worker process: the settings,
    the case inputs (mutants start from them too), the mutation words and
    the worker's own scratch directory."""
    settings, cases, words, scratch = None, [], [], None


def start_worker(settings, cases):
    Job.settings, Job.cases = settings, cases
    Job.words = program_gen.dictionary_words()
    Job.scratch = tempfile.mkdtemp(prefix="diffcheck-", dir=settings["tmp"])


def make_input(kind, index):
    s = Job.settings
    if kind == "cases":
        return Job.cases[index]
    if kind == "generated":
        return program_gen.generate(s["seed"], index)
    return program_gen.mutant(s["seed"], index, Job.cases, Job.words, s["programs"])


def check_one(task):
    kind, index = task
    s = Job.settings
    inp = make_input(kind, index)
    base = run_program(s["base"], inp, Job.scratch, s["timeout"])
    new = run_program(s["new"], inp, Job.scratch, s["timeout"])
    diff = differences(base, new)
    saved = None
    if diff:
        saved = os.path.join(s["staging"], f"{KINDS.index(kind)}-{index:07d}")
        save_input(saved, inp, base, new, diff)
    return kind, index, inp.name, coverage(inp, base), diff, saved


# ---- the whole check -------------------------------------------------------------

def parse_args(argv):
    p = argparse.ArgumentParser(description="Runs a base ref's bprep2 and the working tree's on the same "
                                "inputs and reports every difference.")
    p.add_argument("--base", help="git ref to compare against (default: newest release-* tag)")
    p.add_argument("--new", help="an already built bprep2 instead of building the working tree")
    p.add_argument("--programs", type=int, default=3000, help="generated programs (default 3000)")
    p.add_argument("--mutants", type=int, help="mutated inputs (default: as many as --programs)")
    p.add_argument("--seed", type=int, default=1, help="seed of the generated and mutated inputs")
    p.add_argument("--jobs", type=int, default=os.cpu_count() or 1, help="worker processes")
    p.add_argument("--show", type=int, default=10, help="differences shown with a diff (default 10)")
    p.add_argument("--only", choices=KINDS, help="run one kind of input only")
    p.add_argument("--timeout", type=float, default=30, help="seconds one run may take (default 30)")
    a = p.parse_args(argv)
    if a.mutants is None:
        a.mutants = a.programs
    if min(a.programs, a.mutants, a.show) < 0 or a.jobs < 1 or a.timeout <= 0:
        p.error("counts must not be negative, --jobs and --timeout must be positive")
    return a


def prepare_programs(a):
    new = os.path.abspath(a.new) if a.new else None
    if new and not (os.path.isfile(new) and os.access(new, os.X_OK)):
        raise UsageError(f"--new {a.new}: not an executable file")
    ref = a.base or newest_release_tag()
    t = time.monotonic()
    print(f"diffcheck: building base {ref} ...", flush=True)
    commit, base, built = build_base(ref, a.jobs)
    print(f"  base {ref} ({commit[:10]}): {os.path.relpath(base, ROOT)}"
          f" ({'built in %.0f s' % (time.monotonic() - t) if built else 'cached'})", flush=True)
    if new:
        print(f"  new  {new}", flush=True)
    else:
        t = time.monotonic()
        print("diffcheck: building the working tree ...", flush=True)
        new = build_work_tree(a.jobs)
        print(f"  new  working tree: {os.path.relpath(new, ROOT)} (%.0f s)" % (time.monotonic() - t), flush=True)
    return ref, base, new


def tasks_for(a, cases):
    counts = {"cases": len(cases), "generated": a.programs, "mutants": a.mutants}
    kinds = [a.only] if a.only else KINDS
    # Generated and mutated inputs interleaved, so that long ones spread
    # over the run and the workers finish together.
    tasks = [("cases", i) for i in range(counts["cases"]) if "cases" in kinds]
    rest = [(k, i) for k in ("generated", "mutants") if k in kinds for i in range(counts[k])]
    rest.sort(key=lambda t: (t[1], t[0]))
    return tasks + rest


def report(a, results, elapsed):
    per_kind = {k: collections.Counter() for k in KINDS}
    features = collections.defaultdict(collections.Counter)
    diffs = []
    for kind, index, name, seen, diff, saved in results:
        per_kind[kind]["run"] += 1
        per_kind[kind]["different" if diff else "identical"] += 1
        for f in seen:
            features[f][kind] += 1
        if diff:
            diffs.append((KINDS.index(kind), index, name, diff, saved))
    kinds = [a.only] if a.only else list(KINDS)
    print(f"\n{'inputs':<12}{'run':>8}{'identical':>11}{'different':>11}")
    for k in kinds:
        c = per_kind[k]
        print(f"{k:<12}{c['run']:>8}{c['identical']:>11}{c['different']:>11}")
    total = sum((per_kind[k] for k in kinds), collections.Counter())
    print(f"{'total':<12}{total['run']:>8}{total['identical']:>11}{total['different']:>11}")

    print(f"\nwhat the base program did (runs per kind of input):\n{'':<72}" + "".join(f"{k:>11}" for k in kinds))
    order = sorted(features, key=lambda f: (f.startswith("error:"), not f.startswith("exit"), f))
    for f in order:
        print(f"  {f[:70]:<70}" + "".join(f"{features[f][k]:>11}" for k in kinds))

    diffs.sort()
    shown = diffs[:a.show]
    diff_dir = os.path.join(OUT_DIR, "diffs")
    with open(os.path.join(diff_dir, "index"), "w") as index:
        for n, (_, _, name, diff, saved) in enumerate(diffs, 1):
            os.rename(saved, os.path.join(diff_dir, str(n)))
            streams = [d[len("--- base "):] for d in diff if d.startswith("--- base ")]
            index.write(f"{n}\t{name}\t{', '.join(streams) or diff[0]}\n")
    for n, (_, _, name, diff, _) in enumerate(shown, 1):
        print(f"\n=== difference {n}: {name} (build-diffcheck/diffs/{n}/)")
        print("\n".join(diff))
    if len(diffs) > len(shown):
        print(f"\n... and {len(diffs) - len(shown)} more differences, all in build-diffcheck/diffs/ "
              "(listed in its index)")
    hangs = sum(features[HANG_OR_CRASH].values())
    if hangs:
        print(f"\nwarning: {hangs} runs of the base program timed out or were killed by a signal")
    print(f"\ndiffcheck: {total['run']} inputs, {total['different']} different, "
          f"{a.jobs} jobs, {elapsed:.0f} s")
    return 1 if diffs else 0


def main(argv=None):
    a = parse_args(argv)
    started = time.monotonic()
    try:
        ref, base, new = prepare_programs(a)
    except UsageError as e:
        print(f"diffcheck: {e}", file=sys.stderr)
        return 2
    cases = case_inputs() if a.only in (None, "cases", "mutants") else []
    diff_dir = os.path.join(OUT_DIR, "diffs")
    shutil.rmtree(diff_dir, ignore_errors=True)
    staging = os.path.join(diff_dir, ".staging")
    os.makedirs(staging)
    tmp = tempfile.mkdtemp(prefix="diffcheck-", dir=SCRATCH_PARENT)
    settings = {"base": base, "new": new, "seed": a.seed, "programs": a.programs, "timeout": a.timeout,
                "staging": staging, "tmp": tmp}
    tasks = tasks_for(a, cases)
    print(f"diffcheck: {len(tasks)} inputs (seed {a.seed}) on {a.jobs} jobs ...", flush=True)
    results = []
    try:
        with multiprocessing.Pool(a.jobs, start_worker, (settings, cases)) as pool:
            for n, result in enumerate(pool.imap_unordered(check_one, tasks, chunksize=4), 1):
                results.append(result)
                if n % 1000 == 0:
                    print(f"  {n} done", flush=True)
    finally:
        shutil.rmtree(tmp, ignore_errors=True)
    status = report(a, results, time.monotonic() - started)
    shutil.rmtree(staging, ignore_errors=True)
    return status


if __name__ == "__main__":
    sys.exit(main())
