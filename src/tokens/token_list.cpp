// Changing the token list and storing texts in its pool.
#include "tokens/token_list.h"

#include <algorithm>

namespace bprep2 {

Token TokenList::make(TokenKind kind, std::string_view text, int32_t value) {
    Token token;
    token.kind = kind;
    token.setValue(value);
    setText(token, text);
    return token;
}

void TokenList::insert(size_t index, const Token& token) { insert(index, 1, token); }

void TokenList::insert(size_t index, std::span<const Token> tokens) {
    tokens_.insert(std::min(index, size()), tokens.data(), tokens.size());
}

void TokenList::insert(size_t index, size_t copies, const Token& token) {
    tokens_.insert(std::min(index, size()), copies, token);
}

int32_t TokenList::replace(size_t first, size_t last, std::span<const Token> tokens) {
    if (first >= tokens_.size() || last < first) return 0;
    if (last >= tokens_.size()) last = tokens_.size() - 1;
    size_t removed = last - first + 1;
    size_t count = tokens.size();
    size_t shared = std::min(count, removed);
    std::copy(tokens.begin(), tokens.begin() + static_cast<ptrdiff_t>(shared), &tokens_[first]);
    if (count > removed) {
        tokens_.insert(first + shared, tokens.data() + shared, count - shared);
    } else if (removed > count) {
        tokens_.erase(first + shared, first + removed);
    }
    return static_cast<int32_t>(count) - static_cast<int32_t>(removed);
}

void TokenList::truncate(size_t size) {
    if (size < tokens_.size()) tokens_.erase(size, tokens_.size());
}

void TokenList::reset(Token& token, TokenKind kind, std::string_view text) {
    resetToken(token, kind);
    setText(token, text);
}

void TokenList::reserveForSource(size_t bytes) {
    // Growing at least twofold keeps many small members from each copying
    // the whole list.
    auto makeRoom = [](auto& store, size_t more) {
        size_t wanted = store.size() + more;
        if (wanted > store.capacity()) store.reserve(std::max(wanted, 2 * store.capacity()));
    };
    makeRoom(tokens_, bytes);
    // The rewrites add texts of their own (the object runtime's calls).
    makeRoom(pool_, 2 * bytes);
}

void TokenList::keepColumn(Token& t, std::string_view s, int32_t column) {
    if (s.size() >= longText || s.empty()) {
        setText(t, s);
        return;
    }
    placeText(t, s, value(t), column);
}

// A long text has its length written before it.
TextRef TokenList::appendLongText(std::string_view s) {
    checkPoolRoom(sizeof(uint32_t) + s.size());
    std::string copy(s);  // `s` may lie in the pool, which may move as it grows
    uint32_t length = static_cast<uint32_t>(copy.size());
    pool_.append(reinterpret_cast<const char*>(&length), sizeof length);
    TextRef ref{static_cast<uint32_t>(pool_.size()), length};
    pool_.append(copy.data(), copy.size());
    return ref;
}

// Before the text, nearest first: its length (when the token keeps a value
// beside it, or the text is long), the column, the value that does not fit
// beside the text.
void TokenList::placeText(Token& t, std::string_view s, int32_t value, int32_t column) {
    t.valueBeside_ = 0;
    t.flags &= ~flagColumnKept;
    if (s.empty()) {
        t.slot_ = static_cast<uint32_t>(value);
        t.lengthOrValue_ = 0;
        return;
    }
    const bool besideText = value != 0;
    const bool inPool = besideText && !fitsBesideText(value);
    const bool keepsColumn = column != noColumn;
    if (besideText && !inPool && !keepsColumn && hasLengthBefore(s)) {
        t.slot_ = static_cast<uint32_t>(s.data() - pool_.data());
    } else {
        const bool lengthBefore = besideText || s.size() >= longText;
        checkPoolRoom(sizeof(int32_t) * (inPool + keepsColumn + lengthBefore) + s.size());
        std::string copy(s);  // `s` may lie in the pool, which may move as it grows
        if (inPool) appendWord(value);
        if (keepsColumn) appendWord(column);
        if (lengthBefore) appendWord(static_cast<int32_t>(copy.size()));
        t.slot_ = static_cast<uint32_t>(pool_.size());
        pool_.append(copy.data(), copy.size());
    }
    if (keepsColumn) t.flags |= flagColumnKept;
    if (besideText) {
        t.valueBeside_ = 1;
        t.lengthOrValue_ = inPool ? valueInPoolMark : packValue(value);
    } else {
        t.lengthOrValue_ = static_cast<uint16_t>(s.size() >= longText ? longText : s.size());
    }
}

}  // namespace bprep2
