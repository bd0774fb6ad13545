// What the scanner's stages share about the source being scanned: reading
// its next physical line, appending tokens with the statement state,
// stopping its scan, and the statement boundaries behind the scan position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "driver/context.h"
#include "tokens/words.h"

namespace bprep2 {

// Counts a token the scanner appends into the reader's statement state;
// returns whether the label mark is on.
inline bool updateStatementState(SourceReader& r, bool caseSensitive, TokenKind kind, std::string_view text) {
    switch (kind) {
        case TokenKind::LineMarker:
        case TokenKind::LineEnd:
        case TokenKind::Separator:
            r.statementTokenCount = 0;
            r.statementStart = true;
            return false;
        case TokenKind::Label:
            r.statementTokenCount = 0;
            r.statementStart = true;
            return true;
        case TokenKind::Verbatim:
        case TokenKind::Keyword:
        case TokenKind::Equals:
            r.statementStart = false;
            r.statementTokenCount++;
            if (kind == TokenKind::Keyword && isOpenerWord(text, caseSensitive)) r.statementStart = true;
            return false;
        case TokenKind::Blank:
        case TokenKind::Deleted:
            return false;
        default:
            r.statementTokenCount++;
            return false;
    }
}

// Appends a token made from the current reader's statement state: whether
// it is the first of its statement, whether an assignment target may stand
// there, whether it is a label, and the column it was read at.
[[gnu::always_inline]] inline void appendToken(PreprocessorContext& ctx, TokenKind kind, std::string_view text = {},
                                               int32_t value = 0, int32_t special = 0) {
    Token t;
    t.kind = kind;
    t.value = value;
    t.special = static_cast<uint8_t>(special);
    if (!text.empty()) ctx.tokens.setText(t, text);
    if (SourceReader* r = ctx.reader) {
        bool labelMark = updateStatementState(*r, ctx.options.caseSensitive(), kind, text);
        uint8_t flags = 0;
        if (r->statementTokenCount == 1) flags |= flagFirst;
        if (r->statementStart) flags |= flagAssign;
        if (labelMark) flags |= flagLabel;
        t.flags = flags;
        t.column = r->scanPos < 0 ? 0 : static_cast<int32_t>(r->scanPos);
    }
    ctx.tokens.append(t);
}

// What reading the next physical line came to. A source that fails to
// read part way has its message written; the caller ends the run, after a
// message of its own where it has one.
enum class LineRead { Read, End, Unreadable };

// Cuts the next physical line of `reader` and does the per-line accounting
// (lines read, pending line count, trace copy, line number). The view lives
// in the reader's source text.
LineRead fetchSourceLine(PreprocessorContext& ctx, SourceReader& reader, std::string_view& line);

// Index of the last statement boundary in the list, searching no lower than
// the reader's own first token; npos when there is none. Remembers what it
// passed, so repeated searches within one statement cost only the tokens
// appended since the last one.
size_t findLastBoundary(const PreprocessorContext& ctx, SourceReader& reader);

// Drops what findLastBoundary remembered; needed whenever code other than
// the scanner may have inserted or removed tokens.
void forgetBoundaries(SourceReader& reader);

// A continuation's line end: a LineEnd of one line directly after the
// last statement boundary. Successive continuations of one statement owe
// theirs at the same place, and they are inserted together (by
// settleOwedLineEnds) rather than one at a time, so a statement continued
// over many lines does not move its tokens once per line.
void oweLineEnd(PreprocessorContext& ctx, SourceReader& reader);

// Inserts the owed line ends. Must run before anything but an append looks
// at or changes the list.
void settleOwedLineEnds(PreprocessorContext& ctx, SourceReader& reader);

// Keeps the positions the reader holds in the list right when `count`
// tokens have been inserted before position `at` (other than by an append).
void noteInsertion(SourceReader& reader, size_t at, size_t count);

}  // namespace bprep2
