// The command line: options "a:D:e:h?I:m" and the source name.
#pragma once

#include "driver/context.h"

namespace bprep2 {

constexpr int optionEnd = -1;

int nextOption(PreprocessorContext& ctx, int argc, char** argv, const char* letters);

// Fills the context from the arguments. Returns 0, or the status the run must
// end with at once (2 after the help text or a refused -m).
int32_t parseCommandLine(PreprocessorContext& ctx, int argc, char** argv);

}  // namespace bprep2
