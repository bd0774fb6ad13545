// The stages of the statement pass and the few tools they share. Only the
// pass itself and its tests include this header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <string_view>
#include <utility>
#include <vector>

#include "output/diagnostics.h"
#include "tokens/declared_names.h"
#include "tokens/options.h"
#include "tokens/token_list.h"

namespace bprep2 {

// What the stages of the pass work on.
struct Pass {
    TokenList& tokens;
    const Options& options;
    DeclaredNames& declared;
    const Diagnostics& diagnostics;
    bool runtimeUsed = false;  // a rewrite made a call of the object runtime
};

// Turns the `<` and `>` that are comparisons into " LT ", " LE ", " GT ",
// " GE ", line by line; works in place, changes no token outside the line
// it is rewriting, and never changes the length of the list.
void rewriteComparisons(TokenList& tokens);

// One `(` or `[` of the list with its matching closing bracket (npos when it
// never closes) and the number of expressions between the two.
struct ParenSpan {
    size_t open = 0;
    size_t close = 0;
    int32_t count = 0;
};

// Measures, in one pass given the tokens of the list in order, a stretch
// at a time, each `(` that follows a name (past blanks and deleted tokens):
// those are the only ones a NAME(...) resolution asks about. `spans` lists
// them in list order.
class BracketMeasure {
   public:
    void measure(const TokenList& tokens, size_t first, size_t end);
    std::vector<ParenSpan> spans;

   private:
    struct OpenPair {
        size_t span = 0;            // its entry in spans, npos when it has none
        uint64_t othersAtOpen = 0;  // tokens other than brackets and commas seen before it opened
        uint64_t othersAtFirstComma = 0;
        int32_t commas = 0;         // commas directly inside
    };
    std::vector<OpenPair> open_;
    uint64_t others_ = 0;
    bool afterName_ = false;  // the last token other than a blank was a name
};

// The per-token walk: NAME(...) resolution, keyword rules, separators after
// THEN/ELSE, brace blocks, CALL-word marking. A NAME(...) that is none of
// the three ends the run.
void runNameAndKeywordWalk(Pass& pass, const std::vector<ParenSpan>& spans);

// Whether the walk over the `special` codes has anything to do for a token,
// and for any of the tokens first..end-1.
bool isSpecialWord(const Token& t);
bool hasSpecialWord(const TokenList& tokens, size_t first, size_t end);

// The walk over the `special` codes: DEFFUN argument lists, STOPE/STOPM and
// the system-object words.
void runSpecialWordWalk(Pass& pass);

// A keyword used as a name: a NameAsWritten token spelled "Xxxx".
void demoteKeyword(TokenList& tokens, Token& token);

// Gives a token a new type and text while keeping where it stands (flags,
// column); what it used to be (value, special) is cleared.
void becomes(TokenList& tokens, Token& token, TokenKind kind, std::string_view text);

// The insertions of a walk that changes the list in place. A walk only
// looks at the token it examines and those after it, so inserting there at
// once would move the whole tail of the list for every insertion; instead
// each insertion waits under the index (in the list being walked) of the
// token it goes before, behind any made there earlier, exactly where an
// insertion in place would have put it, and all are put in with one move
// at the end of the walk. Tokens are only ever changed in place, so the
// list being walked is never copied.
struct PendingInsertions {
    // Before tokens the walk has not reached yet.
    std::multimap<size_t, Token> ahead;
    // Before tokens the walk has reached, in list order: the token each goes
    // before, and the inserted token. Held in blocks, so that growing never
    // copies it.
    std::deque<std::pair<size_t, Token>> passed;
};

// An insertion before token `before`, which lies ahead of the walk.
void insertAhead(PendingInsertions& edits, size_t before, const Token& token);
// An insertion right before the token being examined, behind everything
// already inserted there.
void insertHere(PendingInsertions& edits, size_t current, const Token& token);
// Called as the walk reaches token `index`: the insertions before it are
// passed.
inline void passPending(PendingInsertions& edits, size_t index) {
    auto& ahead = edits.ahead;
    while (!ahead.empty() && ahead.begin()->first <= index) {
        edits.passed.emplace_back(ahead.begin()->first, ahead.begin()->second);
        ahead.erase(ahead.begin());
    }
}
// Deletes the tokens first..last of the walked list together with the
// insertions waiting before them. Line markers are kept, and the deleted line
// ends are added to the next line end, so no source line goes missing.
void deleteAhead(TokenList& tokens, PendingInsertions& edits, size_t first, size_t last);
// Ends the walk: every insertion goes into the list.
void applyInsertions(TokenList& tokens, PendingInsertions& edits);

}  // namespace bprep2
