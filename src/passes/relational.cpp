// Comparison brackets.
//
// The scanner leaves every `<` and `>` as a bracket, since X<1,2> extracts
// from a dynamic array. Here each line is read twice: forward, a `>` that
// closes more than was opened since the last keyword is a comparison; then
// backward, the same for an unmatched `<`. A comparison becomes " GT ",
// " GE ", " LT " or " LE ", and an `=` written next to it (directly after, or
// as the significant token before) is deleted. A `<`...`>` pair with no
// keyword between them stays an extraction; a line with no angle bracket
// is only passed over, and one without a `<` needs no backward reading.
// Nothing is inserted or removed, and the look-back for the `=` only
// crosses blanks and deleted tokens, so the rewrite is linear in the length
// of the list.
#include <string_view>

#include "passes/pass_steps.h"
#include "tokens/token_list.h"

namespace bprep2 {
namespace {

bool isBracket(const Token& t, char c) { return t.type == extract && t.value == c; }

// `at` is a comparison: rewrite it, folding an adjacent `=` into it.
void makeComparison(PreprocessorContext& ctx, size_t at, std::string_view strict, std::string_view orEqual) {
    auto& tokens = ctx.tokens;
    std::string_view text = strict;
    if (at + 1 < tokens.size() && tokens[at + 1].type == equals) {
        resetToken(tokens[at + 1], null_token);
        text = orEqual;
    } else if (at > 0) {
        size_t before = previousSignificant(ctx, at - 1, modeSameLine);
        if (before != npos && tokens[before].type == equals) {
            resetToken(tokens[before], null_token);
            text = orEqual;
        }
    }
    becomes(ctx, tokens[at], extract_str, text);
}

// Without a branch of its own: the token types of a line follow no pattern
// the processor could guess.
bool isAngleBracket(const Token& t) { return (t.type == extract) & ((t.value == '<') | (t.value == '>')); }

// Most lines hold no angle bracket at all: the line's end is found first,
// and only a line with one is read forward, then, when it holds a `<`,
// backward. Returns where the next line starts.
size_t rewriteLineComparisons(PreprocessorContext& ctx, size_t first) {
    auto& tokens = ctx.tokens;
    const size_t count = tokens.size();  // no rewrite here changes it
    size_t last = first;  // the line's endofline, or the list's last token
    bool angles = false;
    for (;; ++last) {
        angles |= isAngleBracket(tokens[last]);
        if (tokens[last].type == endofline || last + 1 == count) break;
    }
    if (!angles) return last + 1;
    int32_t depth = 0;
    bool hasLess = false;
    for (size_t i = first; i <= last; ++i) {
        const Token& t = tokens[i];
        if (t.type == system_keyword) {
            depth = 0;
        } else if (isBracket(t, '<')) {
            ++depth;
            hasLess = true;
        } else if (isBracket(t, '>') && --depth < 0) {
            makeComparison(ctx, i, " GT ", " GE ");
            depth = 0;
        }
    }
    if (!hasLess) return last + 1;
    depth = 0;
    for (size_t i = last + 1; i-- > first;) {
        const Token& t = tokens[i];
        if (t.type == system_keyword) {
            depth = 0;
        } else if (isBracket(t, '>')) {
            ++depth;
        } else if (isBracket(t, '<') && --depth < 0) {
            makeComparison(ctx, i, " LT ", " LE ");
            depth = 0;
        }
    }
    return last + 1;
}

}  // namespace

void rewriteComparisons(PreprocessorContext& ctx) {
    for (size_t first = 0; first < ctx.tokens.size();) first = rewriteLineComparisons(ctx, first);
}

}  // namespace bprep2
