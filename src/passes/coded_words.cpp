// The walk over the words that carry a special code.
//
//   - DEFFUN F(A, B) is declared to the compiler as DEFFUN F(), and DEFFUN F
//     gets its "()" added;
//   - STOPE and STOPM are ordinary names unless the run treats them as
//     statements; then they become calls of the object runtime's stop method
//     with the rest of the statement as the arguments;
//   - $QUOLT, $FILE, $SYSTEM and $DEVELOPMENT become the runtime's system
//     objects; like the stop calls they need the runtime's declarations.
//
// Like the walk before it, this one holds its insertions back to the end,
// and its forward searches remember their answers, so it stays linear in the
// length of the list.
#include <string>
#include <vector>

#include "passes/pass_steps.h"
#include "tokens/comma_join.h"
#include "tokens/keywords.h"
#include "tokens/token_sets.h"

namespace bprep2 {
namespace {

// A forward search that remembers its last answer. The walk only moves
// forward and changes nothing a search looks for, so a search starting
// inside the stretch the last one covered has the same answer; a line full
// of DEFFUN or STOPE words is then searched once, not once per word.
struct RememberedSearch {
    size_t from = npos;
    size_t found = npos;  // npos: nothing from `from` to the end of the list
};

bool stillAnswers(const RememberedSearch& memo, size_t start) {
    return memo.from != npos && memo.from <= start && (memo.found == npos || start <= memo.found);
}

template <typename Match>
size_t search(const TokenList& tokens, RememberedSearch& memo, size_t start, Match match) {
    if (stillAnswers(memo, start)) return memo.found;
    memo = {start, npos};
    for (size_t j = start; j < tokens.size(); ++j) {
        if (match(tokens[j])) {
            memo.found = j;
            break;
        }
    }
    return memo.found;
}

struct SpecialWalk {
    Pass& pass;
    TokenList& tokens;
    PendingInsertions edits;
    size_t resumeAt = 0;  // tokens before this are passed without a look
    RememberedSearch opener;        // "(", line end or separator
    RememberedSearch closer;        // ")"
    RememberedSearch statementEnd;  // line marker, line end or separator

    explicit SpecialWalk(Pass& p) : pass(p), tokens(p.tokens) {}
};

// DEFFUN F(A, B) -> DEFFUN F(); DEFFUN F -> DEFFUN F().
void emptyDeffunArguments(SpecialWalk& w, size_t index) {
    const auto& tokens = w.tokens;
    size_t open = search(tokens, w.opener, index + 1, [](const Token& t) {
        return t.kind == TokenKind::LineEnd || t.kind == TokenKind::Separator || isBracket(t, '(');
    });
    if (open == npos) return;
    if (!isBracket(tokens[open], '(')) {
        insertAhead(w.edits, open, w.tokens.make(TokenKind::Verbatim, "()"));
        w.resumeAt = open + 1;
        return;
    }
    size_t close = search(tokens, w.closer, open + 1, [](const Token& t) { return isBracket(t, ')'); });
    if (close == npos) return;
    if (close > open + 1) deleteAhead(w.tokens, w.edits, open + 1, close - 1);
    w.resumeAt = close + 1;
}

// The first line marker, line end, separator, THEN or ELSE after `index`,
// or npos. A STOPE in a THEN clause takes its arguments up to the ELSE, not
// the ELSE clause with them; a statement continued after a trailing comma
// goes on past the separators and line ends the writer joins onto it.
// Remembers its answer like the other searches (a word cannot stand inside
// a joined stretch, so a search starting after one meets the same ones).
size_t statementEnd(SpecialWalk& w, size_t index) {
    const auto& tokens = w.tokens;
    RememberedSearch& memo = w.statementEnd;
    size_t start = index + 1;
    if (stillAnswers(memo, start)) return memo.found;
    memo = {start, npos};
    for (size_t j = start; j < tokens.size(); ++j) {
        const Token& t = tokens[j];
        if (t.kind == TokenKind::Comma) {
            j = joinedStretchEnd(tokens, j);
        } else if (statementBoundaries.has(t.kind) || (t.kind == TokenKind::Keyword && t.hasKeywordFlag(kwThenElse))) {
            memo.found = j;
            break;
        }
    }
    return memo.found;
}

// True when nothing but blanks stands between the word and the statement end
// (insertions already waiting there count as something).
bool nothingFollows(SpecialWalk& w, size_t index, size_t end) {
    const auto& tokens = w.tokens;
    int32_t count = 0;
    for (size_t j = index + 1;; ++j) {
        count += static_cast<int32_t>(w.edits.ahead.count(j));
        if (j >= tokens.size()) break;
        if (tokens[j].kind != TokenKind::Blank) ++count;
        if (count > 1 || j == end) break;
    }
    // With nothing at all after the word (only where the list has no final
    // line end) the closed form is the one that makes sense.
    return count <= 1;
}

void rewriteStop(SpecialWalk& w, size_t index) {
    Pass& pass = w.pass;
    TokenList& tokens = w.tokens;
    Token& word = tokens[index];
    if (!pass.options.stopStatements()) {
        word.kind = TokenKind::Name;
        word.value = 0;
        word.special = 0;
        return;
    }
    std::string method = equalIgnoringCase(tokens.text(word), "stopm") ? "stopm" : "stope";
    size_t end = statementEnd(w, index);
    pass.runtimeUsed = true;
    if (nothingFollows(w, index, end)) {
        becomes(tokens, word, TokenKind::Verbatim, "qObjectMethodN(qObjectQUOLT(0),\"" + method + "\")");
        return;
    }
    becomes(tokens, word, TokenKind::Verbatim, "qObjectMethodN(qObjectQUOLT(0),\"" + method + "\" , ");
    // Before a THEN or ELSE the call closes right after its last argument.
    if (end != npos && tokens[end].kind == TokenKind::Keyword)
        while (end > index + 1 && tokens[end - 1].kind == TokenKind::Blank) --end;
    insertAhead(w.edits, end == npos ? tokens.size() : end, tokens.make(TokenKind::Verbatim, ")"));
}

void rewriteSystemObject(SpecialWalk& w, size_t index, int32_t special) {
    std::string call = "qObjectQUOLT(" + std::to_string(special - specialQuolt) + ")";
    becomes(w.tokens, w.tokens[index], TokenKind::Verbatim, call);
    w.pass.runtimeUsed = true;
}

}  // namespace

bool isSpecialWord(const Token& t) {
    static_assert(specialDeffun == 1 && specialStop == 2 && specialQuolt == 3 && specialDevelopment == 6,
                  "the codes this walk acts on are 1 to 6");
    return isRewrittenSpecial(t.special);
}

bool hasSpecialWord(const TokenList& tokens, size_t first, size_t end) {
    for (size_t i = first; i < end; ++i)
        if (isSpecialWord(tokens[i])) return true;
    return false;
}

namespace {

void examineSpecial(SpecialWalk& w, size_t index) {
    int32_t special = w.tokens[index].special;
    if (special == specialDeffun) {
        emptyDeffunArguments(w, index);
    } else if (special == specialStop) {
        rewriteStop(w, index);
    } else if (special >= specialQuolt && special <= specialDevelopment) {
        rewriteSystemObject(w, index, special);
    }
}

}  // namespace

void runSpecialWordWalk(Pass& pass) {
    SpecialWalk w(pass);
    TokenList& tokens = pass.tokens;
    for (size_t i = 0; i < tokens.size(); ++i) {
        passPending(w.edits, i);
        if (i >= w.resumeAt && isSpecialWord(tokens[i])) examineSpecial(w, i);
    }
    applyInsertions(tokens, w.edits);
}

}  // namespace bprep2
