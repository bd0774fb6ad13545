#include "driver/report.h"

namespace bprep2 {
void report(PreprocessorContext&, const char*, ...) {}
}  // namespace bprep2
