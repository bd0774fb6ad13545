// A run's word tables start the same whether their words are added or
// copied from the tables made once in the process, and what one run adds
// to its copy is never seen by the next.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "scanner/scan_state.h"

namespace {

using bprep2::ScanState;
using bprep2::WordTablesStart;

std::vector<std::string> keywordRows(const ScanState& state) {
    std::vector<std::string> rows;
    for (const auto& [word, entry] : state.keywords) {
        rows.push_back(word);
        rows.back().append(1, ' ').append(entry.row ? entry.row->name : std::string_view("-"));
    }
    return rows;
}

std::vector<std::string> atVariableRows(const ScanState& state) {
    std::vector<std::string> rows;
    for (const auto& [name, isMember] : state.atVariables) rows.push_back(name + (isMember ? "+" : "-"));
    return rows;
}

TEST(WordTablesStart, CopiedTablesAreTheAddedOnesAndStayEachRunsOwn) {
    ScanState added(WordTablesStart::Added);
    ASSERT_FALSE(keywordRows(added).empty());
    ASSERT_FALSE(atVariableRows(added).empty());

    ScanState first(WordTablesStart::Copied);
    EXPECT_EQ(keywordRows(first), keywordRows(added));
    EXPECT_EQ(atVariableRows(first), atVariableRows(added));
    first.keywords.findOrAdd("ZZ.LOCAL.NAME");
    first.atVariables.add("@ZZLOCAL");

    ScanState second(WordTablesStart::Copied);
    EXPECT_EQ(second.keywords.find("ZZ.LOCAL.NAME"), nullptr);
    EXPECT_FALSE(second.atVariables.hasMember("@ZZLOCAL"));
    EXPECT_EQ(keywordRows(second), keywordRows(added));
    EXPECT_EQ(atVariableRows(second), atVariableRows(added));
}

}  // namespace
