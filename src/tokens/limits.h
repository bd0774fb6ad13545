// The largest sizes the program keeps, and the failure of a run whose input
// would pass one of them.
//
// A token holds its text's place in the pool, a column it keeps and its count of
// line ends in 32 bits, and the compiler reads line numbers as signed 32-bit
// numbers, so each of these sizes is checked where it grows: a run that
// would pass one ends with an error rather than a value that has wrapped.
#pragma once

#include <cstdint>
#include <limits>

namespace bprep2 {

// Offsets into the text pool and the lengths of texts.
constexpr uint64_t maxTextPoolBytes = std::numeric_limits<uint32_t>::max();
// Columns are positions in a line; an equate's text counts where it stands.
constexpr uint64_t maxLineBytes = std::numeric_limits<int32_t>::max();
// A line marker may name the line after the last one read, so that one must
// fit too. The lines read in a run are held to the same bound, which bounds
// every count of line ends taken from them.
constexpr uint32_t maxLineNumber = std::numeric_limits<int32_t>::max() - 1;

// Thrown where a size would pass its limit; the run's entry writes the
// message ("<what> exceeds maximum of <maximum> <unit>") and ends the run
// with sizeLimitStatus. The texts are static; the unit may be empty.
struct SizeLimitExceeded {
    const char* what;
    uint64_t maximum;
    const char* unit;
};

constexpr int32_t sizeLimitStatus = 1;

[[noreturn]] inline void exceedLimit(const char* what, uint64_t maximum, const char* unit) {
    throw SizeLimitExceeded{what, maximum, unit};
}

}  // namespace bprep2
