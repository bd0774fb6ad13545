// The writer on hand-built token lists, for what no source can reach: its
// failures, and long runs of blanks around the tokens it looks past.
#include "output/writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tokens/token_list.h"

namespace bprep2 {
namespace {

struct Fixture {
    PreprocessorContext ctx;
    SourceReader reader;
    Fixture() {
        ctx.reader = &reader;
        add(changeline, "prog.b", 1);
    }
    Fixture& add(int32_t type, std::string_view text = {}, int32_t value = 0) {
        appendToken(ctx, type, text, value);
        return *this;
    }
    // Writes through a real stream with no reader current, as in a run.
    std::string render(int32_t* status = nullptr) {
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
};

constexpr std::string_view kMarker = "\n#line 1 \"prog.b\"\n";

TEST(Writer, FailuresWriteNothingAndReturnTwo) {
    Fixture f;
    f.add(variable, "a").add(endoftype).add(variable, "b");
    testing::internal::CaptureStderr();
    int32_t status = 0;
    EXPECT_EQ(f.render(&status), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "bprep2: Error Internal error: Token type of 27 found\n\n");
    EXPECT_EQ(status, 2);

    // A short write must not pass for success: the compiler would get half a program.
    Fixture g;
    g.add(variable, "a").add(endofline, {}, 1);
    g.ctx.reader = nullptr;
    FILE* full = fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(writeOutput(g.ctx, full), 2);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("Unable to write the output text"), std::string::npos);
    fclose(full);
}

// A quadratic walk past these blanks would take minutes.
TEST(Writer, LongBlankRunsStayLinear) {
    Fixture f;
    const int runs = 100, blanks = 20000;
    for (int i = 0; i < runs; ++i) {
        f.add(system_keyword, "call").add(newstatement);
        for (int j = 0; j < blanks; ++j) f.add(j % 2 ? whitespace : null_token);
        f.add(variable, "s").add(comma);
        for (int j = 0; j < blanks; ++j) f.add(j % 2 ? whitespace : null_token);
    }
    f.add(endofline, {}, 1);
    std::string text = f.render();
    EXPECT_EQ(text.size(), kMarker.size() + runs * (4 + 1 + blanks + 2) + 1);
    EXPECT_EQ(text.substr(kMarker.size(), 8), "CALL;   ");
}

}  // namespace
}  // namespace bprep2
