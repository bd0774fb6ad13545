// Writing the program text where the run sends it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <limits>

#include "driver/command_line.h"
#include "output/diagnostics.h"
#include "output/text_buffer.h"

namespace bprep2 {

struct RunContext;

// Puts the object runtime's declarations first when the program uses the
// runtime, and hands the text over: whole to the in-process caller when
// `out` is standard output in an in-process run, else to `out` a buffer at
// a time as it is built. A token that cannot be written, no room for the
// text or a failed write ends the run with status 2; nothing is written
// when there is no room (see output/writer.cpp for the token).
void writeProgramText(RunContext& run, std::FILE* out);

// The text as writeProgramText writes it, to a copy whose failed writes the
// caller finds with ferror(): they are not reported here.
void copyProgramText(RunContext& run, std::FILE* out);

// The most text the in-process caller's length slot can count.
constexpr uint32_t maxDeliveredBytes = std::numeric_limits<uint32_t>::max();

// Hands `text` to the in-process caller's slots; a text longer than
// maxDeliveredBytes ends the run with status 2 and the slots untouched.
void deliverInProcess(const ResultSlots& slots, TextBuffer& text, const Diagnostics& diagnostics);

}  // namespace bprep2
