// Passing and writing the token list a part at a time while the main source
// is still being read, so that a long program's list never exists whole.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string_view>

#include "driver/context.h"

namespace bprep2 {

// Starts an attempt: parts are passed early when `allowed` and no report
// wants the whole list at the end; a part holds about `partTokens` tokens.
// They are passed and written on a thread of their own when `threaded` and
// the platform has threads.
void beginStream(PreprocessorContext& ctx, bool allowed, size_t partTokens, bool threaded);

// Called after each line of the main source: learns which line ends will
// stay as they are, and passes and writes a part once one is long enough.
// May throw RestartSignal (whole list) when a passed part fails.
void noteMainLineEnd(PreprocessorContext& ctx, SourceReader& reader);

// Records the declaration of `name` in `table` (a function's name when
// `function`, else an array's). When parts were passed already and the
// declaration would have changed them, throws RestartSignal (whole list).
void declareName(PreprocessorContext& ctx, NameTable& table, std::string_view name, bool function);

// Called before a directive changes the options: with parts passed, throws
// RestartSignal (whole list); otherwise the attempt keeps its whole list
// from here on.
void beforeOptionsChange(PreprocessorContext& ctx);

// After the scan: passes and writes the rest of the list, then hands the
// whole text to `out` (see deliverProgramText). 0, or the status of a
// reported error. May throw RestartSignal (whole list).
int32_t passAndWriteRest(PreprocessorContext& ctx, FILE* out);

}  // namespace bprep2
