// The program text as it is built: a block of the C heap (a large one on
// huge pages, tokens/large_blocks.h) that grows by doubling, written
// through a cursor. Callers make room before they append, so that running
// out of memory is found there and reported.
//
// A whole text grows without bound: the in-process caller receives the
// block itself and releases it with free(). A text written out as it is
// built grows only to a limit, and the block is reused for each piece.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "tokens/large_blocks.h"

namespace bprep2 {

class TextBuffer {
   public:
    TextBuffer() = default;
    // A buffer that never holds more than `limit` bytes.
    explicit TextBuffer(size_t limit) : limit_(limit) {}
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;
    ~TextBuffer() { std::free(data_); }

    // False when the room cannot be had, or would pass the limit; the text
    // is left as it was.
    bool reserve(size_t more) {
        if (hasRoom(more)) return true;
        if (more > limit_ - size_) return false;
        size_t wanted = std::min(std::max(size_ + more, 2 * capacity_), limit_);
        char* grown = static_cast<char*>(allocateLargeBlock(wanted));
        if (!grown) return false;
        if (size_ != 0) std::memcpy(grown, data_, size_);
        std::free(data_);
        data_ = grown;
        capacity_ = wanted;
        return true;
    }
    bool hasRoom(size_t more) const { return capacity_ - size_ >= more; }
    size_t room() const { return capacity_ - size_; }
    size_t limit() const { return limit_; }
    void push(char c) { data_[size_++] = c; }
    void push(std::string_view text) {
        if (!text.empty()) std::memcpy(data_ + size_, text.data(), text.size());
        size_ += text.size();
    }
    void pushRepeated(char c, size_t count) {
        if (count == 1) data_[size_] = c;
        else std::memset(data_ + size_, c, count);
        size_ += count;
    }
    // Writing through a cursor of one's own: the room after the text, then
    // how much of it was used.
    char* cursor() { return data_ + size_; }
    void advance(size_t count) { size_ += count; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    std::string_view view() const { return {data_, size_}; }
    // Empties the text and keeps its room.
    void clear() { size_ = 0; }
    // Hands the block over, ending in a NUL; null when that byte cannot be had.
    char* release() {
        if (!reserve(1)) return nullptr;
        data_[size_] = '\0';
        char* block = data_;
        data_ = nullptr;
        size_ = capacity_ = 0;
        return block;
    }

   private:
    char* data_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
    size_t limit_ = SIZE_MAX;
};

}  // namespace bprep2
