// Trailing-comma joins.
#include "tokens/comma_join.h"

namespace bprep2 {

bool continuesStatement(const TokenList& tokens, const CommaJoin& join) {
    return join.stop < tokens.size() && tokens[join.stop].kind != TokenKind::LineMarker &&
           (join.lineEnds < 1 || join.target != npos);
}

size_t joinedStretchEnd(const TokenList& tokens, size_t comma) {
    CommaJoin join = findCommaJoin(tokens, comma);
    return continuesStatement(tokens, join) ? join.stop - 1 : comma;
}

// The line end a join moves the line ends to is the first one after its
// stretch. A later comma before that line end either takes it into its own
// stretch (and moves everything on to a later one, or leaves it where it
// is with what it carries), or has its stretch end before it and moves its
// own line ends there too: so no more than one line end carries lines at
// a time.
void CommaJoins::joinStretchAfter(const TokenList& tokens, size_t comma) {
    const CommaJoin join = findCommaJoin(tokens, comma, [&](size_t i) { return linesAt(i, tokens[i]); });
    stretchEnd_ = join.stop;
    lineEndsMove_ = join.target != npos;
    if (join.target == npos) return;
    if (join.target != target_) {
        target_ = join.target;
        carried_ = 0;
    }
    carried_ += join.lineEnds;
}

void applyCommaJoins(TokenList& tokens) {
    CommaJoins joins;
    for (size_t i = 0; i < tokens.size(); ++i) {
        Token& t = tokens[i];
        if (joins.drops(i, t)) resetToken(t, TokenKind::Deleted);
        else if (t.kind == TokenKind::LineEnd) t.setValue(joins.linesAt(i, t));
        else if (t.kind == TokenKind::Comma) joins.joinAfter(tokens, i);
    }
}

}  // namespace bprep2
