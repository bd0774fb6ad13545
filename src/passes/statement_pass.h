// The one pass over the whole token list after scanning.
#pragma once

#include <cstdint>

#include "driver/context.h"

namespace bprep2 {

// 0 success, 1 after a reported error.
int32_t runStatementPass(PreprocessorContext& ctx);

}  // namespace bprep2
