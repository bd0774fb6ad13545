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
// Like the walk before it, this one writes the list again in its own
// storage (ListRewrite), but it looks only at the words the walk before it
// noted and passes the stretches between them whole; its forward searches
// remember their answers, so it stays linear in the length of the list.
#include <string>
#include <vector>

#include "passes/pass_steps.h"
#include "tokens/comma_join.h"
#include "tokens/keywords.h"
#include "tokens/token_sets.h"

namespace bprep2 {
namespace {

// The next token ahead of the walk that a search looks for. The walk's
// searches of one kind start further on each time, and the walk changes
// nothing they look for, so an answer holds until a search starts past it:
// a line full of DEFFUN or STOPE words is searched once, not once per word.
struct NextAhead {
    bool known = false;
    size_t at = npos;  // npos: none to the end of the list

    bool holdsFrom(size_t start) const { return known && (at == npos || start <= at); }
    size_t remember(size_t found) {
        known = true;
        return at = found;
    }
};

template <typename Match>
size_t search(const ListRewrite& list, NextAhead& next, size_t start, Match match) {
    if (next.holdsFrom(start)) return next.at;
    for (size_t j = start; j < list.inputSize(); ++j)
        if (match(list[j])) return next.remember(j);
    return next.remember(npos);
}

struct SpecialWalk {
    Pass& pass;
    ListRewrite list;
    size_t resumeAt = 0;     // tokens before this are passed without a look
    NextAhead opener;        // "(", line end or separator
    NextAhead closer;        // ")"
    NextAhead statementEnd;  // line marker, line end, separator, THEN or ELSE

    explicit SpecialWalk(Pass& p) : pass(p), list(p.tokens) {}
};

// DEFFUN F(A, B) -> DEFFUN F(); DEFFUN F -> DEFFUN F().
void emptyDeffunArguments(SpecialWalk& w, size_t index) {
    ListRewrite& list = w.list;
    size_t open = search(list, w.opener, index + 1, [](const Token& t) {
        return t.kind == TokenKind::LineEnd || t.kind == TokenKind::Separator || isBracket(t, '(');
    });
    if (open == npos) return;
    if (!isBracket(list[open], '(')) {
        list.insertBefore(open, list.tokens().make(TokenKind::Verbatim, "()"));
        w.resumeAt = open + 1;
        return;
    }
    size_t close = search(list, w.closer, open + 1, [](const Token& t) { return isBracket(t, ')'); });
    if (close == npos) return;
    if (close > open + 1) list.skip(open + 1, close - 1);
    w.resumeAt = close + 1;
}

// The first line marker, line end, separator, THEN or ELSE after `index`,
// or npos. A STOPE in a THEN clause takes its arguments up to the ELSE, not
// the ELSE clause with them; a statement continued after a trailing comma
// goes on past the separators and line ends the writer joins onto it.
// Its answer holds like the other searches' (a word cannot stand inside a
// joined stretch, so a search starting after one meets the same ones).
size_t statementEnd(SpecialWalk& w, size_t index) {
    const ListRewrite& list = w.list;
    NextAhead& next = w.statementEnd;
    size_t start = index + 1;
    if (next.holdsFrom(start)) return next.at;
    for (size_t j = start; j < list.inputSize(); ++j) {
        const Token& t = list[j];
        if (t.kind == TokenKind::Comma) {
            j = list.joinedStretchEnd(j);
        } else if (statementBoundaries.has(t.kind) || (t.kind == TokenKind::Keyword && t.hasKeywordFlag(kwThenElse))) {
            return next.remember(j);
        }
    }
    return next.remember(npos);
}

// True when nothing but blanks stands between the word and the statement end
// (tokens planned there count as something).
bool nothingFollows(const SpecialWalk& w, size_t index, size_t end) {
    const ListRewrite& list = w.list;
    size_t count = 0;
    for (size_t j = index + 1;; ++j) {
        count += list.plannedBefore(j);
        if (j >= list.inputSize()) break;
        if (list[j].kind != TokenKind::Blank) ++count;
        if (count > 1 || j == end) break;
    }
    // With nothing at all after the word (only where the list has no final
    // line end) the closed form is the one that makes sense.
    return count <= 1;
}

void rewriteStop(SpecialWalk& w, size_t index) {
    Pass& pass = w.pass;
    ListRewrite& list = w.list;
    Token& word = list[index];
    if (!pass.options.stopStatements()) {
        word.kind = TokenKind::Name;
        word.setValue(0);
        word.special = 0;
        return;
    }
    std::string method = equalIgnoringCase(list.text(word), "stopm") ? "stopm" : "stope";
    size_t end = statementEnd(w, index);
    pass.runtimeUsed = true;
    if (nothingFollows(w, index, end)) {
        becomes(list.tokens(), word, TokenKind::Verbatim, "qObjectMethodN(qObjectQUOLT(0),\"" + method + "\")");
        return;
    }
    becomes(list.tokens(), word, TokenKind::Verbatim, "qObjectMethodN(qObjectQUOLT(0),\"" + method + "\" , ");
    // Before a THEN or ELSE the call closes right after its last argument.
    if (end != npos && list[end].kind == TokenKind::Keyword)
        while (end > index + 1 && list[end - 1].kind == TokenKind::Blank) --end;
    list.insertBefore(end == npos ? list.inputSize() : end, list.tokens().make(TokenKind::Verbatim, ")"));
}

void rewriteSystemObject(SpecialWalk& w, size_t index, int32_t special) {
    std::string call = "qObjectQUOLT(" + std::to_string(special - specialQuolt) + ")";
    becomes(w.list.tokens(), w.list[index], TokenKind::Verbatim, call);
    w.pass.runtimeUsed = true;
}

static_assert(specialDeffun == 1 && specialStop == 2 && specialQuolt == 3 && specialDevelopment == 6,
              "the codes this walk acts on are 1 to 6");

void examineSpecial(SpecialWalk& w, size_t index) {
    int32_t special = w.list[index].special;
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
    ListRewrite& list = w.list;
    // The tokens between the words are only copied, and not even that
    // while the walk has added nothing before them.
    for (size_t at : pass.specialWordsAt) {
        list.keepUpTo(at);
        list.read(at);
        if (at >= w.resumeAt && isSpecialWord(list[at])) examineSpecial(w, at);
        list.keep(at);
    }
    list.keepUpTo(list.inputSize());
    list.finish();
}

}  // namespace bprep2
