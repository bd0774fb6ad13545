// A quick no for the names a program never declares.
#include <cstring>
#include <initializer_list>

#include "passes/pass_steps.h"

namespace bprep2 {
namespace {

// Bit 5 of every byte: the one that tells a lower-case letter from its
// capital. Hashed without it, a name gives the same bits however it is
// cased, so the array lookup's upper-cased spelling and the function
// lookup's exact one both fall on the bit their name set.
constexpr uint64_t caseBit = 0x2020202020202020ull;

// The first and the last eight bytes of a name (or four, or its first,
// middle and last byte), without bit 5, with its length: enough to tell
// the names of one program apart, at a cost that does not grow with them.
uint64_t caselessHash(std::string_view name) {
    const char* p = name.data();
    const size_t n = name.size();
    uint64_t head = 0;
    uint64_t tail = 0;
    if (n >= 8) {
        std::memcpy(&head, p, 8);
        std::memcpy(&tail, p + n - 8, 8);
    } else if (n >= 4) {
        uint32_t first;
        uint32_t last;
        std::memcpy(&first, p, 4);
        std::memcpy(&last, p + n - 4, 4);
        head = first;
        tail = last;
    } else if (n > 0) {
        auto byte = [p](size_t i) { return uint64_t{static_cast<unsigned char>(p[i])}; };
        head = byte(0) | byte(n / 2) << 8 | byte(n - 1) << 16;
    }
    uint64_t h = ((head & ~caseBit) ^ n) * 0x9E3779B97F4A7C15ull;
    h = (h ^ (h >> 29) ^ (tail & ~caseBit)) * 0xC2B2AE3D27D4EB4Full;
    return h ^ (h >> 32);
}

}  // namespace

DeclaredNameFilter::DeclaredNameFilter(const DeclaredNames& declared) {
    size_t members = 0;
    for (const NameSet* set : {&declared.functions, &declared.arrays})
        for (const auto& [name, isMember] : *set) members += isMember ? 1 : 0;
    // Sixteen bits a name leave about one name in sixteen of those never
    // declared to the full lookups.
    constexpr size_t bitsPerName = 16;
    constexpr size_t leastWords = 16;
    size_t words = leastWords;
    while (words * 64 < members * bitsPerName) words *= 2;
    bits_.assign(words, 0);
    for (const NameSet* set : {&declared.functions, &declared.arrays})
        for (const auto& [name, isMember] : *set)
            if (isMember) {
                const size_t bit = bitOf(name);
                bits_[bit / 64] |= uint64_t{1} << (bit % 64);
            }
}

bool DeclaredNameFilter::mayBeDeclared(std::string_view name) const {
    const size_t bit = bitOf(name);
    return (bits_[bit / 64] >> (bit % 64) & 1) != 0;
}

size_t DeclaredNameFilter::bitOf(std::string_view name) const {
    return static_cast<size_t>(caselessHash(name) & (bits_.size() * 64 - 1));
}

}  // namespace bprep2
