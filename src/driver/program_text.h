// Writing the program text where the run sends it.
#pragma once

#include <cstdio>

namespace bprep2 {

struct RunContext;

// Puts the object runtime's declarations first when the program uses the
// runtime, and hands the text over: to the in-process caller when `out` is
// standard output in an in-process run, else to `out`. A token that cannot
// be written, no room for the text or a failed write ends the run with
// status 2; nothing is written when a token cannot be.
void writeProgramText(RunContext& run, std::FILE* out);

}  // namespace bprep2
