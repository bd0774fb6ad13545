// The text pool and the name tables of the context.
//
// Equates are kept in byte order of their names, as the reports list them,
// and also under a case-folded index that names, for every spelling, the
// first key in byte order that a case-blind comparison matches. The scanner
// looks up every identifier, so the lookup is one hash probe whatever the
// number of equates, and gives the same entry a walk of the ordered table
// with a case-blind compare would give.
#include <functional>

#include "driver/context.h"

namespace bprep2 {

namespace {

unsigned char foldAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; }

}  // namespace

size_t FoldedHash::operator()(std::string_view s) const {
    size_t h = 1469598103934665603ull;
    for (unsigned char c : s) {
        h ^= foldAscii(c);
        h *= 1099511628211ull;
    }
    return h;
}

bool FoldedEqual::operator()(std::string_view a, std::string_view b) const {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (foldAscii(a[i]) != foldAscii(b[i])) return false;
    return true;
}

void setEquate(PreprocessorContext& ctx, const std::string& key, std::string_view value) {
    ctx.equates[key] = std::string(value);
    auto [it, inserted] = ctx.equateFolded.try_emplace(key, key);
    if (!inserted && key < it->second) it->second = key;
}

const std::string* findEquate(PreprocessorContext& ctx, std::string_view word) {
    if (ctx.equates.empty()) return nullptr;
    if (ctx.caseSensitive()) {
        auto it = ctx.equates.find(word);
        return it == ctx.equates.end() ? nullptr : &it->second;
    }
    auto folded = ctx.equateFolded.find(word);
    if (folded == ctx.equateFolded.end()) return nullptr;
    return &ctx.equates.find(folded->second)->second;
}

bool isMember(NameTable& table, std::string_view name) {
    auto found = table.find(name);
    if (found == table.end()) found = table.emplace(std::string(name), 0).first;
    return found->second >= 1;
}

}  // namespace bprep2
