// The quick no before the declared-name lookups: never for a name the
// lookups would find, however the program cases it, and for most others.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "passes/pass_steps.h"

namespace bprep2 {
namespace {

TEST(DeclaredNameFilter, NeverRulesOutADeclaredNameAndRulesOutMostOthers) {
    // Lengths around the four- and eight-byte reads of the hash.
    const char* const functions[] = {"F", "Calc.Rate", "ABCDEFGH", "Abcdefghi", "LONGER.FUNCTION.NAME_1"};
    const char* const arrays[] = {"AB", "RATES", "GRID.1234", "ABCDEFGHIJKLMNOPQRSTUVWX", "Q7$"};
    for (bool caseSensitive : {false, true}) {
        DeclaredNames declared;
        for (const char* name : functions) declared.functions.add(name);
        for (const char* name : arrays) declared.declareArray(name, caseSensitive);
        DeclaredNameFilter filter(declared);
        // A function is found as written; an array, when case does not
        // matter, in any case.
        for (const char* name : functions) EXPECT_TRUE(filter.mayBeDeclared(name)) << name;
        for (const char* name : arrays) {
            EXPECT_TRUE(filter.mayBeDeclared(name)) << name;
            if (caseSensitive) continue;
            std::string lower(name);
            for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            EXPECT_TRUE(filter.mayBeDeclared(lower)) << lower;
        }
        int maybe = 0;
        for (int i = 0; i < 1000; ++i) maybe += filter.mayBeDeclared("AMOUNT" + std::to_string(i)) ? 1 : 0;
        EXPECT_LT(maybe, 100) << "of 1000 undeclared names";
    }
    DeclaredNames none;
    EXPECT_FALSE(DeclaredNameFilter(none).mayBeDeclared("RATES"));
}

}  // namespace
}  // namespace bprep2
