// The bytes of a source its reader holds: what is read and not yet cut
// into lines.
//
// Room for a read is taken without filling it first: a read fills it right
// after, and filling a block of a quarter megabyte with zeros touched every
// one of its pages, most of the page faults of a run on a small source.
#pragma once

#include <cstddef>
#include <string_view>

#include "tokens/large_array.h"

namespace bprep2 {

class SourceText {
   public:
    // Holds a copy of `text`, which lies elsewhere, in place of what was
    // held.
    SourceText& operator=(std::string_view text) {
        bytes_.resize(0);
        bytes_.append(text.data(), text.size());
        return *this;
    }

    size_t size() const { return bytes_.size(); }
    char operator[](size_t at) const { return bytes_[at]; }
    std::string_view view() const { return {bytes_.data(), bytes_.size()}; }

    void clear() { bytes_.resize(0); }

    // Drops the first `count` bytes, which are cut and no longer needed.
    void dropFront(size_t count) {
        if (count > 0) bytes_.erase(0, count);
    }

    // Room for `count` bytes after the text, not filled; `added` then
    // counts those of them a read filled.
    char* roomFor(size_t count) { return bytes_.roomFor(count); }
    void added(size_t count) { bytes_.added(count); }

   private:
    LargeArray<char> bytes_;
};

}  // namespace bprep2
