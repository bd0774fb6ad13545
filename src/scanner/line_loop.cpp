#include "scanner/line_loop.h"

namespace bprep2 {
void runLineLoop(PreprocessorContext&) {}
int32_t continueLine(PreprocessorContext&, size_t) { return 1; }
void joinPreviousLine(PreprocessorContext&) {}
void scanBlockComment(PreprocessorContext&) {}
}  // namespace bprep2
