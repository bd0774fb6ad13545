// The one pass over the whole token list after scanning.
#pragma once

#include <cstdint>

#include "driver/context.h"

namespace bprep2 {

// A NAME(...) that is neither a call, an array element nor a formatted
// variable ends the run.
void runStatementPass(PreprocessorContext& ctx);

}  // namespace bprep2
