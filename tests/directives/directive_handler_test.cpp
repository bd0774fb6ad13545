// The directive handler, EQUATE and the include level guard driven on one
// hand-built line at a time: results, table contents, the scan position
// left behind, and the messages.
#include <gtest/gtest.h>

#include "directives/directives.h"
#include "tokens/token_list.h"

namespace bprep2 {
namespace {

class DirectiveTest : public ::testing::Test {
protected:
    PreprocessorContext ctx;
    SourceReader reader;
    std::string errors;

    void SetUp() override {
        reader.fileName = "prog.b";
        reader.lineNumber = 1;
        ctx.reader = &reader;
    }
    void setLine(std::string_view text, size_t pos) {
        reader.lineText = std::string(text);
        reader.scanPos = static_cast<int64_t>(pos);
    }
    int32_t directive(std::string_view text) {
        setLine(text, text.find_first_of("#$"));
        ::testing::internal::CaptureStderr();
        int32_t result = handleDirective(ctx);
        errors = ::testing::internal::GetCapturedStderr();
        return result;
    }
    int32_t equate(std::string_view text) {
        setLine(text, 3);
        ::testing::internal::CaptureStderr();
        int32_t result = handleEquate(ctx);
        errors = ::testing::internal::GetCapturedStderr();
        return result;
    }
    bool reported(std::string_view message) const { return errors.find(message) != std::string::npos; }
};

TEST_F(DirectiveTest, ConditionalNestingAndEnclosedBlocks) {
    ctx.definitions["DEBUG"] = 0;
    EXPECT_EQ(directive("#IfDef DEBUG trailing words"), directiveHandled);
    EXPECT_FALSE(linesActive(ctx));
    EXPECT_EQ(directive("#ifndef ANY"), directiveHandled);
    EXPECT_EQ(ctx.conditionStack[2], -1);
    EXPECT_EQ(directive("#else"), directiveHandled);
    EXPECT_FALSE(linesActive(ctx));
    EXPECT_EQ(directive("  $END"), directiveHandled);
    EXPECT_EQ(directive("#else"), directiveHandled);
    EXPECT_TRUE(linesActive(ctx));
    EXPECT_EQ(directive("#endif"), directiveHandled);
    EXPECT_EQ(ctx.conditionDepth, 0);

    EXPECT_EQ(directive("#endif"), directiveFailed);
    EXPECT_TRUE(reported("#endif seen outside a conditional block"));
    EXPECT_EQ(directive("#else"), directiveFailed);
    EXPECT_TRUE(reported("#else seen outside a conditional block"));
}

TEST_F(DirectiveTest, TheEleventhLevelFailsBeforeItsNameIsRead) {
    for (int i = 0; i < 10; ++i) ASSERT_EQ(directive("#ifdef X"), directiveHandled);
    EXPECT_EQ(directive("#ifdef"), directiveFailed);
    EXPECT_TRUE(reported("The maximum nested level of 10 conditionals is exceeded"));
    EXPECT_EQ(ctx.conditionDepth, 10);
}

TEST_F(DirectiveTest, BadWordsAndMissingNames) {
    const char* invalid[] = {"# ifdef X", "#", "#ifdef", "#if 1", "#ifdef   "};
    for (const char* line : invalid) {
        EXPECT_EQ(directive(line), directiveFailed) << line;
        EXPECT_TRUE(reported("Invalid syntax for # pre-processor directives")) << line;
    }
    const char* unknown[] = {"#endinline", "#ifdefX Y", "#defin X", "#define.X 1"};
    for (const char* line : unknown) {
        EXPECT_EQ(directive(line), directiveFailed) << line;
        EXPECT_TRUE(reported("Unknown pre-processor directive")) << line;
    }
    EXPECT_EQ(directive("#define"), directiveFailed);
    EXPECT_TRUE(reported("Invalid syntax for #define"));
    EXPECT_EQ(ctx.conditionDepth, 0);
}

TEST_F(DirectiveTest, EquateListsFormsAndKeys) {
    EXPECT_EQ(equate("EQU a TO 1, b LIT \"x,y\" , c LITERALLY 'q' r; PRINT a"), 0);
    EXPECT_EQ(ctx.equates["A"], "1");
    EXPECT_EQ(ctx.equates["B"], "x,y");
    EXPECT_EQ(ctx.equates["C"], "q");
    EXPECT_EQ(reader.lineText[static_cast<size_t>(reader.scanPos)], ';');

    EXPECT_EQ(equate("EQU V TO X<1,2>"), 0);
    EXPECT_EQ(ctx.equates["V"], "X<1,2>");
    EXPECT_EQ(reader.scanPos, static_cast<int64_t>(reader.lineText.size()));

    ctx.options |= optCaseSensitive;
    EXPECT_EQ(equate("EQU n TO 5"), 0);
    EXPECT_EQ(ctx.equates.count("n"), 1u);
    EXPECT_EQ(equate("EQU n to 5"), 1);
}

TEST_F(DirectiveTest, EquateSyntaxErrors) {
    const char* lines[] = {"EQU Z TO 1 ,", "EQU", "EQU 1 TO 2", "EQU A", "EQU A AS 1",
                           "EQU A TO 1, ;"};
    for (const char* line : lines) {
        EXPECT_EQ(equate(line), 1) << line;
        EXPECT_TRUE(reported("Invalid syntax for EQUATE")) << line;
    }
}

TEST_F(DirectiveTest, IncludeLevelGuardRestoresTheLevel) {
    setLine("INCLUDE SELF", 7);
    ctx.includeLevel = 100;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(handleInclude(ctx), 1);
    errors = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(reported("INCLUDE level exceeds maximum of 100 levels\n      Possible recursive INCLUDEs"));
    EXPECT_EQ(ctx.includeLevel, 100);
}

}  // namespace
}  // namespace bprep2
