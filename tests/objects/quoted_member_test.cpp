// Member references quote their member's name: a name used again shares
// the quoted text stored for it, and a different name never does.
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

}  // namespace
}  // namespace bprep2
