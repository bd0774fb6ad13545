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
// A pair is measured only when a name that needs resolving opens it, and
// only from its `(` to its close, since the close and the count depend on
// nothing before the `(`. Most names are calls or array elements and need
// no measure, so most of the list is never read here. Scanning forward from
// each `(` would still make nested names quadratic, so the pairs nested in
// the one measured are measured in the same pass with a stack and kept for
// the questions about them, which come next, in order. A token that is
// neither a bracket nor a comma makes the count of every open pair at least
// 1; rather than touch every open pair, each pair notes how many such tokens
// had been seen when it opened and when its first direct comma came, and
// works its count out when it closes.
//
// The walk asking reads the list as it measures, and changes nothing ahead
// of itself that the measure looks at (brackets, commas, names), so a pair
// measured early gets the answer it would get when asked.
#include <vector>

#include "passes/pass_steps.h"
#include "tokens/token_sets.h"

namespace bprep2 {

int32_t BracketSpans::OpenPair::expressionCount(uint64_t othersNow) const {
    if (commas == 0) return othersNow > othersAtOpen ? 1 : 0;
    return commas + (othersAtFirstComma > othersAtOpen ? 1 : 0);
}

const ParenSpan* BracketSpans::spanAt(const ListRewrite& input, size_t open) {
    if (open >= input.inputSize() || !isBracket(input[open], '(')) return nullptr;
    if (open >= measuredEnd_) {
        if (!measureFlat(input, open)) measureFrom(input, open);
        nextSpan_ = 0;
    }
    while (nextSpan_ < spans_.size() && spans_[nextSpan_].open < open) ++nextSpan_;
    if (nextSpan_ < spans_.size() && spans_[nextSpan_].open == open) return &spans_[nextSpan_];
    return nullptr;
}

// A pair with neither a bracket that opens nor a call text inside (most
// masks are a string) is measured without the stack; false, and nothing
// measured, for any other. A pair it gives up on was read only up to its
// first inner pair before the full measure reads it: no token is read more
// than twice.
bool BracketSpans::measureFlat(const ListRewrite& input, size_t open) {
    OpenPair pair{npos, 0, 0, 0};
    uint64_t others = 0;
    for (size_t index = open + 1; index < input.inputSize(); ++index) {
        const Token& t = input[index];
        if (t.kind == TokenKind::Comma) {
            pair.noteComma(others);
        } else if (t.kind == TokenKind::Bracket) {
            const int32_t bracket = t.value();
            if (bracket == '(' || bracket == '[') return false;
            if (bracket == ')' || bracket == ']') {
                spans_.assign(1, {open, index, pair.expressionCount(others)});
                measuredEnd_ = index + 1;
                return true;
            }
        } else if (isFoldedOpenBracket(t)) {
            return false;
        } else {
            ++others;
        }
    }
    return false;
}

void BracketSpans::measureFrom(const ListRewrite& input, size_t open) {
    spans_.clear();
    open_.clear();
    uint64_t others = 0;
    bool afterName = true;  // the caller's name stands before `open`
    size_t index = open;
    for (; index < input.inputSize(); ++index) {
        const Token& t = input[index];
        bool blank = blanks.has(t.kind);
        bool followsName = afterName;
        if (!blank) afterName = t.kind == TokenKind::Name;
        if (t.kind == TokenKind::Bracket) {
            if (t.value() == '(' || t.value() == '[') {
                size_t span = npos;
                if (t.value() == '(' && followsName) {
                    span = spans_.size();
                    spans_.push_back({index, npos, 0});
                }
                open_.push_back({span, others, 0, 0});
            } else if (t.value() == ')' || t.value() == ']') {
                const OpenPair& pair = open_.back();
                if (pair.span != npos) {
                    spans_[pair.span].close = index;
                    spans_[pair.span].count = pair.expressionCount(others);
                }
                open_.pop_back();
                if (open_.empty()) break;
            }
        } else if (t.kind == TokenKind::Comma) {
            open_.back().noteComma(others);
        } else {
            ++others;
            // The call text is an expression of the pair around it as well.
            if (isFoldedOpenBracket(t)) open_.push_back({npos, others, 0, 0});
        }
    }
    measuredEnd_ = index == input.inputSize() ? index : index + 1;
}

}  // namespace bprep2
