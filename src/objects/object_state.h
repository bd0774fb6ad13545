// What object rewriting keeps while it runs over the lines of a run, and
// what one line's rewrites work on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <queue>
#include <set>
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
    // The assignments' '=' on the line, made their calls' commas and marked
    // so that the assignment test stops at them; the marks go when the line
    // is done.
    size_t markedCommas = 0;
};

// The bracket groups of the held-back tokens, so that a value's walk passes
// a group whole where nothing in it can end the value or change its depth:
// nested assignments A->X = (1, A->X = (...) ELSE 2) ELSE 3 then do not
// walk over the inner ones again for every link. Measured once per line,
// when a walk first meets a group.
struct HeldGroups {
    bool measured = false;
    // For each held token that opens a group: the held token that closes
    // it, npos when none does or a statement end stands between; and the
    // last ELSE inside it (npos when none).
    std::vector<size_t> close;
    std::vector<size_t> lastElse;
    // The held tokens with a ')' owed before them: a group holding one is
    // walked token by token.
    std::set<size_t> owedBefore;
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
    HeldGroups groups;
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
