// The run from start to exit status.
#pragma once

#include <cstddef>
#include <cstdint>

namespace bprep2 {

// A part of about this many tokens fits the processor's caches. Test
// builds make it small, so that short sources are passed in parts too.
#ifndef BPREP2_PART_TOKENS
#define BPREP2_PART_TOKENS 16384
#endif

// Whether a run may pass and write parts of the token list while it still
// reads the main source, and how long a part is (driver/stream.cpp).
struct StreamTuning {
    bool streaming = true;
    size_t partTokens = BPREP2_PART_TOKENS;
    bool threaded = true;  // parts are passed and written while the next is read
};

// One whole run over the process arguments, the restarts included. Returns
// the exit status; never ends the process. `inProcess` allows the -m form.
int32_t runPreprocessor(int argc, char** argv, bool inProcess, const StreamTuning& tuning = {});

}  // namespace bprep2
