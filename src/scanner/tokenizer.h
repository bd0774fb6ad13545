// The character scan of one line into tokens.
#pragma once

#include <cstddef>
#include <string_view>

#include "driver/context.h"

namespace bprep2 {

void tokenizeLine(PreprocessorContext& ctx);

// Sets the reader's stop flag with a status (1 for reported errors).
void stopScan(PreprocessorContext& ctx, int32_t status);

}  // namespace bprep2
