// Object syntax: member references, static calls, METHOD and NEW.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "objects/object_state.h"

namespace bprep2 {

// The text of a member name read right after a member operator: a view of
// the name in the token list's pool, where it is stored between double
// quotes, so that the rewrite quoting the member takes those bytes as they
// are and stores nothing. A name used again shares the quoted text stored
// for it. The view is good until the next text is stored.
std::string_view memberNameText(ObjectState& state, TokenList& tokens, std::string_view name);

// The text of a member operator read at `column` of the line being
// scanned: its spelling, stored once per run. The column is kept for a
// message about the operator while the line's rewrites run.
inline std::string_view memberOperatorText(ObjectState& state, TokenList& tokens, std::string_view spelling,
                                           int32_t column) {
    state.operatorColumns.push_back(column);
    TextRef& stored = state.operatorTexts[spelling == "->" ? 0 : 1];
    if (stored.length == 0) stored = tokens.storeText(spelling);
    return tokens.textOf(stored);
}

// Returns the index the after-line pass goes on from (it adds 1). Object
// syntax met with the extensions off abandons the attempt
// (ObjectSyntaxRestart) when the restart option allows.
size_t rewriteObjectSyntax(ObjectLine& line, size_t index);

// Opens the calls a chain of member reads still owes; the after-line pass
// calls it when it has been over the whole line.
void finishMemberChain(ObjectLine& line);

// `count` ')' tokens that go before list position `before`.
struct CloserInsertion {
    size_t before = 0;
    size_t count = 0;
};

// The ')' of member assignments a trailing comma left open
// (OpenAssignments), for the line from `first` to the end of the list,
// which goes on with their statement: they go where the statement ends on
// it, or, in a THEN clause, right after the value where an ELSE outside
// its brackets ends it (`afterComma`, right after the trailing comma, when
// the ELSE comes first). Those the line leaves open with a trailing comma
// of its own stay in `open`. The places come in list order.
std::vector<CloserInsertion> closeOnContinuedLine(const TokenList& tokens, OpenAssignments& open,
                                                  size_t afterComma, size_t first);

}  // namespace bprep2
