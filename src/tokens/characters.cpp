// Reading a decimal number held to the 32-bit range.
#include "tokens/characters.h"

#include <limits>

namespace bprep2 {

int32_t saturatingDecimal(std::string_view text) {
    size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
    // One past the largest value, so that the most negative one reads too.
    constexpr int64_t limit = static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1;
    int64_t value = 0;
    while (pos < text.size() && isDigit(text[pos])) {
        value = value * 10 + (text[pos++] - '0');
        if (value > limit) value = limit;
    }
    if (negative) return static_cast<int32_t>(-value);
    return static_cast<int32_t>(value < limit ? value : limit - 1);
}

}  // namespace bprep2
