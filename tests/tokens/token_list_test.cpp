// The token list: statement flags, the significant-token scans, replacement,
// insertion and word comparison.
#include <gtest/gtest.h>

#include "tokens/token_list.h"

namespace bprep2 {
namespace {

class TokenListTest : public ::testing::Test {
protected:
    PreprocessorContext ctx;
    SourceReader reader;
    void SetUp() override {
        ctx.reader = &reader;
        appendToken(ctx, changeline, "prog.b", 1);
    }
    uint8_t flagsAt(size_t i) { return ctx.tokens[i].flags; }
};

TEST_F(TokenListTest, FlagsFollowTheStatementState) {
    appendToken(ctx, variable, "X");
    appendToken(ctx, whitespace, {}, 1);
    appendToken(ctx, equals);
    appendToken(ctx, numeric, "1");
    EXPECT_EQ(flagsAt(1), flagAssign | flagFirst);
    // White space after the first counted token is still "first".
    EXPECT_EQ(flagsAt(2), flagAssign | flagFirst);
    EXPECT_EQ(flagsAt(3), 0);
    EXPECT_EQ(flagsAt(4), 0);
}

TEST_F(TokenListTest, ThenReopensTheStatementAndLabelsAreMarked) {
    appendToken(ctx, endofline, {}, 1);
    appendToken(ctx, system_keyword, "IF", 0x20001);
    appendToken(ctx, variable, "A");
    appendToken(ctx, system_keyword, "then", 0x20021);
    appendToken(ctx, variable, "B");
    EXPECT_EQ(flagsAt(2), flagFirst);
    EXPECT_EQ(flagsAt(3), 0);
    EXPECT_EQ(flagsAt(4), flagAssign);
    EXPECT_EQ(flagsAt(5), flagAssign);

    appendToken(ctx, label, "10");
    appendToken(ctx, variable, "C");
    EXPECT_EQ(flagsAt(6), flagLabel | flagAssign);
    EXPECT_EQ(flagsAt(7), flagFirst | flagAssign);
}

TEST_F(TokenListTest, CaseSensitiveModeOnlyReopensOnUpperCaseWords) {
    ctx.options |= optCaseSensitive;
    appendToken(ctx, system_keyword, "IF", 1);
    appendToken(ctx, system_keyword, "then", 1);
    appendToken(ctx, variable, "B");
    EXPECT_EQ(flagsAt(3), 0);
}

TEST_F(TokenListTest, NextSignificantModes) {
    appendToken(ctx, variable, "A");       // 1
    appendToken(ctx, whitespace, {}, 1);   // 2
    appendToken(ctx, endofline, {}, 1);    // 3
    appendToken(ctx, newstatement);        // 4
    appendToken(ctx, variable, "B");       // 5
    EXPECT_EQ(nextSignificant(ctx, 2, modeSameLine), npos);
    EXPECT_EQ(nextSignificant(ctx, 2, modeAnywhere), 5u);
    EXPECT_EQ(nextSignificant(ctx, 4, modeSameLine), 4u);
    EXPECT_EQ(nextSignificant(ctx, 4, modeSameStatement), npos);
    EXPECT_EQ(nextSignificant(ctx, 6, modeAnywhere), npos);
}

TEST_F(TokenListTest, PreviousSignificantStopsAtOpenersOnlyInModeZero) {
    appendToken(ctx, system_keyword, "IF", 0x20001);   // 1
    appendToken(ctx, variable, "A");                    // 2
    appendToken(ctx, system_keyword, "Then", 0x20021); // 3
    appendToken(ctx, whitespace, {}, 1);                // 4
    appendToken(ctx, variable, "B");                    // 5
    EXPECT_EQ(previousSignificant(ctx, 4, modeSameLine), npos);
    EXPECT_EQ(previousSignificant(ctx, 4, modeAnywhere), 3u);
    EXPECT_EQ(previousSignificant(ctx, 2, modeSameLine), 2u);
    EXPECT_EQ(previousSignificant(ctx, 0, modeAnywhere), npos);
    // Skipping blanks back to the first token gives none too.
    ctx.tokens[1].type = ctx.tokens[2].type = whitespace;
    EXPECT_EQ(previousSignificant(ctx, 2, modeAnywhere), npos);
}

TEST_F(TokenListTest, ReplaceTokensReportsTheChangeInLength) {
    for (const char* name : {"A", "B", "C", "D"}) appendToken(ctx, variable, name);
    Token fresh[5];
    for (auto& t : fresh) { t.type = numeric; ctx.setText(t, "9"); }
    EXPECT_EQ(replaceTokens(ctx, fresh, 5, 1, 3), 2);
    ASSERT_EQ(ctx.tokens.size(), 7u);
    EXPECT_EQ(ctx.text(ctx.tokens[5]), "9");
    EXPECT_EQ(ctx.text(ctx.tokens[6]), "D");
    EXPECT_EQ(replaceTokens(ctx, fresh, 1, 1, 5), -4);
    ASSERT_EQ(ctx.tokens.size(), 3u);
    EXPECT_EQ(ctx.text(ctx.tokens[2]), "D");
}

TEST_F(TokenListTest, InsertAndResetKeepTextsApart) {
    appendToken(ctx, variable, "A");
    insertToken(ctx, 1, extract, {}, '(');
    insertToken(ctx, 99, variable, "Z");
    ASSERT_EQ(ctx.tokens.size(), 4u);
    EXPECT_EQ(ctx.tokens[1].value, '(');
    EXPECT_EQ(ctx.tokens[1].flags, 0);
    EXPECT_EQ(ctx.text(ctx.tokens[3]), "Z");
    // A text taken from another token survives the pool growing.
    resetToken(ctx, ctx.tokens[1], string, ctx.text(ctx.tokens[2]));
    for (int i = 0; i < 1000; ++i) ctx.storeText("padding that makes the pool move");
    EXPECT_EQ(ctx.text(ctx.tokens[1]), "A");
    resetToken(ctx.tokens[1], null_token);
    EXPECT_TRUE(ctx.text(ctx.tokens[1]).empty());
}

// Texts of 65535 bytes and more keep their length in the pool: handed on,
// cut out of a longer one, or just short of the limit, each reads back whole.
TEST_F(TokenListTest, LongTextsReadBackWhole) {
    std::string longer(200000, 'x');
    longer[0] = 'a';
    longer.back() = 'z';
    for (size_t length : {size_t{longText} - 1, size_t{longText}, longer.size()}) {
        std::string text = longer.substr(longer.size() - length);
        appendToken(ctx, string, text);
        EXPECT_EQ(ctx.text(ctx.tokens.back()), text) << length;
    }
    Token handedOn;
    handedOn.shareText(ctx.tokens.back());
    EXPECT_EQ(ctx.text(handedOn), longer);
    // A long piece of a text already in the pool is copied, not shared.
    std::string_view inPool = ctx.text(ctx.tokens.back()).substr(1, 100000);
    resetToken(ctx, handedOn, string, inPool);
    EXPECT_EQ(ctx.text(handedOn), longer.substr(1, 100000));
    EXPECT_EQ(ctx.text(ctx.tokens.back()), longer);
}

TEST(WordComparison, FollowsTheCaseMode) {
    PreprocessorContext ctx;
    EXPECT_EQ(sameWord(ctx, "print", "PRINT"), 0);
    EXPECT_NE(sameWord(ctx, "print", "PRINTS"), 0);
    ctx.options |= optCaseSensitive;
    EXPECT_NE(sameWord(ctx, "print", "PRINT"), 0);
    EXPECT_EQ(equalsIgnoreCase("Rem", "REM"), 0);
    EXPECT_EQ(equalsIgnoreCase("RE", "REM"), 1);
    EXPECT_EQ(upperCased("a.b$c\xfe"), "A.B$C\xfe");
}

TEST(TypeNames, OutOfTheTableAreUnknown) {
    EXPECT_EQ(tokenTypeName(property_method), "property/method");
    EXPECT_EQ(tokenTypeName(28), "UNKNOWN");
    EXPECT_EQ(tokenTypeName(-1), "UNKNOWN");
}

}  // namespace
}  // namespace bprep2
