// Statistics line, token dump and keyword dump.
#pragma once

#include <cstdio>

#include "driver/context.h"

namespace bprep2 {

void printStatistics(PreprocessorContext& ctx, FILE* out);
void dumpTokens(PreprocessorContext& ctx, FILE* out);
void dumpKeywords(PreprocessorContext& ctx, FILE* out);

}  // namespace bprep2
