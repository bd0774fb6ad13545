// Comparing and case-folding words.
#include "tokens/words.h"

namespace bprep2 {

std::string upperCased(std::string_view s) {
    std::string buffer;
    return std::string(upperCased(s, buffer));
}

std::string_view upperCased(std::string_view s, std::string& buffer) {
    // Programs are mostly written in upper case, and such a word is its own
    // upper-cased form: it needs no copy.
    size_t lower = 0;
    while (lower < s.size() && !isLowerCaseLetter(s[lower])) ++lower;
    if (lower == s.size()) return s;
    buffer.assign(s);
    for (size_t i = lower; i < s.size(); ++i) buffer[i] = toUpperCase(s[i]);
    return buffer;
}

}  // namespace bprep2
