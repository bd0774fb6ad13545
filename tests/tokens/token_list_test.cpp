// The token list: replacement, insertion, resets and the texts in its pool.
#include "tokens/token_list.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "tokens/keywords.h"

namespace bprep2 {
namespace {

class TokenListTest : public ::testing::Test {
   protected:
    TokenList tokens;
    void add(TokenKind kind, std::string_view text = {}, int32_t value = 0) {
        tokens.append(tokens.make(kind, text, value));
    }
    std::string_view textAt(size_t i) const { return tokens.text(tokens[i]); }
};

TEST_F(TokenListTest, ReplaceReportsTheChangeInLength) {
    for (const char* name : {"M", "A", "B", "C", "D"}) add(TokenKind::Name, name);
    Token fresh[5];
    for (auto& t : fresh) t = tokens.make(TokenKind::Number, "9");
    EXPECT_EQ(tokens.replace(2, 3, fresh), 3);
    ASSERT_EQ(tokens.size(), 8u);
    EXPECT_EQ(textAt(1), "A");
    EXPECT_EQ(textAt(7), "D");
    EXPECT_EQ(tokens.replace(2, 99, {fresh, 1}), -5);
    ASSERT_EQ(tokens.size(), 3u);
    EXPECT_EQ(textAt(2), "9");
    EXPECT_EQ(tokens.replace(5, 6, fresh), 0);
    EXPECT_EQ(tokens.size(), 3u);
}

TEST_F(TokenListTest, InsertTruncateAndResetKeepTextsApart) {
    add(TokenKind::Name, "A");
    tokens.insert(1, tokens.make(TokenKind::Bracket, {}, '('));
    tokens.insert(99, tokens.make(TokenKind::Name, "Z"));
    Token closer = tokens.make(TokenKind::Bracket, {}, ')');
    tokens.insert(2, 2, closer);
    ASSERT_EQ(tokens.size(), 5u);
    EXPECT_TRUE(isBracket(tokens[1], '('));
    EXPECT_TRUE(isBracket(tokens[3], ')'));
    EXPECT_EQ(textAt(4), "Z");
    // A text taken from another token survives the pool growing.
    tokens.reset(tokens[1], TokenKind::String, textAt(0));
    for (int i = 0; i < 1000; ++i) tokens.storeText("padding that makes the pool move");
    EXPECT_EQ(textAt(1), "A");
    EXPECT_EQ(tokens[1].value(), 0);
    resetToken(tokens[1], TokenKind::Deleted);
    EXPECT_TRUE(textAt(1).empty());
    tokens.truncate(2);
    EXPECT_EQ(tokens.size(), 2u);
}

// Texts of 65535 bytes and more keep their length in the pool: handed on,
// cut out of a longer one, or just short of the limit, each reads back whole.
TEST_F(TokenListTest, LongTextsReadBackWhole) {
    std::string longer(200000, 'x');
    longer[0] = 'a';
    longer.back() = 'z';
    for (size_t length : {size_t{longText} - 1, size_t{longText}, longer.size()}) {
        std::string text = longer.substr(longer.size() - length);
        add(TokenKind::String, text);
        EXPECT_EQ(tokens.text(tokens.back()), text) << length;
    }
    Token handedOn;
    tokens.shareText(handedOn, tokens.back());
    EXPECT_EQ(tokens.text(handedOn), longer);
    // A long piece of a text already in the pool is copied, not shared.
    std::string_view inPool = tokens.text(tokens.back()).substr(1, 100000);
    tokens.reset(handedOn, TokenKind::String, inPool);
    EXPECT_EQ(tokens.text(handedOn), longer.substr(1, 100000));
    EXPECT_EQ(tokens.text(tokens.back()), longer);
}

// A kept column goes wherever the token is copied, however the list and
// the pool move; a token given another text, or made without one, keeps
// none, and the text itself reads back as it was given.
TEST_F(TokenListTest, AKeptColumnTravelsWithTheToken) {
    add(TokenKind::Name, "NEW");
    Token keyword;
    keyword.kind = TokenKind::Keyword;
    tokens.keepColumn(keyword, textAt(0), 7);  // a text already in the pool
    Token arrow;
    arrow.kind = TokenKind::MemberOperator;
    tokens.keepColumn(arrow, "->", 123456);
    tokens.append(arrow);
    tokens.insert(0, keyword);
    for (int i = 0; i < 1000; ++i) tokens.insert(0, tokens.make(TokenKind::Name, "padding that makes the pool move"));
    EXPECT_EQ(tokens.keptColumn(tokens[1000]), 7);
    EXPECT_EQ(textAt(1000), "NEW");
    EXPECT_EQ(tokens.keptColumn(tokens[1002]), 123456);
    EXPECT_EQ(textAt(1002), "->");
    EXPECT_EQ(tokens.keptColumn(tokens[1001]), -1);

    Token renamed = tokens[1002];
    tokens.setText(renamed, "NEW");
    EXPECT_EQ(tokens.keptColumn(renamed), -1);
    Token sharing;
    tokens.shareText(sharing, tokens[1002]);
    EXPECT_EQ(tokens.keptColumn(sharing), -1);
    tokens.reset(tokens[1000], TokenKind::Keyword, "NEW");
    EXPECT_EQ(tokens.keptColumn(tokens[1000]), -1);

    Token longOne;
    std::string longer(size_t{longText} + 1, 'y');
    tokens.keepColumn(longOne, longer, 3);
    EXPECT_EQ(tokens.keptColumn(longOne), -1);
    EXPECT_EQ(tokens.text(longOne), longer);
}

// A token keeps a text and a value side by side, whatever each is: a value
// packed beside the text, one kept in the pool before it, with or without a
// column, a text at and past the length a token holds itself. Each reads
// back after the pool moves, after the value changes, and when another
// token takes the text.
TEST_F(TokenListTest, ATextAndAValueReadBackTogether) {
    const std::string atLimit(size_t{longText} - 1, 'a');
    const std::string pastLimit(size_t{longText} + 2, 'b');
    const int32_t allKeywordFlags = static_cast<int32_t>(kwKeyword | kwThenElse | kwObject | kwCallLike);
    struct Row {
        TokenKind kind;
        std::string_view text;
        int32_t value;
        int32_t column;  // -1: none
    };
    const Row rows[] = {
        {TokenKind::Keyword, "PRINT", allKeywordFlags, -1},
        {TokenKind::Keyword, "NEW", static_cast<int32_t>(kwKeyword | kwObject), 17},
        {TokenKind::Verbatim, "qObjectStaticMethod1(", foldedOpenBracket, -1},
        {TokenKind::LineMarker, "main.b", static_cast<int32_t>(maxLineNumber), -1},
        {TokenKind::LineMarker, "inc/a.b", 0x40, 5},
        {TokenKind::Name, atLimit, INT32_MIN, -1},
        {TokenKind::String, pastLimit, -1, -1},
        {TokenKind::String, pastLimit, kwKeyword, -1},
        {TokenKind::Blank, {}, INT32_MAX, -1},
        {TokenKind::Blank, {}, INT32_MIN, -1},
    };
    for (const Row& row : rows) {
        Token t = tokens.make(row.kind, {}, row.value);
        if (row.column >= 0)
            tokens.keepColumn(t, row.text, row.column);
        else
            tokens.setText(t, row.text);
        for (int i = 0; i < 100; ++i) tokens.storeText("padding that makes the pool move");
        const std::string what = std::string(kindName(kindNumber(row.kind))) + " " + std::to_string(row.value);
        EXPECT_EQ(tokens.text(t), row.text) << what;
        EXPECT_EQ(tokens.value(t), row.value) << what;
        EXPECT_EQ(tokens.keptColumn(t), row.column) << what;

        Token taker = tokens.make(TokenKind::Keyword, {}, kwKeyword);
        tokens.shareText(taker, t);
        EXPECT_EQ(tokens.text(taker), row.text) << what;
        EXPECT_EQ(tokens.value(taker), static_cast<int32_t>(kwKeyword)) << what;

        for (int32_t value : {static_cast<int32_t>(kwFunction2), 0x12345678, 0}) {
            tokens.setValue(t, value);
            EXPECT_EQ(tokens.value(t), value) << what;
            EXPECT_EQ(tokens.text(t), row.text) << what;
            EXPECT_EQ(tokens.keptColumn(t), row.column) << what;
        }
    }
}

// Every keyword's flags read back from the token itself, and a keyword
// written again with the same flags takes no more room in the pool.
TEST_F(TokenListTest, KeywordFlagsRoundTripAndRepeatedKeywordsShareTheirText) {
    for (const KeywordEntry& row : keywordTable()) {
        Token t = tokens.make(TokenKind::Keyword, row.name, static_cast<int32_t>(row.flags));
        EXPECT_EQ(t.keywordFlags(), row.flags) << row.name;
        EXPECT_EQ(tokens.text(t), row.name) << row.name;
    }
    Token first = tokens.make(TokenKind::Function, "Oconv", static_cast<int32_t>(kwFunction2));
    const size_t bytes = tokens.textBytes();
    Token again = tokens.make(TokenKind::Function, tokens.text(first), static_cast<int32_t>(kwFunction2));
    EXPECT_EQ(tokens.textBytes(), bytes);
    EXPECT_EQ(tokens.text(again), "Oconv");
    EXPECT_EQ(again.keywordFlags(), kwFunction2);
}

TEST(KindNames, TheDumpSpellingsAndUnknownOutsideTheTable) {
    EXPECT_EQ(kindName(kindNumber(TokenKind::MemberName)), "property/method");
    EXPECT_EQ(kindName(kindNumber(TokenKind::Deleted)), "(null)");
    EXPECT_EQ(kindName(28), "UNKNOWN");
    EXPECT_EQ(kindName(-1), "UNKNOWN");
}

}  // namespace
}  // namespace bprep2
