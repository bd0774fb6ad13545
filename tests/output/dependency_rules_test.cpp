// The dependency file's rules, compared with what a C pre-processor writes
// for the same names with -MD (quoting, line breaks, -MP's empty rules).
#include "output/dependency_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace bprep2 {
namespace {

TEST(DependencyRules, NamesAreQuotedAsMakeReadsThem) {
    const std::pair<std::string, std::string> rows[] = {
        {"inc/COMMON", "inc/COMMON"},
        {"DICT BP/X", "DICT\\ BP/X"},
        {"a\tb", "a\\\tb"},
        {"c#1.h", "c\\#1.h"},
        {"$(OBJ)", "$$(OBJ)"},
        {"c:d.h", "c:d.h"},
        // Backslashes right before a blank are doubled; elsewhere they stay.
        {"e\\ f", "e\\\\\\ f"},
        {"g\\h\\", "g\\h\\"},
    };
    for (const auto& [name, quoted] : rows) EXPECT_EQ(quotedForMake(name), quoted) << name;
}

std::vector<std::string> headers() {
    std::vector<std::string> names = {"main.c", "/usr/include/stdc-predef.h", "a.h", "inc/b.h", "sp ace/c#1.h",
                                      "d$x.h"};
    for (int i = 1; i <= 8; ++i) names.push_back("inc/longer_header_name_" + std::to_string(i) + ".h");
    return names;
}

TEST(DependencyRules, LinesBreakBeforeTheNameThatWouldPassColumn72) {
    std::vector<std::string> targets = {"main.o"};
    EXPECT_EQ(dependencyRules(targets, headers(), false),
              "main.o: main.c /usr/include/stdc-predef.h a.h inc/b.h sp\\ ace/c\\#1.h \\\n"
              " d$$x.h inc/longer_header_name_1.h inc/longer_header_name_2.h \\\n"
              " inc/longer_header_name_3.h inc/longer_header_name_4.h \\\n"
              " inc/longer_header_name_5.h inc/longer_header_name_6.h \\\n"
              " inc/longer_header_name_7.h inc/longer_header_name_8.h\n");
}

// Several targets share the rule; every prerequisite but the first, the
// main source, gets an empty rule of its own.
TEST(DependencyRules, TargetsAndEmptyRules) {
    std::vector<std::string> targets = {"a$b c", quotedForMake("q$ r#")};
    std::vector<std::string> names = headers();
    names.resize(5);
    EXPECT_EQ(dependencyRules(targets, names, true),
              "a$b c q$$\\ r\\#: main.c /usr/include/stdc-predef.h a.h inc/b.h \\\n"
              " sp\\ ace/c\\#1.h\n"
              "/usr/include/stdc-predef.h:\n"
              "a.h:\n"
              "inc/b.h:\n"
              "sp\\ ace/c\\#1.h:\n");
    std::vector<std::string> alone = {"prog.b"};
    EXPECT_EQ(dependencyRules(targets, alone, true), "a$b c q$$\\ r\\#: prog.b\n");
}

}  // namespace
}  // namespace bprep2
