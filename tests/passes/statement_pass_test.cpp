// The statement pass on scanned lines: comparison brackets, NAME(...)
// resolution and its two errors, the keyword, separator and brace rules,
// CALL-word marking, and the special-word rewrites.
#include "passes/statement_pass.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "passes/pass_fixture.h"

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

TEST(RelationalOperators, UnmatchedBracketsAreComparisons) {
    struct Case {
        const char* in;
        const char* out;
    };
    for (const Case& c : {
             Case{"IF A<B OR D>E THEN", "IF A LT B OR D GT E THEN"},
             Case{"X = A<1,2> + B<3>", "X = A<1,2> + B<3>"},
             Case{"X = Y<3>", "X = Y<3>"},
             Case{"IF A <= B THEN", "IF A  LE  B THEN"},
             Case{"IF A < = B THEN", "IF A  LT  = B THEN"},  // only the very next token may be the =
             Case{"IF A >= B THEN", "IF A  GE  B THEN"},
             Case{"IF A => B THEN", "IF A  GE  B THEN"},
             Case{"IF A =< B THEN", "IF A  LE  B THEN"},
             Case{"IF X > Y<2> THEN", "IF X  GT  Y<2> THEN"},
         }) {
        EXPECT_EQ(passed({c.in}), head + c.out + "\n") << c.in;
    }
    // Each line is paired on its own.
    EXPECT_EQ(passed({"X = A<1", "Y = B>2"}), head + "X = A LT 1\nY = B GT 2\n");
}

TEST(NameResolution, FormattedVariablesBecomeFmtCalls) {
    EXPECT_EQ(passed({"PRINT X(MASK)"}), head + "PRINT FMT(X,(MASK))\n");
    EXPECT_EQ(passed({"X( )"}), head + "FMT(X,( ))\n");
    EXPECT_EQ(passed({"Y = X (1)"}), head + "Y = FMT(X ,(1))\n");
    EXPECT_EQ(passed({"Y = A(B(1))"}), head + "Y = FMT(A,(FMT(B,(1))))\n");
    EXPECT_EQ(passed({"Y = A(1)B(2)"}), head + "Y = FMT(A,(1))FMT(B,(2))\n");
}

TEST(NameResolution, DeclaredNamesAreLeftAlone) {
    EXPECT_EQ(passed({"DIM A(10)", "X = A(3)"}), head + "DIM A(10)\nX = A(3)\n");
    EXPECT_EQ(passed({"DEFFUN F(X)", "Y = F(3)"}), head + "DEFFUN F()\nY = F(3)\n");
    EXPECT_EQ(passed({"dim abc(3)", "X = ABC(1)"}), head + "dim abc(3)\nX = ABC(1)\n");
    // Functions are looked up exactly as written, whatever the case mode.
    EXPECT_EQ(passed({"DEFFUN myf", "X = MYF(1)"}), head + "DEFFUN myf()\nX = FMT(MYF,(1))\n");
    EXPECT_EQ(passed({"SUBROUTINE S(MAT M)", "X = M(1)"}), head + "SUBROUTINE S(MAT M)\nX = M(1)\n");
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

TEST(KeywordRules, BuiltInFunctionsUsedAsNames) {
    EXPECT_EQ(passed({"X = DATE", "X = DATE()", "X = LEN (Y)"}), head + "X = Date\nX = DATE()\nX = LEN (Y)\n");
    EXPECT_EQ(passed({"X = DATE"}, optCaseSensitive), head + "X = DATE\n");
    PassFixture f;
    f.line("X = DATE");
    ASSERT_EQ(f.pass(), 0);
    const Token& date = f.ctx.tokens[f.find("Date")];
    EXPECT_EQ(date.type, var_no_case);
    EXPECT_EQ(date.value, 0);
}

TEST(KeywordRules, DebugErrorAndTclread) {
    EXPECT_EQ(passed({"DEBUG", "X = DEBUG", "DEBUG = 1", "IF A THEN DEBUG ELSE X = 1"}),
              head + "DEBUG\nX = Debug\nDebug = 1\nIF A THEN DEBUG ELSE X = 1\n");
    EXPECT_EQ(passed({"ON ERROR GOTO 10", "X = ERROR"}), head + "ON ERROR GOTO 10\nX = Error\n");
    EXPECT_EQ(passed({"TCLREAD CMD", "TCLREAD CMD ELSE STOP", "X = TCLREAD"}),
              head + "CMD = @SENTENCE\nTclread CMD ELSE STOP\nX = Tclread\n");
    // The look back sees the parenthesis the FMT rewrite added, not the
    // source's own, so DEBUG here is a name.
    EXPECT_EQ(passed({"X(A) DEBUG"}), head + "FMT(X,(A)) Debug\n");
}

TEST(KeywordRules, SeparatorAfterThenOrElseIsDropped) {
    EXPECT_EQ(passed({"IF X THEN; Y = 1", "IF X ELSE ; Y = 1", "A = 1; B = 2"}),
              head + "IF X THEN Y = 1\nIF X ELSE  Y = 1\nA = 1; B = 2\n");
}

TEST(BraceBlocks, BracesBecomeThenEndAndJoinElse) {
    EXPECT_EQ(passed({"IF C { A = 1 } else { A = 2 }"}), head + "IF C THEN A = 1  END ELSE  A = 2 END\n");
    EXPECT_EQ(passed({"IF C {", "A = 1", "} elseif D {", "A = 2", "}"}),
              head + "IF C THEN\nA = 1\n END ELSE IF  D THEN\nA = 2\nEND\n");
    // Not joined in case-sensitive mode unless written in lower case.
    EXPECT_EQ(passed({"IF C { A = 1 } ELSE { A = 2 }"}, optCaseSensitive),
              head + "IF C THEN A = 1 END ELSE THEN A = 2 END\n");
    // A separator after the { is kept: the THEN it becomes has no flags.
    EXPECT_EQ(passed({"IF C {; A = 1 }"}), head + "IF C THEN; A = 1 END\n");
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

TEST(SpecialWords, DeffunArgumentListsAreEmptied) {
    EXPECT_EQ(passed({"DEFFUN F(A, B)", "DEFFUN G", "DEFFUN VAR H(A); X = 1"}),
              head + "DEFFUN F()\nDEFFUN G()\nDEFFUN VAR H(); X = 1\n");
}

TEST(SpecialWords, StopStatementsFollowTheOption) {
    PassFixture off;
    off.line("STOPM").line("STOPE MSG");
    ASSERT_EQ(off.pass(), 0);
    EXPECT_EQ(off.render(), head + "STOPM\nSTOPE MSG\n");
    EXPECT_EQ(off.ctx.tokens[off.find("STOPM")].type, variable);
    EXPECT_FALSE(off.ctx.objectRuntimeUsed);

    PassFixture on(optStopStatements);
    on.line("STOPM").line("STOPE MSG").line("stopm X; Y = 1");
    ASSERT_EQ(on.pass(), 0);
    EXPECT_EQ(on.render(), head +
                               "qObjectMethodN(qObjectQUOLT(0),\"stopm\")\n"
                               "qObjectMethodN(qObjectQUOLT(0),\"stope\" ,  MSG)\n"
                               "qObjectMethodN(qObjectQUOLT(0),\"stopm\" ,  X); Y = 1\n");
    EXPECT_TRUE(on.ctx.objectRuntimeUsed);
}

TEST(SpecialWords, SystemObjectWords) {
    PassFixture f;
    f.line("X = $QUOLT + $file + $SYSTEM + $Development");
    ASSERT_EQ(f.pass(), 0);
    EXPECT_EQ(f.render(), head + "X = qObjectQUOLT(0) + qObjectQUOLT(1) + qObjectQUOLT(2) + qObjectQUOLT(3)\n");
    EXPECT_TRUE(f.ctx.objectRuntimeUsed);

    EXPECT_EQ(passed({"X = $File"}, optCaseSensitive), head + "X = $File\n");
}

}  // namespace
}  // namespace bprep2_test
