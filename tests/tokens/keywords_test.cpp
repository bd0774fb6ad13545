// What the scanner and the passes rely on the keyword table for: a name
// finds one meaning, in the case modes the scanner looks it up in, and the
// words the code singles out carry the flags and codes it singles them out
// by. The tokens each row scans into are the tokenizer test's concern.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "tokens/keywords.h"
#include "tokens/words.h"

using namespace bprep2;

namespace {

using Names = std::set<std::string_view>;

std::map<std::string_view, std::vector<const KeywordEntry*>> rowsByName() {
    std::map<std::string_view, std::vector<const KeywordEntry*>> rows;
    for (const KeywordEntry& e : keywordTable()) rows[e.name].push_back(&e);
    return rows;
}

// The lookup keeps one row per name: only BITCHANGE stands twice, and its
// rows agree, so which one it keeps makes no difference.
TEST(KeywordTable, EveryNameHasOneMeaning) {
    auto rows = rowsByName();
    EXPECT_EQ(keywordTable().size(), 468u);
    EXPECT_EQ(rows.size(), 467u);
    ASSERT_EQ(rows.at("BITCHANGE").size(), 2u);
    for (const auto& [name, entries] : rows) {
        if (entries.size() == 1) continue;
        EXPECT_EQ(name, "BITCHANGE");
        for (const KeywordEntry* e : entries) {
            EXPECT_EQ(e->flags, entries[0]->flags) << name;
            EXPECT_EQ(e->special, entries[0]->special) << name;
        }
    }
}

// With case ignored the scanner looks a word up upper-cased, so a row with
// a lower-case letter is found only when case matters. The system values
// have such a row beside their upper-case one, with the same code, so that
// they are found in both spellings in that mode too; CALLdotNET has none.
TEST(KeywordTable, LowerCaseRowsAndTheirUpperCaseTwins) {
    auto rows = rowsByName();
    Names lowerCaseRows;
    for (const KeywordEntry& e : keywordTable()) {
        std::string upper = upperCased(e.name);
        if (upper == e.name) continue;
        lowerCaseRows.insert(e.name);
        if (e.name == "CALLdotNET") {
            EXPECT_EQ(rows.count(upper), 0u);
            continue;
        }
        ASSERT_EQ(rows.count(upper), 1u) << e.name;
        EXPECT_EQ(rows.at(upper)[0]->special, e.special) << e.name;
        EXPECT_EQ(rows.at(upper)[0]->flags, e.flags) << e.name;
    }
    EXPECT_EQ(lowerCaseRows, (Names{"$development", "$file", "$quolt", "$system", "CALLdotNET"}));
}

// The system values scan as names with a rewrite of their own; DEFFUN and
// the STOP words are rewritten too; only THEN and ELSE join the line
// before them; the words that open a statement again are keywords, and NEW
// and METHOD reach the object rewrites only as object keywords.
TEST(KeywordTable, WordsTheCodeSinglesOut) {
    std::map<uint32_t, Names> bySpecial;
    Names joining;
    for (const KeywordEntry& e : keywordTable()) {
        if (e.special != 0) bySpecial[e.special].insert(e.name);
        if (e.flags & kwThenElse) joining.insert(e.name);
        if (e.name.starts_with('$')) {
            EXPECT_EQ(e.flags, 0u) << e.name;
            EXPECT_TRUE(isRewrittenSpecial(static_cast<int32_t>(e.special))) << e.name;
        }
    }
    EXPECT_EQ(bySpecial[specialDeffun], (Names{"DEFFUN"}));
    EXPECT_EQ(bySpecial[specialStop], (Names{"STOPE", "STOPM"}));
    EXPECT_EQ(bySpecial.count(specialNoResolve), 0u);
    EXPECT_EQ(joining, (Names{"ELSE", "THEN"}));

    auto rows = rowsByName();
    for (std::string_view opener : {"THEN", "ELSE", "LOOP", "DO"})
        EXPECT_TRUE(rows.at(opener)[0]->flags & kwKeyword) << opener;
    for (std::string_view object : {"NEW", "METHOD"})
        EXPECT_EQ(rows.at(object)[0]->flags & (kwKeyword | kwObject), kwKeyword | kwObject) << object;
}

TEST(AtVariables, FiftyOneUpperCaseNames) {
    auto names = atVariableNames();
    ASSERT_EQ(names.size(), 51u);
    std::set<std::string_view> set(names.begin(), names.end());
    EXPECT_EQ(set.size(), 51u);
    for (std::string_view n : names) EXPECT_EQ(upperCased(n), n);
    for (const char* n : {"ACCOUNT", "AM", "SYSTEM_RETURN_CODE", "USER_NO", "USERNO", "PID"})
        EXPECT_EQ(set.count(n), 1u) << n;
}

}  // namespace
