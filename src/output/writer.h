// Writes the token list as program text.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string_view>

#include "output/diagnostics.h"
#include "output/text_buffer.h"
#include "tokens/token_list.h"
#include "tokens/word_table.h"

namespace bprep2 {

// What the text depends on besides the list.
struct WriterSettings {
    bool caseSensitive = false;  // names and keywords as written
    bool uvCase = false;         // names as written, keywords too when in mixed case
    bool dotMember = false;      // the member operator is "." (else "->")
    bool objectRuntimeUsed = false;  // the runtime's declarations go first
    // The declared functions, whose names keep their case.
    NameSet* declaredFunctions = nullptr;
    // Every name the name rule asks about is kept in declaredFunctions, as
    // every lookup of a name set keeps it, for the token dump.
    bool recordsLookups = false;
};

// A text that cannot be built, held or written whole ends the run with this
// status.
constexpr int32_t unwrittenStatus = 2;

// Where a text written out as it is built goes, a piece at a time.
class TextSink {
   public:
    virtual void take(std::string_view piece) = 0;

   protected:
    ~TextSink() = default;
};

// Builds the whole program text of `tokens` into `text`; reads the list
// only. A token of a kind that cannot be written, or no room for the text,
// ends the run.
void buildProgramText(const TokenList& tokens, const WriterSettings& settings, const Diagnostics& diagnostics,
                      TextBuffer& text);

// The least limit of a streamed text's buffer.
constexpr size_t leastStreamedPiece = 64;

// The same text handed to `sink` as it is built, a piece at a time, each
// piece held in `buffer` (limited to leastStreamedPiece bytes or more),
// which is then reused. No room for the buffer ends the run before the
// first piece is handed on; a token of a kind that cannot be written ends
// it too, and no stage makes one (writer.cpp).
void streamProgramText(const TokenList& tokens, const WriterSettings& settings, const Diagnostics& diagnostics,
                       TextBuffer& buffer, TextSink& sink);

// Ends the run for want of room for a text of `bytes` bytes.
[[noreturn]] void failForRoom(const Diagnostics& diagnostics, size_t bytes);

// Writes each piece to a stream. With `diagnostics`, a short write or a
// failed flush ends the run: it would hand the compiler a truncated program
// under a success status. Without, failures are left for the stream's
// error indicator.
class StreamSink final : public TextSink {
   public:
    StreamSink(std::FILE* out, const Diagnostics* diagnostics) : out_(out), diagnostics_(diagnostics) {}
    void take(std::string_view piece) override;
    // Flushes the stream once the last piece is in.
    void finish();

   private:
    [[noreturn]] void fail() const;

    std::FILE* out_;
    const Diagnostics* diagnostics_;
};

}  // namespace bprep2
