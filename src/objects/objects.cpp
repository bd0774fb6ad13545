#include "objects/objects.h"

namespace bprep2 {
int64_t rewriteObjectSyntax(PreprocessorContext&, size_t index) { return static_cast<int64_t>(index); }
}  // namespace bprep2
