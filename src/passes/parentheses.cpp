// Measuring the bracket pairs of the list, for NAME(...) resolution.
//
// For an opening `(` the resolution needs its closing bracket and the number
// of expressions between: `(` and `[` open, `)` and `]` close (either closes
// either), the count is one more than the commas directly inside once
// anything at all stands between the brackets (blanks and deleted tokens
// included), 0 for an empty pair, and a leading comma counts as the first
// expression. Other brackets (`<`, `>`) and commas nested deeper change
// nothing.
//
// Scanning forward from each `(` would make nested names quadratic, so every
// pair is measured in one pass with a stack. A token that is neither a
// bracket nor a comma makes the count of every open pair at least 1; rather
// than touch every open pair, each pair notes how many such tokens had been
// seen when it opened and when its first direct comma came, and works its
// count out when it closes.
#include <vector>

#include "passes/pass_steps.h"
#include "tokens/token_list.h"

namespace bprep2 {
namespace {

struct OpenPair {
    size_t span = 0;            // its entry in the result, npos when it has none
    uint64_t othersAtOpen = 0;  // tokens other than brackets and commas seen before it opened
    uint64_t othersAtFirstComma = 0;
    int32_t commas = 0;         // commas directly inside
};

int32_t expressionCount(const OpenPair& pair, uint64_t othersNow) {
    if (pair.commas == 0) return othersNow > pair.othersAtOpen ? 1 : 0;
    return pair.commas + (pair.othersAtFirstComma > pair.othersAtOpen ? 1 : 0);
}

}  // namespace

std::vector<ParenSpan> measureParentheses(const PreprocessorContext& ctx) {
    std::vector<ParenSpan> spans;
    std::vector<OpenPair> open;
    uint64_t others = 0;
    bool afterName = false;  // the last token other than a blank was a name
    const auto& tokens = ctx.tokens;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        bool blank = t.type == whitespace || t.type == null_token;
        bool followsName = afterName;
        if (!blank) afterName = t.type == variable;
        if (t.type == extract) {
            if (t.value == '(' || t.value == '[') {
                size_t span = npos;
                if (t.value == '(' && followsName) {
                    span = spans.size();
                    spans.push_back({i, npos, 0});
                }
                open.push_back({span, others, 0, 0});
            } else if ((t.value == ')' || t.value == ']') && !open.empty()) {
                if (open.back().span != npos) {
                    spans[open.back().span].close = i;
                    spans[open.back().span].count = expressionCount(open.back(), others);
                }
                open.pop_back();
            }
        } else if (t.type == comma) {
            if (!open.empty()) {
                OpenPair& top = open.back();
                if (top.commas++ == 0) top.othersAtFirstComma = others;
            }
        } else {
            ++others;
        }
    }
    return spans;
}

}  // namespace bprep2
