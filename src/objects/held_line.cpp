// The line the after-line pass runs over, held out of the list.
#include "objects/held_line.h"

namespace bprep2 {

namespace {

uint32_t closersOwedBefore(const HeldLine& held, size_t index) {
    return held.closersOwed.empty() ? 0 : held.closersOwed[index];
}

}  // namespace

void holdBackLine(ObjectLine& line, size_t first) {
    HeldLine& held = line.state.held;
    held.tokens.assign(line.tokens.begin() + static_cast<ptrdiff_t>(first), line.tokens.end());
    held.next = 0;
    held.closersOwed.clear();
    held.groups = HeldGroups{};
    line.tokens.truncate(first);
}

void giveBackLine(ObjectLine& line) {
    HeldLine& held = line.state.held;
    while (hasHeldTokens(held)) bringNextHeldToken(line);
    held.tokens.clear();
    held.next = 0;
    held.closersOwed.clear();
    held.groups = HeldGroups{};
}

bool hasHeldTokens(const HeldLine& held) {
    return held.next < held.tokens.size() || closersOwedBefore(held, held.tokens.size()) > 0;
}

void bringNextHeldToken(ObjectLine& line) {
    HeldLine& held = line.state.held;
    if (uint32_t owed = closersOwedBefore(held, held.next)) {
        Token closer;
        closer.kind = TokenKind::Bracket;
        closer.value = ')';
        line.tokens.insert(line.tokens.size(), owed, closer);
        held.closersOwed[held.next] = 0;
    }
    if (held.next < held.tokens.size()) line.tokens.append(held.tokens[held.next++]);
}

bool bringHeldTokens(ObjectLine& line, size_t index) {
    while (index >= line.tokens.size() && hasHeldTokens(line.state.held)) bringNextHeldToken(line);
    return index < line.tokens.size();
}

size_t nextSignificantBringingIn(ObjectLine& line, size_t index, Reach reach) {
    if (index == npos) return npos;
    // Every reach but one decides at the first token that is not blank.
    size_t i = index + 1;
    while (hasTokenAt(line, i) && (blanks.has(line.tokens[i].kind) || reach == Reach::Anywhere)) ++i;
    return nextSignificant(line.tokens, index, reach);
}

}  // namespace bprep2
