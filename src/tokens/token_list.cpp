// The token list operations every pass shares.
//
// appendToken is where the statement state of the current source is kept:
// it decides, for every token the scanner makes, whether it is the first of
// its statement, whether an assignment target may stand there, and whether
// it is a label. The scans never leave the list and return npos for none.
#include "tokens/token_list.h"

#include <algorithm>

namespace bprep2 {

namespace {

unsigned char upperAscii(unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c; }

bool isLineBoundary(uint8_t type) { return type == changeline || type == endofline || type == label; }

}  // namespace

// Words after which a new statement (and an assignment target) may start:
// THEN, ELSE, LOOP and DO.
bool isOpenerWord(std::string_view text, bool exact) {
    auto is = [&](std::string_view word) { return exact ? text == word : equalsIgnoreCase(text, word) == 0; };
    switch (text.size()) {
        case 2: return is("DO");
        case 4: return is("THEN") || is("ELSE") || is("LOOP");
        default: return false;
    }
}

void reserveForSource(PreprocessorContext& ctx, size_t bytes) {
    // Growing at least twofold keeps many small members from each copying
    // the whole list.
    auto makeRoom = [](auto& store, size_t more) {
        size_t wanted = store.size() + more;
        if (wanted > store.capacity()) store.reserve(std::max(wanted, 2 * store.capacity()));
    };
    makeRoom(ctx.tokens, bytes);
    // The rewrites add texts of their own (the object runtime's calls).
    makeRoom(ctx.textPool, 2 * bytes);
}

void insertToken(PreprocessorContext& ctx, size_t index, int32_t type, std::string_view text, int32_t value) {
    Token t;
    t.type = static_cast<uint8_t>(type);
    t.value = value;
    ctx.setText(t, text);
    if (index > ctx.tokens.size()) index = ctx.tokens.size();
    ctx.tokens.insert(ctx.tokens.begin() + static_cast<ptrdiff_t>(index), t);
}

void resetToken(Token& token, int32_t type) {
    token = Token{};
    token.type = static_cast<uint8_t>(type);
}

void resetToken(PreprocessorContext& ctx, Token& token, int32_t type, std::string_view text) {
    resetToken(token, type);
    ctx.setText(token, text);
}

int32_t replaceTokens(PreprocessorContext& ctx, const Token* newTokens, size_t count, size_t first, size_t last) {
    auto& list = ctx.tokens;
    if (first >= list.size() || last < first) return 0;
    if (last >= list.size()) last = list.size() - 1;
    size_t removed = last - first + 1;
    size_t shared = std::min(count, removed);
    std::copy(newTokens, newTokens + shared, list.begin() + static_cast<ptrdiff_t>(first));
    if (count > removed) {
        list.insert(list.begin() + static_cast<ptrdiff_t>(first + shared), newTokens + shared, newTokens + count);
    } else if (removed > count) {
        list.erase(list.begin() + static_cast<ptrdiff_t>(first + shared),
                   list.begin() + static_cast<ptrdiff_t>(first + removed));
    }
    return static_cast<int32_t>(count) - static_cast<int32_t>(removed);
}

namespace {

uint32_t closersOwedBefore(const SourceReader& reader, size_t held) {
    return reader.closersOwed.empty() ? 0 : reader.closersOwed[held];
}

}  // namespace

bool hasHeldTokens(const SourceReader& reader) {
    return reader.heldNext < reader.heldBack.size() || closersOwedBefore(reader, reader.heldBack.size()) > 0;
}

void bringNextHeldToken(PreprocessorContext& ctx, SourceReader& reader) {
    if (uint32_t owed = closersOwedBefore(reader, reader.heldNext)) {
        Token closer;
        closer.type = extract;
        closer.value = ')';
        ctx.tokens.insert(ctx.tokens.end(), owed, closer);
        reader.closersOwed[reader.heldNext] = 0;
    }
    if (reader.heldNext < reader.heldBack.size()) ctx.tokens.push_back(reader.heldBack[reader.heldNext++]);
}

bool bringHeldTokens(PreprocessorContext& ctx, size_t index) {
    SourceReader* r = ctx.reader;
    while (index >= ctx.tokens.size() && r && hasHeldTokens(*r)) bringNextHeldToken(ctx, *r);
    return index < ctx.tokens.size();
}

size_t significantAfter(PreprocessorContext& ctx, size_t index, int mode) {
    if (index == npos) return npos;
    // Every mode but one decides at the first token that is not blank.
    size_t i = index + 1;
    while (hasTokenAt(ctx, i) && (isBlankType(ctx.tokens[i].type) || mode == modeAnywhere)) ++i;
    if (index + 1 >= ctx.tokens.size()) return npos;
    return nextSignificant(ctx, index + 1, mode);
}

bool continuesStatement(const PreprocessorContext& ctx, const CommaJoin& join) {
    return join.stop < ctx.tokens.size() && ctx.tokens[join.stop].type != changeline &&
           (join.lineEnds < 1 || join.target != npos);
}

size_t joinedStretchEnd(const PreprocessorContext& ctx, size_t comma) {
    CommaJoin join = findCommaJoin(ctx, comma);
    return continuesStatement(ctx, join) ? join.stop - 1 : comma;
}

size_t nextSignificant(const PreprocessorContext& ctx, size_t index, int mode) {
    const auto& list = ctx.tokens;
    for (size_t i = index; i < list.size(); ++i) {
        uint8_t type = list[i].type;
        if (isBlankType(type)) continue;
        if (mode == modeAnywhere) {
            if (isLineBoundary(type) || type == newstatement) continue;
            return i;
        }
        if (isLineBoundary(type)) return npos;
        if (mode == modeSameStatement && type == newstatement) return npos;
        return i;
    }
    return npos;
}

size_t previousSignificant(const PreprocessorContext& ctx, size_t index, int mode) {
    const auto& list = ctx.tokens;
    if (index >= list.size()) return npos;
    return previousSignificantIn(ctx, index, mode, [&list](size_t i) -> const Token& { return list[i]; });
}

void pointAtToken(PreprocessorContext& ctx, size_t index) {
    if (ctx.reader && index < ctx.tokens.size()) ctx.reader->scanPos = ctx.tokens[index].column;
}

int32_t sameWord(const PreprocessorContext& ctx, std::string_view a, std::string_view b) {
    if (ctx.caseSensitive()) return a == b ? 0 : 1;
    return equalsIgnoreCase(a, b);
}

int32_t equalsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return 1;
    for (size_t i = 0; i < a.size(); ++i)
        if (upperAscii(static_cast<unsigned char>(a[i])) != upperAscii(static_cast<unsigned char>(b[i]))) return 1;
    return 0;
}

std::string upperCased(std::string_view s) {
    std::string buffer;
    return std::string(upperCased(s, buffer));
}

std::string_view upperCased(std::string_view s, std::string& buffer) {
    // Programs are mostly written in upper case, and such a word is its own
    // upper-cased form: it needs no copy.
    size_t lower = 0;
    while (lower < s.size() && !(s[lower] >= 'a' && s[lower] <= 'z')) ++lower;
    if (lower == s.size()) return s;
    buffer.assign(s);
    for (size_t i = lower; i < s.size(); ++i)
        buffer[i] = static_cast<char>(upperAscii(static_cast<unsigned char>(s[i])));
    return buffer;
}

std::string_view lookupSpelling(const PreprocessorContext& ctx, std::string_view word, std::string& buffer) {
    return ctx.caseSensitive() ? word : upperCased(word, buffer);
}

bool isStatementOpener(const PreprocessorContext& ctx, const Token& t) {
    return t.type == system_keyword && isOpenerWord(ctx.text(t), false);
}

}  // namespace bprep2
