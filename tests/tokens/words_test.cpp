// Word comparison, character classes, names and numbers.
#include "tokens/words.h"

#include <gtest/gtest.h>

#include <string>

#include "tokens/characters.h"

namespace bprep2 {
namespace {

TEST(Words, ComparisonFollowsTheCaseMode) {
    EXPECT_TRUE(sameWord("print", "PRINT", false));
    EXPECT_FALSE(sameWord("print", "PRINTS", false));
    EXPECT_FALSE(sameWord("print", "PRINT", true));
    EXPECT_TRUE(equalIgnoringCase("Rem", "REM"));
    EXPECT_FALSE(equalIgnoringCase("RE", "REM"));
    EXPECT_FALSE(equalIgnoringCase("R@M", "R`M"));  // only letters fold
    EXPECT_EQ(upperCased("a.b$c\xfe"), "A.B$C\xfe");
    EXPECT_TRUE(isOpenerWord("Then", false));
    EXPECT_FALSE(isOpenerWord("Then", true));
    EXPECT_FALSE(isOpenerWord("THE", false));
}

TEST(Characters, NamesEndAtTheFirstByteNotPartOfOne) {
    struct Row {
        std::string_view line;
        bool dotIsMember;
        size_t length;
        bool lowerCase;
    };
    const Row rows[] = {
        {"ABC.D_1$ rest", false, 8, false}, {"ABC.D", true, 3, false}, {"$x(", false, 2, true},
        {"_A", false, 0, false},            {"9A", false, 0, false},   {"", false, 0, false},
        {"a\xfe", false, 1, true},
    };
    for (const Row& row : rows) {
        // A view that goes on past the name's line, and the line in a
        // string of its own, ended only by the string's NUL.
        std::string around = std::string(row.line) + "AB";
        NameSpan name = measureName(std::string_view(around).substr(0, row.line.size()), 0, row.dotIsMember);
        EXPECT_EQ(name.length, row.length) << row.line;
        EXPECT_EQ(name.lowerCase, row.lowerCase) << row.line;
        NameSpan inString = measureNameInString(std::string(row.line), 0, row.dotIsMember);
        EXPECT_EQ(inString.length, row.length) << row.line;
        EXPECT_EQ(inString.lowerCase, row.lowerCase) << row.line;
    }
    EXPECT_EQ(measureName("AB", 2, false).length, 0u);
    EXPECT_EQ(measureNameInString("AB", 2, false).length, 0u);
    // A NUL inside the line ends a name as any other byte that is no part.
    EXPECT_EQ(measureNameInString(std::string("AB\0CD", 5), 0, false).length, 2u);
}

TEST(Characters, DecimalNumbersSaturateAtTheEndsOfTheRange) {
    struct Row {
        std::string_view text;
        int32_t value;
    };
    const Row rows[] = {
        {"12x", 12},          {"+7", 7},           {"-7", -7},          {"", 0},
        {"-", 0},             {" 5", 0},           {"2147483647", 2147483647},
        {"2147483648", 2147483647},                {"-2147483648", -2147483647 - 1},
        {"-99999999999999999999", -2147483647 - 1}, {"99999999999999999999", 2147483647},
    };
    for (const Row& row : rows) EXPECT_EQ(saturatingDecimal(row.text), row.value) << row.text;
}

}  // namespace
}  // namespace bprep2
