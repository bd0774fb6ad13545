// The line the after-line pass runs over, held out of the list.
//
// A rewrite inserts into the list, which moves every token after the
// insertion. So while the after-line pass runs over a line that may get
// insertions, the line's tokens it has not reached are held out of the
// list (ObjectState::held) and come back one by one as the pass, or a
// rewrite's scan reading ahead, reaches them. An insertion then moves only
// the few tokens brought in after it, and a long line, or a long
// statement, full of object references stays linear.
#pragma once

#include <cstddef>

#include "objects/object_state.h"
#include "tokens/scans.h"

namespace bprep2 {

// Takes the tokens of the list from `first` (the line's first token) on out
// of the list.
void holdBackLine(ObjectLine& line, size_t first);
// Brings back whatever the pass did not reach.
void giveBackLine(ObjectLine& line);

// Whether a held-back token, or a ')' owed after the last one, is still out.
bool hasHeldTokens(const HeldLine& held);
// Brings the next held-back token in, after the ')' owed before it (or
// the ')' owed after the last one).
void bringNextHeldToken(ObjectLine& line);
// Brings held-back tokens in until the list has a token at `index`, or
// none is left; whether it has.
bool bringHeldTokens(ObjectLine& line, size_t index);

// Whether the list has a token at `index`, bringing held-back tokens in up to it.
inline bool hasTokenAt(ObjectLine& line, size_t index) {
    return index < line.tokens.size() || bringHeldTokens(line, index);
}

// nextSignificant, bringing in as many held-back tokens as the scan reads.
size_t nextSignificantBringingIn(ObjectLine& line, size_t index, Reach reach);

}  // namespace bprep2
