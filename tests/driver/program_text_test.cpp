// Where the program text goes when it cannot be written: a message, status
// 2, and nothing written.
#include "driver/program_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "driver/context.h"
#include "driver/driver_test_support.h"

namespace bprep2 {
namespace {

// A run of the default options holding the tokens of `kinds`, each written "a".
std::unique_ptr<RunContext> runHolding(std::initializer_list<TokenKind> kinds) {
    bprep2_test::ScopedEnv options("BASC_BPREP2", nullptr), uvcase("UVCASE", nullptr);
    auto run = std::make_unique<RunContext>(CommandLine{}, ObjectSyntax::AsAsked, 0, nullptr);
    for (TokenKind kind : kinds) run->tokens.append(run->tokens.make(kind, "a"));
    return run;
}

int32_t statusOfWrite(RunContext& run, FILE* out) {
    try {
        writeProgramText(run, out);
    } catch (const RunFailure& failure) {
        return failure.status;
    }
    return 0;
}

TEST(ProgramText, FailuresAreReportedAndWriteNothing) {
    std::unique_ptr<RunContext> invalid = runHolding({TokenKind::Name, TokenKind::Invalid, TokenKind::Name});
    FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(statusOfWrite(*invalid, f), 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "bprep2: Error Internal error: Token type of 27 found\n\n");
    EXPECT_EQ(std::ftell(f), 0);
    std::fclose(f);

    // A short write must not pass for success: the compiler would get half a program.
    std::unique_ptr<RunContext> whole = runHolding({TokenKind::Name});
    FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(statusOfWrite(*whole, full), 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "bprep2: Error Unable to write the output text\n");
    std::fclose(full);
}

// The caller's length slot counts 32 bits: a longer text is not handed
// over with its length cut, but ends the run as text that cannot be
// delivered. The buffer's room is taken but never touched.
TEST(ProgramText, TextPastTheLengthSlotIsNotDelivered) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "AddressSanitizer marks all 4 GiB of the room, which takes half a minute";
#endif
    TextBuffer text;
    const size_t tooLong = size_t{maxDeliveredBytes} + 1;
    ASSERT_TRUE(text.reserve(tooLong));
    text.advance(tooLong);
    char* delivered = nullptr;
    uint32_t length = 7, status = 7;
    ResultSlots slots{&delivered, &length, &status};
    testing::internal::CaptureStderr();
    int32_t failure = 0;
    try {
        deliverInProcess(slots, text, Diagnostics());
    } catch (const RunFailure& f) {
        failure = f.status;
    }
    EXPECT_EQ(failure, 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "bprep2: Error Output text exceeds maximum of 4294967295 bytes\n");
    EXPECT_EQ(delivered, nullptr);
    EXPECT_EQ(length, 7u);
    EXPECT_EQ(status, 7u);
}

}  // namespace
}  // namespace bprep2
