// The bracket pairs a NAME(...) resolution asks about: the close and the
// expression count of each, nested pairs answered from the measure of the
// pair around them, and pairs no name opens left unanswered.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "passes/pass_steps.h"

namespace bprep2 {
namespace {

// One character a token: N a name, 1 a number, ' ' a blank, x a deleted
// token, ',' a comma, F a call text that took its `(` in, E a comparison
// already rewritten, and the brackets themselves.
TokenList listOf(std::string_view spelling) {
    TokenList tokens;
    for (char c : spelling) {
        Token t;
        switch (c) {
            case 'N': resetToken(t, TokenKind::Name); break;
            case '1': resetToken(t, TokenKind::Number); break;
            case ' ': resetToken(t, TokenKind::Blank); break;
            case 'x': resetToken(t, TokenKind::Deleted); break;
            case ',': resetToken(t, TokenKind::Comma); break;
            case 'E': resetToken(t, TokenKind::OperatorText); break;
            case 'F':
                resetToken(t, TokenKind::Verbatim);
                t.setValue(foldedOpenBracket);
                break;
            default:
                resetToken(t, TokenKind::Bracket);
                t.setValue(c);
                break;
        }
        tokens.append(t);
    }
    return tokens;
}

struct Asked {
    size_t open;
    bool answered;
    size_t close;
    int32_t count;
};

struct SpanCase {
    const char* name;
    const char* tokens;
    std::vector<Asked> asked;  // in the order the walk asks
};

TEST(BracketSpans, CloseAndCountOfEachPairANameOpens) {
    const SpanCase cases[] = {
        {"two expressions", "N(1,1)", {{1, true, 5, 2}}},
        {"an empty pair", "N()", {{1, true, 2, 0}}},
        {"a blank is an expression", "N( )", {{1, true, 3, 1}}},
        {"a deleted token is too", "N(x)", {{1, true, 3, 1}}},
        {"a leading comma counts as the first", "N(,1)", {{1, true, 4, 1}}},
        {"blanks before the name's bracket", "N x(1)", {{3, true, 5, 1}}},
        {"commas nested deeper count nothing", "N([1,1],(1,1))", {{1, true, 13, 2}}},
        {"a square bracket closes a round one", "N(1]", {{1, true, 3, 1}}},
        {"angle brackets are no expression", "N(<>)", {{1, true, 4, 0}}},
        {"a rewritten comparison is", "N(E)", {{1, true, 3, 1}}},
        {"never closed", "N(1,(1)", {{1, true, npos, 0}}},
        {"a call text opens a pair of its own", "N(F1),1)", {{1, true, 7, 2}}},
        {"nested names answered from the outer measure", "N(N(1,1),N(1))",
         {{1, true, 13, 2}, {3, true, 7, 2}, {10, true, 12, 1}}},
        {"an inner name asked without the outer", "N(N(1,1))", {{3, true, 7, 2}}},
        {"a bracket no name opens, inside a measured pair", "N((1),N(1))", {{1, true, 10, 2}, {2, false, 0, 0}, {7, true, 9, 1}}},
        {"pairs one after another, each measured when asked", "N(1)1N(1,1)N()",
         {{1, true, 3, 1}, {6, true, 10, 2}, {12, true, 13, 0}}},
        {"a later pair beyond an unasked one", "N(1)N(1,1)", {{5, true, 9, 2}}},
        {"no bracket at the place asked", "N 1", {{1, false, 0, 0}, {2, false, 0, 0}}},
        {"past the end", "N", {{1, false, 0, 0}}},
    };
    for (const SpanCase& c : cases) {
        TokenList tokens = listOf(c.tokens);
        ListRewrite input(tokens);
        BracketSpans spans;
        for (const Asked& asked : c.asked) {
            const ParenSpan* span = spans.spanAt(input, asked.open);
            ASSERT_EQ(span != nullptr, asked.answered) << c.name << ", open at " << asked.open;
            if (!span) continue;
            EXPECT_EQ(span->open, asked.open) << c.name;
            EXPECT_EQ(span->close, asked.close) << c.name << ", open at " << asked.open;
            EXPECT_EQ(span->count, asked.count) << c.name << ", open at " << asked.open;
        }
    }
}

}  // namespace
}  // namespace bprep2
