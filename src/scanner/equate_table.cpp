// The equate table.
//
// Equates are kept in byte order of their names, as the reports list them,
// and also under a case-folded index that names, for every spelling, the
// first key in byte order that a case-blind comparison matches. The scanner
// looks up every identifier, so the lookup is one hash probe whatever the
// number of equates, and gives the same entry a walk of the ordered table
// with a case-blind compare would give.
#include "scanner/equate_table.h"

#include "tokens/words.h"

namespace bprep2 {

void EquateTable::set(const std::string& name, std::string_view value) {
    if (version_ != unversioned) ++version_;
    auto entry = equates_.insert_or_assign(name, std::string(value)).first;
    // The map's entries never move, so the index may point at them.
    const Map::value_type*& first = folded_.findOrAdd(upperCased(name, spelling_));
    if (!first || entry->first < first->first) first = &*entry;
}

const std::string* EquateTable::find(std::string_view word, bool caseSensitive) {
    if (equates_.empty()) return nullptr;
    if (caseSensitive) {
        auto it = equates_.find(word);
        return it == equates_.end() ? nullptr : &it->second;
    }
    auto first = folded_.find(upperCased(word, spelling_));
    return first ? &(*first)->second : nullptr;
}

}  // namespace bprep2
