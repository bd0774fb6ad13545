// TRY / CATCH / THROW translation, run on each variable of a scanned line.
#pragma once

#include <cstddef>
#include <cstdint>

#include "driver/context.h"

namespace bprep2 {

void translateTryCatch(PreprocessorContext& ctx, size_t index);

}  // namespace bprep2
