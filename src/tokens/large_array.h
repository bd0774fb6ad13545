// A growing array of plain records (tokens, the bytes of the text pool) in
// a growable block (tokens/large_blocks.h): it doubles as it grows, as a
// vector does, but where the system can grow a block without copying it,
// the old and the new array are never held at once.
//
// Values handed to it by pointer must not lie in the array itself; a single
// value handed by reference may.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

#include "tokens/large_blocks.h"

namespace bprep2 {

template <class T>
class LargeArray {
    static_assert(std::is_trivially_copyable_v<T>, "records moved with memcpy");

   public:
    LargeArray() = default;
    LargeArray(const LargeArray& other) { append(other.data_, other.size_); }
    LargeArray(LargeArray&& other) noexcept { swap(other); }
    LargeArray& operator=(LargeArray other) noexcept {
        swap(other);
        return *this;
    }
    ~LargeArray() { releaseGrowableBlock(data_, roomBytes_); }
    void swap(LargeArray& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        std::swap(roomBytes_, other.roomBytes_);
    }

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    size_t capacity() const { return roomBytes_ / sizeof(T); }
    T* data() { return data_; }
    const T* data() const { return data_; }
    T& operator[](size_t index) { return data_[index]; }
    const T& operator[](size_t index) const { return data_[index]; }
    T& back() { return data_[size_ - 1]; }
    const T& back() const { return data_[size_ - 1]; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + size_; }

    // Room for `count` records in all, made at once.
    void reserve(size_t count) {
        if (count > capacity()) growTo(count);
    }
    void push_back(const T& value) {
        if (size_ == capacity()) {
            T copy = value;  // `value` may lie in the array, which may move
            makeRoom(1);
            data_[size_++] = copy;
            return;
        }
        data_[size_++] = value;
    }
    void append(const T* values, size_t count) { insert(size_, values, count); }
    // Room for `count` records after the last, left unfilled for the caller
    // to write (a read into it); `added` then counts those written.
    T* roomFor(size_t count) {
        makeRoom(count);
        return data_ + size_;
    }
    void added(size_t count) { size_ += count; }
    // Before `index` (at most the size).
    void insert(size_t index, const T* values, size_t count) {
        if (count == 0) return;
        openGap(index, count);
        std::memcpy(data_ + index, values, count * sizeof(T));
    }
    void insert(size_t index, size_t copies, const T& value) {
        if (copies == 0) return;
        T copy = value;
        openGap(index, copies);
        std::fill(data_ + index, data_ + index + copies, copy);
    }
    // Drops the records first..last-1.
    void erase(size_t first, size_t last) {
        if (last < size_) std::memmove(data_ + first, data_ + last, (size_ - last) * sizeof(T));
        size_ -= last - first;
    }
    // Records added at the end are value-initialised.
    void resize(size_t count) {
        if (count > size_) {
            reserve(count);
            std::fill(data_ + size_, data_ + count, T{});
        }
        size_ = count;
    }

   private:
    // Room for `more` records after the last, growing at least twofold so
    // that appending stays linear.
    void makeRoom(size_t more) {
        if (more > max() - size_) throw std::bad_array_new_length();
        size_t wanted = size_ + more;
        if (wanted <= capacity()) return;
        size_t doubled = capacity() > max() / 2 ? max() : 2 * capacity();
        growTo(std::max({wanted, doubled, leastRoom}));
    }
    void growTo(size_t count) {
        if (count > max()) throw std::bad_array_new_length();
        size_t bytes = count * sizeof(T);
        size_t room = growableBlockRoom(bytes);
        if (room == 0) throw std::bad_alloc();
        void* grown = data_ ? growGrowableBlock(data_, roomBytes_, bytes) : allocateGrowableBlock(bytes);
        if (!grown) throw std::bad_alloc();
        data_ = static_cast<T*>(grown);
        roomBytes_ = room;
    }
    void openGap(size_t index, size_t count) {
        makeRoom(count);
        if (index < size_) std::memmove(data_ + index + count, data_ + index, (size_ - index) * sizeof(T));
        size_ += count;
    }
    static constexpr size_t max() { return SIZE_MAX / sizeof(T) / 2; }
    static constexpr size_t leastRoom = 64;

    T* data_ = nullptr;
    size_t size_ = 0;
    size_t roomBytes_ = 0;
};

}  // namespace bprep2
