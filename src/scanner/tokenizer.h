// The character scan of one line into tokens.
#pragma once

#include <cstddef>
#include <string_view>

#include "driver/context.h"

namespace bprep2 {

void tokenizeLine(PreprocessorContext& ctx);

}  // namespace bprep2
