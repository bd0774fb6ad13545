// The statement pass on scanned lines, for what the end-to-end cases cannot
// see: the FMT rewrite's nesting, the errors' line and file, token marks and
// types, the line count kept through brace joins, and rules that look at
// tokens the pass itself inserted.
#include "passes/statement_pass.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "passes/pass_fixture.h"
#include "passes/pass_steps.h"

namespace bprep2_test {
namespace {

const std::string head = "[prog.b:1]";

// Runs the pass over the lines and renders the result; the pass must succeed.
std::string passed(std::initializer_list<std::string_view> lines, uint32_t options = 0) {
    PassFixture f(options);
    for (std::string_view l : lines) f.line(l);
    EXPECT_EQ(f.pass(), 0);
    return f.render();
}

// Runs the pass expecting it to fail; returns what it wrote on stderr.
std::string failed(PassFixture& f) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(f.pass(), 1);
    return testing::internal::GetCapturedStderr();
}

TEST(Parentheses, ClosingBracketAndExpressionCount) {
    PassFixture f;
    f.line("A(,1) B(1,) C(()) D((1)) E(<) F(a[1,2]) G(1] H(");
    std::vector<ParenSpan> spans = measureParentheses(f.ctx);
    auto after = [&](std::string_view name) {
        size_t open = f.find(name) + 1;
        for (const ParenSpan& s : spans)
            if (s.open == open) return s;
        ADD_FAILURE() << "no bracket after " << name;
        return ParenSpan{};
    };
    EXPECT_EQ(after("A").count, 1);  // a leading comma is the first expression
    EXPECT_EQ(after("B").count, 2);
    EXPECT_EQ(after("C").count, 0);  // brackets alone are no expression
    EXPECT_EQ(after("D").count, 1);
    EXPECT_EQ(after("E").count, 0);
    EXPECT_EQ(after("F").count, 1);  // the comma inside [ ] is nested
    EXPECT_EQ(after("a").count, 2);
    EXPECT_EQ(after("G").close, f.find("G") + 3);  // ] closes ( too
    EXPECT_EQ(after("H").close, npos);
    EXPECT_EQ(after("D").close, f.find("D") + 5);
}

TEST(NameResolution, FormattedVariablesBecomeFmtCalls) {
    EXPECT_EQ(passed({"Y = A(B(1))"}), head + "Y = FMT(A,(FMT(B,(1))))\n");
    EXPECT_EQ(passed({"Y = A(1)B(2)"}), head + "Y = FMT(A,(1))FMT(B,(2))\n");
}

TEST(NameResolution, CallWordsMarkTheRoutineNameOnly) {
    PassFixture f;
    f.line("CALL SUB1(X(1))");
    ASSERT_EQ(f.pass(), 0);
    EXPECT_EQ(f.render(), head + "CALL SUB1(FMT(X,(1)))\n");
    EXPECT_EQ(f.ctx.tokens[f.find("CALL")].special, specialNoResolve);
    EXPECT_EQ(f.ctx.tokens[f.find("SUB1")].special, specialNoResolve);
    EXPECT_EQ(f.ctx.tokens[f.find("X")].special, 0);
    // A word marked by an earlier CALL word still gets its own mark.
    EXPECT_EQ(passed({"CALL CALL F(1)"}), head + "CALL CALL F(1)\n");
}

TEST(NameResolution, NeitherFunctionNorArrayIsAnError) {
    PassFixture f;
    f.line("X = 1").line("Y = Z(1, 2)").line("W = Q(1)");
    std::string err = failed(f);
    EXPECT_EQ(err,
              "bprep2: Error Variable Z at line 2 in file prog.b is neither a function nor a dimensioned array.\n"
              "    As it has 2 expressions between (), it is not a variable with formatting.\n\n");
    // The pass stopped at Z: Q was never rewritten.
    EXPECT_EQ(f.find("FMT"), npos);

    PassFixture empty;
    empty.line("Y = Z()");
    EXPECT_NE(failed(empty).find("As it has 0 expressions"), std::string::npos);
}

TEST(NameResolution, BothFunctionAndArrayIsAnErrorNamingTheMember) {
    PassFixture f;
    f.line("X = 1");
    f.marker("BP/INC", 1);
    f.line("DEFFUN A").line("IF B", 3).line("DIM A(5)");  // a line end standing for three lines
    EXPECT_EQ(failed(f),
              "bprep2: Error Variable A at line 5 in file BP/INC is both a function and a dimensioned array.\n\n");
}

TEST(NameResolution, AnUnclosedParenthesisIsLeftAlone) {
    EXPECT_EQ(passed({"Y = X(1"}), head + "Y = X(1\n");
}

TEST(BraceBlocks, JoinsAcrossLinesKeepTheLineCount) {
    PassFixture f;
    f.line("IF C {").line("A = 1").line("}").line("").line("elseif D {").line("X = Q(1, 2)");
    // The deleted line ends are written after the joined line, so the error
    // (and the compiler) still name the sixth line.
    EXPECT_NE(failed(f).find("at line 6 in file prog.b"), std::string::npos);

    PassFixture g;
    g.line("IF C {").line("}").line("else {").line("A = 2").line("}");
    ASSERT_EQ(g.pass(), 0);
    EXPECT_EQ(g.render(), head + "IF C THEN\n END ELSE \n\nA = 2\nEND\n");
}

TEST(BraceBlocks, TheTokenAfterAJoinIsExamined) {
    EXPECT_EQ(passed({"IF C {", "} else {X(1)"}), head + "IF C THEN\n END ELSE FMT(X,(1))\n");
}

TEST(Rebuild, LookBacksAndCountsSeeInsertedTokens) {
    // DEBUG looks back at the ) the FMT rewrite added, not at the source's
    // own (which carries the Assign flag), so it is a name here.
    EXPECT_EQ(passed({"X(A) DEBUG"}), head + "FMT(X,(A)) Debug\n");
    // TCLREAD's target is the mask's ), and the ) FMT added follows it.
    EXPECT_EQ(passed({"X(A TCLREAD)"}), head + "FMT(X,(A Tclread))\n");
    // The second STOPE counts the ) the first one added before the line end.
    EXPECT_EQ(passed({"STOPE STOPE"}, optStopStatements),
              head + "qObjectMethodN(qObjectQUOLT(0),\"stope\" ,  qObjectMethodN(qObjectQUOLT(0),\"stope\" , ))\n");
}

TEST(Rebuild, DeletedLineEndsGoToTheNextLineEndUnlessAMarkerComesFirst) {
    PassFixture f;
    f.line("DEFFUN F(A,").words("B) DEFFUN G");
    f.marker("BP/INC", 7);
    f.line("(C,").line("D)");
    ASSERT_EQ(f.pass(), 0);
    EXPECT_EQ(f.render(), head + "DEFFUN F() DEFFUN G[BP/INC:7]()\n\n");
}

}  // namespace
}  // namespace bprep2_test
