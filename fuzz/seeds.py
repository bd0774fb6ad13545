#!/usr/bin/env python3
"""Builds the fuzz seed corpora from the end-to-end cases and the examples.

usage: seeds.py OUTDIR   (makes OUTDIR/source, OUTDIR/project, OUTDIR/cmdline)
"""
import glob
import hashlib
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def case_files(path):
    """The input files of one case, in order, and its args line."""
    files, args, current = [], "", None
    for line in open(path, "rb").read().split(b"\n"):
        if line.startswith(b"--- "):
            words = line[4:].split()
            current = None
            if words and words[0] == b"file" and len(words) > 1:
                current = [words[1], []]
                files.append(current)
            continue
        if current is not None:
            current[1].append(line)
        elif line.startswith(b"args:"):
            args = line[5:].strip()
    return [(name, b"\n".join(body)) for name, body in files], args


def save(directory, data):
    os.makedirs(directory, exist_ok=True)
    name = hashlib.sha1(data).hexdigest()
    with open(os.path.join(directory, name), "wb") as f:
        f.write(data)


def main():
    out = sys.argv[1]
    selectors = [b"\x10\x01", b"\x1e\x01", b"\x00\x00", b"\xff\x01"]
    sources = []
    for path in sorted(glob.glob(os.path.join(ROOT, "tests", "cases", "*.case"))):
        files, args = case_files(path)
        if files:
            sources.append([body for _, body in files])
        if args:
            save(os.path.join(out, "cmdline"), args)
    for path in sorted(glob.glob(os.path.join(ROOT, "examples", "**", "*"), recursive=True)):
        if os.path.isfile(path):
            sources.append([open(path, "rb").read()])
    for n, bodies in enumerate(sources):
        selector = selectors[n % len(selectors)]
        save(os.path.join(out, "source"), selector + bodies[-1])
        save(os.path.join(out, "project"), selector + b"\0".join(reversed(bodies)))


if __name__ == "__main__":
    main()
