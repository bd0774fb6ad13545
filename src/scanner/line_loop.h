// The line loop: line-start steps, labels, comments, joins, after-line pass.
#pragma once

#include <cstdint>

#include "driver/context.h"

namespace bprep2 {

// Runs the loop over every line of the current reader until the end of the
// source or until the scan stops.
void runLineLoop(PreprocessorContext& ctx);

// Appends the next source line to the current one, less `dropChars` at its
// end. 0, or 1 at the end of the source.
int32_t continueLine(PreprocessorContext& ctx, size_t dropChars);

void joinPreviousLine(PreprocessorContext& ctx);
void scanBlockComment(PreprocessorContext& ctx);

}  // namespace bprep2
