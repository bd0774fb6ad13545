// The line the after-line pass runs over, held out of the list.
#include "objects/held_line.h"

namespace bprep2 {

namespace {

uint32_t closersOwedBefore(const SourceReader& reader, size_t held) {
    return reader.closersOwed.empty() ? 0 : reader.closersOwed[held];
}

}  // namespace

void holdBackLine(PreprocessorContext& ctx, SourceReader& reader) {
    reader.heldBack.assign(ctx.tokens.begin() + static_cast<ptrdiff_t>(reader.lineFirstToken), ctx.tokens.end());
    reader.heldNext = 0;
    reader.closersOwed.clear();
    ctx.tokens.truncate(reader.lineFirstToken);
}

void giveBackLine(PreprocessorContext& ctx, SourceReader& reader) {
    while (hasHeldTokens(reader)) bringNextHeldToken(ctx, reader);
    reader.heldBack.clear();
    reader.heldNext = 0;
    reader.closersOwed.clear();
}

bool hasHeldTokens(const SourceReader& reader) {
    return reader.heldNext < reader.heldBack.size() || closersOwedBefore(reader, reader.heldBack.size()) > 0;
}

void bringNextHeldToken(PreprocessorContext& ctx, SourceReader& reader) {
    if (uint32_t owed = closersOwedBefore(reader, reader.heldNext)) {
        Token closer;
        closer.kind = TokenKind::Bracket;
        closer.value = ')';
        ctx.tokens.insert(ctx.tokens.size(), owed, closer);
        reader.closersOwed[reader.heldNext] = 0;
    }
    if (reader.heldNext < reader.heldBack.size()) ctx.tokens.append(reader.heldBack[reader.heldNext++]);
}

bool bringHeldTokens(PreprocessorContext& ctx, size_t index) {
    SourceReader* r = ctx.reader;
    while (index >= ctx.tokens.size() && r && hasHeldTokens(*r)) bringNextHeldToken(ctx, *r);
    return index < ctx.tokens.size();
}

size_t nextSignificantBringingIn(PreprocessorContext& ctx, size_t index, Reach reach) {
    if (index == npos) return npos;
    // Every reach but one decides at the first token that is not blank.
    size_t i = index + 1;
    while (hasTokenAt(ctx, i) && (blanks.has(ctx.tokens[i].kind) || reach == Reach::Anywhere)) ++i;
    return nextSignificant(ctx.tokens, index, reach);
}

}  // namespace bprep2
