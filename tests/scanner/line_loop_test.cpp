// The line loop: labels, comments over several lines, continuations and
// THEN/ELSE joins, and the line accounting every one of them must keep.
#include "scanner/scanner_fixture.h"

namespace bprep2_test {
namespace {

using namespace bprep2;

// Newlines the token list writes at its line ends.
uint32_t lineEnds(const PreprocessorContext& ctx) {
    uint32_t count = 0;
    for (const Token& t : ctx.tokens)
        if (t.type == endofline) count += static_cast<uint32_t>(t.value);
    return count;
}

TEST_F(ScannerTest, LabelsAtTheStartOfALine) {
    EXPECT_EQ(line("10 X = 1"), "label(10) newstatement whitespace=1 variable(X) whitespace=1 equals whitespace=1 numeric(1)");
    EXPECT_EQ(find("10").flags, flagLabel | flagAssign);
    EXPECT_EQ(find("X").flags, flagAssign | flagFirst);
    EXPECT_EQ(line("END:"), "label(END:) newstatement");
    // Not after a trailing comma; but again on the line after a continued
    // statement.
    EXPECT_EQ(scan("CALL F(1,\n* note\n 2)\nX = 1 + ...\n2\n10 Y\n"), 0);
    EXPECT_EQ(tokens(1).find("label(2)"), std::string::npos);
    EXPECT_NE(tokens(1).find("endofline=1 label(10) newstatement"), std::string::npos);
}

TEST_F(ScannerTest, ALineInsideABlockCommentIsOneBlank) {
    EXPECT_EQ(scan("X = 1 /* open\n still inside\n done */ Y\n"), 0);
    EXPECT_EQ(tokens(1),
              "variable(X) whitespace=1 equals whitespace=1 numeric(1) whitespace=1 endofline=1 "
              "whitespace=13 endofline=1 whitespace=9 variable(Y) endofline=1");
}

TEST_F(ScannerTest, ContinuedStatementsAreWrittenOnTheirLastLine) {
    EXPECT_EQ(scan("X = 1 + ...\n2\n"), 0);
    EXPECT_EQ(tokens(1),
              "endofline=1 variable(X) whitespace=1 equals whitespace=1 numeric(1) whitespace=1 maths=43 "
              "whitespace=1 numeric(2) endofline=1");
    EXPECT_EQ(ctx->linesRead, 2u);

    // The line ends go after the last statement boundary before the
    // continuation, also when a ';' comes before or after it.
    EXPECT_EQ(scan("A ; B ...\n3 ...\n4\n"), 0);
    EXPECT_EQ(tokens(1),
              "variable(A) whitespace=1 newstatement endofline=1 endofline=1 whitespace=1 variable(B) whitespace=1 "
              "numeric(3) whitespace=1 numeric(4) endofline=1");
    EXPECT_EQ(scan("A ...\n2 ; B ...\n4\nC\n"), 0);
    EXPECT_EQ(tokens(1),
              "endofline=1 variable(A) whitespace=1 numeric(2) whitespace=1 newstatement endofline=1 whitespace=1 "
              "variable(B) whitespace=1 numeric(4) endofline=1 variable(C) endofline=1");
    EXPECT_EQ(lineEnds(*ctx), 4u);

    // Joins and continuations in turn: every line is still counted, and
    // all the continuations' line ends stand ahead of the whole statement.
    EXPECT_EQ(scan("IF A\nTHEN B ...\nC\nELSE D ...\nE\nX\n"), 0);
    EXPECT_EQ(tokens(1),
              "endofline=1 endofline=1 system_keyword(IF)=131073 whitespace=1 variable(A) whitespace=1 "
              "system_keyword(THEN)=131105 whitespace=1 variable(B) whitespace=1 variable(C) whitespace=1 "
              "system_keyword(ELSE)=131105 whitespace=1 variable(D) whitespace=1 variable(E) endofline=3 "
              "variable(X) endofline=1");

    // At the end of the source: status 1 and no message.
    EXPECT_EQ(scan("X = 1 + ..."), 1);
    EXPECT_EQ(errors, "");
}

TEST_F(ScannerTest, ThenAndElseJoinThePreviousLines) {
    EXPECT_EQ(scan("IF A\n\nTHEN B\n ELSE C\n"), 0);
    EXPECT_EQ(tokens(1),
              "system_keyword(IF)=131073 whitespace=1 variable(A) (null) whitespace=1 system_keyword(THEN)=131105 "
              "whitespace=1 variable(B) whitespace=1 whitespace=1 system_keyword(ELSE)=131105 whitespace=1 "
              "variable(C) endofline=4");
    EXPECT_EQ(scan("THEN X\n"), 0);
    EXPECT_EQ(tokens(), "changeline(src.b)=1 system_keyword(THEN)=131105 whitespace=1 variable(X) endofline=1");

    // A member's lines are not folded into the includer's.
    write("INC.b", "Y\n");
    EXPECT_EQ(scan("IF A\nINCLUDE INC.b\nTHEN B\n"), 0);
    EXPECT_EQ(tokens(1),
              "system_keyword(IF)=131073 whitespace=1 variable(A) endofline=1 changeline(INC.b)=1 variable(Y) "
              "endofline=1 changeline(src.b)=2 whitespace=1 system_keyword(THEN)=131105 whitespace=1 variable(B) "
              "endofline=2");
}

TEST_F(ScannerTest, ALongContinuedStatementStaysLinear) {
    std::string text = "CALL F(0, ...\n";
    for (int i = 0; i < 50000; ++i) text += "1, ...\n";
    text += "2)\n";
    EXPECT_EQ(scan(text), 0);
    EXPECT_EQ(lineEnds(*ctx), 50002u);
    for (size_t i = 1; i <= 50001; ++i) ASSERT_EQ(ctx->tokens[i].type, endofline) << i;
    EXPECT_EQ(ctx->text(ctx->tokens[50002]), "CALL");
}

}  // namespace
}  // namespace bprep2_test
