// Steps of the include and directive handlers whose results the output
// cannot tell apart: how an include statement splits into database file
// and item, and the bounds of the text the line-level steps read.
#include <gtest/gtest.h>

#include "directives/directive_steps.h"

namespace bprep2 {
namespace {

TEST(IncludeTarget, NameAndItemWordsSeparatorsAndDict) {
    struct Row {
        std::string_view statement, databaseFile, item;  // databaseFile "-": none
    };
    const Row rows[] = {
        {" BP MYSUB", "BP", "MYSUB"},       {" BP/MYSUB", "BP", "MYSUB"},
        {" BP\\MYSUB", "BP", "MYSUB"},      {" a/b/c", "a/b", "c"},
        {" a\\b/c", "a\\b", "c"},           {" MYSUB", "-", "MYSUB"},
        {"\tBP\tMYSUB EXTRA", "BP", "MYSUB"}, {" DICT BP MYSUB", "DICT BP", "MYSUB"},
        {" dict BP/MYSUB", "DICT BP", "MYSUB"}, {" DICT DICT X", "DICT DICT", "X"},
        {"", "-", ""},                     {" DICT", "-", "DICT "},
        {"  ", "-", ""},
    };
    for (const Row& row : rows) {
        IncludeTarget t = resolveIncludeTarget(row.statement);
        SCOPED_TRACE(std::string(row.statement));
        EXPECT_EQ(t.item, row.item);
        EXPECT_EQ(t.hasDatabaseFile ? t.databaseFile : "-", row.databaseFile);
    }
}

TEST(LineSteps, ReadNothingPastTheText) {
    // The view stops short of the string's own terminator: an open quote
    // runs to the end of the view and no further.
    std::string line = "'abc, d";
    std::string_view shorter(line.data(), line.size() - 1);
    EXPECT_EQ(equateValueEnd(shorter, 0), shorter.size());
    EXPECT_EQ(equateValueEnd("abc", 3), 3u);
    // Words of any length are taken whole; a number too large saturates.
    std::string longName(20000, 'n');
    SourcePosition p = parseSourcePosition("x/" + longName + " =99999999999999");
    EXPECT_EQ(p.fileName, longName);
    EXPECT_EQ(p.lineNumber, 2147483647);
}

}  // namespace
}  // namespace bprep2
