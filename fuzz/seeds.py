#!/usr/bin/env python3
"""Builds the fuzz seed corpora from the end-to-end cases and the examples.

usage: seeds.py OUTDIR   (makes OUTDIR/source, OUTDIR/project, OUTDIR/cmdline)

A source or project seed starts with two bytes that choose the option words
(see fuzz_support.cpp); bit 15 makes the main source a file instead of an
item, bit 14 has items read by the host stand-in. A project seed holds the
main source and the members A to E, separated by 0x00 bytes (see
project_fuzzer.cpp).
"""
import glob
import hashlib
import os
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# objects+arrow+restart+warnings as item; the same as file; the same with
# items read by the host stand-in; everything off; every mode on; objects,
# dot and self with stats and the token dump.
SELECTORS = [b"\x1a\x01", b"\x1a\x81", b"\x1a\x41", b"\x00\x00", b"\xff\x01", b"\x26\x07"]

# Members reached each way the project target offers, with directives,
# equates and conditionals that cross them.
PROJECT_SEEDS = [
    [b"INCLUDE A\nPRINT X\n", b"EQU X TO 1\n"],
    [b"$INSERT BP B\n#include LIB C\nINCLUDE D\nINSERT E\nPRINT LIMIT",
     b"", b"EQUATE LIMIT LIT '100'\n", b"#define DEBUG\n", b"#ifdef DEBUG\nCRT 1\n#endif\n",
     b"IF A THEN\n  INCLUDE DICT BP B\nEND\n"],
    [b"#ifdef LEVEL\nINCLUDE A\n#else\nINCLUDE BP/B\n#endif\n", b"#ifndef X\nINCLUDE A\n#endif\n",
     b"X = 1; INCLUDE D; Y = 2\n"],
    [b"#option objects\nINCLUDE A\nO->M(1)\n", b"METHOD K::M(A)\nTHIS->X = A\nRETURN\n"],
    [b"TRY\nINCLUDE E\nCATCH E\nEND TRY\n", b"", b"", b"", b"", b"THROW 1\n"],
    [b"#inline\nINCLUDE A\n#endinline\n#header\n$INCLUDE D\n#endheader\n", b"DIM Q(3)\n", b"",
     b"", b"DEFFUN F(A)\n"],
]

CMDLINE_SEEDS = [
    b"-DX=5 -DY -Iinc prog.b", b"-h", b"-x prog.b", b"prog.b -Dy", b"-aMEM main",
    b"-e out.txt prog.b", b"-I inc c.b", b"-hD", b"-DX=abc -I -D", b"-m prog.b",
    b"DLEVEL=2 Iinc\n-aMEM main\nextra words",
]


ESCAPES = {b"r": b"\r", b"t": b"\t", b"n": b"\n", b"\\": b"\\"}


def unescape(text):
    """The bytes of an `escaped` section: \\xHH, \\r, \\t, \\n and \\\\."""
    out, i = bytearray(), 0
    while i < len(text):
        if text[i:i + 1] == b"\\" and text[i + 1:i + 2] == b"x":
            out += bytes([int(text[i + 2:i + 4], 16)])
            i += 4
        elif text[i:i + 1] == b"\\" and text[i + 1:i + 2] in ESCAPES:
            out += ESCAPES[text[i + 1:i + 2]]
            i += 2
        else:
            out += text[i:i + 1]
            i += 1
    return bytes(out)


def case_files(path):
    """The input files of one case, in order, and its args line."""
    files, args, current = [], b"", None
    text = open(path, "rb").read()
    for line in (text[:-1] if text.endswith(b"\n") else text).split(b"\n"):
        if line.startswith(b"--- "):
            words = line[4:].split()
            current = None
            if words and words[0] == b"file" and len(words) > 1:
                current = [line[4:], []]
                files.append(current)
            continue
        if current is not None:
            current[1].append(line)
        elif line.startswith(b"args:"):
            args = line[5:].strip()
    return [file_bytes(header, body) for header, body in files], args


def file_bytes(header, lines):
    """The name and content of one `--- file` section, with its modifiers."""
    words = header.split(b'"')[-1].split() if b'"' in header else header.split()[2:]
    name = header.split(b'"')[1] if b'"' in header else header.split()[1]
    body = b"\n".join(lines)
    body = body if b"noeol" in words else body + b"\n"
    return name, unescape(body) if b"escaped" in words else body


def main_first(files, args):
    """The bodies with the source named last on the command line first."""
    words = args.split()
    main = words[-1] if words else b""
    ordered = sorted(files, key=lambda f: f[0] != main and not f[0].endswith(b"/" + main))
    return [body for _, body in ordered]


def save(directory, data):
    os.makedirs(directory, exist_ok=True)
    name = hashlib.sha1(data).hexdigest()
    with open(os.path.join(directory, name), "wb") as f:
        f.write(data)


def main():
    out = sys.argv[1]
    sources = []
    for path in sorted(glob.glob(os.path.join(ROOT, "tests", "cases", "*.case"))):
        files, args = case_files(path)
        if files:
            sources.append(main_first(files, args))
        if args:
            save(os.path.join(out, "cmdline"), args)
    for path in sorted(glob.glob(os.path.join(ROOT, "examples", "**", "*"), recursive=True)):
        if os.path.isfile(path):
            sources.append([open(path, "rb").read()])
    for n, bodies in enumerate(sources):
        selector = SELECTORS[n % len(SELECTORS)]
        save(os.path.join(out, "source"), selector + bodies[0])
        save(os.path.join(out, "project"), selector + b"\0".join(bodies[:6]))
    for n, bodies in enumerate(PROJECT_SEEDS):
        save(os.path.join(out, "project"), SELECTORS[n % len(SELECTORS)] + b"\0".join(bodies))
    for seed in CMDLINE_SEEDS:
        save(os.path.join(out, "cmdline"), seed)


if __name__ == "__main__":
    main()
