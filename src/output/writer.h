// Writes the token list as program text.
#pragma once

#include <cstddef>
#include <cstdio>

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

// Builds the program text of `tokens` into `text`; reads the list only. A
// token of a kind that cannot be written, or no room for the text, ends the
// run before anything is written.
void buildProgramText(const TokenList& tokens, const WriterSettings& settings, const Diagnostics& diagnostics,
                      TextBuffer& text);

// Ends the run for want of room for a text of `bytes` bytes.
[[noreturn]] void failForRoom(const Diagnostics& diagnostics, size_t bytes);

// Writes the whole text to `out` and flushes it. A short write would hand
// the compiler a truncated program under a success status, so it ends the
// run instead.
void writeText(std::FILE* out, const TextBuffer& text, const Diagnostics& diagnostics);

}  // namespace bprep2
