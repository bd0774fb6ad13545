// What the scanner's stages share about the source being scanned: reading
// its next physical line, stopping its scan, and the statement boundaries
// behind the scan position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "driver/context.h"

namespace bprep2 {

// Cuts the next physical line of `reader` and does the per-line accounting
// (lines read, pending line count, trace copy, line number). The view lives
// in the reader's source text. False at the end of the source.
bool fetchSourceLine(PreprocessorContext& ctx, SourceReader& reader, std::string_view& line);

// Stops the scan of `reader`; the first status given is the one kept.
void stopReader(SourceReader& reader, int32_t status);

// changeline, endofline and newstatement end a statement.
inline bool isStatementBoundary(uint8_t type) {
    return type == changeline || type == endofline || type == newstatement;
}

// Index of the last statement boundary in the list, searching no lower than
// the reader's own first token; npos when there is none. Remembers what it
// passed, so repeated searches within one statement cost only the tokens
// appended since the last one.
size_t findLastBoundary(const PreprocessorContext& ctx, SourceReader& reader);

// Drops what findLastBoundary remembered; needed whenever code other than
// the scanner may have inserted or removed tokens.
void forgetBoundaries(SourceReader& reader);

// A continuation's line end: an endofline with value 1 directly after the
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
