// The equate table of the context.
//
// Equates are kept in byte order of their names, as the reports list them,
// and also under a case-folded index that names, for every spelling, the
// first key in byte order that a case-blind comparison matches. The scanner
// looks up every identifier, so the lookup is one hash probe whatever the
// number of equates, and gives the same entry a walk of the ordered table
// with a case-blind compare would give.
#include <string>

#include "driver/context.h"
#include "tokens/words.h"

namespace bprep2 {

void setEquate(PreprocessorContext& ctx, const std::string& key, std::string_view value) {
    auto entry = ctx.equates.insert_or_assign(key, std::string(value)).first;
    // The map's entries never move, so the index may point at them.
    const PreprocessorContext::EquateMap::value_type*& first =
        ctx.equateFolded.findOrAdd(upperCased(key, ctx.foldBuffer));
    if (!first || entry->first < first->first) first = &*entry;
}

const std::string* findEquate(PreprocessorContext& ctx, std::string_view word) {
    if (ctx.equates.empty()) return nullptr;
    if (ctx.options.caseSensitive()) {
        auto it = ctx.equates.find(word);
        return it == ctx.equates.end() ? nullptr : &it->second;
    }
    auto first = ctx.equateFolded.find(upperCased(word, ctx.foldBuffer));
    return first ? &(*first)->second : nullptr;
}

}  // namespace bprep2
