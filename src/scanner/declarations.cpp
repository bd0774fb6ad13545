#include "scanner/declarations.h"

namespace bprep2 {
void recordDeclarations(PreprocessorContext&, size_t) {}
}  // namespace bprep2
