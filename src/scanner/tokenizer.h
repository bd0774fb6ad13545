// The character scan of one line into tokens.
#pragma once

#include <cstddef>
#include <string_view>

#include "driver/context.h"

namespace bprep2 {

void tokenizeLine(PreprocessorContext& ctx);

// The name reader: a letter or $, then letters, digits, _, $ and . (a dot
// ends the name when the dot is the member operator). Reads at `pos` in
// `line`; returns the name's length, 0 when none starts there.
size_t readIdentifier(std::string_view line, size_t pos, uint32_t options);

// Sets the reader's stop flag with a status (1 for reported errors).
void stopScan(PreprocessorContext& ctx, int32_t status);

}  // namespace bprep2
