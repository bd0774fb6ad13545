// The writer on hand-built token lists: what each token becomes, the case
// rules, the statement separator, the comma join and the two deliveries.
#include "output/writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tokens/token_list.h"

namespace bprep2 {
namespace {

// A context with a reader, as the scanner leaves it; the list starts with
// the main source's line marker like every real list.
struct Fixture {
    PreprocessorContext ctx;
    SourceReader reader;
    Fixture() {
        reader.fileName = "prog.b";
        ctx.reader = &reader;
        add(changeline, "prog.b", 1);
    }
    Fixture& add(int32_t type, std::string_view text = {}, int32_t value = 0) {
        appendToken(ctx, type, text, value);
        return *this;
    }
    Fixture& ws() { return add(whitespace); }
    Fixture& eol(int32_t lines = 1) { return add(endofline, {}, lines); }
    Fixture& var(std::string_view name) { return add(variable, name); }
    Fixture& kw(std::string_view word) { return add(system_keyword, word); }
};

constexpr const char* kMarker = "\n#line 1 \"prog.b\"\n";

// Writes through a real stream, with no reader current as in a real run.
std::string render(PreprocessorContext& ctx, int32_t* status = nullptr) {
    ctx.reader = nullptr;
    FILE* f = tmpfile();
    int32_t st = writeOutput(ctx, f);
    if (status) *status = st;
    std::string text;
    rewind(f);
    for (int c; (c = fgetc(f)) != EOF;) text += static_cast<char>(c);
    fclose(f);
    return text;
}

TEST(Writer, EveryWritableTokenType) {
    Fixture f;
    f.add(maths, {}, '+').add(extract, {}, 0x100 | '<').add(braces, {}, '{').add(extract_str, "<=");
    f.add(oref_expression, "o.x").add(unparsed, "raw TEXT").add(property_method, "Name");
    f.add(numeric, "1.5e3").add(string, "'it'").add(var_no_case, "keepMe").ws().add(null_token);
    f.add(colon).add(tidle).add(hash).add(atsign).add(equals).add(underscore).eol(3).eol(0).eol(-1);
    f.add(changeline, "BP/INC", 12);
    EXPECT_EQ(render(f.ctx), std::string(kMarker) + "+<{<=o.xraw TEXTName1.5e3'it'keepMe :~#@=_\n\n\n" +
                                 "\n#line 12 \"BP/INC\"\n");
}

TEST(Writer, ObjectPrologueAndMemberOperator) {
    Fixture f;
    f.var("o").add(oref_id, "->").add(property_method, "x").eol();
    EXPECT_EQ(render(f.ctx), std::string(kMarker) + "O->x\n");

    f.ctx.options |= optDotMember;
    f.ctx.objectRuntimeUsed = true;
    std::string text = render(f.ctx);
    EXPECT_EQ(text.rfind("\n#line 1 \"QUOLTOBJECT\"\n DEFC VAR qObjectNewObject(STRING,QAC_VARARG)\n", 0), 0u);
    EXPECT_NE(text.find(" DEFC INT qObjectThrow(QAC_VARARG)\n\n#line 1 \"prog.b\"\nO.x\n"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 13);
}

TEST(Writer, SeparatorOnlyBeforeMoreOnTheSameLine) {
    Fixture f;
    f.var("a").add(newstatement).ws().var("b").add(newstatement).ws().eol();    // before a line end
    f.var("c").add(newstatement).add(null_token).ws().add(label, "L1").eol();   // before a label
    f.var("d").add(newstatement).add(changeline, "x", 2);                       // before a line marker
    f.add(newstatement).ws();                                                     // nothing after it
    EXPECT_EQ(render(f.ctx), std::string(kMarker) + "A; B \nC L1\nD\n#line 2 \"x\"\n ");
}

TEST(Writer, KeywordCase) {
    struct Row { uint32_t options; const char* expected; };
    for (const Row& row : {Row{0, "PRINT PRINT PRINT"}, Row{optCaseSensitive, "Print print PRINT"},
                           Row{optUvCase, "Print PRINT PRINT"}, Row{optUvCase | optCaseSensitive, "Print print PRINT"}}) {
        Fixture f;
        f.ctx.options = row.options;
        f.kw("Print").ws().add(system_function, "print").ws().kw("PRINT");
        EXPECT_EQ(render(f.ctx), std::string(kMarker) + row.expected) << row.options;
    }
}

TEST(Writer, NameCaseKeepsSubroutineAndFunctionNames) {
    Fixture f;
    f.ctx.userFunctions["myFn"] = 1;
    f.ctx.userFunctions["notFn"] = 0;
    f.kw("print").ws().var("x").ws().var("myFn").ws().var("notFn").eol();
    f.kw("call").ws().var("mySub").eol();
    f.kw("Subroutine").add(null_token).ws().var("sub1").eol();
    f.kw("FUNCTION").ws().var("fn1").eol();
    f.kw("callx").ws().var("other").eol();
    f.kw("if").ws().var("a").ws().kw("then").ws().var("b").eol();
    f.add(label, "start").eol();
    const size_t tables = f.ctx.userFunctions.size();
    EXPECT_EQ(render(f.ctx), std::string(kMarker) +
                                 "PRINT X myFn NOTFN\nCALL mySub\nSUBROUTINE sub1\nFUNCTION fn1\n"
                                 "CALLX OTHER\nIF A THEN B\nSTART\n");
    EXPECT_EQ(f.ctx.userFunctions.size(), tables) << "writing must not add names";

    for (uint32_t keep : {optCaseSensitive, optUvCase}) {
        Fixture g;
        g.ctx.options = keep;
        g.var("x").ws().add(label, "start");
        EXPECT_EQ(render(g.ctx), std::string(kMarker) + "x start");
    }
}

// A = F(1, / 2) / X = 3: the second line joins the first, and its line break
// is written at the next line end so X = 3 stays on the third line.
TEST(Writer, CommaJoinKeepsTheLineCount) {
    Fixture f;
    f.var("A").ws().add(equals).ws().var("F").add(extract, {}, '(').add(numeric, "1").add(comma).eol();
    f.ws().add(numeric, "2").add(extract, {}, ')').eol();
    f.var("X").ws().add(equals).ws().add(numeric, "3").eol();
    const std::string expected = std::string(kMarker) + "A = F(1, 2)\n\nX = 3\n";
    EXPECT_EQ(render(f.ctx), expected);
    EXPECT_EQ(render(f.ctx), expected) << "a second write (the trace copy) gives the same text";
}

// Line breaks, separators and blanks after the comma are all taken; with no
// line end left to carry them, the line breaks stay where they are.
TEST(Writer, CommaJoinEdges) {
    Fixture f;
    f.add(comma).add(newstatement).eol(2).ws().add(newstatement).eol().var("b").eol();
    f.add(comma).ws().add(newstatement).var("c").eol();
    f.var("a").add(comma).eol().ws().eol(2);
    EXPECT_EQ(render(f.ctx), std::string(kMarker) + ", B\n\n\n\n, C\nA,\n \n\n");
}

TEST(Writer, FailuresWriteNothingAndReturnTwo) {
    Fixture f;
    f.var("a").add(endoftype).var("b");
    testing::internal::CaptureStderr();
    int32_t status = 0;
    EXPECT_EQ(render(f.ctx, &status), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "bprep2: Error Internal error: Token type of 27 found\n\n");
    EXPECT_EQ(status, 2);

    // A short write must not pass for success: the compiler would get half a program.
    Fixture g;
    g.var("a").eol();
    g.ctx.reader = nullptr;
    FILE* full = fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(writeOutput(g.ctx, full), 2);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Unable to write the output text"), std::string::npos);
    fclose(full);
}

TEST(Writer, InProcessDeliveryFillsTheCallersSlots) {
    Fixture f;
    f.var("a").eol();
    char* text = nullptr;
    uint32_t length = 99, status = 99;
    f.ctx.resultText = &text;
    f.ctx.resultLength = &length;
    f.ctx.resultStatus = &status;
    f.ctx.reader = nullptr;
    testing::internal::CaptureStdout();
    ASSERT_EQ(writeOutput(f.ctx, stdout), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    const std::string expected = std::string(kMarker) + "A\n";
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::string(text), expected);
    EXPECT_EQ(length, expected.size());
    EXPECT_EQ(status, 0u);
    free(text);

    // Another stream (the trace copy) is written normally even then.
    EXPECT_EQ(render(f.ctx), expected);
}

// Long runs of blanks between the tokens that look around must not make the
// write quadratic; a quadratic walk over this list would take minutes.
TEST(Writer, LongBlankRunsStayLinear) {
    Fixture f;
    const int runs = 100, blanks = 20000;
    for (int i = 0; i < runs; ++i) {
        f.kw("call").add(newstatement);
        for (int j = 0; j < blanks; ++j) f.add(j % 2 ? whitespace : null_token);
        f.var("s").add(comma);
        for (int j = 0; j < blanks; ++j) f.add(j % 2 ? whitespace : null_token);
    }
    f.eol();
    std::string text = render(f.ctx);
    EXPECT_EQ(text.size(), std::string(kMarker).size() + runs * (4 + 1 + blanks + 2) + 1);
    EXPECT_EQ(text.substr(std::string(kMarker).size(), 8), "CALL;   ");
}

}  // namespace
}  // namespace bprep2
