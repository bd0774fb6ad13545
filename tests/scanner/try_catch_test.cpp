// TRY / CATCH / THROW on scanned lines, beyond the block texts the
// end-to-end cases show: what is not a statement, when the program is marked
// as using the runtime, the CATCH rules and where THROW closes.
#include <gtest/gtest.h>

#include "objects/line_fixture.h"

namespace bprep2_test {
namespace {

const std::string endTryBlock = "QAC_INLINE_START\n} qObjectEndTry(dp,&trybuf) ; }\nQAC_INLINE_END\n";
const std::string bareCatchBlock = "QAC_INLINE_START\n} else {\nQAC_INLINE_END\n";

std::string marker(int line) { return "#line " + std::to_string(line) + " \"prog.b\""; }

TEST(TryCatch, OnlyTheLastWordsOfALineAreStatements) {
    for (const char* source : {"TRY X = 1", "X = TRY + 1", "CATCH A B", "X = 1; TRY Y", "TRY;"}) {
        LineFixture f;
        ASSERT_TRUE(f.line(source));
        EXPECT_EQ(f.lastLine(), std::string(source) + "\n");
        EXPECT_EQ(f.ctx.tryDepth, 0) << source;
        EXPECT_FALSE(f.ctx.objectRuntimeUsed) << source;
    }
    LineFixture f;
    ASSERT_TRUE(f.line("X = TRY"));  // last, but after a word: no block, yet the runtime is marked
    EXPECT_EQ(f.lastLine(), "X = TRY\n");
    EXPECT_TRUE(f.ctx.objectRuntimeUsed);
    ASSERT_TRUE(f.line("CRT 1; try"));  // after a statement boundary, in any case
    EXPECT_EQ(f.ctx.tryDepth, 1);
    ASSERT_TRUE(f.line("X = CATCH"));  // CATCH has no previous-word test
    EXPECT_EQ(f.lastLine(), "X = " + bareCatchBlock + marker(4) + "\n");
    ASSERT_TRUE(f.line("IF C THEN End Try"));
    EXPECT_EQ(f.lastLine(), "IF C THEN  " + endTryBlock + marker(5) + "\n");
    EXPECT_EQ(f.ctx.tryDepth, 0);

    LineFixture off(optArrowMember);
    ASSERT_TRUE(off.line("TRY"));
    ASSERT_TRUE(off.line("THROW X"));
    EXPECT_EQ(off.render(0), "TRY\nTHROW X\n");
    EXPECT_FALSE(off.ctx.objectRuntimeUsed);
}

TEST(TryCatch, CatchNeedsAnOpenTryAndComesOncePerTry) {
    auto expectFailure = [](LineFixture& f, const char* source, const std::string& message) {
        testing::internal::CaptureStderr();
        EXPECT_FALSE(f.line(source)) << source;
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("bprep2: Error " + message + ": Line "), std::string::npos) << err;
    };
    for (const char* source : {"CATCH", "CATCH E"}) {
        LineFixture none;
        expectFailure(none, source, "END TRY seen with no corresponding TRY");
    }
    LineFixture f;
    ASSERT_TRUE(f.line("TRY"));
    ASSERT_TRUE(f.line("TRY"));
    ASSERT_TRUE(f.line("CATCH ;"));  // a ';' names no variable: a bare CATCH
    EXPECT_EQ(f.lastLine(), bareCatchBlock + marker(4) + " ;\n");
    ASSERT_TRUE(f.line("END TRY"));
    ASSERT_TRUE(f.line("CATCH E"));  // the outer TRY's own CATCH
    EXPECT_EQ(f.ctx.catchSeen[0], 1);
    expectFailure(f, "CATCH", "Multiple CATCH seen for the same TRY -- Only 1 CATCH per TRY");
}

TEST(TryCatch, ThrowClosesBeforeTheEndOfItsStatement) {
    LineFixture f;
    ASSERT_TRUE(f.line("THROW; CRT 1"));
    EXPECT_EQ(f.lastLine(), "qObjectThrow(); CRT 1\n");
    ASSERT_TRUE(f.line("IF C THEN THROW \"E\" : X; CRT 2"));
    EXPECT_EQ(f.lastLine(), "IF C THEN qObjectThrow( \"E\" : X); CRT 2\n");
    ASSERT_TRUE(f.line("THROW X; THROW"));
    EXPECT_EQ(f.lastLine(), "qObjectThrow( X); qObjectThrow(\"\")\n");
}

}  // namespace
}  // namespace bprep2_test
