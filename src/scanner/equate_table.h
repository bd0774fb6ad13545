// The equates of a run: what EQUATE and #define lines set, and the scanner
// substitutes for the words they name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "tokens/word_table.h"

namespace bprep2 {

class EquateTable {
   public:
    // Name to replacement text, in byte order of the name.
    using Map = std::map<std::string, std::string, std::less<>>;

    // Adds or replaces one equate.
    void set(const std::string& name, std::string_view value);
    // The equate the scanner substitutes for a word: when case matters the
    // one of that name, else the first in byte order whose name is the word
    // but for the case of its letters; null when there is none. What it
    // points at stays until the table goes.
    const std::string* find(std::string_view word, bool caseSensitive);

    // Changes whenever an equate is set, so that an answer of find() kept
    // by a caller is known to hold while the version is the one it was
    // given under; never 0. Thirty-two bits keep the scanner's word entries
    // small: once they are used up the version stays at unversioned, and no
    // answer may be kept any longer.
    static constexpr uint32_t unversioned = UINT32_MAX;
    uint32_t version() const { return version_; }

    bool empty() const { return equates_.empty(); }
    size_t size() const { return equates_.size(); }
    bool contains(const std::string& name) const { return equates_.count(name) != 0; }
    const Map& entries() const { return equates_; }

   private:
    Map equates_;
    // From the upper-cased name to the first key (in byte order) spelled
    // that way.
    WordTable<const Map::value_type*> folded_;
    std::string spelling_;  // reused, so that a lookup allocates nothing
    uint32_t version_ = 1;
};

}  // namespace bprep2
