// TRY / CATCH / THROW on scanned lines: the block texts with their line
// markers, what is not a statement, the nesting and CATCH rules, and when
// the program is marked as using the object runtime.
#include <gtest/gtest.h>

#include "objects/line_fixture.h"

namespace bprep2_test {
namespace {

const std::string tryBlock =
    "QAC_INLINE_START\n{jmp_buf trybuf ; qObjectTry(dp , &trybuf) ; if (setjmp(trybuf) == 0) {\nQAC_INLINE_END\n";
const std::string endTryBlock = "QAC_INLINE_START\n} qObjectEndTry(dp,&trybuf) ; }\nQAC_INLINE_END\n";
const std::string bareCatchBlock = "QAC_INLINE_START\n} else {\nQAC_INLINE_END\n";

std::string marker(int line) { return "#line " + std::to_string(line) + " \"prog.b\""; }

TEST(TryCatch, BlockTextsCarryTheNextLineNumber) {
    LineFixture f;
    ASSERT_TRUE(f.line("TRY"));
    EXPECT_EQ(f.lastLine(), tryBlock + marker(2) + "\n");
    ASSERT_TRUE(f.line("  THROW ERR"));
    EXPECT_EQ(f.lastLine(), " qObjectThrow( ERR)\n");
    ASSERT_TRUE(f.line("Catch err"));
    EXPECT_EQ(f.lastLine(),
              "\nQAC_DEFINE_VAR ERR\nQAC_INLINE_START\n} else {\nqObjectCatch(dp , _qu_ERR) ;\nQAC_INLINE_END\n" +
                  marker(4) + " \n");  // the blank before the variable stays
    ASSERT_TRUE(f.line("end try"));
    EXPECT_EQ(f.lastLine(), " " + endTryBlock + marker(5) + "\n");  // END is dropped
    EXPECT_EQ(f.ctx.tryDepth, 0);

    ASSERT_TRUE(f.line("TRY"));
    ASSERT_TRUE(f.line("CATCH"));  // a new TRY at the same level may have its CATCH
    EXPECT_EQ(f.lastLine(), bareCatchBlock + marker(7) + "\n");
}

TEST(TryCatch, OnlyTheLastWordsOfALineAreStatements) {
    for (const char* source : {"TRY X = 1", "X = TRY + 1", "CATCH A B", "X = 1; TRY Y"}) {
        LineFixture f;
        ASSERT_TRUE(f.line(source));
        EXPECT_EQ(f.lastLine(), std::string(source) + "\n");
        EXPECT_EQ(f.ctx.tryDepth, 0) << source;
    }
    LineFixture f;
    ASSERT_TRUE(f.line("X = TRY"));  // TRY last but after a word: nothing, yet the runtime is marked
    EXPECT_EQ(f.lastLine(), "X = TRY\n");
    EXPECT_TRUE(f.ctx.objectRuntimeUsed);
    ASSERT_TRUE(f.line("CRT 1; TRY"));  // after a statement boundary it opens a block
    EXPECT_EQ(f.ctx.tryDepth, 1);
    ASSERT_TRUE(f.line("X = CATCH"));  // CATCH has no previous-word test
    EXPECT_EQ(f.lastLine(), "X = " + bareCatchBlock + marker(4) + "\n");
    ASSERT_TRUE(f.line("IF C THEN END TRY"));
    EXPECT_EQ(f.lastLine(), "IF C THEN  " + endTryBlock + marker(5) + "\n");

    LineFixture off(optArrowMember);
    ASSERT_TRUE(off.line("TRY"));
    ASSERT_TRUE(off.line("THROW X"));
    EXPECT_EQ(off.render(0), "TRY\nTHROW X\n");
    EXPECT_FALSE(off.ctx.objectRuntimeUsed);
}

TEST(TryCatch, NestingAndCatchErrors) {
    auto expectFailure = [](LineFixture& f, const char* source, const std::string& message) {
        testing::internal::CaptureStderr();
        EXPECT_FALSE(f.line(source)) << source;
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("bprep2: Error " + message + ": Line "), std::string::npos) << err;
    };
    LineFixture nested;
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(nested.line("TRY"));
    expectFailure(nested, "TRY", "The maximum nested level of 3 try/catch is exceeded");

    LineFixture twice;
    ASSERT_TRUE(twice.line("TRY"));
    ASSERT_TRUE(twice.line("CATCH E"));
    expectFailure(twice, "CATCH", "Multiple CATCH seen for the same TRY -- Only 1 CATCH per TRY");

    for (const char* source : {"END TRY", "CATCH", "CATCH E"}) {
        LineFixture none;
        expectFailure(none, source, "END TRY seen with no corresponding TRY");
    }
    LineFixture semicolon;
    ASSERT_TRUE(semicolon.line("TRY"));
    ASSERT_TRUE(semicolon.line("CATCH ;"));  // a ';' names no variable: a bare CATCH
    EXPECT_EQ(semicolon.lastLine(), bareCatchBlock + marker(3) + " ;\n");
}

TEST(TryCatch, ThrowClosesBeforeTheEndOfItsStatement) {
    LineFixture f;
    ASSERT_TRUE(f.line("THROW"));
    EXPECT_EQ(f.lastLine(), "qObjectThrow(\"\")\n");
    ASSERT_TRUE(f.line("THROW; CRT 1"));
    EXPECT_EQ(f.lastLine(), "qObjectThrow(); CRT 1\n");
    ASSERT_TRUE(f.line("IF C THEN THROW \"E\" : X; CRT 2"));
    EXPECT_EQ(f.lastLine(), "IF C THEN qObjectThrow( \"E\" : X); CRT 2\n");
    EXPECT_TRUE(f.ctx.objectRuntimeUsed);
}

}  // namespace
}  // namespace bprep2_test
