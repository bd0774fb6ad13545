// The kinds of token that end what a walk reads, one named set for each
// meaning; every walk that means one of them uses its set.
#pragma once

#include "tokens/token.h"

namespace bprep2 {

// Passed over by every scan for a significant token.
inline constexpr KindSet blanks{TokenKind::Blank, TokenKind::Deleted};

// A new statement begins after each: the boundaries the scanner counts
// statements by, and after which a continuation's line ends go.
inline constexpr KindSet statementBoundaries{TokenKind::LineMarker, TokenKind::LineEnd, TokenKind::Separator};

// A walk inside one statement stops at each: the statement boundaries, and
// a label, which begins a line of its own.
inline constexpr KindSet statementEnds{TokenKind::LineMarker, TokenKind::LineEnd, TokenKind::Separator,
                                       TokenKind::Label};

// A walk along one line, across its separators, stops at each.
inline constexpr KindSet lineBoundaries{TokenKind::LineMarker, TokenKind::LineEnd, TokenKind::Label};

// What a trailing comma joins onto its line (tokens/comma_join.h).
inline constexpr KindSet commaJoinFillers{TokenKind::LineEnd, TokenKind::Separator, TokenKind::Blank};

}  // namespace bprep2
