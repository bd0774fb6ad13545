#!/usr/bin/env python3
"""Random but plausible inputs for bprep2: a BASIC program, the members it
includes, the command line and the environment, for tools/diffcheck.py.

usage: program_gen.py [--seed S] [--mutant] INDEX DIR

Writes input number INDEX of seed S (a generated program, or with --mutant
a mutated one) into DIR and prints the command that runs bprep2 on it there.
The same seed and index always give the same bytes.

A program mixes statements, blocks, directives, includes, equates,
declarations and object syntax in proportions chosen per program, so that
across a few thousand programs every path of the pre-processor is taken,
errors included; now and then a program is thousands of lines long. Each
program also picks its own command line (-D, -I, -a, -e), option words
(BASC_BPREP2), UVCASE, release include directory, case style, indentation
and line ends.
"""
import argparse
import os
import random
import re
import shlex
import sys
from dataclasses import dataclass, field

TOOLS_DIR = os.path.dirname(os.path.abspath(__file__))
DICTIONARY = os.path.join(os.path.dirname(TOOLS_DIR), "fuzz", "bprep2.dict")

# Programs this many lines long or more count as long ones.
LONG_PROGRAM_LINES = 2000


@dataclass
class Input:
    """One run: files and directories to lay out in an empty working
    directory, then the arguments (after the program name) and the
    environment variables besides PATH."""
    name: str
    args: list = field(default_factory=list)
    env: list = field(default_factory=list)      # (NAME, VALUE) pairs
    files: list = field(default_factory=list)    # (relative name, bytes) pairs
    dirs: list = field(default_factory=list)     # relative names
    main: str = ""                               # the main source's file, if any

    def command_line(self):
        env = " ".join(f"{k}={shlex.quote(v)}" for k, v in self.env)
        return " ".join(x for x in (env, "bprep2", " ".join(shlex.quote(a) for a in self.args)) if x)


# ---- vocabulary ----------------------------------------------------------------

VARIABLES = ["X", "Y", "Z", "A", "B", "C", "I", "J", "N", "TOTAL", "CUST.ID", "REC", "ITEM.KEY",
             "MSG", "myVar", "Amount", "line.no", "QTY", "LIMIT", "RES", "V1", "V2", "FLAG",
             "NAME.LIST", "ans", "Count2", "X_Y"]
KEYWORD_NAMES = ["DATE", "DEBUG", "ERROR", "TCLREAD", "TIME"]
OBJECTS = ["OBJ", "O", "CUST", "ORDER", "A", "B", "THIS"]
MEMBERS = ["NAME", "COUNT", "ID", "FLAG", "PROP", "X", "Items", "total"]
CLASSES = ["K", "CLS", "INVOICE", "Shape"]
METHODS = ["M", "INIT", "TOTAL", "GetName", "RUN"]
FUNCTION_NAMES = ["CALC.RATE", "GETNAME", "F", "G", "myFn", "DOUBLE", "ADD.UP", "strlen"]
ARRAY_NAMES = ["ARR", "GRID", "RATES", "TBL", "abc", "LINES", "M1"]
MAT_NAMES = ["MP1", "MP2", "Mx"]
SUBROUTINES = ["UPDATE.LEDGER", "mySub", "DONE", "Total", "LOG.IT"]
CONDITIONS = ["LEVEL", "DEBUG", "WIN32", "WIN64", "WINDOWS", "QUOLT_RELEASE_4", "FEATURE", "NOTDEF",
              "lower", "OFF", "NEG"]
EQUATE_NAMES = ["CR", "MAX", "AM.SEP", "FIELD.NO", "msg.text", "ZERO", "PI", "EQ.NAME", "KEY.POS"]
DEFINE_NAMES = ["HELPER", "SIZE", "debug", "EMPTY", "VERSION", "LEVEL", "FEATURE"]
MEMBER_NAMES = ["SUB1", "MYSUB", "EQUATES", "DECLS", "COMMON.DEFS", "INCSUB", "TWO", "lowsub", "HDR",
                "FIVE", "EXTRA"]
AT_VARIABLES = ["@AM", "@VM", "@FM", "@ID", "@RECORD", "@SVM", "@TRUE", "@FOO", "@user_no", "@"]
WORDS = ["ok", "Customer", "over limit", "a,b", "it's", "done;", "x // y", "/* not */", "!", "tab\there",
         "#ifdef X", "say \"hi\"", "50%", "?", "REM"]
MASKS = ["'R2#10'", "'L#20'", "'MD2'", "\"R#5\"", "MASK", "'D4/'"]
OPTION_WORDS = ["objects", "vizla", "dot", "arrow", "self", "stop", "case", "uvcase", "nowarnings",
                "norestart", "tokens", "stats", "keywords", "trace", "echo", "noobjects", "noarrow",
                "warnings", "restart", "nocase", "nostop"]
REPORT_WORDS = {"tokens", "stats", "keywords", "trace"}
SOURCE_OPTION_WORDS = ["objects", "noobjects", "case", "nocase", "nowarnings", "warnings", "dot",
                       "arrow", "noarrow", "self", "stop", "vizla", "uvcase", "norestart", "echo"]
UNKNOWN_CHARACTERS = ["%", "?", "`", "|", "\x01", "\xfe", "\xfd"]
BUILTIN_ONE = ["LEN", "TRIM", "INT", "ABS", "UPCASE", "DOWNCASE", "CHAR", "NUM", "SQRT", "DCOUNT"]
BUILTIN_MORE = [("OCONV", 2), ("ICONV", 2), ("FIELD", 3), ("INDEX", 3), ("MOD", 2), ("LEFT", 2),
                ("RIGHT", 2), ("COUNT", 2), ("DCOUNT", 2), ("CHANGE", 3)]


class ProgramWriter:
    """Writes one program; `r` is its random source, everything else the
    choices it made so far, so that names are declared where they are used
    with several expressions and blocks are closed as they were opened."""

    def __init__(self, r, long_lines=0):
        self.r = r
        self.long_lines = long_lines
        self.files = {}
        self.dirs = set()
        self.lines = []
        self.args, self.env = [], []
        self.case_style = r.choices(["upper", "lower", "mixed"], [6, 1.5, 2.5])[0]
        self.indent_unit = r.choice(["   ", "\t", "  ", ""])
        self.try_depth = 0
        self.labels = []
        self.injected = None
        self.plan()

    # ---- choices made once per program ----

    def plan(self):
        r = self.r
        self.weights = {k: r.random() for k in
                        ("objects", "includes", "directives", "equates", "fmt", "comments", "continuations",
                         "blocks", "keywords", "runtime")}
        self.use_objects = self.weights["objects"] > 0.45
        words = []
        if r.random() < 0.6:
            words = r.sample(OPTION_WORDS, r.choice([1, 1, 1, 2, 2, 3]))
            if self.long_lines:
                words = [w for w in words if w not in REPORT_WORDS or w == "stats"]
        if self.use_objects and not set(words) & {"objects", "vizla", "echo"} and r.random() < 0.3:
            # The echoed command line shows whether the run restarted.
            words.append("echo")
        if words:
            if r.random() < 0.03:
                words.append(r.choice(["frobnicate", "noise", "x"]))
            spelled = [w.upper() if r.random() < 0.1 else w for w in words]
            self.env.append(("BASC_BPREP2", r.choice([":", ",", " ", ", "]).join(spelled)))
        self.dot = "dot" in (w.lower() for w in words)
        if r.random() < 0.08:
            self.env.append(("UVCASE", r.choice(["", "1"])))
        self.functions = r.sample(FUNCTION_NAMES, r.randint(0, 3))
        self.arrays = r.sample([a for a in ARRAY_NAMES if a not in self.functions], r.randint(0, 3))
        self.mats = r.sample(MAT_NAMES, r.randint(0, 2))
        self.equates = []
        self.defines = []
        self.use_members = self.weights["includes"] > 0.5
        self.include_dirs = []
        self.database = None
        self.release = False

    # ---- spelling ----

    def kw(self, word):
        """A keyword in the program's case style."""
        if self.case_style == "upper":
            return word
        if self.case_style == "lower" or self.r.random() < 0.4:
            return word.lower()
        return word.capitalize() if self.r.random() < 0.6 else word

    def name(self, word):
        if self.case_style == "mixed" and self.r.random() < 0.3:
            return self.r.choice([word.lower(), word.upper(), word.capitalize()])
        return word.lower() if self.case_style == "lower" and self.r.random() < 0.5 else word

    def blank(self):
        return self.r.choices([" ", "  ", "\t", ""], [20, 2, 1, 1])[0]

    # ---- expressions ----

    def string(self):
        r = self.r
        text = r.choice(WORDS) if r.random() < 0.5 else r.choice(VARIABLES).lower()
        if r.random() < 0.04:
            text += r.choice(["\xfe", "\xfd", "\xfe1\xfd2"])
        quote = r.choices(["'", '"', "\\"], [5, 4, 1])[0]
        return quote + text.replace(quote, "") + quote

    def variable(self):
        r = self.r
        if r.random() < 0.06:
            return self.kw(r.choice(KEYWORD_NAMES))
        return self.name(r.choice(VARIABLES))

    def object_ref(self, depth):
        r = self.r
        op = "." if self.dot and r.random() < 0.6 else "->"
        obj = self.name(r.choice(OBJECTS))
        member = self.name(r.choice(MEMBERS))
        form = r.randrange(9)
        if form == 0:
            return f"{obj}{op}{member}({self.args_list(depth)})"
        if form == 1:
            return f"{obj}{op}{member}{op}{self.name(r.choice(MEMBERS))}"
        if form == 2:
            return f"{obj}{op}@{self.variable()}"
        if form == 3:
            return f"{self.name(r.choice(CLASSES))}::{self.name(r.choice(METHODS))}({self.args_list(depth)})"
        if form == 4:
            what = r.choice(["OBJECT", "ARRAY"])
            inner = r.choice(["", "()", f"({self.name(r.choice(CLASSES))}, {self.expr(depth + 1)})",
                              f"({self.variable()})"])
            return f"{self.kw('NEW')} {self.kw(what)}{inner}"
        if form == 5:
            return f"{obj}{op}{member}()->{self.name(r.choice(MEMBERS))}"
        if form == 6 and self.arrays:
            return f"{self.name(r.choice(self.arrays))}(1){op}{member}"
        return f"{obj}{op}{member}"

    def args_list(self, depth, count=None):
        count = self.r.choice([0, 1, 1, 2, 2, 3]) if count is None else count
        return ", ".join(self.expr(depth + 1) for _ in range(count))

    def atom(self, depth):
        r = self.r
        w = self.weights
        choices = [
            (10, lambda: self.variable()),
            (5, lambda: r.choice(["1", "12.5", ".5", "100", "0", "3A", "12."])),
            (5, lambda: self.string()),
            (3, lambda: f"{self.variable()}<{', '.join(r.choice(['1', '2', 'I', '-1']) for _ in range(r.randint(1, 3)))}>"),
            (2, lambda: f"{self.kw(r.choice(BUILTIN_ONE))}({self.expr(depth + 1)})"),
            (2, lambda: self.builtin_more(depth)),
            (1, lambda: self.kw(r.choice(["DATE()", "TIME()", "DATE", "TIME"]))),
            (1, lambda: r.choice(AT_VARIABLES)),
            (1 + 8 * w["fmt"], lambda: f"{self.variable()}{r.choice(['', ' '])}({r.choice(MASKS)})"),
            (2, lambda: f"({self.expr(depth + 1)})"),
        ]
        if self.functions:
            choices.append((1 + 5 * w["fmt"], lambda: f"{r.choice(self.functions)}({self.args_list(depth)})"))
        if self.arrays:
            choices.append((1 + 5 * w["fmt"], lambda: f"{r.choice(self.arrays)}({self.args_list(depth, r.choice([1, 1, 2]))})"))
        if self.mats:
            choices.append((1, lambda: f"{r.choice(self.mats)}({self.args_list(depth, 1)})"))
        if self.equates:
            choices.append((2 + 6 * w["equates"], lambda: self.name(r.choice(self.equates))))
        if self.defines:
            choices.append((1 + 3 * w["directives"], lambda: r.choice(self.defines)))
        if self.use_objects:
            choices.append((1 + 10 * w["objects"], lambda: self.object_ref(depth)))
        if w["runtime"] > 0.7:
            choices.append((1, lambda: self.kw(r.choice(["$QUOLT", "$FILE", "$SYSTEM", "$DEVELOPMENT"]))))
        weights, makers = zip(*choices)
        return r.choices(makers, weights)[0]()

    def builtin_more(self, depth):
        word, count = self.r.choice(BUILTIN_MORE)
        return f"{self.kw(word)}({self.args_list(depth, count)})"

    def expr(self, depth=0):
        r = self.r
        if depth >= 2 or r.random() < 0.55:
            return self.atom(depth)
        op = r.choice([" + ", "-", " * ", " / ", " : ", ":", " ^ ", f" {self.kw('AND')} ", f" {self.kw('OR')} ",
                       " + -", " ~ "])
        return f"{self.expr(depth + 1)}{op}{self.expr(depth + 1)}"

    def condition(self):
        r = self.r
        op = r.choice([" = ", " < ", " > ", " <= ", " >= ", " <> ", " # ", f" {self.kw('EQ')} ",
                       f" {self.kw('NE')} ", " =< ", " => ", "<", ">", " < = ", " >< "])
        cond = f"{self.expr(1)}{op}{self.expr(1)}"
        if r.random() < 0.2:
            cond += f" {self.kw(r.choice(['AND', 'OR']))} {self.expr(1)}{r.choice([' > ', '<', ' = '])}{self.expr(2)}"
        return cond

    # ---- statements on one line ----

    def target(self):
        r = self.r
        form = r.randrange(10)
        if form == 0:
            return f"{self.variable()}<{r.choice(['1', '-1', '1,2', 'I,J'])}>"
        if form == 1 and self.arrays:
            return f"{self.name(r.choice(self.arrays))}({self.args_list(0, 1)})"
        if form == 2 and self.use_objects:
            op = "." if self.dot and r.random() < 0.6 else "->"
            chain = f"{self.name(r.choice(OBJECTS))}{op}{self.name(r.choice(MEMBERS))}"
            return chain + (f"{op}{self.name(r.choice(MEMBERS))}" if r.random() < 0.2 else "")
        if form == 3 and r.random() < 0.3:
            return self.kw(r.choice(KEYWORD_NAMES))
        return self.variable()

    def simple(self):
        """One statement without a line end."""
        r = self.r
        w = self.weights
        makers = [
            (12, lambda: f"{self.target()}{self.blank()}{r.choice(['=', '=', '=', '+=', ' ='])} {self.expr()}"),
            (5, lambda: f"{self.kw(r.choice(['PRINT', 'CRT', 'DISPLAY']))} {self.print_list()}"),
            (4, lambda: self.call()),
            (2, lambda: self.jump()),
            (1 + 4 * w["keywords"], lambda: self.keyword_statement()),
            (1, lambda: f"{self.kw('IF')} {self.condition()} {self.kw('THEN')} {self.simple()}"),
            (1, lambda: f"{self.kw('IF')} {self.condition()} {self.kw('THEN')} {self.simple()} {self.kw('ELSE')} {self.simple()}"),
        ]
        if self.use_objects:
            makers.append((1 + 4 * w["objects"], lambda: self.object_statement()))
        if w["runtime"] > 0.5:
            makers.append((2, lambda: self.runtime_statement()))
        weights, fns = zip(*makers)
        return r.choices(fns, weights)[0]()

    def print_list(self):
        sep = self.r.choice([", ", " : ", ":", ","])
        return sep.join(self.expr(1) for _ in range(self.r.randint(1, 3)))

    def call(self):
        r = self.r
        form = r.randrange(6)
        sub = self.name(r.choice(SUBROUTINES))
        if form == 0:
            return f"{self.kw('CALL')} @{self.variable()}({self.args_list(0)})"
        if form == 1:
            return f"{self.kw(r.choice(['CALLC', 'CALLJ']))} {sub}"
        if form == 2 and self.arrays:
            return f"{self.kw('CALL')} {sub}({self.kw('MAT')} {self.name(r.choice(self.arrays))}, {self.expr(1)})"
        if form == 3:
            return f"{self.kw('CALL')} {sub}"
        return f"{self.kw('CALL')} {sub}({self.args_list(0)})"

    def jump(self):
        r = self.r
        label = r.choice(self.labels) if self.labels else "10"
        return r.choice([f"{self.kw('GOSUB')} {label}", f"{self.kw('GOTO')} {label}", self.kw("RETURN"),
                         f"{self.kw('ON')} {self.variable()} {self.kw('GOSUB')} 10, 20"])

    def keyword_statement(self):
        r = self.r
        v = self.variable()
        return r.choice([
            self.kw("DEBUG"), f"{self.kw('TCLREAD')} {v}", f"{self.kw('TCLREAD')} {v} {self.kw('ELSE')} {self.kw('STOP')}",
            f"{self.kw('ON')} {self.kw('ERROR')} {self.kw('GOTO')} 10", f"{v} = {self.kw('ERROR')}",
            f"{v} = {self.kw('DEBUG')}", f"{self.kw('DEBUG')} = 1", f"{v}(A {self.kw('TCLREAD')})",
            f"{self.kw('READ')} {v} {self.kw('FROM')} F.FILE, ID {self.kw('ELSE')} {v} = ''",
            f"{self.kw('WRITE')} {v} {self.kw('ON')} F.FILE, ID",
            f"{self.kw('OPEN')} 'CUSTOMERS' {self.kw('TO')} F.FILE {self.kw('ELSE')} {self.kw('STOP')} 201",
            f"{self.kw('LOCATE')} {v} {self.kw('IN')} L<1> {self.kw('SETTING')} P {self.kw('ELSE')} {self.kw('NULL')}",
            self.kw("CALLONEXIT"), f"{self.kw('STOP')}", f"{self.kw('ABORT')}", f"{self.kw('NULL')}",
            f"{self.kw('FIELD')}({v}, ',', 1)", f"{self.kw('CHANGE')} 'a' {self.kw('TO')} 'b' {self.kw('IN')} {v}",
            f"{self.kw('EXECUTE')} 'LIST' {self.kw('CAPTURING')} OUT",
        ])

    def runtime_statement(self):
        r = self.r
        stop = self.kw(r.choice(["STOPE", "STOPM"]))
        return r.choice([stop, f"{stop} {self.expr(1)}", f"{stop} {self.string()}, 2",
                         f"{self.kw('IF')} {self.variable()} {self.kw('THEN')} {stop} {self.kw('ELSE')} {stop}",
                         f"{self.variable()} = {self.kw(r.choice(['$QUOLT', '$FILE', '$SYSTEM', '$DEVELOPMENT']))}"])

    def object_statement(self):
        r = self.r
        op = "." if self.dot and r.random() < 0.6 else "->"
        obj, member = self.name(r.choice(OBJECTS)), self.name(r.choice(MEMBERS))
        return r.choice([
            f"{obj}{op}{member} = {self.expr(1)}",
            f"{obj}{op}{member}({self.args_list(0)})",
            f"{obj}{op}{member}{op}{self.name(r.choice(MEMBERS))} = {self.expr(1)}",
            f"{self.name(r.choice(CLASSES))}::{self.name(r.choice(METHODS))}({self.args_list(0)})",
            f"{self.kw('THROW')} {self.expr(1)}" if r.random() < 0.7 else self.kw("THROW"),
            f"{self.variable()} = {self.kw('NEW')} {self.kw('OBJECT')}({self.name(r.choice(CLASSES))})",
            f"{self.kw('IF')} {self.condition()} {self.kw('THEN')} {obj}{op}{member} = 1 {self.kw('ELSE')} {obj}{op}{member} = 2",
            f"{obj} {op} {member} = 1; {self.kw('CRT')} 2",
        ])

    def comment(self):
        """A comment line, or a statement with a comment after it."""
        r = self.r
        text = r.choice(["note", "section 1", "it's here", "TODO: x", "/* inside */", "\"quote", "x /* a /* b */"])
        # Inside a statement * and ! are operators: what follows is code.
        code = r.choice(["note", "section 1", "x /* a /* b */ + 1", "2 // rest"])
        return r.choice([f"* {text}", f"! {text}", f"{self.kw('REM')} {text}", f"{self.simple_plain()} ; * {text}",
                         f"{self.simple_plain()} // {text}", f"{self.simple_plain()} /* {text} */ + 1",
                         f"{self.simple_plain()} ! {code}", f"*{text}", f"{self.simple_plain()} ;! {text}"])

    def simple_plain(self):
        return f"{self.variable()} = {self.expr(2)}"

    # ---- lines ----

    def emit(self, line, depth=0):
        self.lines.append(self.indent_unit * depth + line)

    def statement_line(self, depth):
        r = self.r
        line = self.simple()
        roll = r.random()
        if roll < 0.1:
            line = f"{line}{r.choice(['; ', ';', ' ; '])}{self.simple()}"
            if r.random() < 0.2:
                line += r.choice([";", " ;  ", ";;" + self.simple()])
        elif roll < 0.16:
            label = r.choice(["10", "20", "30", "1.5", "LBL1", "Start", "LOOP2", "DONE", "X_1"])
            self.labels.append(label)
            line = f"{label}{':' if not label[0].isdigit() or r.random() < 0.3 else ''} {line}"
        self.emit(line, depth)

    def block(self, depth, count):
        for _ in range(count):
            self.construct(depth)

    def construct(self, depth):
        r = self.r
        w = self.weights
        nested = depth < 4
        makers = [
            (30, lambda: self.statement_line(depth)),
            (1 + 4 * w["blocks"] if nested else 0, lambda: self.if_block(depth)),
            (1 + 2 * w["blocks"] if nested else 0, lambda: self.loop_block(depth)),
            (1 + 2 * w["blocks"] if nested else 0, lambda: self.brace_block(depth)),
            (1 * w["blocks"] if nested else 0, lambda: self.case_block(depth)),
            (1 + 5 * w["continuations"], lambda: self.continued(depth)),
            (1 + 3 * w["comments"], lambda: self.comment_lines(depth)),
            (1 + 6 * w["directives"] if nested else 0, lambda: self.conditional(depth)),
            (0.3 + 2 * w["directives"], lambda: self.raw_block(depth)),
            (1 + 3 * w["directives"], lambda: self.option_line()),
            (1 + 6 * w["equates"], lambda: self.equate(depth)),
            (1 + 2 * w["directives"], lambda: self.define()),
            (2 * w["fmt"] + 0.5, lambda: self.declaration(depth)),
            (6 * w["includes"] if self.use_members else 0, lambda: self.include(depth)),
            (1, lambda: self.emit("")),
        ]
        if self.use_objects and nested and self.try_depth < 3:
            makers.append((1 + 3 * w["objects"], lambda: self.try_block(depth)))
        if self.use_objects:
            makers.append((1 * w["objects"], lambda: self.method_line()))
        if r.random() < 0.001:
            makers.append((1000, lambda: self.rare_directive()))
        weights, fns = zip(*makers)
        r.choices(fns, weights)[0]()

    def if_block(self, depth):
        r = self.r
        IF, THEN, ELSE, END = (self.kw(k) for k in ("IF", "THEN", "ELSE", "END"))
        form = r.randrange(5)
        if form == 0:
            self.emit(f"{IF} {self.condition()} {THEN}", depth)
            self.block(depth + 1, r.randint(1, 3))
            if r.random() < 0.5:
                self.emit(f"{END} {ELSE}", depth)
                self.block(depth + 1, r.randint(1, 3))
            self.emit(END, depth)
        elif form == 1:
            # THEN and ELSE starting lines of their own join the IF line.
            self.emit(f"{IF} {self.condition()}", depth)
            if r.random() < 0.3:
                self.emit(r.choice(["", "* between", f"#define {r.choice(DEFINE_NAMES)} 1"]))
            self.emit(f"{THEN} {self.simple()}", depth + 1)
            if r.random() < 0.6:
                self.emit(f"{ELSE} {self.simple()}", depth + 1)
        elif form == 2:
            self.emit(f"{IF} {self.condition()} {THEN} {self.simple()} {ELSE} {self.simple()}", depth)
        elif form == 3:
            self.emit(f"{IF} {self.condition()} {ELSE}", depth)
            self.block(depth + 1, r.randint(1, 2))
            self.emit(END, depth)
        else:
            self.emit(f"{IF} {self.condition()} {THEN}{r.choice([';', ''])} {self.simple()}", depth)

    def brace_block(self, depth):
        r = self.r
        IF = self.kw("IF")
        if r.random() < 0.3:
            self.emit(f"{IF} {self.condition()} {{ {self.simple()} }} {r.choice(['else', 'ELSE'])} {{ {self.simple()} }}", depth)
            return
        self.emit(f"{IF} {self.condition()} {{", depth)
        self.block(depth + 1, r.randint(1, 2))
        for _ in range(r.choice([0, 0, 1, 2])):
            if r.random() < 0.5:
                self.emit(f"}} {r.choice(['elseif', 'ELSEIF', 'elseif'])} {self.condition()} {{", depth)
            else:
                self.emit("}", depth)
                self.emit(f"{r.choice(['else', 'elseif ' + self.variable()])} {{", depth)
            self.block(depth + 1, r.randint(1, 2))
        if r.random() < 0.5:
            self.emit(f"}} {r.choice(['else', 'ELSE', 'Else'])} {{", depth)
            self.block(depth + 1, r.randint(1, 2))
        self.emit("}", depth)

    def loop_block(self, depth):
        r = self.r
        form = r.randrange(3)
        if form == 0:
            self.emit(self.kw("LOOP") + (f" {self.simple()}" if r.random() < 0.2 else ""), depth)
            self.block(depth + 1, r.randint(0, 2))
            self.emit(f"{self.kw(r.choice(['WHILE', 'UNTIL']))} {self.condition()} {self.kw('DO')}", depth)
            self.block(depth + 1, r.randint(1, 2))
            self.emit(self.kw("REPEAT"), depth)
        elif form == 1:
            var = self.name(r.choice(["I", "J", "N"]))
            self.emit(f"{self.kw('FOR')} {var} = 1 {self.kw('TO')} {self.expr(2)}", depth)
            self.block(depth + 1, r.randint(1, 3))
            self.emit(f"{self.kw('NEXT')} {var}", depth)
        else:
            self.emit(f"{self.kw('LOOP')} {self.kw('WHILE')} {self.condition()} {self.kw('DO')}", depth)
            self.block(depth + 1, r.randint(1, 2))
            self.emit(self.kw("REPEAT"), depth)

    def case_block(self, depth):
        r = self.r
        self.emit(f"{self.kw('BEGIN')} {self.kw('CASE')}", depth)
        for _ in range(r.randint(1, 3)):
            self.emit(f"{self.kw('CASE')} {self.condition() if r.random() < 0.8 else '1'}", depth + 1)
            self.block(depth + 2, r.randint(1, 2))
        self.emit(f"{self.kw('END')} {self.kw('CASE')}", depth)

    def try_block(self, depth):
        r = self.r
        self.try_depth += 1
        self.emit(self.kw("TRY"), depth)
        self.block(depth + 1, r.randint(1, 3))
        if r.random() < 0.8:
            self.emit(self.kw("CATCH") + r.choice(["", " ERR", " e", " ;"]), depth)
            self.block(depth + 1, r.randint(0, 2))
        self.emit(f"{self.kw('END')} {self.kw('TRY')}", depth)
        self.try_depth -= 1

    def method_line(self):
        r = self.r
        cls, method = self.name(r.choice(CLASSES)), self.name(r.choice(METHODS))
        self.emit(r.choice([f"{self.kw('METHOD')} {cls}::{method}({self.args_list(0)})",
                            f"{self.kw('METHOD')} {cls}::~{cls}()", f"{self.kw('METHOD')} {cls}::{method}"]))

    def continued(self, depth):
        r = self.r
        form = r.randrange(5)
        if form == 0:
            parts = [self.expr(1) for _ in range(r.randint(2, 4))]
            self.emit(f"{self.variable()} = {parts[0]} + ...", depth)
            for p in parts[1:-1]:
                self.emit(f"   {p} + ...", depth)
            self.emit(f"   {parts[-1]}", depth)
        elif form == 1:
            self.emit(f"{self.kw('CALL')} {self.name(r.choice(SUBROUTINES))}({self.expr(1)},", depth)
            if r.random() < 0.3:
                self.emit(r.choice(["* note", "", "   "]))
            self.emit(f"   {self.expr(1)})", depth)
        elif form == 2:
            quote = r.choice(["'", '"'])
            self.emit(f"{self.variable()} = {quote}one\\", depth)
            for _ in range(r.randint(0, 2)):
                self.emit("middle\\")
            self.emit(f"end{quote}{r.choice(['', ' : X'])}")
        elif form == 3:
            self.emit(f"{self.kw(r.choice(['PRINT', 'CRT']))} {self.expr(1)},", depth)
            self.emit(f"   {self.expr(1)}", depth)
        else:
            self.emit(f"{self.kw('CALL')} {self.name(r.choice(SUBROUTINES))}({self.expr(1)}, ... )", depth)

    def comment_lines(self, depth):
        r = self.r
        if r.random() < 0.6:
            self.emit(self.comment(), depth)
            return
        self.emit(f"/* {r.choice(['block comment', 'opened', ''])}{' /* nested' if r.random() < 0.2 else ''}", depth)
        for _ in range(r.randint(0, 3)):
            self.emit(r.choice(["  still open", "  X = 1", "  'quote", "", "  #ifdef X"]))
        self.emit(r.choice(["*/", "  closed */", "*/ " + self.simple_plain()]), depth)

    # ---- directives ----

    def conditional(self, depth):
        r = self.r
        kind = r.choices(["ifdef", "ifndef", "if"], [5, 3, 2])[0]
        name = r.choice(CONDITIONS + self.defines + [n.upper() for n in self.equates]) if r.random() < 0.99 else ""
        extra = r.choice(["", "", "", " extra words"])
        self.emit(f"{'#' if r.random() < 0.9 else '$'}{r.choice([kind, kind, kind.upper(), kind.capitalize()])} {name}{extra}")
        self.block(depth + 1, r.randint(1, 3))
        if r.random() < 0.45:
            self.emit(r.choice(["#else", "#ELSE", "#Else", "$else"]))
            self.block(depth + 1, r.randint(1, 3))
        self.emit(r.choices(["#endif", "#end", "#ENDIF", "  #endif", "$End"], [8, 2, 1, 1, 1])[0])

    def raw_block(self, depth):
        r = self.r
        kind = r.choice(["inline", "header", "cheader", "bprepfilename", "file"])
        if kind == "cheader":
            self.emit(f"#cheader {r.choice(['int x;', '#include <stdio.h>', ''])}")
        elif kind == "bprepfilename":
            self.emit(r.choice(['#bprepfilename "src/main.b" "120"', "#bprepfilename 'other.b' :7",
                                "#bprepfilename onlyone", '#bprepfilename "x/y.b" "5"']))
        elif kind == "file":
            self.emit(r.choice(["#file w", "#quolt junk", "#varappend anything"]))
        else:
            self.emit(f"#{kind}")
            for _ in range(r.randint(0, 3)):
                self.emit(r.choice(["  raw; 'text /* #else", "int y = 0;", "X = OBJ->NAME", "   #ENDINLINE", ""]))
            end = f"#end{kind}" if r.random() < 0.6 else f"#{kind}end"
            self.emit(("   " if kind == "inline" and r.random() < 0.3 else "") + end)

    def option_line(self):
        r = self.r
        words = r.sample(SOURCE_OPTION_WORDS, r.randint(1, 3))
        if "noobjects" in words and (self.use_objects or r.random() < 0.5):
            words.remove("noobjects")
        if not words:
            words = ["nowarnings"]
        sep = r.choice([", ", ":", " ", " , "])
        lead = r.choices(["#option", "$options", "#Option", "$OPTIONS", "#options"], [6, 2, 1, 1, 1])[0]
        self.emit(f"{lead} {sep.join(words)}")
        if "dot" in words:
            self.dot = True

    def define(self):
        r = self.r
        name = r.choice(DEFINE_NAMES)
        value = r.choice(["", " 1", " 42", " uu vv  ", " X + 1", " 'text'"])
        self.emit(f"#define {name}{value}")
        if name not in self.defines and value.strip() and r.random() < 0.7:
            self.defines.append(name)

    def equate(self, depth):
        r = self.r
        count = r.choice([1, 1, 1, 2, 3])
        parts = []
        for _ in range(count):
            name = r.choice([n for n in EQUATE_NAMES if not (self.dot and "." in n)])
            how = r.choices(["TO", "LIT", "LITERALLY"], [6, 2, 1])[0]
            if how == "TO":
                value = r.choice(["1", "CHAR(13)", "REC<1,2>", "'text'", '"a,b"', "X + 1", "@AM", "0",
                                  f"{r.choice(VARIABLES)}<{r.randint(1, 9)}>", "3.14"])
            else:
                value = r.choice(["'a,b'", '"x" y', "'1'", "'EQ.OTHER'"])
            parts.append(f"{self.name(name)} {self.kw(how)} {value}")
            if name not in self.equates:
                self.equates.append(name)
        self.emit(f"{self.kw(r.choice(['EQUATE', 'EQU', 'EQU']))} {', '.join(parts)}", depth)

    def declaration(self, depth):
        r = self.r
        form = r.randrange(6)
        if form in (0, 1) and self.arrays:
            self.emit(self.dimension(r.sample(self.arrays, r.randint(1, len(self.arrays)))), depth)
        elif form in (2, 3) and self.functions:
            for line in self.function_declaration(r.choice(self.functions)).split("\n"):
                self.emit(line, depth)
        elif form == 4 and self.mats:
            self.emit(self.mat_parameters(), depth)
        else:
            self.emit(f"{self.kw('SUBROUTINE')} {self.name(r.choice(SUBROUTINES))}({self.args_list(1, r.randint(0, 2)) or 'X'})", depth)

    def dimension(self, names, kw=None):
        r = self.r
        kw = kw or self.kw
        dims = ", ".join(f"{n}({r.choice(['10', '5,5', '100', 'N'])})" for n in names)
        lead = r.choice(["DIM", "DIMENSION", "COM", "COMMON /BLK/", "COMMON /X/", "DIM"]).split()
        return " ".join([kw(lead[0])] + lead[1:] + [dims])

    def function_declaration(self, fn, kw=None):
        r = self.r
        kw = kw or self.kw
        lead = r.choice(["DEFFUN", "DEFFUN VAR", "DEFC INT", "DEFC VAR", "DEFB VAR", "DEFFUN STRING", "DEFCPP STRING"])
        params = r.choice(["", "(A, B)", "(A)", "()", "(STRING, INT)", "(VAR)", "(A,\n   B)"])
        return f"{' '.join(kw(x) for x in lead.split())} {fn}{params}"

    def mat_parameters(self, kw=None):
        kw = kw or self.kw
        mats = ", ".join(f"{kw('MAT')} {m}" for m in self.mats)
        return f"{kw(self.r.choice(['SUBROUTINE', 'SUB', 'FUNCTION']))} {self.name(self.r.choice(SUBROUTINES))}({mats}, N1)"

    def declare_everything(self, places):
        """A declaration of every function, array and MAT parameter at some
        of `places` (line numbers between top-level constructs), mostly
        early: a name used with several expressions that is never declared
        stops the run, which should be the exception."""
        r = self.r
        upper = str  # the case option would make lower-case keywords names
        lines = [self.function_declaration(fn, upper) for fn in self.functions]
        if self.arrays:
            lines.append(self.dimension(self.arrays, upper))
        if self.mats:
            lines.append(self.mat_parameters(upper))
        early = places[:max(1, len(places) // 3)]
        at = [r.choice(early if r.random() < 0.85 else places) for _ in lines]
        for place, line in sorted(zip(at, lines), reverse=True):
            self.lines[place:place] = line.split("\n")

    def rare_directive(self):
        """Directive forms that stop the run or end a region in odd places."""
        self.emit(self.r.choice(["#endinline", "# ifdef X", "#define 9X", "#unknownword", "#else", "#endif",
                                 "#ifndef", "#header", "#inline", "EQU Z TO 1 ,", "#define"]))

    # ---- includes ----

    def add_member(self, depth=0):
        """A member file somewhere it will be found, and the statement that
        includes it."""
        r = self.r
        name = r.choice(MEMBER_NAMES)
        where = r.choice(["file", "inc", "inc2", "rel", "bp", "bp", "dict", "db"])
        if where in ("inc", "inc2"):
            if where not in self.include_dirs:
                self.include_dirs.append(where)
            path = f"{where}/{name}"
        elif where == "rel":
            self.release = True
            path = f"rel/include/{name}"
        elif where == "bp":
            path = f"BP/{name}"
        elif where == "dict":
            path = f"DICT BP/{name}"
        elif where == "db":
            self.database = "BP"
            path = f"BP/{name}"
        else:
            path = name
        if path not in self.files and depth < 3:
            # Reserved before its body is made: a member that happens to
            # include itself is not made again.
            self.files[path] = None
            self.files[path] = self.member_body(path, depth)
        return self.include_statement(where, name)

    def include_statement(self, where, name):
        r = self.r
        plain = r.choice(["INCLUDE", "INSERT", "$INCLUDE", "$INSERT", "#include", "#insert", "include"])
        lead = plain if plain.startswith(("$", "#")) else self.kw(plain)
        if where == "bp":
            return r.choice([f"{lead} BP {name}", f"{lead} BP/{name}", f"{lead} BP\\{name}",
                             f"{lead} BP {name} EXTRA"])
        if where == "dict":
            return r.choice([f"{lead} DICT BP {name}", f"{lead} dict BP/{name}", f"{lead} Dict BP {name}"])
        return f"{lead} {name}" + r.choice(["", "", "", f" ; {self.simple_plain()}"])

    def member_body(self, path, depth):
        r = self.r
        saved, self.lines = self.lines, []
        saved_try, self.try_depth = self.try_depth, 3  # no TRY blocks across member ends
        saved_members, self.use_members = self.use_members, False
        for _ in range(r.randint(0, 5)):
            roll = r.random()
            if roll < 0.15 and depth < 2:
                self.emit(self.add_member(depth + 1))
            elif roll < 0.3:
                self.equate(0)
            elif roll < 0.4:
                self.declaration(0)
            elif roll < 0.45:
                self.define()
            else:
                self.construct(1)
        body, self.lines, self.try_depth, self.use_members = self.lines, saved, saved_try, saved_members
        item = path.startswith(("BP/", "DICT BP/"))
        return self.serialise(body, item=item)

    def include(self, depth):
        self.emit(self.add_member(), depth)

    # ---- errors ----

    COMMAND_LINE_ERRORS = ["no source", "help", "m option", "bad option", "missing source"]

    def error_constructs(self):
        """Lines that stop the run, by kind: the lines, the option words
        they need (None: the program's own) and whether they go last."""
        r = self.r
        v = self.variable()
        opener = r.choice(['"abc', "'abc", "\\"])
        return {
            "character": ([f"{v} = A {r.choice(UNKNOWN_CHARACTERS)} 2"], None, False),
            "string": ([f"{v} = {opener}"], None, False),
            "neither": ([f"{v} = ZQ{r.randint(1, 9)}(1, 2)"], None, False),
            "both": (["DEFFUN TWICE", "DIM TWICE(5)", "X = TWICE(1)"], None, False),
            "unbalanced": ([f"#ifndef {r.choice(CONDITIONS)}", "A = 1"], None, True),
            "else": (["#else"], None, False),
            "endif": ([r.choice(["#endif", "#end"])], None, False),
            "member": ([f"INCLUDE NOPE{r.randint(1, 9)}"], None, False),
            "item": ([r.choice(["INCLUDE BP NOPE", "$INCLUDE BP/NOPE", "INCLUDE DICT BP NOPE"])], None, False),
            "database": ([r.choice(["$INCLUDE NOFILE/ITEM", "INCLUDE NOFILE ITEM"])], None, False),
            "continuation": ([f"{v} = 2 + ..."], None, True),
            "define": ([r.choice(["#define 9X", "#define"])], None, False),
            "equate": (["EQU Z TO 1 ,"], None, False),
            "recursive equate": (["EQU RQ TO RQ+1", "X = RQ"], None, False),
            "recursive include": (["INCLUDE SELF"], None, False),
            "blank": (["# ifdef X"], None, False),
            "directive": ([r.choice(["#endinline", "#endheader", "#bogus"])], None, False),
            "nesting": (["#ifdef NOTDEF"] + ["#ifdef A"] * 10, None, False),
            "try nesting": (["TRY"] * 4, "objects", False),
            "end try": (["END TRY"], "vizla", False),
            "catch": (["TRY", "CATCH", "CATCH E", "END TRY"], "objects", False),
            "new": (["X = NEW"], "vizla", False),
            "member op": (["X = OBJ->@"], "vizla", False),
            "restart again": (["#option noobjects", "X = OBJ->NAME"], "", False),
        }

    def inject_error(self):
        """One construct that makes the run fail, somewhere in the program,
        or a command line that does."""
        r = self.r
        constructs = self.error_constructs()
        self.injected = r.choice(list(constructs) + self.COMMAND_LINE_ERRORS)
        if self.injected not in constructs:
            return
        lines, words, last = constructs[self.injected]
        if words is not None:
            self.env = [e for e in self.env if e[0] != "BASC_BPREP2"] + ([("BASC_BPREP2", words)] if words else [])
        if self.injected == "item":
            self.dirs.add("BP")
        elif self.injected == "recursive include":
            self.files["SELF"] = b"INCLUDE SELF\n"
        at = len(self.lines) if last else r.randint(0, len(self.lines))
        self.lines[at:at] = lines

    # ---- the whole program ----

    def serialise(self, lines, item=False):
        """The text of a file or an item. An item's lines may end with the
        attribute mark, so a mark inside them mostly becomes a value mark;
        in a file a lone CR is no line end but an unknown character."""
        r = self.r
        if item:
            ends = r.choices([["\xfe"], ["\n"], ["\r\n"], ["\r"], ["\n", "\r\n", "\r", "\xfe"]], [4, 3, 2, 1, 2])[0]
            if r.random() < 0.9:
                lines = [line.replace("\xfe", "\xfd") for line in lines]
        else:
            ends = r.choices([["\n"], ["\r\n"], ["\n", "\r\n"], ["\r"]], [14, 4, 2, 0.1])[0]
        chosen = [r.choice(ends) for _ in lines]
        if chosen and r.random() < 0.12:
            chosen[-1] = ""
        return "".join(line + end for line, end in zip(lines, chosen)).encode("latin-1")

    def build(self, name):
        r = self.r
        target = self.long_lines or r.choice([3, 6, 10, 15, 20, 30, 40, 60])
        places = []
        while len(self.lines) < target:
            places.append(len(self.lines))
            self.construct(0)
        places.append(len(self.lines))
        if self.long_lines and r.random() < 0.5:
            # A declaration or #option after the first parts were passed
            # makes the run start over with the whole list.
            if r.random() < 0.5:
                self.declaration(0)
            else:
                self.option_line()
            self.block(0, 20)
        self.declare_everything(places)
        if not self.long_lines and r.random() < 0.3:
            self.inject_error()
        return self.finish(name)

    def finish(self, name):
        r = self.r
        args = []
        for _ in range(r.choice([0, 0, 1, 1, 2, 3])):
            cond = r.choice(CONDITIONS)
            value = r.choice(["", "", "=1", "=0", "=3", "=-1", "=-5", "=abc"])
            args += [f"-D{cond}{value}"] if r.random() < 0.5 else ["-D", f"{cond}{value}"]
        for d in self.include_dirs + (["inc"] if r.random() < 0.1 else []):
            args += [f"-I{d}"] if r.random() < 0.3 else ["-I", d]
        if self.database or r.random() < 0.05:
            args += ["-a", self.database or "BP"]
        if r.random() < 0.12:
            export = r.choice(["equates.txt", "out/eq.txt", "missing/eq.txt"])
            if export.startswith("out/"):
                self.dirs.add("out")
            args += ["-e", export]
        if self.release:
            self.env.append(("BASCRELEASEDIR", r.choice(["rel"] * 9 + ["norel"])))
        where = r.choices(["file", "inc", "item"], [14, 1, 1])[0]
        source = r.choice(["prog.b", "prog.b", "main.bas", "PROG"])
        if where == "inc":
            path = f"inc/{source}"
            if "-I" not in args and "-Iinc" not in args:
                args += ["-I", "inc"]
        elif where == "item":
            path = f"SRC/{source}"
            args += ["-a", "SRC"]
        else:
            path = source
        self.files[path] = self.serialise(self.lines, item=where == "item")
        source_at = len(args)
        args.append(source)
        if r.random() < 0.03:
            args += ["extra", "-Dlate"]
        if self.injected is None and r.random() < 0.02:
            self.injected = r.choice(self.COMMAND_LINE_ERRORS)
        if self.injected == "no source":
            del args[source_at]
        elif self.injected == "help":
            args.insert(0, r.choice(["-h", "-?", "-qhD"]))
        elif self.injected == "m option":
            args.insert(0, "-m")
        elif self.injected == "bad option":
            args.insert(0, r.choice(["-x", "-xy", "-", "-Z"]))
        elif self.injected == "missing source":
            args[source_at] = "nope.b"
        files = [(n, b) for n, b in self.files.items() if b is not None]
        return Input(name=name, args=args, env=self.env, files=files, dirs=sorted(self.dirs), main=path)


def program_random(seed, index):
    """The random source of program `index` and the number of lines it is
    to have if it is a long one (else 0)."""
    r = random.Random(f"generated:{seed}:{index}")
    return r, r.randint(LONG_PROGRAM_LINES, 40000) if r.random() < 0.012 else 0


def generate(seed, index):
    """Generated program number `index` of `seed`."""
    r, long_lines = program_random(seed, index)
    return ProgramWriter(r, long_lines).build(f"generated #{index}")


# ---- mutation ------------------------------------------------------------------

def dictionary_words(path=DICTIONARY):
    """The fuzzing dictionary's entries as bytes; a few words if it is gone."""
    words = []
    try:
        with open(path, "rb") as f:
            for line in f:
                line = line.strip()
                if line.startswith(b'"') and line.endswith(b'"') and len(line) > 2:
                    body = line[1:-1]
                    words.append(re.sub(rb"\\x([0-9a-fA-F]{2})", lambda m: bytes([int(m.group(1), 16)]),
                                        body).replace(b'\\"', b'"').replace(b"\\\\", b"\\"))
    except OSError:
        pass
    return words or [b"IF ", b" THEN ", b"->", b"::", b"...", b"#ifdef ", b"#endif", b"'", b'"', b"(", b")"]


TOKEN = re.compile(rb"[A-Za-z$@#][A-Za-z0-9.$_]*|\d+(?:\.\d*)?|->|::|<=|>=|<>|\.\.\.|/\*|\*/|//|[^\s]")
BYTES = b"\"'\\\r\n\t\xfe\xfd(){}<>;:,.*!/#$@%-=+ \x00"


def mutate_bytes(r, data, words):
    """Data changed in one to three places."""
    for _ in range(r.randint(1, 3)):
        lines = data.split(b"\n")
        op = r.randrange(11)
        i = r.randrange(len(lines))
        if op == 0 and len(lines) > 1:
            del lines[i]
        elif op == 1:
            lines.insert(i, lines[i])
        elif op == 2:
            j = r.randrange(len(lines))
            lines[i], lines[j] = lines[j], lines[i]
        elif op == 3 and lines[i]:
            cut = r.randrange(len(lines[i]) + 1)
            lines[i:i + 1] = [lines[i][:cut], lines[i][cut:]]
        elif op == 4 and i + 1 < len(lines):
            lines[i:i + 2] = [lines[i] + r.choice([b"", b" ", b";"]) + lines[i + 1]]
        elif op in (5, 6, 7):
            tokens = list(TOKEN.finditer(lines[i]))
            pos = r.randrange(len(lines[i]) + 1)
            if op == 5 or not tokens:
                lines[i] = lines[i][:pos] + r.choice(words) + lines[i][pos:]
            else:
                t = r.choice(tokens)
                new = b"" if op == 6 else r.choice(words)
                lines[i] = lines[i][:t.start()] + new + lines[i][t.end():]
        else:
            line = bytearray(lines[i])
            pos = r.randrange(len(line) + 1)
            byte = r.choice(BYTES) if r.random() < 0.7 else r.randrange(256)
            if op == 8 or not line:
                line[pos:pos] = bytes([byte])
            elif op == 9:
                del line[min(pos, len(line) - 1)]
            else:
                line[min(pos, len(line) - 1)] = byte
            lines[i] = bytes(line)
        data = b"\n".join(lines)
    return data


def mutate(r, parent, words, name):
    """A copy of `parent` with one of its files (the main source more often
    than not) mutated; the other files and the command line stay."""
    files = list(parent.files)
    if not files:
        return Input(name=name, args=list(parent.args), env=list(parent.env), files=files, dirs=list(parent.dirs))
    mains = [k for k, (n, _) in enumerate(files) if n == parent.main]
    k = mains[0] if mains and r.random() < 0.7 else r.randrange(len(files))
    files[k] = (files[k][0], mutate_bytes(r, files[k][1], words))
    return Input(name=name, args=list(parent.args), env=list(parent.env), files=files,
                 dirs=list(parent.dirs), main=parent.main)


def mutant(seed, index, case_inputs, words, generated_count):
    """Mutant number `index`: a case file's or a generated program's input
    (chosen by the seed) mutated."""
    r = random.Random(f"mutant:{seed}:{index}")
    if case_inputs and (r.random() < 0.3 or generated_count == 0):
        parent = r.choice(case_inputs)
    else:
        # Long programs stay out: a mutant should run as quickly as the rest.
        index = r.randrange(max(generated_count, 1))
        while program_random(seed, index)[1]:
            index = r.randrange(max(generated_count, 1))
        parent = generate(seed, index)
    return mutate(r, parent, words, f"mutant #{index} of {parent.name}")


# ---- laying an input out -------------------------------------------------------

def is_inside(name):
    return bool(name) and not os.path.isabs(name) and ".." not in name.replace("\\", "/").split("/")


def lay_out(inp, directory):
    """Makes the input's directories and files under `directory`."""
    for name in inp.dirs + [n for n, _ in inp.files]:
        if not is_inside(name):
            raise ValueError(f"{inp.name}: {name!r} is not a name inside the working directory")
    for d in inp.dirs:
        os.makedirs(os.path.join(directory, d), exist_ok=True)
    for name, content in inp.files:
        path = os.path.join(directory, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(content)


def main():
    parser = argparse.ArgumentParser(description="Writes one generated or mutated input into a directory.")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--mutant", action="store_true", help="a mutant of a generated program (no case files)")
    parser.add_argument("index", type=int)
    parser.add_argument("directory")
    a = parser.parse_args()
    if a.mutant:
        inp = mutant(a.seed, a.index, [], dictionary_words(), 3000)
    else:
        inp = generate(a.seed, a.index)
    lay_out(inp, a.directory)
    print(inp.command_line())


if __name__ == "__main__":
    sys.exit(main())
