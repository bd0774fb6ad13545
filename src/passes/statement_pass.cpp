#include "passes/statement_pass.h"

namespace bprep2 {
int32_t runStatementPass(PreprocessorContext&) { return 0; }
}  // namespace bprep2
