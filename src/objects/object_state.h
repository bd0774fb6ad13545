// What object rewriting keeps while it runs over the lines of a run, and
// what one line's rewrites work on.
#pragma once

#include <array>
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

// The calls of the object runtime the rewrites open.
enum class RuntimeCall : uint8_t { Get, Set, Method, NewObject, NewArray };
constexpr size_t runtimeCallCount = 5;

// The member chain. It remembers the chain of member reads and method
// calls A->B->M(1)->C... being read on the line: where its first call opens
// (`head`), where its latest link ends, and the calls of the later links,
// not opened yet. Every link's call opens where the first link's does, in
// the output already written; walking back there and inserting for each
// link would cross and move the whole chain again for every link. What
// keeps it right: a reference goes
// on with the chain only where the walk back from it would surely arrive at
// the head (it follows the latest link's closing bracket, across arguments
// that close nested); any other reference, an assignment, or the line's end
// opens the waiting calls at the head, outermost first, which leaves the
// list exactly as one link at a time would (member_reference.cpp). A chain
// whose latest call's arguments hold a reference of their own is set aside
// (ObjectState::setAsideChains) and goes on when its arguments close.
struct MemberChain {
    size_t head = 0;     // index of the first link's call name
    size_t lastEnd = 0;  // the latest link's closing ')', or for a method
                         // call the (deleted) '(' of its arguments
    bool lastIsCall = false;
    std::vector<RuntimeCall> waiting;  // calls still to be opened at `head`, innermost first
    bool open = false;   // a member operator right after the latest link continues it
    bool regular = true; // every call's arguments in it close nested (see settleChains)

    // A new chain whose first call opens at `at`, keeping the room the
    // waiting calls took: nearly every line starts a chain or two.
    void restart(size_t at) {
        head = at;
        lastEnd = 0;
        lastIsCall = false;
        waiting.clear();
        open = false;
        regular = true;
    }
};

// The assignment memo. It remembers where the latest member assignment's
// value on the line ended among the input tokens (LineInput): at the
// statement end or at an ELSE (`stop`, none when not among them), with its
// ')' owed before input token `closer`, and that the input tokens from
// `clean` to `stop` hold no ELSE; and it marks the commas that were the
// assignments' '='. In chained assignments A->X = B->Y = ... = 1 every value
// runs to the same end, ahead of the reading, and walking there, and back
// to the statement's start for the assignment test, for every link would
// be quadratic. What
// keeps it right: the input tokens are only read, never changed, so a later
// value of the statement that reaches `clean` meets nothing that ends it
// before `stop`; it ends there at once before a statement end, and before an
// ELSE only when it is not inside brackets there, which `inputDepth` (the
// bracket depth before each input token, made when a value first ends at an
// ELSE or at a line end a trailing comma leaves open) tells. No rewrite puts
// an '=' or a keyword before a marked comma, so the assignment test that
// meets one would find what that assignment's test found. The memo and the
// marks go when the line is done (finishMemberChain).
struct AssignmentChain {
    static constexpr size_t none = static_cast<size_t>(-1);
    size_t stop = none;
    bool stopIsElse = false;
    // The value did not end: the line ends after a trailing comma, and the
    // statement goes on with the next line (OpenAssignments).
    bool statementOpen = false;
    size_t closer = 0;
    size_t clean = 0;
    std::vector<int64_t> inputDepth;
    size_t markedCommas = 0;

    // Forgets the line's memo, keeping the room the depths took.
    void clear() {
        stop = none;
        stopIsElse = false;
        statementOpen = false;
        closer = 0;
        clean = 0;
        inputDepth.clear();
        markedCommas = 0;
    }
};

// The bracket groups of the input tokens. For each input token that opens
// a group it remembers the token that closes it (npos when none does, or a
// statement end stands between) and the last ELSE inside it; and which
// input tokens have a ')' owed before them. Nested assignments
// A->X = (1, A->X = (...) ELSE 2) ELSE 3 each end at their own ELSE, past the
// inner ones, and a value's walk token by token would cross every inner
// link again for every link. What keeps it right: a walk passes a group
// whole only when it stands at depth 0 or deeper inside the value, so that
// every ELSE in the group is inside the value's brackets, and when no ')'
// is owed inside it; the input tokens never change. Measured once per
// line, when a walk first meets a group.
struct InputGroups {
    bool measured = false;
    std::vector<size_t> close;
    std::vector<size_t> lastElse;
    std::set<size_t> owedBefore;
};

// The ')' of member assignments whose statement a trailing comma leaves
// open at the end of a line. The writer joins the lines that go on with the
// statement onto it, so the value runs on there; each ')' is kept with the
// bracket depth its value had reached, less `shift`, which follows the
// depth of the lines that go on with the statement (before an ELSE the
// shallowest values close first). What keeps it right: the line loop hands
// them to each line that goes on with the statement before that line's own
// pass (closeOnContinuedLine), and closes them right after the comma when a
// line marker or the end of the source comes first, so none is left open.
struct OpenAssignments {
    std::priority_queue<int64_t, std::vector<int64_t>, std::greater<int64_t>> depths;
    int64_t shift = 0;

    bool empty() const { return depths.empty(); }
};

// The after-line pass's input (line_input.h): the line's tokens not read
// yet, tokens[next] the next. `closersOwed` holds the ')' of assignments
// owed before tokens[i], or after the last one at [tokens.size()] (empty
// when none is): an assignment's call closes at the end of its statement,
// and writing the ')' there at once would read the whole statement into the
// list, where every later insertion before it would move it again. What
// keeps it right: the input is read once, in order, and a ')' is owed only
// before a token not read yet; it is written as the reading gets there.
struct LineInput {
    std::vector<Token> tokens;
    size_t next = 0;
    std::vector<uint32_t> closersOwed;
    InputGroups groups;
};

// The quoted member names stored so far, so that a member named again
// shares its quoted text: a program names the same few members over and
// over, and quoting each use anew was a text in the pool for every member
// reference. One place per hash of the name, the latest name to land there
// kept; the room is taken at the first member quoted. A place keeps the
// name's key beside its text (member_reference.cpp): a name of up to
// `keyedLength` bytes is told apart by its key and length alone, without
// reading the pool.
struct QuotedNames {
    static constexpr size_t places = 1024;
    static constexpr size_t keyedLength = 8;
    struct Place {
        uint64_t key = 0;
        TextRef quoted;
    };
    std::vector<Place> stored;
};

struct ObjectState {
    // A rewrite made a call of the object runtime: the writer puts the
    // runtime's declarations first.
    bool runtimeUsed = false;
    // Where each runtime call's name lies in the pool, once stored: a
    // program full of member references names the calls millions of times,
    // and storing the name with every call made them most of the pool.
    std::array<TextRef, runtimeCallCount> callNames{};
    // Where the member operators' spellings lie in the pool ("->" first,
    // then "."), once stored.
    std::array<TextRef, 2> operatorTexts{};
    // The columns the member operators of the line being scanned were read
    // at, in the order read, for a message about one: kept in the pool with
    // each operator's token, they were bytes there for every reference of
    // a run. Forgotten when the line is done (finishMemberChain).
    std::vector<int32_t> operatorColumns;
    QuotedNames quotedNames;
    MemberChain memberChain;
    // Chains whose latest call's arguments hold references of their own,
    // innermost last; each goes on when its arguments close.
    std::vector<MemberChain> setAsideChains;
    AssignmentChain assignmentChain;
    LineInput input;
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
