// Recording of declared functions and dimensioned arrays while scanning.
#pragma once

#include <cstddef>

#include "driver/context.h"

namespace bprep2 {

void recordDeclarations(PreprocessorContext& ctx, size_t index);

}  // namespace bprep2
