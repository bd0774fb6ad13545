// The stages of the statement pass and the few tools they share. Only the
// pass itself and its tests include this header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

#include "driver/context.h"

namespace bprep2 {

// Turns the `<` and `>` that are comparisons into " LT ", " LE ", " GT ",
// " GE "; works in place and never changes the length of the list.
void rewriteRelationalOperators(PreprocessorContext& ctx);

// One `(` or `[` of the list with its matching closing bracket (npos when it
// never closes) and the number of expressions between the two.
struct ParenSpan {
    size_t open = 0;
    size_t close = 0;
    int32_t count = 0;
};

// Every opening bracket of the list, in list order, measured in one pass.
std::vector<ParenSpan> measureParentheses(const PreprocessorContext& ctx);

// The per-token walk: NAME(...) resolution, keyword rules, separators after
// THEN/ELSE, brace blocks, CALL-word marking. 0, or 1 after a reported error.
int32_t runNameAndKeywordWalk(PreprocessorContext& ctx);

// The walk over the `special` codes: DEFFUN argument lists, STOPE/STOPM and
// the system-object words.
void runSpecialWordWalk(PreprocessorContext& ctx);

// A keyword used as a name: a var_no_case token spelled "Xxxx".
void demoteKeyword(PreprocessorContext& ctx, Token& token);

// Gives a token a new type and text while keeping where it stands (flags,
// column); what it used to be (value, special) is cleared.
void becomes(PreprocessorContext& ctx, Token& token, int32_t type, std::string_view text);

// A walk that rebuilds the list as it goes, so that insertions cost nothing
// however long the list is. Tokens the walk has passed are in `done`; a token
// inserted ahead of the walk waits in `pending` under the index (in the list
// being walked) of the token it goes before, behind any inserted there
// earlier, exactly where an in-place insertion would have put it.
struct ListRebuild {
    std::vector<Token> done;
    std::multimap<size_t, Token> pending;
};

void insertAhead(ListRebuild& rebuild, size_t before, const Token& token);
// Moves the insertions waiting before `index` into `done`.
void passPending(ListRebuild& rebuild, size_t index);
// Deletes the tokens first..last of the walked list together with the
// insertions waiting before them. Line markers are kept, and the deleted line
// ends are added to the next line end, so no source line goes missing.
void deleteAhead(PreprocessorContext& ctx, ListRebuild& rebuild, size_t first, size_t last);
// Ends the walk: the rebuilt list replaces the walked one.
void finishRebuild(PreprocessorContext& ctx, ListRebuild& rebuild);

}  // namespace bprep2
