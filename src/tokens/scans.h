// The scans for the significant token (the first that is not blank) before
// or after a position.
#pragma once

#include <cstddef>

#include "tokens/token_list.h"
#include "tokens/token_sets.h"

namespace bprep2 {

// How far a scan goes before it gives up (returns npos).
enum class Reach {
    // Ahead: to the end of the line, past its separators. Back: to the
    // start of the statement, or of the clause after a THEN, ELSE, LOOP or
    // DO, where a new statement begins on the same line.
    SameLine,
    // To the end (ahead) or start (back) of the statement.
    SameStatement,
    // Ahead only: past every line end and separator to the end of the list.
    Anywhere,
};

// A keyword token THEN, ELSE, LOOP or DO (any case).
bool isStatementOpener(const TokenList& tokens, const Token& t);

// Whether a scan ahead within the line or the statement gives up at a
// significant token of `kind`.
inline bool endsScanAhead(TokenKind kind, Reach reach) {
    return reach == Reach::SameLine ? lineBoundaries.has(kind) : statementEnds.has(kind);
}

// The significant token after position `index`, or npos.
size_t nextSignificant(const TokenList& tokens, size_t index, Reach reach);

// The significant token before the token at `position` of a list seen
// through `at` (the token at a position, asked for positions in decreasing
// order only), or npos. `tokens` holds the texts. A scan back never passes
// the list's first token, which is its first line marker.
template <typename At>
size_t previousSignificantIn(const TokenList& tokens, size_t position, Reach reach, At&& at) {
    if (position < 1 || position == npos) return npos;
    size_t i = position - 1;
    while (blanks.has(at(i).kind)) {
        if (i <= 1) return npos;
        --i;
    }
    const Token& t = at(i);
    if (statementEnds.has(t.kind)) return npos;
    if (reach == Reach::SameLine && isStatementOpener(tokens, t)) return npos;
    return i;
}

// The significant token before position `index` of `tokens`, or npos.
inline size_t previousSignificant(const TokenList& tokens, size_t index, Reach reach) {
    if (index == npos || index > tokens.size()) return npos;
    return previousSignificantIn(tokens, index, reach, [&tokens](size_t i) -> const Token& { return tokens[i]; });
}

// The token before `index` that is not blank, whatever it is, or npos.
size_t previousNonBlank(const TokenList& tokens, size_t index);

}  // namespace bprep2
