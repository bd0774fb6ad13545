// Declaration recorder: run on every keyword of a freshly scanned line.
//
// It fills the two name tables the statement pass uses to tell a function
// call from an array element: userFunctions (DEFB, DEFFUN, DEFC, DEFCE,
// DEFCPP, names kept exactly as written) and dimArrays (DIM, DIMENSION, COM,
// COMMON and the MAT parameters of SUB/SUBROUTINE, names upper-cased unless
// the run is case sensitive). The only change to the token list is the mark
// on each name a dimension list dimensions, so the pass leaves its
// parentheses alone. Every scan stays inside the statement and moves forward,
// so the work is linear in the length of the line.
#include "scanner/declarations.h"

#include <array>
#include <string_view>

#include "objects/held_line.h"
#include "tokens/keywords.h"
#include "tokens/words.h"

namespace bprep2 {
namespace {

bool wordIs(const PreprocessorContext& ctx, size_t index, std::string_view word) {
    return ctx.tokens.isWord(ctx.tokens[index], word);
}

bool isFunctionDeclarationWord(std::string_view text) {
    static constexpr std::array<std::string_view, 5> words = {"defb", "deffun", "defc", "defce", "defcpp"};
    if (text.empty() || (text[0] != 'D' && text[0] != 'd')) return false;
    for (std::string_view w : words) {
        if (equalIgnoringCase(text, w)) return true;
    }
    return false;
}

bool isSlash(const Token& t) { return t.kind == TokenKind::Operator && t.value == '/'; }

void recordArrayName(PreprocessorContext& ctx, size_t index) {
    std::string_view name = ctx.tokens.text(ctx.tokens[index]);
    ctx.dimArrays.add(lookupSpelling(name, ctx.options.caseSensitive(), ctx.foldBuffer));
}

// DEFFUN [VAR|STRING|INT] NAME: records NAME and returns its index (the token
// the later steps go on from), or npos when the statement ends first.
size_t recordFunctionName(PreprocessorContext& ctx, size_t keyword) {
    size_t name = nextSignificantBringingIn(ctx, keyword, Reach::SameLine);
    if (name == npos) return npos;
    if (wordIs(ctx, name, "VAR") || wordIs(ctx, name, "STRING") || wordIs(ctx, name, "INT")) {
        name = nextSignificantBringingIn(ctx, name, Reach::SameLine);
        if (name == npos) return npos;
    }
    ctx.userFunctions.add(ctx.tokens.text(ctx.tokens[name]));
    return name;
}

bool startsMatParameters(const PreprocessorContext& ctx, size_t index) {
    const Token& k = ctx.tokens[index];
    return k.hasKeywordFlag(kwCallLike) && (wordIs(ctx, index, "SUB") || wordIs(ctx, index, "SUBROUTINE"));
}

// SUB/SUBROUTINE S(MAT A, B, MAT C): every name after MAT is an array.
// The walk stops at a second SUB word in the statement: that word gets its
// own walk, which records exactly what this one would from there on, and
// stopping keeps a line of such words linear.
void recordMatParameters(PreprocessorContext& ctx, size_t current) {
    if (!startsMatParameters(ctx, current)) return;
    size_t t = current;
    while ((t = nextSignificantBringingIn(ctx, t, Reach::SameStatement)) != npos) {
        if (ctx.tokens[t].kind == TokenKind::Keyword && startsMatParameters(ctx, t)) return;
        if (wordIs(ctx, t, "MAT")) {
            t = nextSignificantBringingIn(ctx, t, Reach::SameStatement);
            if (t == npos) return;
            if (ctx.tokens[t].kind == TokenKind::Keyword && startsMatParameters(ctx, t)) return;
            if (ctx.tokens[t].kind == TokenKind::Name) recordArrayName(ctx, t);
        }
    }
}

// Skips "/name/" when `t` is the opening slash; returns the token after the
// closing slash, or npos when the block name is malformed or the statement ends.
size_t skipCommonBlockName(PreprocessorContext& ctx, size_t t) {
    if (!isSlash(ctx.tokens[t])) return t;
    size_t name = nextSignificantBringingIn(ctx, t, Reach::SameStatement);
    size_t close = nextSignificantBringingIn(ctx, name, Reach::SameStatement);
    if (close == npos || !isSlash(ctx.tokens[close])) return npos;
    return nextSignificantBringingIn(ctx, close, Reach::SameStatement);
}

bool isDimensionWord(const PreprocessorContext& ctx, size_t index) {
    const Token& t = ctx.tokens[index];
    return t.kind == TokenKind::Keyword && t.hasKeywordFlag(kwDimension);
}

// DIM A(10), B(2,3) / COMMON /BLK/ X(5): records and marks each dimensioned
// name; a name without dimensions is passed over, anything else ends the list.
void recordDimensionList(PreprocessorContext& ctx, size_t current) {
    if (!ctx.tokens[current].hasKeywordFlag(kwDimension)) return;
    size_t t = current;
    for (;;) {
        t = nextSignificantBringingIn(ctx, t, Reach::SameStatement);
        if (t == npos) return;
        t = skipCommonBlockName(ctx, t);
        if (t == npos || ctx.tokens[t].kind != TokenKind::Name) return;
        size_t name = t;
        t = nextSignificantBringingIn(ctx, t, Reach::SameStatement);
        if (t == npos) return;
        if (ctx.tokens[t].kind == TokenKind::Comma) continue;
        if (!isBracket(ctx.tokens[t], '(')) return;
        // Another dimension list inside the parentheses ends the search:
        // its own walk looks for the same bracket, and a statement written
        // as DIM A(DIM A(DIM A(... would otherwise be searched again and
        // again to its end.
        do {
            t = nextSignificantBringingIn(ctx, t, Reach::SameStatement);
            if (t == npos || isDimensionWord(ctx, t)) return;
        } while (!isBracket(ctx.tokens[t], ')'));
        recordArrayName(ctx, name);
        ctx.tokens[name].special = specialNoResolve;
        t = nextSignificantBringingIn(ctx, t, Reach::SameStatement);
        if (t == npos || ctx.tokens[t].kind != TokenKind::Comma) return;
    }
}

}  // namespace

void recordDeclarations(PreprocessorContext& ctx, size_t index) {
    if (index >= ctx.tokens.size()) return;
    // Only the declaration, dimension and subroutine words declare anything.
    constexpr uint32_t declaringWords = kwDeclaration | kwDimension | kwCallLike;
    if (!ctx.tokens[index].hasKeywordFlag(declaringWords)) return;
    size_t current = index;
    if (isFunctionDeclarationWord(ctx.tokens.text(ctx.tokens[index]))) {
        current = recordFunctionName(ctx, index);
        if (current == npos) return;
    }
    recordMatParameters(ctx, current);
    recordDimensionList(ctx, current);
}

}  // namespace bprep2
