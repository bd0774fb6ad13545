// Directive lines, INCLUDE/INSERT and EQUATE.
#pragma once

#include <cstdint>

#include "driver/context.h"

namespace bprep2 {

// Called with the reader's scanPos on the line's first # or $. True when
// the line was a directive and has been handled; false when it is program
// text after all, the scan position put back on the # or $. A directive
// that fails ends the run.
bool handleDirective(PreprocessorContext& ctx, SourceReader& reader);

// Statement handlers, scanPos just after the word.
void handleEquate(PreprocessorContext& ctx, SourceReader& reader);
void handleInclude(PreprocessorContext& ctx, SourceReader& reader);

// True when the current conditional state lets lines through.
bool linesActive(const PreprocessorContext& ctx);

}  // namespace bprep2
