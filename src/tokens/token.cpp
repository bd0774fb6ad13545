#include "tokens/token.h"

namespace bprep2 {
std::string_view tokenTypeName(int32_t) { return "UNKNOWN"; }
}  // namespace bprep2
