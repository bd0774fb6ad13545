// Where the program text goes when it cannot be written: a message, status
// 2, and nothing written.
#include "driver/program_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace bprep2 {
namespace {

int32_t statusOfWrite(PreprocessorContext& ctx, FILE* out) {
    try {
        writeProgramText(ctx, out);
    } catch (const RunFailure& failure) {
        return failure.status;
    }
    return 0;
}

TEST(ProgramText, FailuresAreReportedAndWriteNothing) {
    PreprocessorContext ctx;
    for (TokenKind kind : {TokenKind::Name, TokenKind::Invalid, TokenKind::Name})
        ctx.tokens.append(ctx.tokens.make(kind, "a"));
    FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(statusOfWrite(ctx, f), 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "bprep2: Error Internal error: Token type of 27 found\n\n");
    EXPECT_EQ(std::ftell(f), 0);
    std::fclose(f);

    // A short write must not pass for success: the compiler would get half a program.
    PreprocessorContext whole;
    whole.tokens.append(whole.tokens.make(TokenKind::Name, "a"));
    FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(statusOfWrite(whole, full), 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "bprep2: Error Unable to write the output text\n");
    std::fclose(full);
}

}  // namespace
}  // namespace bprep2
