// The one routine every diagnostic goes through.
#pragma once

#include <cstddef>
#include <string_view>

#include "driver/context.h"
#include "driver/platform.h"

namespace bprep2 {

// printf-style. Shows the current line with a caret when a reader with a
// valid scan position is current, then "bprep2: Error|Warning <message>".
void report(PreprocessorContext& ctx, const char* format, ...) BPREP2_PRINTF(2, 3);

// Points the next report's caret at the token at `index`: the current
// reader's scan position moves to the token's column.
void pointAtToken(PreprocessorContext& ctx, size_t index);

// Writes a finished message to standard error in one piece.
void writeMessage(std::string_view text);

}  // namespace bprep2
