// The command line: options "a:D:e:h?I:mU:", the whole arguments --help and
// --version, and the source name.
#pragma once

#include <optional>

#include "driver/context.h"

namespace bprep2 {

constexpr int optionEnd = -1;

// The next option: a letter of `letters`, or the code of an option spelled
// as a whole argument (above every letter); optionEnd at the first operand.
int nextOption(PreprocessorContext& ctx, int argc, char** argv, const char* letters);

// Fills the context from the arguments, the predefined names included.
// Returns nothing when the run goes on, or the status it must end with at
// once (0 after the version, 2 after the help text or a refused option).
std::optional<int32_t> parseCommandLine(PreprocessorContext& ctx, int argc, char** argv);

}  // namespace bprep2
