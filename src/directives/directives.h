// Directive lines, INCLUDE/INSERT and EQUATE.
#pragma once

#include <cstdint>

#include "driver/context.h"

namespace bprep2 {

// Directive handler results. A failure carries its status in
// ctx.reader->stopStatus (1, or a host item-read code from #include).
constexpr int32_t directiveHandled = 0;
constexpr int32_t directiveFailed = 1;
constexpr int32_t directiveRescan = 2;

// Called with the reader's scanPos on the line's first # or $.
int32_t handleDirective(PreprocessorContext& ctx);

// Statement handlers, scanPos just after the word. 0 or a failure status.
int32_t handleEquate(PreprocessorContext& ctx);
int32_t handleInclude(PreprocessorContext& ctx);

// True when the current conditional state lets lines through.
bool linesActive(const PreprocessorContext& ctx);

}  // namespace bprep2
