// The table keyed by words: every word added is found again with its own
// value after the table has grown many times, a word never added is not,
// and the entries keep the order the words came in.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tokens/word_table.h"

namespace bprep2 {
namespace {

// Words of every length up to twenty that differ in one character only,
// early, late or in the middle, so that words of one length crowd the
// same parts of their hash.
std::vector<std::string> crowdedWords() {
    std::vector<std::string> words;
    for (size_t length = 1; length <= 20; ++length) {
        for (size_t place : {size_t{0}, length / 2, length - 1}) {
            for (char c = '0'; c <= 'z'; ++c) {
                std::string word(length, 'A');
                word[place] = c;
                words.push_back(word);
            }
        }
    }
    return words;
}

TEST(WordTable, FindsEveryWordAddedAcrossGrowthAndNoOther) {
    WordTable<size_t> table;
    std::vector<std::string> added;
    for (const std::string& word : crowdedWords()) {
        if (table.find(word)) continue;  // the same word made twice
        table.findOrAdd(word) = added.size() + 1;
        added.push_back(word);
    }
    ASSERT_GT(added.size(), size_t{2048});  // past the first table's size, so it grew
    EXPECT_EQ(table.size(), added.size());
    for (size_t i = 0; i < added.size(); ++i) {
        const size_t* value = table.find(added[i]);
        ASSERT_NE(value, nullptr) << added[i];
        EXPECT_EQ(*value, i + 1) << added[i];
        EXPECT_EQ(table.findOrAdd(added[i]), i + 1) << added[i];
    }
    EXPECT_EQ(table.size(), added.size());
    for (const char* absent : {"", "zz", "A0A0", "BAAAAAAAB", "AAAAAAAAAAAAAAAAAAAAA"})
        EXPECT_EQ(table.find(absent), nullptr) << absent;
    size_t position = 0;
    for (const auto& [word, value] : table) {
        ASSERT_LT(position, added.size());
        EXPECT_EQ(word, added[position]);
        EXPECT_EQ(value, ++position);
    }
}

}  // namespace
}  // namespace bprep2
