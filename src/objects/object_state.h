// What object rewriting keeps while it runs over the lines of a run, and
// what one line's rewrites work on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <queue>
#include <string_view>
#include <vector>

#include "output/diagnostics.h"
#include "tokens/options.h"
#include "tokens/token_list.h"

namespace bprep2 {

// A chain of member reads and method calls A->B->M(1)->C... on the line
// being scanned. Every link's call opens where the first link's does, so
// inserting each one there would move the whole chain again for every link;
// instead the later links' calls wait here and are opened together
// (member_reference.cpp).
struct MemberChain {
    size_t head = 0;     // index of the first link's call name
    size_t lastEnd = 0;  // the latest link's closing ')', or for a method
                         // call the (deleted) '(' of its arguments
    bool lastIsCall = false;
    std::vector<std::string_view> waiting;  // calls still to be opened at `head`, innermost first
    bool open = false;   // a member operator right after the latest link continues it
    bool regular = true; // every call's arguments in it close nested (see settleChains)
};

// What the latest member assignment on the line found, so that a statement
// of chained assignments A->X = B->Y = ... = 1 is not walked over again for
// every link (member_reference.cpp).
struct AssignmentChain {
    static constexpr size_t none = static_cast<size_t>(-1);
    size_t comma = none;     // the latest assignment's '=', now the call's comma
    // Where its value ended among the held-back tokens: at the statement end
    // or at an ELSE (`stop`, none when not there), with its ')' owed before
    // held token `closer`. The held tokens from `clean` to `stop` hold no
    // ELSE, so a later value of the statement that reaches `clean` ends at
    // the same place: at once before a statement end, and before an ELSE
    // when it is not inside brackets there, which `heldDepth` (the bracket
    // depth before each held token, made when a value first ends at an
    // ELSE or at a line end a trailing comma leaves open) tells.
    size_t stop = none;
    bool stopIsElse = false;
    // The value did not end: the line ends after a trailing comma, and the
    // statement goes on with the next line (OpenAssignments).
    bool statementOpen = false;
    size_t closer = 0;
    size_t clean = 0;
    std::vector<int64_t> heldDepth;
};

// The ')' of member assignments whose statement a trailing comma leaves
// open at the end of a line: they wait for the line that ends the
// statement, or go right after the comma when a line marker or the end of
// the source comes first (member_reference.cpp). Each is kept with
// the bracket depth its value had reached, less `shift`, which follows the
// depth of the lines that go on with the statement: before an ELSE the
// shallowest values close first.
struct OpenAssignments {
    std::priority_queue<int64_t, std::vector<int64_t>, std::greater<int64_t>> depths;
    int64_t shift = 0;

    bool empty() const { return depths.empty(); }
};

// The tokens of the line that the after-line pass has not reached yet,
// held out of the list while it runs (held_line.h); tokens[next] is the
// next one to come back.
struct HeldLine {
    std::vector<Token> tokens;
    size_t next = 0;
    // The ')' of assignments owed before tokens[i], or after the last one at
    // [tokens.size()] (empty when none is): an assignment's call closes at
    // the end of its statement, and putting the ')' there at once would
    // bring the whole statement into the list.
    std::vector<uint32_t> closersOwed;
};

struct ObjectState {
    // A rewrite made a call of the object runtime: the writer puts the
    // runtime's declarations first.
    bool runtimeUsed = false;
    MemberChain memberChain;
    // Chains whose latest call's arguments hold references of their own,
    // innermost last; each goes on when its arguments close.
    std::vector<MemberChain> setAsideChains;
    AssignmentChain assignmentChain;
    HeldLine held;
};

// What the rewrites of the line being scanned work on: the list (the line's
// tokens at its end), the rewrites' own state, and the member assignments
// the source being scanned left open.
struct ObjectLine {
    TokenList& tokens;
    ObjectState& state;
    OpenAssignments& openAssignments;
    const Options& options;
    const Diagnostics& diagnostics;
};

}  // namespace bprep2
