// Writing the program text where the run sends it.
#pragma once

#include <cstdint>
#include <cstdio>

#include "driver/context.h"

namespace bprep2 {

// Puts the object runtime's declarations first when the program uses the
// runtime, and hands the text over: to the in-process caller when `out` is
// standard output in an in-process run, else to `out`. 0, or 2 after a
// reported error (a token that cannot be written, no room, a failed
// write); nothing is written when a token cannot be.
int32_t writeProgramText(PreprocessorContext& ctx, FILE* out);

}  // namespace bprep2
