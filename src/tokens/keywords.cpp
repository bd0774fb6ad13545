#include "tokens/keywords.h"

namespace bprep2 {
std::span<const KeywordEntry> keywordTable() { return {}; }
std::span<const std::string_view> atVariableNames() { return {}; }
}  // namespace bprep2
