// Writes the token list as program text.
#pragma once

#include <cstddef>
#include <cstdio>

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

// What building the text came to. The text is whole only with Written.
struct WriteOutcome {
    enum class Result { Written, NoRoom, UnwritableToken } result = Result::Written;
    size_t bytesWanted = 0;  // NoRoom: the size the text could not grow to
    int kindNumber = 0;      // UnwritableToken: the token's kind
};

// Builds the program text of `tokens` into `text`; reads the list only.
WriteOutcome buildProgramText(const TokenList& tokens, const WriterSettings& settings, TextBuffer& text);

// Writes the whole text to `out` and flushes it; false when any of it
// could not be written.
bool writeText(std::FILE* out, const TextBuffer& text);

}  // namespace bprep2
