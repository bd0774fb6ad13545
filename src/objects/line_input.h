// The after-line pass's input: the tokens of the line just scanned.
//
// The pass reads the line's tokens one by one and appends each to the list,
// its output, as it (or a rewrite's scan reading ahead) reaches it
// (ObjectState::input holds those not read yet). A rewrite then inserts only
// among the few tokens already written after the place it inserts at, and
// an assignment's ')' for a place ahead waits with the input until the
// reading gets there (LineInput::closersOwed), so a long line, or a long
// statement, full of object references stays linear. A short line is left
// in the list (line_loop.cpp): its input is empty, as if read whole.
#pragma once

#include <cstddef>

#include "objects/object_state.h"
#include "tokens/scans.h"

namespace bprep2 {

// Takes the tokens of the list from `first` on out of the list as the
// pass's input.
void takeLineAsInput(ObjectLine& line, size_t first);
// Writes whatever the pass did not read to the list.
void writeRestOfInput(ObjectLine& line);
inline void keepRestOfInput(ObjectLine& line) {
    // A line rewritten where it stands was never taken out.
    const LineInput& input = line.state.input;
    if (!input.tokens.empty() || !input.closersOwed.empty()) writeRestOfInput(line);
}

// Whether an input token, or a ')' owed after the last one, is still to be read.
bool hasInputLeft(const LineInput& input);
// Reads the next input token into the list, after the ')' owed before it
// (or the ')' owed after the last one).
void readNextInput(ObjectLine& line);
// Reads input tokens into the list until it has a token at `index`, or
// none is left; whether it has.
bool readInputUpTo(ObjectLine& line, size_t index);

// Whether the list has a token at `index`, reading input up to it. Nearly
// every read is of the one input token after the list's end with no ')'
// owed before it, the common case done here (the pass reads every token of
// the line this way).
inline bool hasTokenAt(ObjectLine& line, size_t index) {
    if (index < line.tokens.size()) return true;
    LineInput& input = line.state.input;
    if (index == line.tokens.size() && input.next < input.tokens.size() && input.closersOwed.empty()) {
        line.tokens.append(input.tokens[input.next++]);
        return true;
    }
    return readInputUpTo(line, index);
}

size_t readAheadToSignificant(ObjectLine& line, size_t index, Reach reach);

// nextSignificant, reading as many input tokens as the scan looks at. A
// rewrite asks for the token right after one it has, which is nearly
// always significant: that case is decided here.
inline size_t nextSignificantReading(ObjectLine& line, size_t index, Reach reach) {
    if (index == npos || reach == Reach::Anywhere || !hasTokenAt(line, index + 1))
        return readAheadToSignificant(line, index, reach);
    TokenKind kind = line.tokens[index + 1].kind;
    if (blanks.has(kind)) return readAheadToSignificant(line, index + 1, reach);
    return endsScanAhead(kind, reach) ? npos : index + 1;
}

}  // namespace bprep2
