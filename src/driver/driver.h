// The run from start to exit status.
#pragma once

#include <cstdint>

namespace bprep2 {

// One whole run over the process arguments, the restarts included. Returns
// the exit status; never ends the process. `inProcess` allows the -m form.
int32_t runPreprocessor(int argc, char** argv, bool inProcess);

}  // namespace bprep2
