// Writes the token list as program text.
#pragma once

#include <cstdint>
#include <cstdio>

#include "driver/context.h"

namespace bprep2 {

// 0 success, 2 when a token cannot be written (nothing is written then).
int32_t writeOutput(PreprocessorContext& ctx, FILE* out);

}  // namespace bprep2
