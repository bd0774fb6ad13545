// TRY / CATCH / THROW translation, run on each variable of a scanned line.
#pragma once

#include <cstddef>
#include <cstdint>

#include "driver/context.h"

namespace bprep2 {

// 0, or 1 when a fatal error was reported.
int32_t translateTryCatch(PreprocessorContext& ctx, size_t index);

}  // namespace bprep2
