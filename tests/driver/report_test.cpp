// The two forms of a diagnostic and the one-shot warning request.
#include <gtest/gtest.h>

#include <string>

#include "driver/context.h"
#include "driver/report.h"

using namespace bprep2;

namespace {

SourceReader readerAt(std::string line, int64_t scanPos) {
    SourceReader r;
    r.fileName = "prog.b";
    r.lineText = std::move(line);
    r.lineNumber = 7;
    r.scanPos = scanPos;
    return r;
}

}  // namespace

TEST(Report, CaretUnderTheScanPositionWithTabsAsBlanks) {
    PreprocessorContext ctx;
    SourceReader r = readerAt("A\tB", 2);
    ctx.reader = &r;
    testing::internal::CaptureStderr();
    report(ctx, "Unknown character %c (%d)", '?', 63);
    r.scanPos = 3;  // at the very end of the line
    report(ctx, "Unbalanced strings");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "A B\n--^\nbprep2: Error Unknown character ? (63): Line 7 in file prog.b\n"
              "A B\n---^\nbprep2: Error Unbalanced strings: Line 7 in file prog.b\n");
}

TEST(Report, PlainFormWithoutAValidPosition) {
    PreprocessorContext ctx;
    SourceReader r = readerAt("X = 1", 6);  // beyond the end
    ctx.reader = &r;
    ctx.nextIsWarning = true;  // for one report only
    testing::internal::CaptureStderr();
    report(ctx, "Unable to read file '%s'\n", "a.b");
    r.scanPos = -1;
    report(ctx, "No input file name specified");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "bprep2: Warning Unable to read file 'a.b'\n\n"
              "bprep2: Error No input file name specified\n");
}

TEST(Report, NoEchoKeepsTheLineAndFileButDropsTheCaret) {
    PreprocessorContext ctx;
    SourceReader r = readerAt("X = A", 4);
    r.noEcho = true;
    ctx.reader = &r;
    testing::internal::CaptureStderr();
    report(ctx, "EQUATE level exceeds maximum of %d levels\n      Possible recursive EQUATEs", 200);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "bprep2: Error EQUATE level exceeds maximum of 200 levels\n"
              "      Possible recursive EQUATEs: Line 7 in file prog.b\n");
}
