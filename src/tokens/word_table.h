// A table keyed by words: the keywords and every other word the scanner
// looked up, the name sets and the folded equate index.
//
// The scanner asks it once for every name in the source, so a lookup must
// cost little more than reading the word. A reference to an entry stays
// good until the next word is added.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace bprep2 {

// A word of up to eight bytes as one number, read without a loop.
// Different words of the same length give different numbers.
inline uint64_t shortWordBytes(const char* p, size_t n) {
    if (n >= 4) {
        uint32_t low;
        uint32_t high;
        std::memcpy(&low, p, 4);
        std::memcpy(&high, p + n - 4, 4);
        return low | (uint64_t{high} << 32);
    }
    if (n == 0) return 0;
    auto byte = [&](size_t i) { return uint64_t{static_cast<unsigned char>(p[i])}; };
    return byte(0) | (byte(n / 2) << 8) | (byte(n - 1) << 16);
}

// The eight bytes at `p` as one number.
inline uint64_t eightBytes(const char* p) {
    uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

template <typename Value>
class WordTable {
   public:
    using Entry = std::pair<std::string, Value>;

    // The entry for `key`, added with a default value when missing. The
    // table is made to grow only when a word is added, so that finding a
    // word (the scanner's usual case) asks nothing about its size.
    Value& findOrAdd(std::string_view key) {
        uint64_t hash = hashOf(key);
        if (slots_.empty()) grow();
        for (size_t i = static_cast<size_t>(hash) & mask_;; i = (i + 1) & mask_) {
            Slot& slot = slots_[i];
            if (slot.entry == emptySlot) return addAt(slot, hash, key);
            if (slot.tag == tagOf(hash) && sameKey(entries_[slot.entry].first, key)) return entries_[slot.entry].second;
        }
    }

    // The entry for `key`, or null.
    const Value* find(std::string_view key) const {
        if (slots_.empty()) return nullptr;
        uint64_t hash = hashOf(key);
        for (size_t i = static_cast<size_t>(hash) & mask_;; i = (i + 1) & mask_) {
            const Slot& slot = slots_[i];
            if (slot.entry == emptySlot) return nullptr;
            if (slot.tag == tagOf(hash) && sameKey(entries_[slot.entry].first, key)) return &entries_[slot.entry].second;
        }
    }

    size_t size() const { return entries_.size(); }
    // In the order the words were added.
    typename std::vector<Entry>::const_iterator begin() const { return entries_.begin(); }
    typename std::vector<Entry>::const_iterator end() const { return entries_.end(); }

   private:
    static constexpr uint32_t emptySlot = UINT32_MAX;
    // Eight bytes: a slot keeps the high half of its word's hash, which the
    // place in the table does not already tell, so that a probe compares
    // words only on a likely match, and twice as many slots share a cache
    // line as with the whole hash. Growing hashes the words again.
    struct Slot {
        uint32_t entry = emptySlot;
        uint32_t tag = 0;
    };
    static uint32_t tagOf(uint64_t hash) { return static_cast<uint32_t>(hash >> 32); }

    static uint64_t mix(uint64_t h, uint64_t word) {
        h = (h ^ word) * 0x9E3779B97F4A7C15ull;
        return h ^ (h >> 29);
    }

    static uint64_t hashOf(std::string_view key) {
        uint64_t h = key.size();
        const char* p = key.data();
        size_t left = key.size();
        for (; left > 8; p += 8, left -= 8) h = mix(h, eightBytes(p));
        // A product's low bits depend only on the low bits of what was
        // multiplied: folding its high half down lets the last four bytes
        // of a short word choose its slot too, not only its first four.
        h = mix(h, shortWordBytes(p, left));
        return h ^ (h >> 32);
    }

    // A stored word against a key whose hash matched, eight bytes at a
    // time (the last eight may overlap those before): most words are
    // short, and a call to compare them cost more than the comparing.
    static bool sameKey(const std::string& stored, std::string_view key) {
        size_t left = key.size();
        if (stored.size() != left) return false;
        const char* a = stored.data();
        const char* b = key.data();
        if (left <= 8) return shortWordBytes(a, left) == shortWordBytes(b, left);
        for (; left > 8; a += 8, b += 8, left -= 8)
            if (eightBytes(a) != eightBytes(b)) return false;
        return eightBytes(a + left - 8) == eightBytes(b + left - 8);
    }

    // Adds `key` at `slot`, the empty slot its probe ended at, unless the
    // table must first grow, which moves every slot.
    [[gnu::noinline]] Value& addAt(Slot& slot, uint64_t hash, std::string_view key) {
        if (2 * (entries_.size() + 1) > slots_.size()) return addAfterGrowing(hash, key);
        slot.entry = static_cast<uint32_t>(entries_.size());
        slot.tag = tagOf(hash);
        entries_.emplace_back(std::string(key), Value{});
        return entries_.back().second;
    }

    Value& addAfterGrowing(uint64_t hash, std::string_view key) {
        grow();
        size_t i = static_cast<size_t>(hash) & mask_;
        while (slots_[i].entry != emptySlot) i = (i + 1) & mask_;
        return addAt(slots_[i], hash, key);
    }

    // A table starts small: most name sets of a run hold a few words, and
    // every page a small run touches costs it a fault. Entries get their
    // room with the slots' (the table is at most half full), so that they
    // are not copied again at every doubling of their own.
    static constexpr size_t firstSlots = 32;

    [[gnu::noinline]] void grow() {
        std::vector<Slot> bigger(slots_.empty() ? firstSlots : 2 * slots_.size());
        entries_.reserve(bigger.size() / 2);
        size_t mask = bigger.size() - 1;
        for (const Slot& slot : slots_) {
            if (slot.entry == emptySlot) continue;
            size_t i = static_cast<size_t>(hashOf(entries_[slot.entry].first)) & mask;
            while (bigger[i].entry != emptySlot) i = (i + 1) & mask;
            bigger[i] = slot;
        }
        slots_.swap(bigger);
        mask_ = slots_.size() - 1;
    }

    std::vector<Slot> slots_;
    size_t mask_ = 0;  // the slots' count less one, the count being a power of two
    std::vector<Entry> entries_;
};

// A set of names (the declared functions, the dimensioned arrays, the
// @-variables). A lookup that misses keeps the name as a non-member: the
// token dump lists the members numbered by their place among every name
// kept, so which names were looked up shows in it.
class NameSet {
   public:
    void add(std::string_view name) { table_.findOrAdd(name) = true; }
    // Whether `name` is a member; a miss keeps it.
    bool lookUp(std::string_view name) { return table_.findOrAdd(name); }
    // The same, keeping nothing.
    bool hasMember(std::string_view name) const {
        const bool* isMember = table_.find(name);
        return isMember && *isMember;
    }
    // Keeps `name` as a lookup that may have missed.
    void noteLookup(std::string_view name) { table_.findOrAdd(name); }
    bool hasAnyMember() const {
        for (const auto& [name, isMember] : table_)
            if (isMember) return true;
        return false;
    }
    // Every name kept, in the order it came, with whether it is a member.
    auto begin() const { return table_.begin(); }
    auto end() const { return table_.end(); }

   private:
    WordTable<bool> table_;
};

}  // namespace bprep2
