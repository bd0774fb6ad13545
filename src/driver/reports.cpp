#include "driver/reports.h"

namespace bprep2 {
void printStatistics(PreprocessorContext&, FILE*) {}
void dumpTokens(PreprocessorContext&, FILE*) {}
void dumpKeywords(PreprocessorContext&, FILE*) {}
}  // namespace bprep2
