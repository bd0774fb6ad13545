// The growing array under the token list and its pool: its records survive
// every way it grows (past the size where blocks come from the system, and
// again and again after that), and its edits keep order.
#include "tokens/large_array.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tokens/token.h"

namespace bprep2 {
namespace {

std::vector<uint32_t> contents(const LargeArray<uint32_t>& array) { return {array.begin(), array.end()}; }

// Grown one record at a time from nothing to well past several huge pages,
// each growth keeps every record; so does a copy, and a move leaves the
// source empty.
TEST(LargeArray, RecordsSurviveGrowingPastTheMappedSize) {
    LargeArray<uint32_t> array;
    const uint32_t count = 3 * hugePageBytes / sizeof(uint32_t) + 7;
    for (uint32_t i = 0; i < count; ++i) array.push_back(i * 2654435761u);
    ASSERT_EQ(array.size(), count);
    EXPECT_GE(array.capacity(), count);
    bool intact = true;
    for (uint32_t i = 0; i < count; ++i) intact = intact && array[i] == i * 2654435761u;
    EXPECT_TRUE(intact);

    array.reserve(4 * count);
    EXPECT_EQ(array.back(), (count - 1) * 2654435761u);
    LargeArray<uint32_t> copy(array);
    EXPECT_EQ(contents(copy), contents(array));
    LargeArray<uint32_t> moved(std::move(copy));
    EXPECT_TRUE(copy.empty());
    EXPECT_EQ(moved.size(), count);
    EXPECT_EQ(moved[count / 2], array[count / 2]);
}

// A record of the array handed back to it while it must grow for it is
// read before the array moves.
TEST(LargeArray, AppendingItsOwnRecordWhileGrowing) {
    LargeArray<Token> tokens;
    Token first;
    first.setValue(41);
    tokens.push_back(first);
    while (tokens.size() < tokens.capacity()) tokens.push_back(tokens.back());
    tokens.push_back(tokens[0]);
    tokens.insert(0, 2, tokens.back());
    EXPECT_EQ(tokens.back().value(), 41);
    EXPECT_EQ(tokens[0].value(), 41);
    EXPECT_EQ(tokens[1].value(), 41);
}

TEST(LargeArray, InsertEraseAndResizeKeepOrder) {
    LargeArray<uint32_t> array;
    const uint32_t start[] = {1, 2, 3, 4};
    array.append(start, 4);
    const uint32_t middle[] = {8, 9};
    array.insert(2, middle, 2);
    EXPECT_EQ(contents(array), (std::vector<uint32_t>{1, 2, 8, 9, 3, 4}));
    array.insert(6, 2, 5);
    array.insert(0, middle, 0);
    EXPECT_EQ(contents(array), (std::vector<uint32_t>{1, 2, 8, 9, 3, 4, 5, 5}));
    array.erase(1, 4);
    EXPECT_EQ(contents(array), (std::vector<uint32_t>{1, 3, 4, 5, 5}));
    array.erase(3, 5);
    array.resize(5);
    EXPECT_EQ(contents(array), (std::vector<uint32_t>{1, 3, 4, 0, 0}));
    array.resize(1);
    EXPECT_EQ(contents(array), (std::vector<uint32_t>{1}));

    // Grown by resizing, new tokens are fresh ones.
    LargeArray<Token> tokens;
    tokens.resize(3);
    EXPECT_EQ(tokens[2].kind, TokenKind::Deleted);
    EXPECT_EQ(tokens[2].value(), 0);
}

}  // namespace
}  // namespace bprep2
