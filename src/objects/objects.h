// Object syntax: member references, static calls, METHOD and NEW.
#pragma once

#include <cstddef>
#include <cstdint>

#include "driver/context.h"

namespace bprep2 {

// Returns the index the after-line pass goes on from (it adds 1), or -1
// after a reported error. May throw RestartSignal.
int64_t rewriteObjectSyntax(PreprocessorContext& ctx, size_t index);

// Opens the calls a chain of member reads still owes; the after-line pass
// calls it when it has been over the whole line.
void finishMemberChain(PreprocessorContext& ctx);

}  // namespace bprep2
