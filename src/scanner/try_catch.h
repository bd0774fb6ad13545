// TRY / CATCH / THROW translation, run on each variable of a scanned line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "objects/object_state.h"
#include "scanner/scan_state.h"

namespace bprep2 {

constexpr int32_t maximumTryDepth = 3;

// The TRY blocks open in the run: a block may open in one source and close
// in another.
struct TryState {
    int32_t depth = 0;
    bool catchSeen[maximumTryDepth] = {};  // for each open block
};

// Whether a Name token is TRY, CATCH or THROW, the words the translation
// acts on (END TRY is found from its TRY). Asked of every name of a line
// with the object extensions on, and seldom more than a length compared.
inline bool isTryCatchWord(const TokenList& tokens, const Token& word) {
    if (word.kind != TokenKind::Name) return false;
    std::string_view text = tokens.text(word);
    return equalIgnoringCase(text, "TRY") || equalIgnoringCase(text, "CATCH") || equalIgnoringCase(text, "THROW");
}

// The word at `index` of the line being scanned (read by `reader`), when it
// is TRY, END TRY, CATCH or THROW.
void translateTryCatch(ObjectLine& line, TryState& tries, const SourceReader& reader, size_t index);

}  // namespace bprep2
