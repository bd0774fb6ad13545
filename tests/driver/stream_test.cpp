// Passing the list in parts must give exactly what the whole list gives:
// the same text, the same messages (each said once), the same status. The
// programs below put every kind of line end a part could wrongly end at,
// and everything that makes a passed part wrong afterwards, next to each
// other; with parts of one token, every line end that may end a part does.
#include <string>
#include <vector>

#include "e2e/in_process_support.h"

namespace {

using namespace bprep2_test;

class Streaming : public ScratchDirectoryTest {
   protected:
    // Runs the program whole and in parts of several lengths, each passed
    // on a thread of its own and at once; every run in parts must give what
    // the whole run gives, which is returned.
    Outcome sameInParts(const std::string& program, const char* options = nullptr,
                        const std::string& commandLine = "bprep2 prog.b") {
        write("prog.b", program);
        const bprep2::StreamTuning whole{false, 0, false};
        Outcome expected = runInProcess(commandLine, options, &whole);
        for (bool threaded : {true, false}) {
            for (size_t part : {1, 3, 40}) {
                const bprep2::StreamTuning parts{true, part, threaded};
                Outcome r = runInProcess(commandLine, options, &parts);
                std::string how = "parts of " + std::to_string(part) + (threaded ? ", threaded" : "");
                EXPECT_EQ(r.status, expected.status) << how;
                EXPECT_EQ(r.text, expected.text) << how;
                EXPECT_EQ(r.err, expected.err) << how;
            }
        }
        return expected;
    }
};

std::string lines(const std::vector<std::string>& all) {
    std::string text;
    for (const std::string& line : all) text += line + "\n";
    return text;
}

TEST_F(Streaming, LineEndsNoPassMayLookPast) {
    Outcome r = sameInParts(lines({
        "DEFFUN F(A,",
        "   B)",
        "DEFFUN G(A ]",                             // its arguments end at the next ')'
        ")",
        "X = 1",
        "IF REC<1,2> > LIMIT THEN Y = 2",          // comparisons
        "M = AMOUNT(MASK)",                         // FMT rewrite
        "CALL UPDATE(A,",
        "   B)",
        "PRINT A,",                                 // the writer pulls the next line up
        "   B",
        "",
        "Z = DATE",                                 // a built-in name, its '(' on the next line
        "(1)",
        "IF A THEN {",
        "   Q = 1",
        "}",                                        // its ELSE on the next line
        "else {",
        "   Q = 2",
        "} ELSE",
        "{",
        "   Q = 3",
        "}",                                        // what follows it on the next line
        "elseif B {",
        "   Q = 4",
        "}",
        "T = (1 +",                                 // brackets open over a line end
        "  2)",
        "V = AMOUNT(1 [ )",
        ")",
        "IF X",
        "",
        "THEN W = 1",                               // joined to the line before
        "ELSE W = 2",
        "S = 1 + ...",                              // continued
        "  2",
        "10: GOTO 10",
        "STOPE 'halt'",
        "P = $QUOLT",                               // the runtime's declarations go in front
        "TCLREAD CMD",
    }), "stop");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.text.find("FMT(AMOUNT,(MASK))"), std::string::npos);
    EXPECT_NE(r.text.find("DEFC VAR qObjectQUOLT(INT)"), std::string::npos);
}

TEST_F(Streaming, LateDeclarationsChangeEarlierLines) {
    std::vector<std::string> program(30, "X = X + 1");
    program.insert(program.begin(), {"Y = TOTAL(1)", "Z = fn(2)", "V = fn"});
    program.push_back("DIM TOTAL(10)");
    Outcome r = sameInParts(lines(program));
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.text.find("Y = TOTAL(1)"), std::string::npos) << "an array, though dimensioned later";
    program.push_back("DEFFUN fn(A)");
    r = sameInParts(lines(program));
    EXPECT_NE(r.text.find("V = fn"), std::string::npos) << "a function keeps its case";

    // Declared once parts were passed, and used only after: no passed part
    // changes, and the parts after know the array.
    program.assign(30, "X = X + 1");
    program.insert(program.begin() + 20, "DIM LATER(3)");
    program.insert(program.end(), {"U = LATER(1)", "W = AMOUNT(1)"});
    r = sameInParts(lines(program));
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.text.find("U = LATER(1)"), std::string::npos);
    EXPECT_NE(r.text.find("W = FMT(AMOUNT,(1))"), std::string::npos);
}

TEST_F(Streaming, LateOptionsAndFailuresAreSaidOnce) {
    std::vector<std::string> program(30, "X = X + 1 /* a /* nested */");
    program.insert(program.begin() + 10, "#option case, frobnitz");
    Outcome r = sameInParts(lines(program), "echo", "bprep2 -Z prog.b");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(occurrences(r.err, "Unknown option word 'frobnitz'"), 1u);
    EXPECT_EQ(occurrences(r.err, "bprep2 called as"), 1u);
    EXPECT_EQ(occurrences(r.err, "Z is an unknown option"), 1u);
    EXPECT_EQ(occurrences(r.err, "Nested comments found"), 30u);

    // A pass that fails names the line counted from the top, whether the
    // failing line was passed early or with the rest.
    for (size_t after : {5, 0}) {
        program.assign(30, "X = X + 1 /* a /* nested */");
        program.push_back("Y = V(1, 2)");
        program.insert(program.end(), after, "X = 2");
        r = sameInParts(lines(program));
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(occurrences(r.err, "Nested comments found"), 30u);
        EXPECT_NE(r.err.find("Variable V at line 31 in file prog.b"), std::string::npos) << r.err;
    }
}

}  // namespace
