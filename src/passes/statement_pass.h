// The one pass over the whole token list after scanning.
#pragma once

#include "output/diagnostics.h"
#include "tokens/declared_names.h"
#include "tokens/options.h"
#include "tokens/token_list.h"

namespace bprep2 {

// Runs the pass over `tokens`, the program's declared names telling calls
// from array elements. `specialWordsMet`: the scanner met a word with a
// rewrite of its own. `recordsLookups`: the name sets keep every name the
// pass looks up, for the token dump that lists them. Returns whether a
// rewrite made a call of the object runtime. A NAME(...) that is neither a
// call, an array element nor a formatted variable ends the run.
bool runStatementPass(TokenList& tokens, const Options& options, DeclaredNames& declared,
                      const Diagnostics& diagnostics, bool specialWordsMet, bool recordsLookups);

}  // namespace bprep2
