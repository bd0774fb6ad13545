// A statement left open by a trailing comma goes on after it: the writer
// takes the blanks, separators and line ends after the comma (the stretch)
// onto the comma's line, drops the separators, and writes the stretch's
// line ends at the next line end instead, so that the lines after it keep
// their numbers. A line end never moves across a line marker: when one
// comes before that line end (or the list ends first), the line ends stay
// where they are and the statement is not continued.
#pragma once

#include <cstddef>
#include <cstdint>

#include "tokens/token_list.h"
#include "tokens/token_sets.h"

namespace bprep2 {

struct CommaJoin {
    size_t stop = 0;       // the first token after the stretch, or the list's size
    size_t target = npos;  // the line end that takes the stretch's line ends; npos: they stay
    int64_t lineEnds = 0;  // the lines the stretch's line ends stand for
};

// The join after the comma at `comma`; `linesAt(i)` is the count of the
// line end at i.
template <typename LinesAt>
CommaJoin findCommaJoin(const TokenList& tokens, size_t comma, LinesAt&& linesAt) {
    CommaJoin join;
    join.stop = comma + 1;
    while (join.stop < tokens.size() && commaJoinFillers.has(tokens[join.stop].kind)) {
        if (tokens[join.stop].kind == TokenKind::LineEnd) join.lineEnds += linesAt(join.stop);
        ++join.stop;
    }
    if (join.lineEnds < 1) return join;
    for (size_t i = join.stop; i < tokens.size() && tokens[i].kind != TokenKind::LineMarker; ++i) {
        if (tokens[i].kind == TokenKind::LineEnd) {
            join.target = i;
            break;
        }
    }
    return join;
}

inline CommaJoin findCommaJoin(const TokenList& tokens, size_t comma) {
    return findCommaJoin(tokens, comma, [&tokens](size_t i) { return tokens[i].value(); });
}

// Whether the statement goes on, on the comma's output line, after the stretch.
bool continuesStatement(const TokenList& tokens, const CommaJoin& join);

// The last token of the stretch after `comma` when the statement goes on
// after it (its separators and line ends then end neither the statement
// nor its line), else the comma itself.
size_t joinedStretchEnd(const TokenList& tokens, size_t comma);

// The joins of a list read in order, as the writer makes them, leaving the
// list as it is. Each join is found on the list as the joins before it
// left it: a line end that took the line ends of a stretch counts them
// when a later stretch takes it in turn. So the line ends a join moves are
// carried to the next line end that is not joined away.
class CommaJoins {
   public:
    // Called at every comma, in list order. Most commas are followed by
    // blanks and then a token no stretch holds: such a comma joins nothing,
    // and every token an earlier join may drop lies before it, so the joins
    // stay as they were.
    void joinAfter(const TokenList& tokens, size_t comma) {
        if (!joinsNothing(tokens, comma)) joinStretchAfter(tokens, comma);
    }
    // Whether the token at `index` (after the last comma met) is dropped:
    // a separator of the stretch, or one of its line ends when they move.
    bool drops(size_t index, const Token& t) const {
        if (index >= stretchEnd_) return false;
        return t.kind == TokenKind::Separator || (t.kind == TokenKind::LineEnd && lineEndsMove_);
    }
    // The lines the line end at `index` stands for, those carried to it included.
    int32_t linesAt(size_t index, const Token& t) const {
        return index == target_ ? static_cast<int32_t>(t.value() + carried_) : t.value();
    }

   private:
    static bool joinsNothing(const TokenList& tokens, size_t comma) {
        size_t i = comma + 1;
        while (i < tokens.size() && tokens[i].kind == TokenKind::Blank) ++i;
        return i == tokens.size() || !commaJoinFillers.has(tokens[i].kind);
    }
    void joinStretchAfter(const TokenList& tokens, size_t comma);

    size_t stretchEnd_ = 0;
    bool lineEndsMove_ = false;
    size_t target_ = npos;
    int64_t carried_ = 0;
};

// Makes the joins in the list itself: what the token dump shows, after the
// program text is written, as the list the writer wrote.
void applyCommaJoins(TokenList& tokens);

}  // namespace bprep2
