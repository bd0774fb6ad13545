// The line loop: line-start steps, labels, comments, joins, after-line pass.
#pragma once

#include <cstdint>

#include "driver/context.h"

namespace bprep2 {

// Runs the loop over every line of `reader`, the current reader, to the end
// of the source.
void runLineLoop(PreprocessorContext& ctx, SourceReader& reader);

// Appends the next source line to the current one, less `dropChars` at its
// end; false when there is none (the end of the source, or a source that
// failed to read, whose message is written: the caller ends the run).
bool continueLine(PreprocessorContext& ctx, size_t dropChars);

void joinPreviousLine(PreprocessorContext& ctx);
void scanBlockComment(PreprocessorContext& ctx);

}  // namespace bprep2
