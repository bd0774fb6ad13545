// The after-line pass's input: the tokens of the line just scanned.
#include "objects/line_input.h"

#include <span>

namespace bprep2 {

namespace {

uint32_t closersOwedBefore(const LineInput& input, size_t index) {
    return input.closersOwed.empty() ? 0 : input.closersOwed[index];
}

// Forgets the line's input, keeping the room its records took for the
// next line's.
void clearInput(LineInput& input) {
    input.tokens.clear();
    input.next = 0;
    input.closersOwed.clear();
    input.groups.measured = false;
    input.groups.close.clear();
    input.groups.lastElse.clear();
    input.groups.owedBefore.clear();
}

}  // namespace

void takeLineAsInput(ObjectLine& line, size_t first) {
    LineInput& input = line.state.input;
    clearInput(input);
    input.tokens.assign(line.tokens.begin() + static_cast<ptrdiff_t>(first), line.tokens.end());
    line.tokens.truncate(first);
}

void writeRestOfInput(ObjectLine& line) {
    LineInput& input = line.state.input;
    if (input.closersOwed.empty()) {
        line.tokens.insert(line.tokens.size(), std::span(input.tokens).subspan(input.next));
    } else {
        while (hasInputLeft(input)) readNextInput(line);
    }
    clearInput(input);
}

bool hasInputLeft(const LineInput& input) {
    return input.next < input.tokens.size() || closersOwedBefore(input, input.tokens.size()) > 0;
}

void readNextInput(ObjectLine& line) {
    LineInput& input = line.state.input;
    if (uint32_t owed = closersOwedBefore(input, input.next)) {
        line.tokens.insert(line.tokens.size(), owed, bracketToken(')'));
        input.closersOwed[input.next] = 0;
    }
    if (input.next < input.tokens.size()) line.tokens.append(input.tokens[input.next++]);
}

bool readInputUpTo(ObjectLine& line, size_t index) {
    while (index >= line.tokens.size() && hasInputLeft(line.state.input)) readNextInput(line);
    return index < line.tokens.size();
}

// The scan past the blanks, and every scan of Reach::Anywhere.
size_t readAheadToSignificant(ObjectLine& line, size_t index, Reach reach) {
    if (index == npos) return npos;
    // Every reach but one decides at the first token that is not blank.
    size_t i = index + 1;
    while (hasTokenAt(line, i) && (blanks.has(line.tokens[i].kind) || reach == Reach::Anywhere)) ++i;
    if (reach == Reach::Anywhere) return nextSignificant(line.tokens, index, reach);
    if (i >= line.tokens.size() || endsScanAhead(line.tokens[i].kind, reach)) return npos;
    return i;
}

}  // namespace bprep2
