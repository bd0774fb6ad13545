#include "directives/directives.h"

namespace bprep2 {
int32_t handleDirective(PreprocessorContext&) { return directiveRescan; }
int32_t handleEquate(PreprocessorContext&) { return 0; }
int32_t handleInclude(PreprocessorContext&) { return 0; }
bool linesActive(const PreprocessorContext& ctx) { return ctx.conditionStack[ctx.conditionDepth] >= 1; }
}  // namespace bprep2
