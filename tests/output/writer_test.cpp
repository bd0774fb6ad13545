// The writer on hand-built token lists: the joins after trailing commas,
// the name rule, and long runs of blanks around the tokens it looks past
// (what it refuses: driver/program_text_test.cpp).
#include "output/writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tokens/keywords.h"

namespace bprep2 {
namespace {

using K = TokenKind;

struct Fixture {
    TokenList tokens;
    NameSet functions;
    WriterSettings settings;
    Fixture() {
        settings.declaredFunctions = &functions;
        add(K::LineMarker, "prog.b", 1);
    }
    Fixture& add(TokenKind kind, std::string_view text = {}, int32_t value = 0) {
        tokens.append(tokens.make(kind, text, value));
        return *this;
    }
    // The text after the line marker; the list must come out as it went in.
    std::string render() {
        std::vector<Token> before(tokens.begin(), tokens.end());
        TextBuffer text;
        buildProgramText(tokens, settings, Diagnostics(), text);
        EXPECT_EQ(tokens.size(), before.size());
        for (size_t i = 0; i < before.size(); ++i) {
            EXPECT_EQ(tokens[i].kind, before[i].kind) << i;
            EXPECT_EQ(tokens.value(tokens[i]), tokens.value(before[i])) << i;
        }
        std::string written(text.view());
        return written.substr(std::min(written.size(), std::string("\n#line 1 \"prog.b\"\n").size()));
    }
};

TEST(Writer, TrailingCommasPullTheNextLineUpAndCarryItsBreaks) {
    struct Row {
        const char* name;
        std::vector<std::pair<TokenKind, int32_t>> tokens;  // a Name is written as X
        std::string text;
    };
    const Row rows[] = {
        {"joined", {{K::Name, 0}, {K::Comma, 0}, {K::LineEnd, 1}, {K::Blank, 3}, {K::Name, 0}, {K::LineEnd, 1}},
         "X, X\n\n"},
        {"separators dropped", {{K::Name, 0}, {K::Comma, 0}, {K::LineEnd, 1}, {K::Separator, 0}, {K::Name, 0},
          {K::LineEnd, 1}}, "X,X\n\n"},
        {"carried on by a second comma", {{K::Name, 0}, {K::Comma, 0}, {K::LineEnd, 2}, {K::Name, 0}, {K::Comma, 0},
          {K::LineEnd, 1}, {K::Name, 0}, {K::LineEnd, 1}}, "X,X,X\n\n\n\n"},
        {"stays before a marker", {{K::Name, 0}, {K::Comma, 0}, {K::LineEnd, 1}, {K::Separator, 0},
          {K::LineMarker, 2}, {K::Name, 0}}, "X,\n\n#line 2 \"m\"\nX"},
        {"separator kept after the join", {{K::Name, 0}, {K::Separator, 0}, {K::Name, 0}, {K::LineEnd, 1}},
         "X;X\n"},
        {"separator at a line end", {{K::Name, 0}, {K::Separator, 0}, {K::LineEnd, 1}}, "X\n"},
    };
    for (const Row& row : rows) {
        Fixture f;
        for (const auto& [kind, value] : row.tokens)
            f.add(kind, kind == K::Name ? "X" : kind == K::LineMarker ? "m" : "", value);
        EXPECT_EQ(f.render(), row.text) << row.name;
    }
}

TEST(Writer, NamesKeepTheirCaseOnlyWhereTheRuleSays) {
    Fixture f;
    f.functions.add("Fn");
    f.add(K::Name, "Fn").add(K::Blank, {}, 1).add(K::Name, "other").add(K::Blank, {}, 1);
    f.add(K::Keyword, "call", kwKeyword | kwCallLike).add(K::Blank, {}, 1).add(K::Name, "Sub1");
    f.add(K::Blank, {}, 1).add(K::Function, "len").add(K::MemberOperator).add(K::LineEnd, {}, 1);
    EXPECT_EQ(f.render(), "Fn OTHER CALL Sub1 LEN->\n");
    EXPECT_FALSE(f.functions.hasMember("other"));

    f.settings.recordsLookups = true;
    f.settings.dotMember = true;
    EXPECT_EQ(f.render(), "Fn OTHER CALL Sub1 LEN.\n");
    size_t kept = 0;
    for (const auto& entry : f.functions) kept += entry.first == "other" && !entry.second;
    EXPECT_EQ(kept, 1u);
}

// A quadratic walk past these blanks would take minutes.
TEST(Writer, LongBlankRunsStayLinear) {
    Fixture f;
    const int runs = 100, blanks = 20000;
    for (int i = 0; i < runs; ++i) {
        f.add(K::Keyword, "call").add(K::Separator);
        for (int j = 0; j < blanks; ++j) f.add(j % 2 ? K::Blank : K::Deleted);
        f.add(K::Name, "s").add(K::Comma);
        for (int j = 0; j < blanks; ++j) f.add(j % 2 ? K::Blank : K::Deleted);
    }
    f.add(K::LineEnd, {}, 1);
    std::string text = f.render();
    EXPECT_EQ(text.size(), runs * (4 + 1 + blanks + 2) + 1u);
    EXPECT_EQ(text.substr(0, 8), "CALL;   ");
}

}  // namespace
}  // namespace bprep2
