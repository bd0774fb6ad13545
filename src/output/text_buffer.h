// The program text as it is built: a block of the C heap (a large one on
// huge pages, tokens/large_blocks.h) that grows by doubling, written
// through a cursor. Callers make room before they append, so that running
// out of memory is found there and reported. The in-process caller
// receives the block itself and releases it with free().
#pragma once

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "tokens/large_blocks.h"

namespace bprep2 {

class TextBuffer {
   public:
    TextBuffer() = default;
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;
    ~TextBuffer() { std::free(data_); }

    // False when the room cannot be had; the text is left as it was.
    bool reserve(size_t more) {
        if (capacity_ - size_ >= more) return true;
        size_t wanted = std::max(size_ + more, 2 * capacity_);
        char* grown = static_cast<char*>(allocateLargeBlock(wanted));
        if (!grown) return false;
        if (size_ != 0) std::memcpy(grown, data_, size_);
        std::free(data_);
        data_ = grown;
        capacity_ = wanted;
        return true;
    }
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
    std::string_view view() const { return {data_, size_}; }
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
};

}  // namespace bprep2
