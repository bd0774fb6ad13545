// Member references quote their member's name: a name used again shares
// the quoted text stored for it, and a different name never does; a name
// the scanner read after a member operator is quoted where it lies.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "objects/object_line_fixture.h"
#include "objects/objects.h"

namespace bprep2 {
namespace {

class QuotedMemberTest : public ::testing::Test, protected ObjectLineFixture {
   protected:
    // Appends OBJ->MEMBER as a statement of its own; returns the operator's
    // place.
    size_t append(std::string_view member) {
        if (!tokens.empty()) tokens.append(tokens.make(TokenKind::Separator));
        tokens.append(tokens.make(TokenKind::Name, "OBJ"));
        size_t op = tokens.size();
        tokens.append(tokens.make(TokenKind::MemberOperator, "->"));
        tokens.append(tokens.make(TokenKind::MemberName, member));
        return op;
    }
    // The same, the member's text taken as the scanner takes it.
    size_t appendAsRead(std::string_view member) {
        size_t op = append({});
        tokens.setText(tokens.back(), memberNameText(state, tokens, member));
        return op;
    }
    // Rewrites the reference at `op`; returns the quoted member's token.
    Token rewrite(size_t op) {
        rewriteObjectSyntax(line, op);
        finishMemberChain(line);
        for (size_t i = tokens.size(); i-- > 0;)
            if (tokens[i].kind == TokenKind::String) return tokens[i];
        ADD_FAILURE() << "no quoted member";
        return {};
    }
    Token reference(std::string_view member) { return rewrite(append(member)); }
    static std::string quoted(std::string_view name) {
        std::string text(1, '"');
        text += name;
        text += '"';
        return text;
    }
};

TEST_F(QuotedMemberTest, ANameUsedAgainSharesItsQuotedText) {
    Token first = reference("COUNT");
    EXPECT_EQ(tokens.text(first), quoted("COUNT"));
    size_t op = append("Count");
    size_t before = tokens.textBytes();
    Token other = rewrite(op);
    EXPECT_EQ(tokens.text(other), quoted("Count"));
    EXPECT_EQ(tokens.textBytes(), before + quoted("Count").size());
    op = append("COUNT");
    before = tokens.textBytes();
    Token again = rewrite(op);
    EXPECT_EQ(tokens.text(again), quoted("COUNT"));
    EXPECT_EQ(line.tokens.textRef(again).offset, line.tokens.textRef(first).offset);
    EXPECT_EQ(tokens.textBytes(), before);
}

TEST_F(QuotedMemberTest, NamesSharingAPlaceKeepTheirOwnTexts) {
    // More names than places, so that some share one, each used twice.
    std::vector<std::string> names;
    for (size_t i = 0; i < 3 * QuotedNames::places; ++i) names.push_back(std::to_string(i).insert(0, 1, 'M'));
    for (int round = 0; round < 2; ++round) {
        for (const std::string& name : names) {
            ASSERT_EQ(tokens.text(reference(name)), quoted(name)) << "round " << round;
        }
    }
}

TEST_F(QuotedMemberTest, NamesDifferingInOneByteKeepTheirOwnTexts) {
    // Short names, names of a word or two and longer ones are keyed each
    // their own way; every byte of each length changed in turn.
    std::vector<std::string> names;
    for (size_t length = 1; length <= 2 * QuotedNames::keyedLength + 1; ++length) {
        const std::string same(length, 'A');
        names.push_back(same);
        for (size_t i = 0; i < length; ++i) {
            std::string changed = same;
            changed[i] = 'B';
            names.push_back(changed);
        }
    }
    for (int round = 0; round < 2; ++round) {
        for (const std::string& name : names) {
            ASSERT_EQ(tokens.text(reference(name)), quoted(name)) << "round " << round;
        }
    }
}

TEST_F(QuotedMemberTest, ANameAsReadIsQuotedWithoutStoringMore) {
    const std::string longName(longText, 'L');
    reference("FIRST");  // the runtime call's name is stored the first time
    for (std::string_view name : {std::string_view("PROP"), std::string_view("Prop"), std::string_view(longName)}) {
        size_t op = appendAsRead(name);
        EXPECT_EQ(tokens.text(tokens[op + 1]), name);
        size_t before = tokens.textBytes();
        EXPECT_EQ(tokens.text(rewrite(op)), quoted(name));
        // Only a name too long to share has its quoted text stored anew.
        if (name.size() < longText - 2) {
            EXPECT_EQ(tokens.textBytes(), before) << name;
        }
    }
    // Read again, the name stores nothing either.
    size_t op = append({});
    size_t before = tokens.textBytes();
    tokens.setText(tokens[op + 1], memberNameText(state, tokens, "PROP"));
    EXPECT_EQ(tokens.textBytes(), before);
    EXPECT_EQ(tokens.text(rewrite(op)), quoted("PROP"));
}

// A name stored between two quoted texts has quotes on either side in the
// pool; taking them is still its own name quoted.
TEST_F(QuotedMemberTest, ANameBetweenQuotedTextsIsQuotedRight) {
    size_t op = append({});
    tokens.storeText("\"A\"");
    tokens.setText(tokens[op + 1], "B");
    tokens.storeText("\"C\"");
    EXPECT_EQ(tokens.text(rewrite(op)), quoted("B"));
    // A quote on one side only is no quoted text.
    op = append({});
    tokens.storeText("\"D\"");
    tokens.setText(tokens[op + 1], "E");
    tokens.storeText("F");
    EXPECT_EQ(tokens.text(rewrite(op)), quoted("E"));
}

}  // namespace
}  // namespace bprep2
