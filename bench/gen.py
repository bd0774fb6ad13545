#!/usr/bin/env python3
"""Generates large synthetic BASIC programs for the benchmark.

usage: gen.py FLAVOUR LINES DIR
Writes DIR/main.b (and the members it includes) and prints the option
words the flavour needs (for BASC_BPREP2) on standard output.
"""
import os
import random
import sys


def plain_block(i, rnd):
    n = i % 97
    return [
        f"LBL{i}: * section {i}",
        f"      CUST.ID = 'C{i:06d}' ; TOTAL = TOTAL + {n}.5",
        f"      IF REC<1,{n % 9 + 1}> > LIMIT AND QTY <= {n} THEN",
        f"         CALL UPDATE.LEDGER(REC, CUST.ID, TOTAL)",
        f"         MSG = \"Customer \" : CUST.ID : ' over limit'",
        "      END ELSE",
        f"         REC<2> = OCONV(DATE(), 'D4/') ; COUNT.{n % 7} += 1",
        "      END",
        "      LOOP",
        f"         READNEXT KEY ELSE EXIT",
        f"         IF KEY # '' THEN LIST<-1> = KEY   ! remember it",
        "      REPEAT",
    ]


def write(path, lines):
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    with open(path, "w") as f:
        f.write("\n".join(lines))
        f.write("\n")


def gen_plain(lines, out, rnd):
    body = []
    i = 0
    while len(body) < lines:
        body.extend(plain_block(i, rnd))
        i += 1
    write(os.path.join(out, "main.b"), body)
    return ""


def gen_equates(lines, out, rnd):
    defs = [f"EQU EQ.NAME{k} TO {k * 3}" if k % 3 else f"EQUATE EQ.FIELD{k} TO REC<{k % 50 + 1}>"
            for k in range(5000)]
    write(os.path.join(out, "inc", "EQUATES"), defs)
    body = ["      INCLUDE EQUATES"]
    i = 0
    while len(body) < lines:
        a = rnd.randrange(5000)
        a -= a % 3 if a % 3 == 0 else 0
        b = rnd.randrange(1, 5000)
        nm = f"EQ.FIELD{a}" if a % 3 == 0 else f"EQ.NAME{a}"
        nb = f"EQ.FIELD{b}" if b % 3 == 0 else f"EQ.NAME{b}"
        body.append(f"      X{i % 50} = {nm} + {nb} ; PRINT {nb}")
        i += 1
    write(os.path.join(out, "main.b"), body)
    return ""


def gen_includes(lines, out, rnd):
    members = 200
    for m in range(members):
        write(os.path.join(out, "inc", f"MEMBER{m}"),
              [f"      SUB.TOTAL{m} = SUB.TOTAL{m} + 1", f"      CRT 'member {m}'"])
        write(os.path.join(out, "BP", f"ITEM{m}"),
              [f"      ITEM.COUNT = ITEM.COUNT + {m}", "      * from a database file"])
    body = []
    i = 0
    # Each include adds two lines of members; count them towards the size.
    total = 0
    while total < lines:
        m = i % members
        if i % 2:
            body.append(f"      INCLUDE MEMBER{m}")
        else:
            body.append(f"      $INSERT BP ITEM{m}")
        body.append(f"      X = X + {i}")
        total += 4
        i += 1
    write(os.path.join(out, "main.b"), body)
    return ""


def gen_fmt(lines, out, rnd):
    body = ["      DEFFUN CALC.RATE(A, B)", "      DIM TABLE(100), GRID(10,10)"]
    i = 0
    while len(body) < lines:
        body.append(f"      PRINT AMOUNT{i % 500}('R2#10') : TABLE({i % 100}) : CALC.RATE({i}, 2)")
        body.append(f"      LINE = NAME{i % 300}('L#20') : GRID(1, {i % 10})")
        i += 1
    write(os.path.join(out, "main.b"), body)
    return ""


def gen_objects(lines, out, rnd):
    body = []
    i = 0
    while len(body) < lines:
        body.append(f"      V{i % 40} = OBJ->NAME{i % 30}")
        body.append(f"      OBJ->COUNT = OBJ->COUNT + {i}")
        body.append(f"      RES = OBJ->METHOD{i % 20}(A, B->PROP, {i})")
        body.append(f"      IF OBJ->FLAG = 1 THEN CALL DONE(OBJ->ID)")
        i += 1
    write(os.path.join(out, "main.b"), body)
    return "objects"


def gen_directives(lines, out, rnd):
    body = []
    i = 0
    while len(body) < lines:
        body.extend([
            "#ifdef WIN32",
            "#ifndef NOTDEFINED",
            f"      X = {i} + ...",
            f"          {i + 1}",
            "#ifdef NOTDEFINED",
            "      THIS LINE IS SKIPPED",
            "#else",
            f"      Y = 'kept {i}'",
            "#endif",
            "#endif",
            "#endif",
            "#inline",
            f"  raw text {i}",
            "#endinline",
        ])
        i += 1
    write(os.path.join(out, "main.b"), body)
    return ""


FLAVOURS = {
    "plain": gen_plain,
    "equates": gen_equates,
    "includes": gen_includes,
    "fmt": gen_fmt,
    "objects": gen_objects,
    "directives": gen_directives,
}


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in FLAVOURS:
        sys.exit(f"usage: gen.py {{{'|'.join(FLAVOURS)}}} LINES DIR")
    flavour, lines, out = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    os.makedirs(out, exist_ok=True)
    print(FLAVOURS[flavour](lines, out, random.Random(lines)))


if __name__ == "__main__":
    main()
