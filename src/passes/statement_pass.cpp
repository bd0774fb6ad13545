// The statement pass: the one pass over the whole token list after scanning.
//
// Three stages in a fixed order: comparison brackets are rewritten line by
// line; then one walk settles every NAME(...) and applies the keyword, brace
// and separator rules; then one walk rewrites the words with a special code.
// Each stage is linear in the number of tokens: the two walks build a new
// list as they go instead of inserting into the old one, and give exactly
// the list an insertion in place would have given.
//
// This file also holds the rebuild tools the two walks share.
#include "passes/statement_pass.h"

#include <utility>

#include "passes/pass_steps.h"
#include "tokens/token_list.h"

namespace bprep2 {

int32_t runStatementPass(PreprocessorContext& ctx) {
    rewriteRelationalOperators(ctx);
    int32_t status = runNameAndKeywordWalk(ctx);
    if (status != 0) return status;
    runSpecialWordWalk(ctx);
    return 0;
}

void becomes(PreprocessorContext& ctx, Token& token, int32_t type, std::string_view text) {
    token.type = static_cast<uint8_t>(type);
    token.value = 0;
    token.special = 0;
    ctx.setText(token, text);
}

void insertAhead(ListRebuild& rebuild, size_t before, const Token& token) {
    // A multimap keeps equal keys in insertion order: a later insertion before
    // the same token lands behind the earlier ones, as it would in place.
    rebuild.pending.emplace(before, token);
}

void passPending(ListRebuild& rebuild, size_t index) {
    auto& pending = rebuild.pending;
    while (!pending.empty() && pending.begin()->first <= index) {
        rebuild.done.push_back(pending.begin()->second);
        pending.erase(pending.begin());
    }
}

namespace {

// Line ends a rewrite deleted are written with the next line end instead, so
// the compiler's line numbers stay in step with the source; a line marker
// coming first puts them right by itself. Only runs that swallowed a line end
// look ahead, and each looks over a different stretch, so this stays linear.
void carryLineEnds(PreprocessorContext& ctx, size_t from, int32_t lines) {
    for (size_t i = from; i < ctx.tokens.size(); ++i) {
        Token& t = ctx.tokens[i];
        if (t.type == changeline) return;
        if (t.type == endofline) {
            t.value += lines;
            return;
        }
    }
}

}  // namespace

void deleteAhead(PreprocessorContext& ctx, ListRebuild& rebuild, size_t first, size_t last) {
    int32_t lines = 0;
    for (size_t i = first; i <= last && i < ctx.tokens.size(); ++i) {
        Token& t = ctx.tokens[i];
        if (t.type == changeline) {
            // Kept: without it the rest of the file would carry the wrong
            // file name and line numbers.
            lines = 0;
            continue;
        }
        if (t.type == endofline) lines += t.value;
        resetToken(t, null_token);
    }
    auto end = rebuild.pending.upper_bound(last);
    for (auto it = rebuild.pending.lower_bound(first); it != end; ++it) resetToken(it->second, null_token);
    if (lines != 0) carryLineEnds(ctx, last + 1, lines);
}

void finishRebuild(PreprocessorContext& ctx, ListRebuild& rebuild) {
    passPending(rebuild, npos);
    ctx.tokens.swap(rebuild.done);
    rebuild.done.clear();
    rebuild.done.shrink_to_fit();
}

}  // namespace bprep2
