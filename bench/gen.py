#!/usr/bin/env python3
"""Generates large synthetic BASIC programs for the benchmark.

usage: gen.py FLAVOUR LINES DIR
       gen.py batch PROGRAMS DIR
Writes DIR/main.b (and the members it includes) and prints two lines on
standard output: the option words the flavour needs (for BASC_BPREP2, maybe
empty) and the number of bytes a run reads from members, counted once per
inclusion, so throughput can be measured on all the text scanned.

The batch form writes PROGRAMS programs of real sizes instead (DIR/pNNNN.b,
median about 4 KB, a few up to 400 KB), each including some of the members
they share in DIR/inc, and prints the program names, one a line.
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
        f"         READNEXT ITEM.KEY ELSE EXIT",
        f"         IF ITEM.KEY # \"\" THEN LIST<-1> = ITEM.KEY   ! remember it",
        "      REPEAT",
    ]


def write(path, lines):
    """Writes the lines and returns the size of the file."""
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    text = "\n".join(lines) + "\n"
    with open(path, "w") as f:
        f.write(text)
    return len(text.encode())


def gen_plain(lines, out, rnd):
    body = []
    i = 0
    while len(body) < lines:
        body.extend(plain_block(i, rnd))
        i += 1
    write(os.path.join(out, "main.b"), body)
    return "", 0


def gen_equates(lines, out, rnd):
    def name(k):
        return f"EQ.FIELD{k}" if k % 3 == 0 else f"EQ.NAME{k}"
    defs = [f"EQUATE {name(k)} TO REC<{k % 50 + 1}>" if k % 3 == 0 else f"EQU {name(k)} TO {k * 3}"
            for k in range(5000)]
    member = write(os.path.join(out, "inc", "EQUATES"), defs)
    body = ["      INCLUDE EQUATES"]
    i = 0
    while len(body) < lines:
        a, b = rnd.randrange(5000), rnd.randrange(5000)
        body.append(f"      X{i % 50} = {name(a)} + {name(b)} ; PRINT {name(b)}")
        i += 1
    write(os.path.join(out, "main.b"), body)
    return "", member


def gen_includes(lines, out, rnd):
    # Members from an include directory (INCLUDE NAME, found through -I inc)
    # and items of the database file BP ($INSERT BP NAME).
    members = 200
    member_size, item_size = [], []
    for m in range(members):
        member_size.append(write(os.path.join(out, "inc", f"MEMBER{m}"),
                                 [f"      SUB.TOTAL{m} = SUB.TOTAL{m} + 1", f"      CRT 'member {m}'"]))
        item_size.append(write(os.path.join(out, "BP", f"ITEM{m}"),
                               [f"      ITEM.COUNT = ITEM.COUNT + {m}", "      * from a database file"]))
    body = []
    included = 0
    i = 0
    # Each include brings two lines of a member; count them towards the size.
    while len(body) * 2 < lines:
        m = i % members
        if i % 2:
            body.append(f"      INCLUDE MEMBER{m}")
            included += member_size[m]
        else:
            body.append(f"      $INSERT BP ITEM{m}")
            included += item_size[m]
        body.append(f"      X = X + {i}")
        i += 1
    write(os.path.join(out, "main.b"), body)
    return "", included


def gen_fmt(lines, out, rnd):
    body = ["      DEFFUN CALC.RATE(A, B)", "      DIM RATES(100), GRID(10,10)"]
    i = 0
    while len(body) < lines:
        body.append(f"      PRINT AMOUNT{i % 500}('R2#10') : RATES({i % 100}) : CALC.RATE({i}, 2)")
        body.append(f"      LINE = NAME{i % 300}('L#20') : GRID(1, {i % 10})")
        i += 1
    write(os.path.join(out, "main.b"), body)
    return "", 0


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
    return "objects", 0


def gen_directives(lines, out, rnd):
    # Conditionals nested eight deep, alternately taken and skipped, with
    # continuation lines, a #define and an #inline block in each group.
    depth = 8
    body = []
    i = 0
    while len(body) < lines:
        for d in range(depth):
            body.append("#ifdef WIN32" if d % 2 == 0 else "#ifndef NOTDEFINED")
        body.extend([
            f"#define LEVEL{i % 50} {i}",
            f"      X = {i} + ...",
            f"          {i + 1} + ...",
            "          LEVEL0",
            "#ifdef NOTDEFINED",
            "      THIS LINE IS SKIPPED",
            "#ifndef WIN32",
            "      SO IS THIS ONE",
            "#endif",
            "#else",
            f"      Y = 'kept {i}'",
            "#endif",
        ])
        body.extend(["#endif"] * depth)
        body.extend([
            "#inline",
            f"  raw text {i}",
            "#endinline",
        ])
        i += 1
    write(os.path.join(out, "main.b"), body)
    return "", 0


BATCH_MEMBERS = 40
BATCH_MEDIAN_BYTES = 4096
BATCH_LARGEST = (150_000, 250_000, 400_000)


def batch_member(m):
    """A shared member: equates of its own and a few statements."""
    lines = [f"* shared member {m}"]
    lines += [f"      EQU M{m}.F{k} TO REC<{k + 1}>" for k in range(12)]
    lines += [f"      EQU M{m}.LIMIT TO {m * 10 + 5}",
              f"      COMMON /BLK{m}/ M{m}.A, M{m}.B",
              f"      M{m}.A = M{m}.A + 1 ; CRT 'member {m}'"]
    return lines


def batch_program(size, includes, rnd):
    """A program of about `size` bytes using the members it includes."""
    body = ["      DIM GRID(10,10)"] + [f"      INCLUDE MEMBER{m}" for m in includes]
    length = sum(len(line) + 1 for line in body)
    i = 0
    while length < size:
        block = plain_block(i, rnd)
        m = rnd.choice(includes)
        block.append(f"      X = M{m}.F{i % 12} + M{m}.LIMIT ; PRINT AMOUNT('R2#10') : GRID(1, {i % 10})")
        body.extend(block)
        length += sum(len(line) + 1 for line in block)
        i += 1
    body.append("      END")
    return body


def gen_batch(programs, out, rnd):
    for m in range(BATCH_MEMBERS):
        write(os.path.join(out, "inc", f"MEMBER{m}"), batch_member(m))
    names = []
    for p in range(programs):
        if p < len(BATCH_LARGEST):
            size = BATCH_LARGEST[p]
        else:
            size = min(int(rnd.lognormvariate(0, 0.9) * BATCH_MEDIAN_BYTES), BATCH_LARGEST[-1])
        includes = rnd.sample(range(BATCH_MEMBERS), rnd.randint(1, 5))
        name = f"p{p:04d}.b"
        write(os.path.join(out, name), batch_program(size, includes, rnd))
        names.append(name)
    return names


FLAVOURS = {
    "plain": gen_plain,
    "equates": gen_equates,
    "includes": gen_includes,
    "fmt": gen_fmt,
    "objects": gen_objects,
    "directives": gen_directives,
}


def main():
    if len(sys.argv) != 4 or sys.argv[1] not in list(FLAVOURS) + ["batch"]:
        sys.exit(f"usage: gen.py {{{'|'.join(FLAVOURS)}}} LINES DIR | gen.py batch PROGRAMS DIR")
    flavour, lines, out = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    os.makedirs(out, exist_ok=True)
    if flavour == "batch":
        print("\n".join(gen_batch(lines, out, random.Random(lines))))
        return
    words, included = FLAVOURS[flavour](lines, out, random.Random(lines))
    print(words)
    print(included)


if __name__ == "__main__":
    main()
