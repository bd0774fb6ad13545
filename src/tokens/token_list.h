// The token list of a run: the tokens, and the text pool their texts live in.
//
// Positions are indexes into the list; "none" is npos. A position stays
// valid only until the next insertion or removal before it, and a text
// view only until the next text is stored.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tokens/large_array.h"
#include "tokens/limits.h"
#include "tokens/token.h"
#include "tokens/words.h"

namespace bprep2 {

constexpr size_t npos = static_cast<size_t>(-1);

class TokenList {
   public:
    using const_iterator = const Token*;

    size_t size() const { return tokens_.size(); }
    bool empty() const { return tokens_.empty(); }
    Token& operator[](size_t index) { return tokens_[index]; }
    const Token& operator[](size_t index) const { return tokens_[index]; }
    Token& back() { return tokens_.back(); }
    const Token& back() const { return tokens_.back(); }
    const_iterator begin() const { return tokens_.begin(); }
    const_iterator end() const { return tokens_.end(); }

    // A token of `kind` with its text stored in the pool, to be put in the
    // list.
    Token make(TokenKind kind, std::string_view text = {}, int32_t value = 0);
    void append(const Token& token) { tokens_.push_back(token); }
    // Before `index`; at the end when index is the size or more.
    void insert(size_t index, const Token& token);
    void insert(size_t index, std::span<const Token> tokens);
    void insert(size_t index, size_t copies, const Token& token);
    // Replaces tokens first..last (inclusive) by `tokens`; returns the
    // change in the list's length.
    int32_t replace(size_t first, size_t last, std::span<const Token> tokens);
    // Drops the tokens from `size` on.
    void truncate(size_t size);
    // Grows or shrinks the list; tokens added at the end are Deleted, for
    // a caller that moves tokens up itself.
    void resize(size_t size) { tokens_.resize(size); }
    // Gives `token` a new kind and text; nothing else of what it was stays.
    void reset(Token& token, TokenKind kind, std::string_view text);

    // Makes room for what a source of `bytes` bytes adds to the list and
    // the pool (a source seldom makes more tokens than it has bytes, or
    // more text than twice its own), so that neither is copied again and
    // again as it grows. Room not used is never touched, so it costs
    // address space only.
    void reserveForSource(size_t bytes);

    std::string_view text(const Token& t) const { return textOf(textRef(t)); }
    // Whether the token's text is `word`, ignoring case.
    bool isWord(const Token& t, std::string_view word) const { return equalIgnoringCase(text(t), word); }
    // Every reference was made by storeText, so it lies inside the pool.
    std::string_view textOf(TextRef ref) const { return std::string_view(pool_.data() + ref.offset, ref.length); }
    TextRef textRef(const Token& t) const {
        if (!t.lengthInPool()) return {t.lengthOrValue_ == 0 ? 0 : t.slot_, t.lengthOrValue_};
        return {t.slot_, static_cast<uint32_t>(wordBefore(t.slot_, 1))};
    }
    // The value of any token, wherever it is kept.
    int32_t value(const Token& t) const {
        if (!t.valueInPool()) return t.value();
        return wordBefore(t.slot_, 2 + ((t.flags & flagColumnKept) != 0));
    }
    // Gives any token a value, its text kept.
    void setValue(Token& t, int32_t value) {
        if (t.keepValue(value)) return;
        std::string copy(text(t));  // the text lies in the pool, which may move as it grows
        placeText(t, copy, value, keptColumn(t));
    }
    // Gives `t` the text of `other`, the text itself not copied when t's
    // value is 0; t's value stays.
    void shareText(Token& t, const Token& other) {
        int32_t kept = value(t);
        if (kept == 0) {
            t.setText(textRef(other));
            return;
        }
        std::string copy(text(other));  // the text lies in the pool, which may move as it grows
        placeText(t, copy, kept, noColumn);
    }
    // A text already in the pool (a token's text handed on to another
    // token) is shared rather than copied, unless it is long: a long text
    // needs its length written before it.
    TextRef storeText(std::string_view s) {
        if (s.empty()) return {};
        if (s.size() < longText && isInPool(s))
            return {static_cast<uint32_t>(s.data() - pool_.data()), static_cast<uint32_t>(s.size())};
        return appendText(s);
    }
    // Gives `t` the text `s`; its value stays, a kept column does not.
    void setText(Token& t, std::string_view s) {
        int32_t kept = value(t);
        if (kept == 0) {
            t.setText(storeText(s));
            return;
        }
        placeText(t, s, kept, noColumn);
    }
    // Gives `t` the text `s` with the column it was read at kept before it,
    // for a message that may point at the token later, when the list has
    // moved it. A text of longText bytes or more keeps no column.
    void keepColumn(Token& t, std::string_view s, int32_t column);
    // The column keepColumn kept; -1 when the token keeps none.
    int32_t keptColumn(const Token& t) const {
        if ((t.flags & flagColumnKept) == 0) return noColumn;
        return wordBefore(t.slot_, 1 + t.lengthInPool());
    }
    // The bytes of every text stored.
    size_t textBytes() const { return pool_.size(); }

   private:
    static constexpr int32_t noColumn = -1;

    // The n-th four bytes before `offset` in the pool, counted from 1: what
    // a text keeps before it (its length, a column, a value), nearest first.
    int32_t wordBefore(uint32_t offset, int n) const {
        int32_t word = 0;
        std::memcpy(&word, pool_.data() + offset - n * sizeof word, sizeof word);
        return word;
    }
    bool isInPool(std::string_view s) const {
        const char* pool = pool_.data();
        return s.data() >= pool && s.data() + s.size() <= pool + pool_.size();
    }
    TextRef appendText(std::string_view s) {
        if (s.size() >= longText) return appendLongText(s);
        checkPoolRoom(s.size());
        TextRef ref{static_cast<uint32_t>(pool_.size()), static_cast<uint32_t>(s.size())};
        pool_.append(s.data(), s.size());
        return ref;
    }
    TextRef appendLongText(std::string_view s);
    // Gives `t` the text `s` with what it keeps before it in the pool: its
    // value other than 0, a column other than noColumn.
    void placeText(Token& t, std::string_view s, int32_t value, int32_t column);
    // A text with its length already before it in the pool, as a keyword's
    // text written again has: a token with a value beside it shares it.
    bool hasLengthBefore(std::string_view s) const {
        if (!isInPool(s) || s.data() < pool_.data() + sizeof(uint32_t)) return false;
        uint32_t length = 0;
        std::memcpy(&length, s.data() - sizeof length, sizeof length);
        return length == s.size();
    }
    // A token holds its text's place and length in 32 bits: a pool that
    // would grow past that ends the run rather than wrap.
    void checkPoolRoom(size_t more) const {
        if (more > maxTextPoolBytes - pool_.size()) exceedLimit("Token text", maxTextPoolBytes, "bytes");
    }
    void appendWord(int32_t word) { pool_.append(reinterpret_cast<const char*>(&word), sizeof word); }

    LargeArray<Token> tokens_;
    LargeArray<char> pool_;
};

}  // namespace bprep2
