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
// Every block is released with free().
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
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

// A standard allocator over allocateLargeBlock, for the containers that
// hold the large arrays.
template <class T>
struct LargeBlockAllocator {
    using value_type = T;

    LargeBlockAllocator() = default;
    template <class U>
    LargeBlockAllocator(const LargeBlockAllocator<U>&) noexcept {}

    T* allocate(size_t count) {
        if (count > SIZE_MAX / sizeof(T)) throw std::bad_array_new_length();
        void* block = allocateLargeBlock(count * sizeof(T));
        if (!block) throw std::bad_alloc();
        return static_cast<T*>(block);
    }
    void deallocate(T* block, size_t) noexcept { std::free(block); }

    template <class U>
    bool operator==(const LargeBlockAllocator<U>&) const noexcept {
        return true;
    }
};

}  // namespace bprep2
