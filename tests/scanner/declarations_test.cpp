// The declaration recorder: which names land in userFunctions and dimArrays,
// under which spelling, and which name tokens get the "do not resolve" mark.
#include "scanner/declarations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <initializer_list>
#include <string>
#include <vector>

#include "passes/pass_fixture.h"

namespace bprep2_test {
namespace {

// The members of a name table (value 1 or more), sorted.
std::string members(const NameTable& table) {
    std::vector<std::string> names;
    for (const auto& [name, value] : table)
        if (value >= 1) names.push_back(name);
    std::sort(names.begin(), names.end());
    std::string out;
    for (const std::string& n : names) out += (out.empty() ? "" : " ") + n;
    return out;
}

struct Recorded {
    std::string functions;
    std::string arrays;
};

Recorded record(std::initializer_list<std::string_view> lines, uint32_t options = 0) {
    PassFixture f(options);
    for (std::string_view l : lines) f.line(l);
    return {members(f.ctx.userFunctions), members(f.ctx.dimArrays)};
}

TEST(Declarations, FunctionDeclarations) {
    EXPECT_EQ(record({"DEFFUN MYFUNC(A, B)"}).functions, "MYFUNC");
    EXPECT_EQ(record({"DEFC INT strlen(STRING)"}).functions, "strlen");
    EXPECT_EQ(record({"defcpp string Fn", "DEFB VAR g", "DEFCE h"}).functions, "Fn g h");
    EXPECT_EQ(record({"DEFC INT"}).functions, "");
    EXPECT_EQ(record({"DELETE F", "DEFFUNC G"}).functions, "");  // whole words only
}

TEST(Declarations, MatParametersOfSubroutinesOnly) {
    EXPECT_EQ(record({"SUBROUTINE S(MAT A, B, MAT E)"}).arrays, "A E");
    EXPECT_EQ(record({"SUB S(MAT x)"}).arrays, "X");
    EXPECT_EQ(record({"SUB S(MAT x)"}, optCaseSensitive).arrays, "x");
    EXPECT_EQ(record({"CALL SUB1(MAT A)", "FUNCTION F(MAT B)"}).arrays, "");
    EXPECT_EQ(record({"SUBROUTINE S(MAT A); X = MAT B"}).arrays, "A");  // the statement ends at the ;
    EXPECT_EQ(record({"SUB MAT SUB MAT B, MAT C"}).arrays, "B C");
}

TEST(Declarations, LinesOfDeclarationWordsStayLinear) {
    for (const char* word : {"SUB ", "DIM A("}) {
        PassFixture f;
        std::string line;
        for (int i = 0; i < 100000; ++i) line += word;
        auto start = std::chrono::steady_clock::now();
        f.line(line + "MAT X)");
        EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), 5.0) << word;
        EXPECT_EQ(members(f.ctx.dimArrays), std::string(word) == "SUB " ? "X" : "A") << word;
    }
}

TEST(Declarations, DimensionLists) {
    EXPECT_EQ(record({"DIM A(10), B(5,5)"}).arrays, "A B");
    EXPECT_EQ(record({"DIM A, B(3)"}).arrays, "B");
    EXPECT_EQ(record({"COMMON /BLK/ X(10), Y(2)"}).arrays, "X Y");
    EXPECT_EQ(record({"COMMON /BLK X(10)"}).arrays, "");
    EXPECT_EQ(record({"DIM A(B(1)), E(2)"}).arrays, "A");  // the first ) ends A and the next stops the list
    EXPECT_EQ(record({"dim a(3)"}).arrays, "A");
    EXPECT_EQ(record({"dim a(3)"}, optCaseSensitive).arrays, "");  // dim is no keyword then
    EXPECT_EQ(record({"DIMENSION a(3)"}, optCaseSensitive).arrays, "a");
    EXPECT_EQ(record({"DIM A(3"}).arrays, "");
    EXPECT_EQ(record({"DIM A(DIM B(3))"}).arrays, "B");  // a list inside the brackets ends A's
}

TEST(Declarations, DimensionedNamesAreMarked) {
    PassFixture f;
    f.line("DIM A(10), B(5,5), C");
    EXPECT_EQ(f.ctx.tokens[f.find("A")].special, specialNoResolve);
    EXPECT_EQ(f.ctx.tokens[f.find("B")].special, specialNoResolve);
    EXPECT_EQ(f.ctx.tokens[f.find("C")].special, 0);
    EXPECT_EQ(f.ctx.tokens[f.find("DIM")].special, 0);
}

TEST(Declarations, EveryLookupLeavesItsNameBehind) {
    // The statement pass's lookups add absent names with 0; such entries are
    // no members and a later declaration still makes them one.
    PassFixture f;
    f.line("X = Q(1)");
    ASSERT_EQ(f.pass(), 0);
    EXPECT_EQ(f.ctx.userFunctions.count("Q"), 1u);
    EXPECT_EQ(f.ctx.dimArrays.count("Q"), 1u);
    EXPECT_EQ(members(f.ctx.dimArrays), "");
}

}  // namespace
}  // namespace bprep2_test
