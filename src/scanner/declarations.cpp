// Declaration recorder: run on every keyword of a freshly scanned line.
//
// It fills the two name tables the statement pass uses to tell a function
// call from an array element: the functions (DEFB, DEFFUN, DEFC, DEFCE,
// DEFCPP, names kept exactly as written) and the arrays (DIM, DIMENSION, COM,
// COMMON and the MAT parameters of SUB/SUBROUTINE, names upper-cased unless
// the run is case sensitive). The only change to the token list is the mark
// on each name a dimension list dimensions, so the pass leaves its
// parentheses alone. Every scan stays inside the statement and moves forward,
// so the work is linear in the length of the line.
#include "scanner/declarations.h"

#include <array>
#include <string_view>

#include "objects/line_input.h"
#include "tokens/keywords.h"
#include "tokens/words.h"

namespace bprep2 {
namespace {

bool wordIs(const ObjectLine& line, size_t index, std::string_view word) {
    return line.tokens.isWord(line.tokens[index], word);
}

bool isFunctionDeclarationWord(std::string_view text) {
    static constexpr std::array<std::string_view, 5> words = {"defb", "deffun", "defc", "defce", "defcpp"};
    if (text.empty() || (text[0] != 'D' && text[0] != 'd')) return false;
    for (std::string_view w : words) {
        if (equalIgnoringCase(text, w)) return true;
    }
    return false;
}

bool isSlash(const Token& t) { return t.kind == TokenKind::Operator && t.value() == '/'; }

void recordArrayName(ObjectLine& line, DeclaredNames& declared, size_t index) {
    declared.declareArray(line.tokens.text(line.tokens[index]), line.options.caseSensitive());
}

// DEFFUN [VAR|STRING|INT] NAME: records NAME and returns its index (the token
// the later steps go on from), or npos when the statement ends first.
size_t recordFunctionName(ObjectLine& line, DeclaredNames& declared, size_t keyword) {
    size_t name = nextSignificantReading(line, keyword, Reach::SameLine);
    if (name == npos) return npos;
    if (wordIs(line, name, "VAR") || wordIs(line, name, "STRING") || wordIs(line, name, "INT")) {
        name = nextSignificantReading(line, name, Reach::SameLine);
        if (name == npos) return npos;
    }
    declared.functions.add(line.tokens.text(line.tokens[name]));
    return name;
}

bool startsMatParameters(const ObjectLine& line, size_t index) {
    const Token& k = line.tokens[index];
    return k.hasKeywordFlag(kwCallLike) && (wordIs(line, index, "SUB") || wordIs(line, index, "SUBROUTINE"));
}

// SUB/SUBROUTINE S(MAT A, B, MAT C): every name after MAT is an array.
// The walk stops at a second SUB word in the statement: that word gets its
// own walk, which records exactly what this one would from there on, and
// stopping keeps a line of such words linear.
void recordMatParameters(ObjectLine& line, DeclaredNames& declared, size_t current) {
    if (!startsMatParameters(line, current)) return;
    size_t t = current;
    while ((t = nextSignificantReading(line, t, Reach::SameStatement)) != npos) {
        if (line.tokens[t].kind == TokenKind::Keyword && startsMatParameters(line, t)) return;
        if (wordIs(line, t, "MAT")) {
            t = nextSignificantReading(line, t, Reach::SameStatement);
            if (t == npos) return;
            if (line.tokens[t].kind == TokenKind::Keyword && startsMatParameters(line, t)) return;
            if (line.tokens[t].kind == TokenKind::Name) recordArrayName(line, declared, t);
        }
    }
}

// Skips "/name/" when `t` is the opening slash; returns the token after the
// closing slash, or npos when the block name is malformed or the statement ends.
size_t skipCommonBlockName(ObjectLine& line, size_t t) {
    if (!isSlash(line.tokens[t])) return t;
    size_t name = nextSignificantReading(line, t, Reach::SameStatement);
    size_t close = nextSignificantReading(line, name, Reach::SameStatement);
    if (close == npos || !isSlash(line.tokens[close])) return npos;
    return nextSignificantReading(line, close, Reach::SameStatement);
}

bool isDimensionWord(const ObjectLine& line, size_t index) {
    const Token& t = line.tokens[index];
    return t.kind == TokenKind::Keyword && t.hasKeywordFlag(kwDimension);
}

// DIM A(10), B(2,3) / COMMON /BLK/ X(5): records and marks each dimensioned
// name; a name without dimensions is passed over, anything else ends the list.
void recordDimensionList(ObjectLine& line, DeclaredNames& declared, size_t current) {
    if (!line.tokens[current].hasKeywordFlag(kwDimension)) return;
    size_t t = current;
    for (;;) {
        t = nextSignificantReading(line, t, Reach::SameStatement);
        if (t == npos) return;
        t = skipCommonBlockName(line, t);
        if (t == npos || line.tokens[t].kind != TokenKind::Name) return;
        size_t name = t;
        t = nextSignificantReading(line, t, Reach::SameStatement);
        if (t == npos) return;
        if (line.tokens[t].kind == TokenKind::Comma) continue;
        if (!isBracket(line.tokens[t], '(')) return;
        // Another dimension list inside the parentheses ends the search:
        // its own walk looks for the same bracket, and a statement written
        // as DIM A(DIM A(DIM A(... would otherwise be searched again and
        // again to its end.
        do {
            t = nextSignificantReading(line, t, Reach::SameStatement);
            if (t == npos || isDimensionWord(line, t)) return;
        } while (!isBracket(line.tokens[t], ')'));
        recordArrayName(line, declared, name);
        line.tokens[name].special = specialNoResolve;
        t = nextSignificantReading(line, t, Reach::SameStatement);
        if (t == npos || line.tokens[t].kind != TokenKind::Comma) return;
    }
}

}  // namespace

void recordDeclarations(ObjectLine& line, DeclaredNames& declared, size_t index) {
    if (index >= line.tokens.size()) return;
    // Only the declaration, dimension and subroutine words declare anything.
    constexpr uint32_t declaringWords = kwDeclaration | kwDimension | kwCallLike;
    if (!line.tokens[index].hasKeywordFlag(declaringWords)) return;
    size_t current = index;
    if (isFunctionDeclarationWord(line.tokens.text(line.tokens[index]))) {
        current = recordFunctionName(line, declared, index);
        if (current == npos) return;
    }
    recordMatParameters(line, declared, current);
    recordDimensionList(line, declared, current);
}

}  // namespace bprep2
