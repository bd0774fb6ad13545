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

void takeCarriedLines(ListRebuild& rebuild, Token& token, size_t index) {
    if (rebuild.carriedLines == 0 || index < rebuild.carryFrom) return;
    if (token.type == endofline) {
        token.value += rebuild.carriedLines;
        rebuild.carriedLines = 0;
    } else if (token.type == changeline) {
        rebuild.carriedLines = 0;  // the marker puts the line numbers right again
    }
}

void deleteAhead(PreprocessorContext& ctx, ListRebuild& rebuild, size_t first, size_t last) {
    for (size_t i = first; i <= last && i < ctx.tokens.size(); ++i) {
        Token& t = ctx.tokens[i];
        if (t.type == changeline) {
            // Kept: without it the rest of the file would carry the wrong
            // file name and line numbers.
            rebuild.carriedLines = 0;
            continue;
        }
        if (t.type == endofline) rebuild.carriedLines += t.value;
        resetToken(t, null_token);
    }
    rebuild.carryFrom = last + 1;
    auto end = rebuild.pending.upper_bound(last);
    for (auto it = rebuild.pending.lower_bound(first); it != end; ++it) resetToken(it->second, null_token);
}

void finishRebuild(PreprocessorContext& ctx, ListRebuild& rebuild) {
    passPending(rebuild, npos);
    ctx.tokens.swap(rebuild.done);
    rebuild.done.clear();
    rebuild.done.shrink_to_fit();
}

}  // namespace bprep2
