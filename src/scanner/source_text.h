// The bytes of a source its reader holds: what is read and not yet cut
// into lines.
//
// Room for a read is taken without filling it first: a read fills it right
// after, and filling a block of a quarter megabyte with zeros touched every
// one of its pages, most of the page faults of a run on a small source.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace bprep2 {

class SourceText {
   public:
    SourceText() = default;
    SourceText(const SourceText&) = delete;
    SourceText& operator=(const SourceText&) = delete;

    // Holds a copy of `text`, which lies elsewhere, in place of what was
    // held.
    SourceText& operator=(std::string_view text) {
        size_ = 0;
        if (!text.empty()) std::memcpy(roomFor(text.size()), text.data(), text.size());
        size_ = text.size();
        return *this;
    }

    size_t size() const { return size_; }
    char operator[](size_t at) const { return bytes_[at]; }
    std::string_view view() const { return {bytes_.get(), size_}; }

    void clear() { size_ = 0; }

    // Drops the first `count` bytes, which are cut and no longer needed.
    void dropFront(size_t count) {
        if (count == 0) return;
        std::memmove(bytes_.get(), bytes_.get() + count, size_ - count);
        size_ -= count;
    }

    // Room for `count` bytes after the text, not filled; `added` then
    // counts those of them a read filled.
    char* roomFor(size_t count) {
        size_t needed = size_ + count;
        if (needed > capacity_) grow(std::max(needed, capacity_ * 2));
        return bytes_.get() + size_;
    }
    void added(size_t count) { size_ += count; }

   private:
    // Doubling keeps a line longer than many blocks linear to read.
    void grow(size_t capacity) {
        std::unique_ptr<char[]> bytes = std::make_unique_for_overwrite<char[]>(capacity);
        if (size_ > 0) std::memcpy(bytes.get(), bytes_.get(), size_);
        bytes_ = std::move(bytes);
        capacity_ = capacity;
    }

    std::unique_ptr<char[]> bytes_;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

}  // namespace bprep2
