// Statistics line, token dump and keyword dump.
#pragma once

#include <cstdio>

namespace bprep2 {

struct RunContext;

void printStatistics(const RunContext& run, std::FILE* out);
void dumpTokens(const RunContext& run, std::FILE* out);
void dumpKeywords(const RunContext& run, std::FILE* out);

}  // namespace bprep2
