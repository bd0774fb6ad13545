// The after-line pass's input: a line taken out of the list is read back
// in order, with the ')' owed before its tokens.
#include "objects/line_input.h"

#include <gtest/gtest.h>

#include <string>

#include "objects/object_line_fixture.h"

namespace bprep2 {
namespace {

class LineInputTest : public ::testing::Test, protected ObjectLineFixture {
   protected:
    void SetUp() override {
        for (const char* name : {"A", "B", "C", "D", "E"}) tokens.append(tokens.make(TokenKind::Name, name));
    }
    // The list written as one string: names as they are, a ')' as itself.
    std::string listed() const {
        std::string text;
        for (const Token& t : tokens) text += isBracket(t, ')') ? std::string(")") : std::string(tokens.text(t));
        return text;
    }
    void oweClosers(size_t before, uint32_t count) {
        LineInput& input = state.input;
        if (input.closersOwed.empty()) input.closersOwed.assign(input.tokens.size() + 1, 0);
        input.closersOwed[before] += count;
    }
};

TEST_F(LineInputTest, ReadsTheTakenTokensBackOneAtATime) {
    takeLineAsInput(line, 2);
    EXPECT_EQ(listed(), "AB");
    EXPECT_TRUE(hasTokenAt(line, 1));
    EXPECT_EQ(tokens.size(), 2u);
    EXPECT_TRUE(hasTokenAt(line, 2));
    EXPECT_EQ(listed(), "ABC");
    EXPECT_TRUE(hasTokenAt(line, 4));
    EXPECT_EQ(listed(), "ABCDE");
    EXPECT_FALSE(hasTokenAt(line, 5));
    EXPECT_FALSE(hasInputLeft(state.input));
}

TEST_F(LineInputTest, KeepsWhatWasNotReadWithTheClosersOwed) {
    struct Case {
        const char* name;
        size_t read;                          // tokens of the input read first
        std::vector<std::pair<size_t, uint32_t>> owed;  // ')' owed before input token N
        const char* expected;
    };
    const Case cases[] = {
        {"nothing owed, nothing read", 0, {}, "ABCDE"},
        {"nothing owed, part read", 1, {}, "ABCDE"},
        {"owed inside", 0, {{1, 2}}, "ABC))DE"},
        {"owed after the last", 1, {{3, 1}}, "ABCDE)"},
        {"owed at both", 0, {{0, 1}, {3, 1}}, "AB)CDE)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tokens.truncate(0);
        SetUp();
        takeLineAsInput(line, 2);
        for (const auto& [before, count] : c.owed) oweClosers(before, count);
        if (c.read > 0) {
            ASSERT_TRUE(readInputUpTo(line, 1 + c.read));
        }
        keepRestOfInput(line);
        EXPECT_EQ(listed(), c.expected);
        EXPECT_FALSE(hasInputLeft(state.input));
        EXPECT_TRUE(state.input.closersOwed.empty());
    }
}

TEST_F(LineInputTest, WritesAnOwedCloserWithTheTokenItGoesBefore) {
    takeLineAsInput(line, 1);
    oweClosers(2, 1);
    EXPECT_TRUE(hasTokenAt(line, 2));
    EXPECT_EQ(listed(), "ABC");
    EXPECT_TRUE(hasTokenAt(line, 3));
    EXPECT_EQ(listed(), "ABC)D");
    EXPECT_TRUE(hasTokenAt(line, 5));
    EXPECT_EQ(listed(), "ABC)DE");
    EXPECT_FALSE(hasTokenAt(line, 6));
}

}  // namespace
}  // namespace bprep2
