// Operations on the context's token list, shared by every pass.
//
// Positions are indexes into ctx.tokens; "none" is npos. Positions stay valid
// only until the next insertion or removal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "driver/context.h"

namespace bprep2 {

constexpr size_t npos = static_cast<size_t>(-1);

// Scan modes of nextSignificant / previousSignificant.
constexpr int modeSameLine = 0;
constexpr int modeAnywhere = 1;
constexpr int modeSameStatement = 2;

// Blanks and deleted tokens: the scans for significant tokens pass them.
inline bool isBlankType(uint8_t type) { return type == whitespace || type == null_token; }

// THEN, ELSE, LOOP or DO: words after which a new statement (and an
// assignment target) may start. `exact`: compared as written.
bool isOpenerWord(std::string_view text, bool exact);

// Counts a token the scanner appends into the reader's statement state;
// returns whether the label mark is on. Inline with appendToken: called once
// per token, mostly with a type known where it is called.
inline bool updateStatementState(const PreprocessorContext& ctx, SourceReader& r, int32_t type,
                                 std::string_view text) {
    switch (type) {
        case changeline:
        case endofline:
        case newstatement:
            r.statementTokenCount = 0;
            r.statementStart = true;
            return false;
        case label:
            r.statementTokenCount = 0;
            r.statementStart = true;
            return true;
        case unparsed:
        case system_keyword:
        case equals:
            r.statementStart = false;
            r.statementTokenCount++;
            // Only words of two or four letters can be one.
            if (type == system_keyword && (text.size() == 2 || text.size() == 4) &&
                isOpenerWord(text, ctx.caseSensitive()))
                r.statementStart = true;
            return false;
        case whitespace:
        case null_token:
            return false;
        default:
            r.statementTokenCount++;
            return false;
    }
}

// Appends a token built from the current reader's statement state; the
// token's special code is `special`. Made part of every caller: most pass
// a type known where they call, which leaves one case of the state update.
[[gnu::always_inline]] inline void appendTokenSpecial(PreprocessorContext& ctx, int32_t type,
                                                      std::string_view text, int32_t value, int32_t special) {
    Token t;
    t.type = static_cast<uint8_t>(type);
    t.value = value;
    t.special = static_cast<uint8_t>(special);
    if (!text.empty()) ctx.setText(t, text);
    if (SourceReader* r = ctx.reader) {
        bool labelMark = updateStatementState(ctx, *r, type, text);
        uint8_t flags = 0;
        if (r->statementTokenCount == 1) flags |= flagFirst;
        if (r->statementStart) flags |= flagAssign;
        if (labelMark) flags |= flagLabel;
        t.flags = flags;
        t.column = r->scanPos < 0 ? 0 : static_cast<int32_t>(r->scanPos);
    }
    ctx.tokens.push_back(t);
}

inline void appendToken(PreprocessorContext& ctx, int32_t type, std::string_view text = {}, int32_t value = 0) {
    appendTokenSpecial(ctx, type, text, value, 0);
}

// Makes room for what a source of `bytes` bytes adds to the token list and
// the text pool (a source seldom makes more tokens than it has bytes, or
// more text than twice its own), so that neither is copied again and again
// as it grows. Room not used is never touched, so it costs address space
// only.
void reserveForSource(PreprocessorContext& ctx, size_t bytes);

// Inserts a fresh token before `index` (at the end when index == count).
void insertToken(PreprocessorContext& ctx, size_t index, int32_t type, std::string_view text = {},
                 int32_t value = 0);

void resetToken(Token& token, int32_t type);
// resetToken, then sets the text.
void resetToken(PreprocessorContext& ctx, Token& token, int32_t type, std::string_view text);

// Replaces tokens first..last (inclusive) by `count` new tokens; returns the
// change in list length.
int32_t replaceTokens(PreprocessorContext& ctx, const Token* newTokens, size_t count, size_t first,
                      size_t last);

inline size_t tokenCount(const PreprocessorContext& ctx) { return ctx.tokens.size(); }
inline Token& tokenAt(PreprocessorContext& ctx, size_t index) { return ctx.tokens[index]; }

// While the after-line pass runs, the tokens of the line it has not reached
// are held out of the list, so that a rewrite inserting into the list moves
// only the few tokens after the insertion (the line loop says more). Scans
// made for the pass read on through them with these two: whether the list
// has a token at `index`, bringing held-back tokens in up to it; and the
// significant token after `index` (as nextSignificant from index + 1),
// bringing in as many as the scan reads.
bool bringHeldTokens(PreprocessorContext& ctx, size_t index);
// Whether a held-back token, or a ')' owed after the last one, is still out.
bool hasHeldTokens(const SourceReader& reader);
// Brings the next held-back token in, after the ')' owed before it (or
// the ')' owed after the last one).
void bringNextHeldToken(PreprocessorContext& ctx, SourceReader& reader);
inline bool hasTokenAt(PreprocessorContext& ctx, size_t index) {
    return index < ctx.tokens.size() || bringHeldTokens(ctx, index);
}
size_t significantAfter(PreprocessorContext& ctx, size_t index, int mode);

// A statement left open by a trailing comma goes on after it: the writer
// takes the blanks, separators and line ends after the comma (the stretch)
// onto the comma's line, drops the separators, and writes the stretch's
// line ends at the next line end instead, so that the lines after it keep
// their numbers. A line end never moves across a line marker: when one
// comes before that line end (or the list ends first), the line ends stay
// where they are and the statement is not continued.
struct CommaJoin {
    size_t stop = 0;       // the first token after the stretch, or the list's size
    size_t target = npos;  // the line end that takes the stretch's line ends; npos: they stay
    int64_t lineEnds = 0;  // the lines the stretch's line ends stand for
};
inline bool isCommaJoinFiller(uint8_t type) { return type == endofline || type == newstatement || type == whitespace; }
// Inline: the writer asks for every comma's.
inline CommaJoin findCommaJoin(const PreprocessorContext& ctx, size_t comma) {
    const auto& list = ctx.tokens;
    CommaJoin join;
    join.stop = comma + 1;
    while (join.stop < list.size() && isCommaJoinFiller(list[join.stop].type)) {
        if (list[join.stop].type == endofline) join.lineEnds += list[join.stop].value;
        ++join.stop;
    }
    if (join.lineEnds < 1) return join;
    for (size_t i = join.stop; i < list.size() && list[i].type != changeline; ++i) {
        if (list[i].type == endofline) {
            join.target = i;
            break;
        }
    }
    return join;
}
// Whether the statement goes on, on the comma's output line, after the stretch.
bool continuesStatement(const PreprocessorContext& ctx, const CommaJoin& join);
// The last token of the stretch after `comma` when the statement goes on
// after it (its separators and line ends then end neither the statement
// nor its line), else the comma itself.
size_t joinedStretchEnd(const PreprocessorContext& ctx, size_t comma);

// Forward / backward scans starting at `index` itself. Result: index or npos.
size_t nextSignificant(const PreprocessorContext& ctx, size_t index, int mode);
size_t previousSignificant(const PreprocessorContext& ctx, size_t index, int mode);

// True for a keyword token whose text is THEN, ELSE, LOOP or DO (any case).
bool isStatementOpener(const PreprocessorContext& ctx, const Token& t);

// previousSignificant over a list that is not ctx.tokens: `at(i)` gives the
// token at position i, and is asked for positions in decreasing order only.
template <typename At>
size_t previousSignificantIn(const PreprocessorContext& ctx, size_t index, int mode, At&& at) {
    size_t i = index;
    while (isBlankType(at(i).type)) {
        if (i <= 1) return npos;  // stepping back onto the first token gives none
        --i;
    }
    const Token& t = at(i);
    if (t.type == changeline || t.type == endofline || t.type == label || t.type == newstatement) return npos;
    if (mode == modeSameLine && isStatementOpener(ctx, t)) return npos;
    return i;
}

// Moves the current reader's scan position to the token's column so that the
// next report's caret points at it.
void pointAtToken(PreprocessorContext& ctx, size_t index);

// 0 when equal: exactly in case-sensitive mode, else ignoring letter case.
int32_t sameWord(const PreprocessorContext& ctx, std::string_view a, std::string_view b);
// 0 when equal ignoring letter case, 1 otherwise.
int32_t equalsIgnoreCase(std::string_view a, std::string_view b);
std::string upperCased(std::string_view s);
// The same, written into `buffer` (reused, so that a lookup allocates nothing).
std::string_view upperCased(std::string_view s, std::string& buffer);
// The spelling a name is looked up by in the keyword and array tables: as
// written when case matters, else upper-cased into `buffer`.
std::string_view lookupSpelling(const PreprocessorContext& ctx, std::string_view word, std::string& buffer);

}  // namespace bprep2
