// The character scan: what each character class makes, the option bits
// that change it, the keyword typing, token flags and caret columns, and
// the scan's own errors.
#include "scanner/scanner_fixture.h"

namespace bprep2_test {
namespace {

using namespace bprep2;

TEST_F(ScannerTest, OperatorsComparisonsAndMemberOperators) {
    EXPECT_EQ(tokenize("X = Y <> Z"),
              "variable(X) whitespace=1 equals whitespace=1 variable(Y) whitespace=1 extract_str( NE ) "
              "whitespace=1 variable(Z)");
    EXPECT_EQ(tokenize("X<Y"), "variable(X) extract=60 variable(Y)");
    EXPECT_EQ(tokenize("X = 1 +-2"),
              "variable(X) whitespace=1 equals whitespace=1 numeric(1) whitespace=1 extract_str(+-) numeric(2)");
    EXPECT_EQ(tokenize("X = 1 +-"), "variable(X) whitespace=1 equals whitespace=1 numeric(1) whitespace=1 maths=43 maths=45");
    EXPECT_EQ(tokenize("A^--B/C"), "variable(A) extract_str(^-) maths=45 variable(B) maths=47 variable(C)");
    EXPECT_EQ(tokenize("P->Q"), "variable(P) oref_id(->) property/method(Q)");
    EXPECT_EQ(tokenize("P-> Q"), "variable(P) oref_id(->) whitespace=1 variable(Q)");
    EXPECT_EQ(tokenize("P->"), "variable(P) maths=45 extract=62");
    ctx->options = 0;
    EXPECT_EQ(tokenize("P->Q"), "variable(P) maths=45 extract=62 variable(Q)");
    EXPECT_EQ(tokenize("X = A.B."), "variable(X) whitespace=1 equals whitespace=1 variable(A.B.)");
    ctx->options = optDotMember;
    EXPECT_EQ(tokenize("A.B"), "variable(A) oref_id(.) property/method(B)");
}

TEST_F(ScannerTest, NumbersStringsAndDots) {
    EXPECT_EQ(tokenize("X = 12.5 + 12. + .5 + 3A"),
              "variable(X) whitespace=1 equals whitespace=1 numeric(12.5) whitespace=1 maths=43 whitespace=1 "
              "numeric(12.) whitespace=1 maths=43 whitespace=1 numeric(.5) whitespace=1 maths=43 whitespace=1 "
              "numeric(3) variable(A)");
    EXPECT_EQ(tokenize("X = \"a'b\":'c\"d':\\e\"\\"), "variable(X) whitespace=1 equals whitespace=1 string(\"a'b\") colon "
                                               "string('c\"d') colon string(\\e\"\\)");
    EXPECT_EQ(tokenize("CALL F(A, ...)"),
              "system_keyword(CALL)=8388609 whitespace=1 variable(F) extract=40 variable(A) comma whitespace=1 "
              "system_keyword(QAC_VARARG) extract=41");
    // A string continued by a trailing backslash: one token, and the
    // statement gets the line end of the joined line ahead of it.
    EXPECT_EQ(scan("X = 'ABC\\\nDEF'\n"), 0);
    EXPECT_EQ(tokens(1), "endofline=1 variable(X) whitespace=1 equals whitespace=1 string('ABCDEF') endofline=1");
    EXPECT_EQ(ctx->reader, nullptr);
}

TEST_F(ScannerTest, AtVariablesAreExactUpperCaseNames) {
    EXPECT_EQ(tokenize("X = @AM:@FOO:@ :@am"),
              "variable(X) whitespace=1 equals whitespace=1 variable(@AM) colon atsign variable(FOO) colon atsign "
              "whitespace=1 colon atsign variable(am)");
    EXPECT_EQ(ctx->atVariables.at("FOO"), 0);
    EXPECT_EQ(ctx->atVariables.at("am"), 0);
}

TEST_F(ScannerTest, KeywordsFunctionsAndNames) {
    EXPECT_EQ(tokenize("print x"), "system_keyword(print)=1 whitespace=1 variable(x)");
    EXPECT_EQ(tokenize("CHANGE(S, A) ; CHANGE S"),
              "system_function(CHANGE)=17 extract=40 variable(S) comma whitespace=1 variable(A) extract=41 "
              "whitespace=1 newstatement whitespace=1 system_keyword(CHANGE)=17 whitespace=1 variable(S)");
    EXPECT_EQ(tokenize("X = INT + LEN (Y)"),
              "variable(X) whitespace=1 equals whitespace=1 system_function(INT)=16 whitespace=1 maths=43 "
              "whitespace=1 system_function(LEN)=2 whitespace=1 extract=40 variable(Y) extract=41");
    EXPECT_EQ(tokenize("X = $file"), "variable(X) whitespace=1 equals whitespace=1 variable($file)");
    EXPECT_EQ(find("$file").special, specialFile);
    EXPECT_EQ(ctx->keywordMisses.count("X"), 1u);

    ctx->options |= optCaseSensitive;
    EXPECT_EQ(tokenize("print CALLdotNET"), "variable(print) whitespace=1 system_keyword(CALLdotNET)=8388609");
    EXPECT_EQ(ctx->keywordMisses.count("print"), 1u);
    EXPECT_EQ(tokenize("rem x"), "variable(rem) whitespace=1 variable(x)");  // only REM starts a comment then
    EXPECT_EQ(tokenize("X ; $options y"), "variable(X) whitespace=1 newstatement whitespace=1");
}

TEST_F(ScannerTest, FlagsAndCaretColumns) {
    EXPECT_EQ(scan("X = 1\nIF A THEN B = 1\n"), 0);
    const Token* t = &ctx->tokens[1];
    EXPECT_EQ(t[0].flags, flagAssign | flagFirst);  // X
    EXPECT_EQ(t[1].flags, flagAssign | flagFirst);  // blank after the first counted token
    EXPECT_EQ(t[2].flags, 0);                       // =
    EXPECT_EQ(t[4].flags, 0);                       // 1
    EXPECT_EQ(find("IF").flags, flagFirst);
    EXPECT_EQ(find("THEN").flags, flagAssign);
    EXPECT_EQ(find("B").flags, flagAssign);

    // Brackets, operators, braces, strings and & point at their first
    // character; every other token just after itself.
    EXPECT_EQ(scan("X = (A) + {B} & \"s\" - 2"), 0);
    std::vector<int32_t> columns;
    for (size_t i = 1; i < ctx->tokens.size(); ++i)
        if (ctx->tokens[i].type != whitespace) columns.push_back(ctx->tokens[i].column);
    EXPECT_EQ(columns, (std::vector<int32_t>{1, 3, 4, 6, 6, 8, 10, 12, 12, 14, 16, 20, 23, 23}));
}

TEST_F(ScannerTest, EquateTextIsScannedInPlaceUpTo199Times) {
    setEquate(*ctx, "CR", "CHAR(13); Y");
    EXPECT_EQ(line("PRINT cr"),
              "system_keyword(PRINT)=1 whitespace=1 system_function(CHAR)=2 extract=40 numeric(13) extract=41 "
              "newstatement whitespace=1 variable(Y)");
    EXPECT_EQ(find("Y").column, 17);  // a column of the rewritten line

    setEquate(*ctx, "A", "A+1");
    EXPECT_EQ(scan("X = A\n"), 1);
    EXPECT_EQ(errors,
              "bprep2: Error EQUATE level exceeds maximum of 200 levels\n      Possible recursive EQUATEs: "
              "Line 1 in file src.b\n");
}

TEST_F(ScannerTest, NulBytesAndAnOpeningBackslashAtTheLineEnd) {
    EXPECT_EQ(scan(std::string("X\t= \0\n", 6)), 1);
    const char nul[] = "X = \0\n----^\nbprep2: Error Unknown character \0 (0): Line 1 in file src.b\n";
    EXPECT_EQ(errors, std::string(nul, sizeof nul - 1));
    // A backslash that opens the string cannot also continue it.
    EXPECT_EQ(scan("X = \\\nY\\\n"), 1);
    EXPECT_NE(errors.find("Unbalanced strings: Line 1"), std::string::npos);
}

}  // namespace
}  // namespace bprep2_test
