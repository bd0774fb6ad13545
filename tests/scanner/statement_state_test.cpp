// The statement flags the scanner gives the tokens it appends.
#include <gtest/gtest.h>

#include "scanner/scan_state.h"

namespace bprep2 {
namespace {

class StatementStateTest : public ::testing::Test {
   protected:
    PreprocessorContext ctx;
    SourceReader reader;
    void SetUp() override {
        ctx.reader = &reader;
        appendToken(ctx, TokenKind::LineMarker, "prog.b", 1);
    }
    uint8_t flagsAt(size_t i) { return ctx.tokens[i].flags; }
};

TEST_F(StatementStateTest, FlagsFollowTheStatementState) {
    appendToken(ctx, TokenKind::Name, "X");
    appendToken(ctx, TokenKind::Blank, {}, 1);
    appendToken(ctx, TokenKind::Equals);
    appendToken(ctx, TokenKind::Number, "1");
    EXPECT_EQ(flagsAt(1), flagAssign | flagFirst);
    // A blank after the first counted token is still "first".
    EXPECT_EQ(flagsAt(2), flagAssign | flagFirst);
    EXPECT_EQ(flagsAt(3), 0);
    EXPECT_EQ(flagsAt(4), 0);
}

TEST_F(StatementStateTest, ThenReopensTheStatementAndLabelsAreMarked) {
    appendToken(ctx, TokenKind::LineEnd, {}, 1);
    appendToken(ctx, TokenKind::Keyword, "IF", 0x20001);
    appendToken(ctx, TokenKind::Name, "A");
    appendToken(ctx, TokenKind::Keyword, "then", 0x20021);
    appendToken(ctx, TokenKind::Name, "B");
    EXPECT_EQ(flagsAt(2), flagFirst);
    EXPECT_EQ(flagsAt(3), 0);
    EXPECT_EQ(flagsAt(4), flagAssign);
    EXPECT_EQ(flagsAt(5), flagAssign);

    appendToken(ctx, TokenKind::Label, "10");
    appendToken(ctx, TokenKind::Name, "C");
    EXPECT_EQ(flagsAt(6), flagLabel | flagAssign);
    EXPECT_EQ(flagsAt(7), flagFirst | flagAssign);
}

TEST_F(StatementStateTest, CaseSensitiveModeOnlyReopensOnUpperCaseWords) {
    ctx.options.turnOn(optCaseSensitive);
    appendToken(ctx, TokenKind::Keyword, "IF", 1);
    appendToken(ctx, TokenKind::Keyword, "then", 1);
    appendToken(ctx, TokenKind::Name, "B");
    EXPECT_EQ(flagsAt(3), 0);
}

}  // namespace
}  // namespace bprep2
