// The scans for significant tokens, and the joins after trailing commas.
#include "tokens/scans.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tokens/comma_join.h"

namespace bprep2 {
namespace {

using K = TokenKind;

TokenList listOf(std::initializer_list<std::pair<TokenKind, std::string_view>> tokens) {
    TokenList list;
    for (const auto& [kind, text] : tokens) list.append(list.make(kind, text, kind == K::LineEnd ? 1 : 0));
    return list;
}

TEST(Scans, NextSignificantStopsWhereItsReachEnds) {
    TokenList list = listOf({{K::LineMarker, "p"}, {K::Name, "A"}, {K::Blank, ""}, {K::LineEnd, ""},
                             {K::Separator, ""}, {K::Deleted, ""}, {K::Name, "B"}, {K::Label, "10"}});
    EXPECT_EQ(nextSignificant(list, 1, Reach::SameLine), npos);
    EXPECT_EQ(nextSignificant(list, 1, Reach::Anywhere), 6u);
    EXPECT_EQ(nextSignificant(list, 3, Reach::SameLine), 4u);  // a separator is on the line
    EXPECT_EQ(nextSignificant(list, 3, Reach::SameStatement), npos);
    EXPECT_EQ(nextSignificant(list, 4, Reach::SameStatement), 6u);
    EXPECT_EQ(nextSignificant(list, 6, Reach::SameLine), npos);  // a label begins a line
    EXPECT_EQ(nextSignificant(list, 7, Reach::Anywhere), npos);
    EXPECT_EQ(nextSignificant(list, npos, Reach::Anywhere), npos);
}

TEST(Scans, PreviousSignificantStopsAtStatementStartsAndOpenersOnTheSameLine) {
    TokenList list = listOf({{K::LineMarker, "p"}, {K::Keyword, "IF"}, {K::Name, "A"}, {K::Keyword, "Then"},
                             {K::Blank, ""}, {K::Name, "B"}, {K::Separator, ""}, {K::Name, "C"}});
    EXPECT_EQ(previousSignificant(list, 5, Reach::SameLine), npos);
    EXPECT_EQ(previousSignificant(list, 5, Reach::SameStatement), 3u);
    EXPECT_EQ(previousSignificant(list, 3, Reach::SameLine), 2u);
    EXPECT_EQ(previousSignificant(list, 7, Reach::SameStatement), npos);
    EXPECT_EQ(previousSignificant(list, 0, Reach::SameStatement), npos);
    EXPECT_EQ(previousSignificant(list, 99, Reach::SameStatement), npos);
    EXPECT_EQ(previousNonBlank(list, 5), 3u);
    // Passing blanks back to the first token gives none.
    list[1].kind = list[2].kind = K::Blank;
    EXPECT_EQ(previousSignificant(list, 3, Reach::SameStatement), npos);
}

TEST(CommaJoin, StretchTargetAndWhereTheStatementGoesOn) {
    // A, / ; / B: the statement goes on at B, and its line takes both breaks.
    TokenList list = listOf({{K::Name, "A"}, {K::Comma, ""}, {K::LineEnd, ""}, {K::Separator, ""},
                             {K::LineEnd, ""}, {K::Name, "B"}, {K::LineEnd, ""}});
    CommaJoin join = findCommaJoin(list, 1);
    EXPECT_EQ(join.stop, 5u);
    EXPECT_EQ(join.target, 6u);
    EXPECT_EQ(join.lineEnds, 2);
    EXPECT_EQ(joinedStretchEnd(list, 1), 4u);
    // A line marker before the next line end keeps the breaks where they are.
    list[5].kind = K::LineMarker;
    EXPECT_EQ(findCommaJoin(list, 1).target, npos);
    EXPECT_EQ(joinedStretchEnd(list, 1), 1u);
}

// The joins made one at a time in the list itself, each on the list the
// earlier ones left: what CommaJoins must come to without changing it.
std::vector<Token> joinedOneAtATime(TokenList list) {
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].kind != K::Comma) continue;
        CommaJoin join = findCommaJoin(list, i);
        for (size_t j = i + 1; j < join.stop; ++j)
            if (list[j].kind == K::Separator || (list[j].kind == K::LineEnd && join.target != npos))
                resetToken(list[j], K::Deleted);
        if (join.target != npos) list[join.target].setValue(list[join.target].value() + static_cast<int32_t>(join.lineEnds));
    }
    return {list.begin(), list.end()};
}

TEST(CommaJoin, FollowedInOrderTheyMatchTheJoinsMadeOneAtATime) {
    const K kinds[] = {K::Comma, K::Comma, K::LineEnd, K::LineEnd, K::Separator, K::Blank, K::LineMarker, K::Name};
    std::mt19937 random(17);
    for (int round = 0; round < 2000; ++round) {
        TokenList list;
        list.append(list.make(K::LineMarker, "p", 1));
        for (int n = random() % 24; n-- > 0;) {
            K kind = kinds[random() % std::size(kinds)];
            list.append(list.make(kind, {}, kind == K::LineEnd ? static_cast<int32_t>(random() % 3) : 0));
        }
        std::vector<Token> expected = joinedOneAtATime(list);
        applyCommaJoins(list);
        ASSERT_EQ(list.size(), expected.size());
        for (size_t i = 0; i < list.size(); ++i) {
            ASSERT_EQ(list[i].kind, expected[i].kind) << "round " << round << " token " << i;
            ASSERT_EQ(list[i].value(), expected[i].value()) << "round " << round << " token " << i;
        }
    }
}

}  // namespace
}  // namespace bprep2
