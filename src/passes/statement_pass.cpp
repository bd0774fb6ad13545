// The statement pass: the one pass over the whole token list after scanning.
//
// Three stages in a fixed order: comparison brackets are rewritten line by
// line; then one walk settles every NAME(...) and applies the keyword, brace
// and separator rules; then one walk rewrites the words with a special code.
// Each stage is linear in the number of tokens: the two walks change tokens
// in place and hold their insertions back until they end (PendingInsertions),
// which gives exactly the list an insertion at once would have given without
// moving the tail of the list each time, and without a second copy of it.
//
// This file also holds the insertion tools the two walks share.
#include "passes/statement_pass.h"

#include <iterator>

#include "passes/pass_steps.h"

namespace bprep2 {

bool runStatementPass(TokenList& tokens, const Options& options, DeclaredNames& declared,
                      const Diagnostics& diagnostics, bool specialWordsMet) {
    Pass pass{tokens, options, declared, diagnostics};
    // The brackets are measured once the comparisons are rewritten: a line's
    // rewrite changes nothing outside the line, so each line is measured as
    // it was rewritten.
    rewriteComparisons(tokens);
    BracketMeasure brackets;
    brackets.measure(tokens, 0, tokens.size());
    // Only the scanner makes such words, and it says when it has.
    bool specialWords = specialWordsMet && hasSpecialWord(tokens, 0, tokens.size());
    runNameAndKeywordWalk(pass, brackets.spans);
    if (specialWords) runSpecialWordWalk(pass);
    return pass.runtimeUsed;
}

void becomes(TokenList& tokens, Token& token, TokenKind kind, std::string_view text) {
    token.kind = kind;
    token.value = 0;
    token.special = 0;
    tokens.setText(token, text);
}

void insertAhead(PendingInsertions& edits, size_t before, const Token& token) {
    // A multimap keeps equal keys in insertion order: a later insertion before
    // the same token lands behind the earlier ones, as it would in place.
    edits.ahead.emplace(before, token);
}

void insertHere(PendingInsertions& edits, size_t current, const Token& token) {
    edits.passed.emplace_back(current, token);
}

namespace {

// Line ends a rewrite deleted are written with the next line end instead, so
// the compiler's line numbers stay in step with the source; a line marker
// coming first puts them right by itself. Only runs that swallowed a line end
// look ahead, and each looks over a different stretch, so this stays linear.
void carryLineEnds(TokenList& tokens, size_t from, int32_t lines) {
    for (size_t i = from; i < tokens.size(); ++i) {
        Token& t = tokens[i];
        if (t.kind == TokenKind::LineMarker) return;
        if (t.kind == TokenKind::LineEnd) {
            t.value += lines;
            return;
        }
    }
}

}  // namespace

void deleteAhead(TokenList& tokens, PendingInsertions& edits, size_t first, size_t last) {
    int32_t lines = 0;
    for (size_t i = first; i <= last && i < tokens.size(); ++i) {
        Token& t = tokens[i];
        if (t.kind == TokenKind::LineMarker) {
            // Kept: without it the rest of the file would carry the wrong
            // file name and line numbers.
            lines = 0;
            continue;
        }
        if (t.kind == TokenKind::LineEnd) lines += t.value;
        resetToken(t, TokenKind::Deleted);
    }
    auto end = edits.ahead.upper_bound(last);
    for (auto it = edits.ahead.lower_bound(first); it != end; ++it) resetToken(it->second, TokenKind::Deleted);
    if (lines != 0) carryLineEnds(tokens, last + 1, lines);
}

void applyInsertions(TokenList& tokens, PendingInsertions& edits) {
    passPending(edits, npos);
    auto& passed = edits.passed;
    const size_t count = tokens.size();
    // From the back, each token moves up by the number of insertions before
    // it, so every token moves once and none is overwritten before it moved.
    tokens.resize(count + passed.size());
    size_t to = tokens.size();
    auto next = passed.end();  // the one before it is the last not yet placed
    auto unplaced = [&] { return next != passed.begin(); };
    while (unplaced() && std::prev(next)->first >= count) tokens[--to] = (--next)->second;
    for (size_t from = count; from-- > 0 && unplaced();) {
        tokens[--to] = tokens[from];
        while (unplaced() && std::prev(next)->first == from) tokens[--to] = (--next)->second;
    }
    passed.clear();
}

}  // namespace bprep2
