// The line-level steps of the directive, INCLUDE and EQUATE handlers, each
// on plain text: where an equate value ends, literal values, include name
// resolution, #bprepfilename words, and the conditional state machine.
#include <gtest/gtest.h>

#include "directives/directive_steps.h"

namespace bprep2 {
namespace {

std::string_view valueOf(std::string_view line, size_t start) {
    return line.substr(start, equateValueEnd(line, start) - start);
}

TEST(EquateValue, EndsAtCommaOrSemicolonOutsideBracketsAndQuotes) {
    EXPECT_EQ(valueOf("1 , B TO 2", 0), "1 ");
    EXPECT_EQ(valueOf("X<1,2>, W TO 3", 0), "X<1,2>");
    EXPECT_EQ(valueOf("FN(A,B); PRINT", 0), "FN(A,B)");
    EXPECT_EQ(valueOf("\"a,b\", Y TO 1", 0), "\"a,b\"");
    EXPECT_EQ(valueOf("'(;' ; Z", 0), "'(;' ");
    // A closing '>' without an opener leaves the depth below 0 for good.
    EXPECT_EQ(valueOf("A > B, D TO 1", 0), "A > B, D TO 1");
    EXPECT_EQ(valueOf("", 0), "");
}

TEST(EquateValue, UnterminatedQuoteRunsToTheLineEndAndNoFurther) {
    std::string line = "'abc, d";
    // The view stops short of the string's own terminator: nothing past it
    // may be looked at.
    std::string_view shorter(line.data(), line.size() - 1);
    EXPECT_EQ(equateValueEnd(shorter, 0), shorter.size());
    EXPECT_EQ(equateValueEnd("x \"", 0), 3u);
    EXPECT_EQ(equateValueEnd("abc", 3), 3u);
}

TEST(EquateValue, LiteralDropsTheQuotesAndWhatFollows) {
    EXPECT_EQ(literalValue("\"a,b\""), "a,b");
    EXPECT_EQ(literalValue("'x' y"), "x");
    EXPECT_EQ(literalValue("'open"), "open");
    EXPECT_EQ(literalValue("x 'y'"), "x 'y'");
    EXPECT_EQ(literalValue("\"it's\""), "it's");
    EXPECT_EQ(literalValue(""), "");
}

struct IncludeCase {
    std::string_view statement;
    std::string_view databaseFile;  // "-" for none
    std::string_view item;
};

TEST(IncludeTarget, NameAndItemWordsSeparatorsAndDict) {
    const IncludeCase cases[] = {
        {" BP MYSUB", "BP", "MYSUB"},
        {" BP/MYSUB", "BP", "MYSUB"},
        {" BP\\MYSUB", "BP", "MYSUB"},
        {" a/b/c", "a/b", "c"},
        {" a\\b/c", "a\\b", "c"},
        {" MYSUB", "-", "MYSUB"},
        {"\tBP\tMYSUB EXTRA", "BP", "MYSUB"},
        {" DICT BP MYSUB", "DICT BP", "MYSUB"},
        {" dict BP/MYSUB", "DICT BP", "MYSUB"},
        {" DICT DICT X", "DICT DICT", "X"},
        {"", "-", ""},
        {" DICT", "-", "DICT "},
        {"  ", "-", ""},
    };
    for (const IncludeCase& c : cases) {
        IncludeTarget t = resolveIncludeTarget(c.statement);
        SCOPED_TRACE(std::string(c.statement));
        EXPECT_EQ(t.item, c.item);
        EXPECT_EQ(t.hasDatabaseFile, c.databaseFile != "-");
        if (t.hasDatabaseFile) {
            EXPECT_EQ(t.databaseFile, c.databaseFile);
        }
    }
}

TEST(SourcePosition, WordsGiveNameAndLine) {
    SourcePosition p = parseSourcePosition(" \"src/prog.b\" \"120\"");
    ASSERT_TRUE(p.present);
    EXPECT_EQ(p.lineMarker, "#line 120 \"prog.b\"");
    EXPECT_EQ(p.fileName, "prog.b");
    EXPECT_EQ(p.lineNumber, 120);

    p = parseSourcePosition("'prog.b' :7");
    ASSERT_TRUE(p.present);
    EXPECT_EQ(p.lineMarker, "#line 7 \"prog.b'");
    EXPECT_EQ(p.fileName, "prog.b'");
    EXPECT_EQ(p.lineNumber, 7);

    EXPECT_FALSE(parseSourcePosition(" only").present);
    EXPECT_FALSE(parseSourcePosition("").present);
    // Long words are taken whole; a number too large saturates.
    std::string longName(20000, 'n');
    p = parseSourcePosition("x/" + longName + " =99999999999999");
    EXPECT_EQ(p.fileName, longName);
    EXPECT_EQ(p.lineNumber, 2147483647);
}

TEST(LeadingInteger, SignDigitsAndGarbage) {
    EXPECT_EQ(leadingInteger("42abc"), 42);
    EXPECT_EQ(leadingInteger("-5"), -5);
    EXPECT_EQ(leadingInteger("abc"), 0);
    EXPECT_EQ(leadingInteger(""), 0);
    EXPECT_EQ(leadingInteger("-99999999999"), -2147483647 - 1);
}

TEST(ConditionState, DefinitionsHideEquatesAndNegationFlipsZero) {
    PreprocessorContext ctx;
    ctx.definitions["LEVEL"] = 3;
    ctx.definitions["OFF"] = 0;
    ctx.definitions["NEG"] = -5;
    setEquate(ctx, "OFF", "1");
    setEquate(ctx, "MAX", "10");

    EXPECT_EQ(openedBlockState(ctx, "LEVEL", false, false), 3);
    EXPECT_EQ(openedBlockState(ctx, "OFF", false, false), 0);
    EXPECT_EQ(openedBlockState(ctx, "OFF", true, false), 1);
    EXPECT_EQ(openedBlockState(ctx, "NEG", false, false), -5);
    EXPECT_EQ(openedBlockState(ctx, "NEG", true, false), 0);
    EXPECT_EQ(openedBlockState(ctx, "MAX", false, false), 1);
    EXPECT_EQ(openedBlockState(ctx, "max", false, false), 0);
    EXPECT_EQ(openedBlockState(ctx, "NONE", true, false), 1);
    EXPECT_EQ(openedBlockState(ctx, "LEVEL", false, true), -1);
    EXPECT_EQ(openedBlockState(ctx, "NONE", true, true), -1);

    EXPECT_EQ(switchedState(3), 0);
    EXPECT_EQ(switchedState(0), 1);
    EXPECT_EQ(switchedState(-1), -1);
    EXPECT_EQ(switchedState(-5), 0);
}

}  // namespace
}  // namespace bprep2
