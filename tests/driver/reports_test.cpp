// The statistics line, the token dump with its tables, and the keyword dump,
// on hand-built contexts.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "driver/context.h"
#include "driver/reports.h"
#include "tokens/keywords.h"

using namespace bprep2;

namespace {

void add(PreprocessorContext& ctx, TokenType type, std::string_view text, int32_t value, uint8_t flags = 0,
         uint8_t special = 0) {
    Token t;
    t.type = type;
    t.value = value;
    t.flags = flags;
    t.special = special;
    ctx.setText(t, text);
    ctx.tokens.push_back(t);
}

template <typename F>
std::string captured(F write) {
    FILE* f = std::tmpfile();
    write(f);
    std::string text(static_cast<size_t>(std::ftell(f)), '\0');
    std::rewind(f);
    size_t n = std::fread(text.data(), 1, text.size(), f);
    text.resize(n);
    std::fclose(f);
    return text;
}

std::string row(int index, int type, const char* flag, int special, const char* value, const char* text) {
    char line[256];
    std::snprintf(line, sizeof line, "%-8d %-2d %-15s %-12s %-7d %-10s %s\n", index, type,
                  std::string(tokenTypeName(type)).c_str(), flag, special, value, text);
    return line;
}

std::string more(const char* flag, const char* value) {
    char line[128];
    std::snprintf(line, sizeof line, "%-35s %-12s %-10s\n", "", flag, value);
    return line;
}

}  // namespace

TEST(Reports, StatisticsExternalAndInternal) {
    PreprocessorContext ctx;
    add(ctx, system_keyword, "PRINT", 1);
    add(ctx, endofline, "", 1);
    setEquate(ctx, "A", "1");
    ctx.filesOpened = 2;
    ctx.linesRead = 9;
    EXPECT_EQ(captured([&](FILE* f) { printStatistics(ctx, f); }),
              "Compiled 2 tokens, 1 equates, 2 files, 9 lines, external\n");
    char* text = nullptr;
    uint32_t length = 321;
    ctx.resultText = &text;
    ctx.resultLength = &length;
    EXPECT_EQ(captured([&](FILE* f) { printStatistics(ctx, f); }),
              "Compiled 2 tokens, 1 equates, 2 files, 9 lines, internal 321 bytes\n");
}

TEST(Reports, TokenDumpRowsAndTables) {
    PreprocessorContext ctx;
    add(ctx, system_keyword, "THEN", 0x20021);
    add(ctx, system_keyword, "NEW", 0x10001, flagAssign | flagFirst);
    add(ctx, maths, "+", '+');
    add(ctx, extract, "(", '(');
    add(ctx, system_function, "INT", 0x10, 0, 7);
    add(ctx, unparsed, "X.Y", 99);
    add(ctx, null_token, "", 0);
    setEquate(ctx, "b", "two");
    setEquate(ctx, "A", "one");
    ctx.definitions = {{"X", 0}, {"Y", 2}};
    ctx.userFunctions = {{"ZF", 1}, {"MISS", 0}, {"AF", 1}};
    ctx.dimArrays = {{"ARR", 1}};

    std::string expected =
        "Token#   Type               Sub Type     Special Op Int     Op String\n"
        "------   ----               --------     ------- ------     ---------\n";
    expected += row(0, 13, "", 0, "Keyword", "THEN");
    expected += row(1, 13, "Assign", 0, "Keyword", "NEW") + more("First", "Object");
    expected += row(2, 4, "", 0, "43", "+");
    expected += row(3, 5, "", 0, "40 '('", "(");
    expected += row(4, 14, "", 7, "Args (1)", "INT");
    expected += row(5, 10, "", 0, "", "X.Y");
    expected += row(6, 26, "", 0, "0", "");
    expected +=
        "\nEquat#   Name                 Value\n------   ----                 -----\n"
        "0        A                    one\n"
        "1        b                    two\n"
        "\nCond #   Name                 Value\n------   ----                 -----\n"
        "1        Y                    2\n"
        "\nUserDef# Name\n-------- ----\n"
        "0        AF                  \n"
        "2        ZF                  \n"
        "\nDimAr#   Name\n------   ----\n"
        "0        ARR                 \n";
    EXPECT_EQ(captured([&](FILE* f) { dumpTokens(ctx, f); }), expected);
}

TEST(Reports, KeywordDumpInByteOrderCountingMisses) {
    PreprocessorContext ctx;
    for (const KeywordEntry& e : keywordTable()) ctx.keywords[std::string(e.name)] = &e;
    ctx.keywordMisses = {"AAA", "CALLDOTNET"};
    std::string dump = captured([&](FILE* f) { dumpKeywords(ctx, f); });
    EXPECT_EQ(dump.rfind("\nReser#   Name                 Value       Special\n"
                         "------   ----                 -----       -------\n"
                         "0        $DEVELOPMENT         00000000  6\n", 0), 0u);
    // ABORT follows the eight $ rows and the miss AAA.
    EXPECT_NE(dump.find("\n9        ABORT                0x00000001  0\n"), std::string::npos);
    size_t callonexit = dump.find(" CALLONEXIT           0x00800002  0\n");
    size_t callDotNet = dump.find(" CALLdotNET           0x00800001  0\n");
    ASSERT_NE(callonexit, std::string::npos);
    ASSERT_NE(callDotNet, std::string::npos);
    EXPECT_EQ(dump.find('\n', callonexit) + 9, callDotNet);  // the very next line
    EXPECT_EQ(dump.find("AAA"), std::string::npos);
    EXPECT_NE(dump.find("$quolt               00000000  3\n"), std::string::npos);
    EXPECT_EQ(dump.find("BITCHANGE"), dump.rfind("BITCHANGE"));
}
