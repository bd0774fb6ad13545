// The keyword rows and @-variable names the scanner and the passes rely on.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "tokens/keywords.h"

using namespace bprep2;

namespace {

std::map<std::string, KeywordEntry> byName() {
    std::map<std::string, KeywordEntry> m;
    for (const KeywordEntry& e : keywordTable()) m.emplace(std::string(e.name), e);
    return m;
}

}  // namespace

TEST(KeywordTable, RowCountDistinctNamesAndTheDoubledRow) {
    auto table = keywordTable();
    ASSERT_EQ(table.size(), 468u);
    EXPECT_EQ(byName().size(), 467u);
    int bitchange = 0;
    for (const KeywordEntry& e : table)
        if (e.name == "BITCHANGE") {
            ++bitchange;
            EXPECT_EQ(e.flags, 0x2u);
            EXPECT_EQ(e.special, 0u);
        }
    EXPECT_EQ(bitchange, 2);
    // Table order is data too: first and last rows, and a group boundary.
    EXPECT_EQ(table.front().name, "$QUOLT");
    EXPECT_EQ(table.back().name, "CALLONEXIT");
    EXPECT_EQ(table[8].name, "ABORT");
}

TEST(KeywordTable, FlagsAndSpecialCodesOfSampleRows) {
    auto m = byName();
    struct Want {
        const char* name;
        uint32_t flags;
        uint32_t special;
    };
    const Want wants[] = {
        {"$QUOLT", 0, 3},         {"$quolt", 0, 3},          {"$file", 0, 4},        {"$SYSTEM", 0, 5},
        {"$development", 0, 6},   {"PRINT", 0x1, 0},         {"ARG.", 0x1, 0},       {"STOPE", 0x1, 2},
        {"STOPM", 0x1, 2},        {"ABS", 0x2, 0},           {"LEFT", 0x4, 0},       {"SYSTEM", 0x8, 0},
        {"INT", 0x10, 0},         {"CHANGE", 0x11, 0},       {"NEW", 0x10001, 0},    {"METHOD", 0x810001, 0},
        {"THEN", 0x20021, 0},     {"ELSE", 0x20021, 0},      {"DEBUG", 0x40001, 0},  {"ERROR", 0x80001, 0},
        {"TCLREAD", 0x100001, 0}, {"DEFFUN", 0x210001, 1},   {"DEFCPP", 0x210001, 0}, {"DIMENSION", 0x400001, 0},
        {"CALLdotNET", 0x800001, 0}, {"SUBROUTINE", 0x800001, 0}, {"CALLONEXIT", 0x800002, 0},
    };
    for (const Want& w : wants) {
        auto it = m.find(w.name);
        ASSERT_NE(it, m.end()) << w.name;
        EXPECT_EQ(it->second.flags, w.flags) << w.name;
        EXPECT_EQ(it->second.special, w.special) << w.name;
    }
    // Lower-case spellings exist only for the system values.
    EXPECT_EQ(m.count("print"), 0u);
    EXPECT_EQ(m.count("CALLDOTNET"), 0u);
}

TEST(AtVariables, FiftyOneUpperCaseNames) {
    auto names = atVariableNames();
    ASSERT_EQ(names.size(), 51u);
    std::set<std::string_view> set(names.begin(), names.end());
    EXPECT_EQ(set.size(), 51u);
    for (const char* n : {"ACCOUNT", "AM", "SYSTEM_RETURN_CODE", "USER_NO", "USERNO", "PID"})
        EXPECT_EQ(set.count(n), 1u) << n;
    EXPECT_EQ(set.count("am"), 0u);
}
