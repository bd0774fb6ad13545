// Measuring the bracket pairs of the list, for NAME(...) resolution.
//
// For an opening `(` the resolution needs its closing bracket and the number
// of expressions between: `(` and `[` open, `)` and `]` close (either closes
// either), the count is one more than the commas directly inside once
// anything at all stands between the brackets (blanks and deleted tokens
// included), 0 for an empty pair, and a leading comma counts as the first
// expression. Other brackets (`<`, `>`) and commas nested deeper change
// nothing. A call text that took over its opening bracket (a static call)
// opens a pair too.
//
// Scanning forward from each `(` would make nested names quadratic, so every
// pair is measured in one pass with a stack. A token that is neither a
// bracket nor a comma makes the count of every open pair at least 1; rather
// than touch every open pair, each pair notes how many such tokens had been
// seen when it opened and when its first direct comma came, and works its
// count out when it closes.
#include <vector>

#include "passes/pass_steps.h"
#include "tokens/token_sets.h"

namespace bprep2 {
namespace {

int32_t expressionCount(uint64_t othersAtOpen, uint64_t othersAtFirstComma, int32_t commas, uint64_t othersNow) {
    if (commas == 0) return othersNow > othersAtOpen ? 1 : 0;
    return commas + (othersAtFirstComma > othersAtOpen ? 1 : 0);
}

}  // namespace

void BracketMeasure::measure(const TokenList& tokens, size_t first, size_t end) {
    uint64_t others = others_;
    bool afterName = afterName_;
    for (size_t index = first; index < end; ++index) {
        const Token& t = tokens[index];
        bool blank = blanks.has(t.kind);
        bool followsName = afterName;
        if (!blank) afterName = t.kind == TokenKind::Name;
        if (t.kind == TokenKind::Bracket) {
            if (t.value == '(' || t.value == '[') {
                size_t span = npos;
                if (t.value == '(' && followsName) {
                    span = spans.size();
                    spans.push_back({index, npos, 0});
                }
                open_.push_back({span, others, 0, 0});
            } else if ((t.value == ')' || t.value == ']') && !open_.empty()) {
                const OpenPair& pair = open_.back();
                if (pair.span != npos) {
                    spans[pair.span].close = index;
                    spans[pair.span].count =
                        expressionCount(pair.othersAtOpen, pair.othersAtFirstComma, pair.commas, others);
                }
                open_.pop_back();
            }
        } else if (t.kind == TokenKind::Comma) {
            if (!open_.empty()) {
                OpenPair& top = open_.back();
                if (top.commas++ == 0) top.othersAtFirstComma = others;
            }
        } else {
            ++others;
            // The call text is an expression of the pair around it as well.
            if (isFoldedOpenBracket(t)) open_.push_back({npos, others, 0, 0});
        }
    }
    others_ = others;
    afterName_ = afterName;
}

}  // namespace bprep2
