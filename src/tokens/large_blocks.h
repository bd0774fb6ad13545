// Memory for the run's large arrays (the token list, its text pool, the
// program text), backed by transparent huge pages where the system offers
// them.
//
// Touching fresh memory costs a page fault for every 4 KiB page, and where
// this was measured a fault cost about 10 microseconds: for the token list
// of a million-line program that was a fifth of the run. A block of at
// least one huge page is aligned to one and marked for huge pages, so it
// faults in 2 MiB at a time; room reserved and never touched still costs
// address space only. Elsewhere, and for small blocks, it is plain malloc.
//
// Two kinds of block:
// - A block handed on to the in-process caller (the program text) comes
//   from allocateLargeBlock and is released with free(), by the caller too.
// - A growable block (the token list and its pool, which only the run
//   holds) comes from allocateGrowableBlock. Growing an array by copying
//   it holds the old and the new copy at once: a list growing from 8 to
//   16 million tokens held both, which made the peak of a whole run. On
//   Linux a large growable block is mapped from the system and grown with
//   mremap, which extends it or moves its pages without copying a byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#if defined(__linux__) && defined(MADV_HUGEPAGE) && defined(MREMAP_MAYMOVE) && defined(MREMAP_FIXED)
#define BPREP2_MAPPED_BLOCKS 1
#else
#define BPREP2_MAPPED_BLOCKS 0
#endif

namespace bprep2 {

constexpr size_t hugePageBytes = size_t{2} << 20;

// Null when the memory cannot be had.
inline void* allocateLargeBlock(size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (bytes >= hugePageBytes && bytes <= SIZE_MAX - hugePageBytes) {
        size_t whole = (bytes + hugePageBytes - 1) / hugePageBytes * hugePageBytes;
        void* block = std::aligned_alloc(hugePageBytes, whole);
        // Only a hint: without it the block is the same memory in small pages.
        if (block) madvise(block, whole, MADV_HUGEPAGE);
        return block;
    }
#endif
    return std::malloc(bytes == 0 ? 1 : bytes);
}

// Whether a growable block of `bytes` is mapped from the system (else it
// comes from malloc).
constexpr bool isMappedBlock(size_t bytes) { return BPREP2_MAPPED_BLOCKS && bytes >= hugePageBytes; }

// The room a growable block asked for `bytes` really has: a mapped block is
// whole huge pages. Zero when that cannot be counted.
constexpr size_t growableBlockRoom(size_t bytes) {
    if (!isMappedBlock(bytes)) return bytes;
    if (bytes > SIZE_MAX - hugePageBytes) return 0;
    return (bytes + hugePageBytes - 1) / hugePageBytes * hugePageBytes;
}

#if BPREP2_MAPPED_BLOCKS
namespace mapped {

// `bytes` of address space starting at a huge-page boundary, so that the
// block's pages can all be huge ones and mremap can move them whole; the
// rest of what was asked for to find that boundary is given back.
inline void* mapAligned(size_t bytes, int protection) {
    if (bytes > SIZE_MAX - hugePageBytes) return nullptr;
    size_t asked = bytes + hugePageBytes;
    void* raw = mmap(nullptr, asked, protection, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    uintptr_t start = reinterpret_cast<uintptr_t>(raw);
    uintptr_t aligned = (start + hugePageBytes - 1) & ~(uintptr_t{hugePageBytes} - 1);
    if (aligned > start) munmap(raw, aligned - start);
    size_t after = start + asked - (aligned + bytes);
    if (after > 0) munmap(reinterpret_cast<void*>(aligned + bytes), after);
    return reinterpret_cast<void*>(aligned);
}

inline void* map(size_t bytes) {
    void* block = mapAligned(bytes, PROT_READ | PROT_WRITE);
    // Only a hint: without it the block is the same memory in small pages.
    if (block) madvise(block, bytes, MADV_HUGEPAGE);
    return block;
}

// Extended where it stands when the address space after it is free, else
// moved to a place of its own; either way its pages are not copied.
inline void* remap(void* block, size_t oldBytes, size_t newBytes) {
    void* grown = mremap(block, oldBytes, newBytes, 0);
    if (grown != MAP_FAILED) return grown;
    // Held inaccessible, so that it is not counted as memory in use until
    // the block takes its place.
    void* place = mapAligned(newBytes, PROT_NONE);
    if (!place) return nullptr;
    grown = mremap(block, oldBytes, newBytes, MREMAP_MAYMOVE | MREMAP_FIXED, place);
    if (grown == MAP_FAILED) {
        munmap(place, newBytes);
        return nullptr;
    }
    return grown;
}

}  // namespace mapped
#endif

// A growable block of growableBlockRoom(bytes) bytes; null when the memory
// cannot be had.
inline void* allocateGrowableBlock(size_t bytes) {
#if BPREP2_MAPPED_BLOCKS
    if (isMappedBlock(bytes)) return mapped::map(growableBlockRoom(bytes));
#endif
    return std::malloc(bytes == 0 ? 1 : bytes);
}

// The block made `oldBytes` (a room allocateGrowableBlock gave) grown to
// hold `newBytes`, its bytes kept; null when that cannot be had, the block
// then left as it was.
inline void* growGrowableBlock(void* block, size_t oldBytes, size_t newBytes) {
#if BPREP2_MAPPED_BLOCKS
    if (isMappedBlock(newBytes)) {
        size_t room = growableBlockRoom(newBytes);
        if (room == 0) return nullptr;
        if (block != nullptr && isMappedBlock(oldBytes)) return mapped::remap(block, oldBytes, room);
        void* grown = mapped::map(room);
        if (grown && oldBytes > 0) std::memcpy(grown, block, oldBytes);
        if (grown) std::free(block);
        return grown;
    }
#else
    (void)oldBytes;  // malloc knows the size of its own blocks
#endif
    return std::realloc(block, newBytes == 0 ? 1 : newBytes);
}

inline void releaseGrowableBlock(void* block, size_t bytes) {
#if BPREP2_MAPPED_BLOCKS
    if (block != nullptr && isMappedBlock(bytes)) {
        munmap(block, bytes);
        return;
    }
#else
    (void)bytes;
#endif
    std::free(block);
}

}  // namespace bprep2
