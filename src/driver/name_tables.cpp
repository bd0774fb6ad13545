// The text pool and the name tables of the context.
//
// Equates are kept in byte order of their names, as the reports list them,
// and also under a case-folded index that names, for every spelling, the
// first key in byte order that a case-blind comparison matches. The scanner
// looks up every identifier, so the lookup is one hash probe whatever the
// number of equates, and gives the same entry a walk of the ordered table
// with a case-blind compare would give.
#include <string>

#include "driver/context.h"

namespace bprep2 {

namespace {

// The upper-cased spelling of a name, for the folded equate index. Names
// are short; the buffer is reused.
std::string_view folded(std::string_view word, std::string& buffer) {
    buffer.resize(word.size());
    for (size_t i = 0; i < word.size(); ++i) {
        char c = word[i];
        buffer[i] = (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return buffer;
}

}  // namespace

void setEquate(PreprocessorContext& ctx, const std::string& key, std::string_view value) {
    auto entry = ctx.equates.insert_or_assign(key, std::string(value)).first;
    // The map's entries never move, so the index may point at them.
    const PreprocessorContext::EquateMap::value_type*& first = ctx.equateFolded.findOrAdd(folded(key, ctx.foldBuffer));
    if (!first || entry->first < first->first) first = &*entry;
}

const std::string* findEquate(PreprocessorContext& ctx, std::string_view word) {
    if (ctx.equates.empty()) return nullptr;
    if (ctx.caseSensitive()) {
        auto it = ctx.equates.find(word);
        return it == ctx.equates.end() ? nullptr : &it->second;
    }
    auto first = ctx.equateFolded.find(folded(word, ctx.foldBuffer));
    return first ? &(*first)->second : nullptr;
}

bool isMember(NameTable& table, std::string_view name) {
    auto found = table.find(name);
    if (found == table.end()) found = table.emplace(std::string(name), 0).first;
    return found->second >= 1;
}

}  // namespace bprep2
