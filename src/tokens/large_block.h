// Storage for the few very large arrays of a run (the token list).
//
// A 36 MB source makes a token list of a quarter of a gigabyte; filled a
// 4 KiB page at a time, the kernel's page faults alone cost about as much as
// one pass over the list. Blocks of several megabytes are therefore mapped
// directly and marked for large pages where the system offers them, which
// cuts the faults some five hundred fold. Smaller blocks, and every block on
// systems without the call, come from the ordinary heap.
#pragma once

#include <cstddef>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace bprep2 {

template <typename T>
struct LargeBlockAllocator {
    using value_type = T;

    LargeBlockAllocator() = default;
    template <typename U>
    LargeBlockAllocator(const LargeBlockAllocator<U>&) {}

    T* allocate(size_t count) {
        if (count > static_cast<size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        size_t bytes = count * sizeof(T);
#if defined(__linux__)
        if (isLarge(bytes)) {
            void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
            if (block == MAP_FAILED) throw std::bad_alloc();
            madvise(block, bytes, MADV_HUGEPAGE);  // a hint: refused, the block still works
            return static_cast<T*>(block);
        }
#endif
        return static_cast<T*>(::operator new(bytes));
    }

    void deallocate(T* block, size_t count) {
        size_t bytes = count * sizeof(T);
#if defined(__linux__)
        if (isLarge(bytes)) {
            munmap(block, bytes);
            return;
        }
#endif
        ::operator delete(block);
    }

    template <typename U>
    bool operator==(const LargeBlockAllocator<U>&) const {
        return true;
    }

   private:
    static constexpr size_t largeBlockBytes = size_t{4} << 20;
    static bool isLarge(size_t bytes) { return bytes >= largeBlockBytes; }
};

}  // namespace bprep2
