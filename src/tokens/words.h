// Comparing and case-folding words.
#pragma once

#include <string>
#include <string_view>

#include "tokens/characters.h"

namespace bprep2 {

inline bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (toUpperCase(a[i]) != toUpperCase(b[i])) return false;
    return true;
}

// Equal as the run compares words: exactly when case matters, else
// ignoring the case of letters.
inline bool sameWord(std::string_view a, std::string_view b, bool caseSensitive) {
    return caseSensitive ? a == b : equalIgnoringCase(a, b);
}

std::string upperCased(std::string_view s);
// The same, written into `buffer` (reused, so that a lookup allocates nothing).
std::string_view upperCased(std::string_view s, std::string& buffer);

// The spelling a name is looked up by in the keyword and array tables: as
// written when case matters, else upper-cased into `buffer`.
inline std::string_view lookupSpelling(std::string_view word, bool caseSensitive, std::string& buffer) {
    return caseSensitive ? word : upperCased(word, buffer);
}

// THEN, ELSE, LOOP or DO: words after which a new statement (and an
// assignment target) may start. `exact`: compared as written.
inline bool isOpenerWord(std::string_view text, bool exact) {
    auto is = [&](std::string_view word) { return exact ? text == word : equalIgnoringCase(text, word); };
    switch (text.size()) {
        case 2: return is("DO");
        case 4: return is("THEN") || is("ELSE") || is("LOOP");
        default: return false;
    }
}

}  // namespace bprep2
