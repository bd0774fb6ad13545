#include "scanner/try_catch.h"

namespace bprep2 {
int32_t translateTryCatch(PreprocessorContext&, size_t) { return 0; }
}  // namespace bprep2
