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

#include "tokens/keywords.h"
#include "tokens/token_list.h"

namespace bprep2 {
namespace {

constexpr int32_t slashValue = '/';
constexpr int32_t openParenValue = '(';
constexpr int32_t closeParenValue = ')';

// The first significant token after `index`, or npos.
size_t after(PreprocessorContext& ctx, size_t index, int mode) { return significantAfter(ctx, index, mode); }

bool wordIs(const PreprocessorContext& ctx, size_t index, std::string_view word) {
    return equalsIgnoreCase(ctx.text(ctx.tokens[index]), word) == 0;
}

bool isFunctionDeclarationWord(std::string_view text) {
    static constexpr std::array<std::string_view, 5> words = {"defb", "deffun", "defc", "defce", "defcpp"};
    if (text.empty() || (text[0] != 'D' && text[0] != 'd')) return false;
    for (std::string_view w : words) {
        if (equalsIgnoreCase(text, w) == 0) return true;
    }
    return false;
}

bool isTyped(const PreprocessorContext& ctx, size_t index, int32_t type, int32_t value) {
    const Token& t = ctx.tokens[index];
    return t.type == type && t.value == value;
}

void recordArrayName(PreprocessorContext& ctx, size_t index) {
    std::string_view name = ctx.text(ctx.tokens[index]);
    ctx.dimArrays.findOrAdd(lookupSpelling(ctx, name, ctx.foldBuffer)) = 1;
}

// DEFFUN [VAR|STRING|INT] NAME: records NAME and returns its index (the token
// the later steps go on from), or npos when the statement ends first.
size_t recordFunctionName(PreprocessorContext& ctx, size_t keyword) {
    size_t name = after(ctx, keyword, modeSameLine);
    if (name == npos) return npos;
    if (wordIs(ctx, name, "VAR") || wordIs(ctx, name, "STRING") || wordIs(ctx, name, "INT")) {
        name = after(ctx, name, modeSameLine);
        if (name == npos) return npos;
    }
    ctx.userFunctions.findOrAdd(ctx.text(ctx.tokens[name])) = 1;
    return name;
}

bool startsMatParameters(const PreprocessorContext& ctx, size_t index) {
    const Token& k = ctx.tokens[index];
    return (static_cast<uint32_t>(k.value) & kwCallLike) != 0 &&
           (wordIs(ctx, index, "SUB") || wordIs(ctx, index, "SUBROUTINE"));
}

// SUB/SUBROUTINE S(MAT A, B, MAT C): every name after MAT is an array.
// The walk stops at a second SUB word in the statement: that word gets its
// own walk, which records exactly what this one would from there on, and
// stopping keeps a line of such words linear.
void recordMatParameters(PreprocessorContext& ctx, size_t current) {
    if (!startsMatParameters(ctx, current)) return;
    size_t t = current;
    while ((t = after(ctx, t, modeSameStatement)) != npos) {
        if (ctx.tokens[t].type == system_keyword && startsMatParameters(ctx, t)) return;
        if (wordIs(ctx, t, "MAT")) {
            t = after(ctx, t, modeSameStatement);
            if (t == npos) return;
            if (ctx.tokens[t].type == system_keyword && startsMatParameters(ctx, t)) return;
            if (ctx.tokens[t].type == variable) recordArrayName(ctx, t);
        }
    }
}

// Skips "/name/" when `t` is the opening slash; returns the token after the
// closing slash, or npos when the block name is malformed or the statement ends.
size_t skipCommonBlockName(PreprocessorContext& ctx, size_t t) {
    if (!isTyped(ctx, t, maths, slashValue)) return t;
    size_t name = after(ctx, t, modeSameStatement);
    size_t close = after(ctx, name, modeSameStatement);
    if (close == npos || !isTyped(ctx, close, maths, slashValue)) return npos;
    return after(ctx, close, modeSameStatement);
}

bool isDimensionWord(const PreprocessorContext& ctx, size_t index) {
    const Token& t = ctx.tokens[index];
    return t.type == system_keyword && (static_cast<uint32_t>(t.value) & kwDimension) != 0;
}

// DIM A(10), B(2,3) / COMMON /BLK/ X(5): records and marks each dimensioned
// name; a name without dimensions is passed over, anything else ends the list.
void recordDimensionList(PreprocessorContext& ctx, size_t current) {
    if ((static_cast<uint32_t>(ctx.tokens[current].value) & kwDimension) == 0) return;
    size_t t = current;
    for (;;) {
        t = after(ctx, t, modeSameStatement);
        if (t == npos) return;
        t = skipCommonBlockName(ctx, t);
        if (t == npos || ctx.tokens[t].type != variable) return;
        size_t name = t;
        t = after(ctx, t, modeSameStatement);
        if (t == npos) return;
        if (ctx.tokens[t].type == comma) continue;
        if (!isTyped(ctx, t, extract, openParenValue)) return;
        // Another dimension list inside the parentheses ends the search:
        // its own walk looks for the same bracket, and a statement written
        // as DIM A(DIM A(DIM A(... would otherwise be searched again and
        // again to its end.
        do {
            t = after(ctx, t, modeSameStatement);
            if (t == npos || isDimensionWord(ctx, t)) return;
        } while (!isTyped(ctx, t, extract, closeParenValue));
        recordArrayName(ctx, name);
        ctx.tokens[name].special = specialNoResolve;
        t = after(ctx, t, modeSameStatement);
        if (t == npos || ctx.tokens[t].type != comma) return;
    }
}

}  // namespace

void recordDeclarations(PreprocessorContext& ctx, size_t index) {
    if (index >= tokenCount(ctx)) return;
    // Only the declaration, dimension and subroutine words declare anything.
    constexpr uint32_t declaringWords = kwDeclaration | kwDimension | kwCallLike;
    if ((static_cast<uint32_t>(ctx.tokens[index].value) & declaringWords) == 0) return;
    size_t current = index;
    if (isFunctionDeclarationWord(ctx.text(ctx.tokens[index]))) {
        current = recordFunctionName(ctx, index);
        if (current == npos) return;
    }
    recordMatParameters(ctx, current);
    recordDimensionList(ctx, current);
}

}  // namespace bprep2
