#include "output/writer.h"

namespace bprep2 {
int32_t writeOutput(PreprocessorContext&, FILE*) { return 0; }
}  // namespace bprep2
