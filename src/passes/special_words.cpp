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
// Like the walk before it, this one builds the new list as it goes. Every
// forward search remembers where it ended, so that a run of such words in
// one statement does not search the same stretch again: the walk stays
// linear in the length of the list.
#include <algorithm>
#include <string>

#include "passes/pass_steps.h"
#include "tokens/keywords.h"
#include "tokens/token_list.h"

namespace bprep2 {
namespace {

struct SpecialWalk {
    PreprocessorContext& ctx;
    ListRebuild rebuild;
    size_t resumeAt = 0;           // tokens before this are passed without a look
    size_t noOpenerFrom = npos;    // no "(", line end or separator from here to the end of the list
    size_t noCloserFrom = npos;    // no ")" from here to the end of the list
    size_t endSearchFrom = npos;   // the last statement-end search started here...
    size_t endFound = npos;        // ...and found this (npos: none to the end)

    explicit SpecialWalk(PreprocessorContext& c) : ctx(c) {}
};

bool isBracket(const Token& t, char c) { return t.type == extract && t.value == c; }

bool endsStatement(const Token& t) {
    return t.type == changeline || t.type == endofline || t.type == newstatement;
}

Token unparsedToken(PreprocessorContext& ctx, std::string_view text) {
    Token t;
    resetToken(ctx, t, unparsed, text);
    return t;
}

size_t findCloser(SpecialWalk& w, size_t open) {
    const auto& tokens = w.ctx.tokens;
    for (size_t j = open + 1; j < tokens.size() && j < w.noCloserFrom; ++j) {
        if (isBracket(tokens[j], ')')) return j;
    }
    w.noCloserFrom = std::min(w.noCloserFrom, open + 1);
    return npos;
}

// DEFFUN F(A, B) -> DEFFUN F(); DEFFUN F -> DEFFUN F().
void emptyDeffunArguments(SpecialWalk& w, size_t index) {
    const auto& tokens = w.ctx.tokens;
    size_t j = index + 1;
    for (; j < tokens.size() && j < w.noOpenerFrom; ++j) {
        const Token& t = tokens[j];
        if (t.type == endofline || t.type == newstatement) {
            insertAhead(w.rebuild, j, unparsedToken(w.ctx, "()"));
            w.resumeAt = j + 1;
            return;
        }
        if (isBracket(t, '(')) break;
    }
    if (j >= tokens.size() || j >= w.noOpenerFrom) {
        w.noOpenerFrom = std::min(w.noOpenerFrom, index + 1);
        return;
    }
    size_t close = findCloser(w, j);
    if (close == npos) return;
    if (close > j + 1) deleteAhead(w.ctx, w.rebuild, j + 1, close - 1);
    w.resumeAt = close + 1;
}

// The first line marker, line end or separator after `index`, or npos.
size_t statementEnd(SpecialWalk& w, size_t index) {
    const auto& tokens = w.ctx.tokens;
    if (w.endSearchFrom != npos && w.endSearchFrom <= index + 1 && (w.endFound == npos || index < w.endFound)) {
        return w.endFound;
    }
    w.endSearchFrom = index + 1;
    w.endFound = npos;
    for (size_t j = index + 1; j < tokens.size(); ++j) {
        if (endsStatement(tokens[j])) {
            w.endFound = j;
            break;
        }
    }
    return w.endFound;
}

// True when nothing but blanks stands between the word and the statement end
// (insertions already waiting there count as something).
bool nothingFollows(SpecialWalk& w, size_t index, size_t end) {
    const auto& tokens = w.ctx.tokens;
    int32_t count = 0;
    for (size_t j = index + 1;; ++j) {
        count += static_cast<int32_t>(w.rebuild.pending.count(j));
        if (j >= tokens.size()) break;
        if (tokens[j].type != whitespace) ++count;
        if (count > 1 || j == end) break;
    }
    // With nothing at all after the word (only where the list has no final
    // line end) the closed form is the one that makes sense.
    return count <= 1;
}

void rewriteStop(SpecialWalk& w, size_t index) {
    PreprocessorContext& ctx = w.ctx;
    Token& word = ctx.tokens[index];
    if (!ctx.has(optStopStatements)) {
        word.type = variable;
        word.value = 0;
        word.special = 0;
        return;
    }
    std::string method = equalsIgnoreCase(ctx.text(word), "stopm") == 0 ? "stopm" : "stope";
    size_t end = statementEnd(w, index);
    ctx.objectRuntimeUsed = true;
    if (nothingFollows(w, index, end)) {
        becomes(ctx, word, unparsed, "qObjectMethodN(qObjectQUOLT(0),\"" + method + "\")");
        return;
    }
    becomes(ctx, word, unparsed, "qObjectMethodN(qObjectQUOLT(0),\"" + method + "\" , ");
    insertAhead(w.rebuild, end == npos ? ctx.tokens.size() : end, unparsedToken(ctx, ")"));
}

void rewriteSystemObject(SpecialWalk& w, size_t index, int32_t special) {
    std::string call = "qObjectQUOLT(" + std::to_string(special - specialQuolt) + ")";
    becomes(w.ctx, w.ctx.tokens[index], unparsed, call);
    w.ctx.objectRuntimeUsed = true;
}

void examineSpecial(SpecialWalk& w, size_t index) {
    int32_t special = w.ctx.tokens[index].special;
    if (special == specialDeffun) {
        emptyDeffunArguments(w, index);
    } else if (special == specialStop) {
        rewriteStop(w, index);
    } else if (special >= specialQuolt && special <= specialDevelopment) {
        rewriteSystemObject(w, index, special);
    }
}

}  // namespace

void runSpecialWordWalk(PreprocessorContext& ctx) {
    SpecialWalk w(ctx);
    w.rebuild.done.reserve(ctx.tokens.size() + 16);
    for (size_t i = 0; i < ctx.tokens.size(); ++i) {
        passPending(w.rebuild, i);
        if (i >= w.resumeAt) examineSpecial(w, i);
        w.rebuild.done.push_back(ctx.tokens[i]);
    }
    finishRebuild(ctx, w.rebuild);
}

}  // namespace bprep2
