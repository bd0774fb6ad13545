// The token record every stage works on.
//
// A token is small and held by value: its text lives in the token list's
// text pool and the token holds only a reference to it, so a list of
// millions of tokens stays a few times the size of the source.
#pragma once

#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace bprep2 {

// What a token is. The numbers are the ones the token dump shows.
enum class TokenKind : uint8_t {
    LineMarker = 0,      // a "#line N" marker naming the file and line of what follows; value N
    LineEnd = 1,         // the end of source lines; value: how many
    Separator = 2,       // ';' between two statements
    Blank = 3,           // blanks; value: how many
    Operator = 4,        // + - * / ^ and the like; value: the character
    Bracket = 5,         // ( ) [ ] < >; value: the character
    OperatorText = 6,    // an operator of its own text: "+-", " NE ", " GT "
    Brace = 7,           // { or }; value: the character
    MemberOperator = 8,  // -> or .
    CallName = 9,        // the object runtime call a member reference opens
    Verbatim = 10,       // text written exactly as it stands
    Name = 11,           // a name, its case decided by the writer's name rule
    NameAsWritten = 12,  // a name written exactly as it stands (a keyword used as a name)
    Keyword = 13,        // value: the keyword's flags
    Function = 14,       // a built-in function called; value: its keyword flags
    MemberName = 15,     // the word after a member operator
    Label = 16,
    Comma = 17,
    Colon = 18,
    Tilde = 19,
    Hash = 20,
    At = 21,
    Equals = 22,
    Underscore = 23,
    Number = 24,
    String = 25,
    Deleted = 26,        // writes nothing
    Invalid = 27,        // no token may be of this kind: the writer refuses it
};

constexpr int kindNumber(TokenKind kind) { return static_cast<int>(kind); }

// A set of token kinds. Any byte may be asked about: a kind no token has
// is in no set.
class KindSet {
   public:
    constexpr KindSet(std::initializer_list<TokenKind> kinds) {
        for (TokenKind kind : kinds) members_[static_cast<size_t>(kindNumber(kind))] = true;
    }
    constexpr bool has(TokenKind kind) const { return members_[static_cast<uint8_t>(kind)]; }

   private:
    std::array<bool, 256> members_{};
};

// Position flags computed when the scanner appends a token.
constexpr uint32_t flagAssign = 0x1;
constexpr uint32_t flagLabel = 0x2;
constexpr uint32_t flagFirst = 0x4;
// The column the token was read at is kept in the pool, before its text
// (TokenList::keepColumn): only the few tokens a message may point at keep
// one. Set and read by the token list alone; a new text drops it.
constexpr uint32_t flagColumnKept = 0x8;

// Where a text lives in the token list's text pool.
struct TextRef {
    uint32_t offset = 0;
    uint32_t length = 0;
};

// The token list is the bulk of a run's memory, so a token keeps its text's
// length in two bytes. A text this long or longer has its full length in
// the four bytes before it in the pool instead (TokenList::storeText puts
// it there).
constexpr uint32_t longText = 0xFFFF;

// A token that has both a text and a value keeps the value in the two bytes
// that hold a text's length, and the length in the pool before the text.
// The values such tokens have (a keyword's flags, a folded bracket) have
// bits only where a keyword's flags do: the low six and bits 16 to 23,
// which pack into fourteen bits. A value with bits elsewhere (a line
// marker's line number) is kept in the pool too, before the length.
constexpr uint32_t packableValueBits = 0x00FF003F;
constexpr uint32_t packedLowBits = 0x3F;
constexpr uint32_t packedHighBits = 0x3FC0;
constexpr int packedHighShift = 10;
constexpr uint16_t valueInPoolMark = 0xFFFF;

constexpr bool fitsBesideText(int32_t value) {
    return (static_cast<uint32_t>(value) & ~packableValueBits) == 0;
}
constexpr uint16_t packValue(int32_t value) {
    uint32_t bits = static_cast<uint32_t>(value);
    return static_cast<uint16_t>((bits & packedLowBits) | ((bits >> packedHighShift) & packedHighBits));
}
constexpr int32_t unpackValue(uint16_t packed) {
    return static_cast<int32_t>((packed & packedLowBits) | ((packed & packedHighBits) << packedHighShift));
}
static_assert(packValue(static_cast<int32_t>(packableValueBits)) < valueInPoolMark, "a packed value is not the mark");

// A token's special code takes three bits (Token::special).
constexpr int specialCodeBits = 3;

class TokenList;

// The fields a token keeps are read and changed through the functions
// below, so that how they are laid out is known here and in the token list
// alone. A token with a text may keep its value with the text in the pool:
// its value is then read and changed through the list (TokenList::value,
// TokenList::setValue); Token::value serves the tokens that keep their
// value themselves, which all tokens without a text do.
struct Token {
   private:
    friend class TokenList;

    // The value of a token without a text; the place of its text otherwise.
    uint32_t slot_ = 0;
    // The text's length (0: no text; longText: in the pool), or with
    // valueBeside_ the packed value (valueInPoolMark: in the pool).
    uint16_t lengthOrValue_ = 0;

   public:
    TokenKind kind = TokenKind::Deleted;
    uint8_t flags : 4 = 0;    // the flags above

   private:
    uint8_t valueBeside_ : 1 = 0;  // a text and a value other than 0

   public:
    uint8_t special : specialCodeBits = 0;  // a keyword's special code (tokens/keywords.h)

    bool hasText() const { return valueBeside_ || lengthOrValue_ != 0; }
    // The value of any token but one whose value is kept in the pool
    // (TokenList::value).
    int32_t value() const {
        if (!valueBeside_) return lengthOrValue_ == 0 ? static_cast<int32_t>(slot_) : 0;
        assert(lengthOrValue_ != valueInPoolMark);
        return unpackValue(lengthOrValue_);
    }
    // Any value of a token without a text; a value that fits beside a text
    // of one that has a value already; 0. Others need the pool
    // (TokenList::setValue).
    void setValue(int32_t value) {
        [[maybe_unused]] bool kept = keepValue(value);
        assert(kept);
    }
    // A text stored in the list's pool, given to a token whose value is 0.
    void setText(TextRef ref) {
        assert(value() == 0);
        slot_ = ref.offset;
        lengthOrValue_ = static_cast<uint16_t>(ref.length >= longText ? longText : ref.length);
        valueBeside_ = 0;
        flags &= ~flagColumnKept;
    }
    // The flags of a Keyword or Function token.
    uint32_t keywordFlags() const { return static_cast<uint32_t>(value()); }
    bool hasKeywordFlag(uint32_t flag) const { return (keywordFlags() & flag) != 0; }
    // The character of an Operator, Bracket or Brace token.
    char character() const { return static_cast<char>(value() & 0xFF); }

   private:
    bool keepValue(int32_t value) {
        if (!hasText()) {
            slot_ = static_cast<uint32_t>(value);
            return true;
        }
        if (valueBeside_ && fitsBesideText(value)) {
            lengthOrValue_ = packValue(value);
            return true;
        }
        return !valueBeside_ && value == 0;
    }
    // Where the text's length is: in the pool, before the text.
    bool lengthInPool() const { return valueBeside_ || lengthOrValue_ == longText; }
    bool valueInPool() const { return valueBeside_ && lengthOrValue_ == valueInPoolMark; }
};
static_assert(sizeof(Token) == 8, "a token is eight bytes");

// A fresh token of `kind`: no text, value, flags or special code.
inline void resetToken(Token& token, TokenKind kind) {
    token = Token{};
    token.kind = kind;
}

// A bracket a rewrite inserts: no text, the character as its value. The
// rewrites insert millions of them, so they are built here rather than
// through TokenList::make, which would look for a text to store.
inline Token bracketToken(char bracket) {
    Token token;
    token.kind = TokenKind::Bracket;
    token.setValue(bracket);
    return token;
}

inline bool isBracket(const Token& token, char bracket) {
    return token.kind == TokenKind::Bracket && token.value() == static_cast<unsigned char>(bracket);
}

// A rewrite that folds an opening bracket into the call text before it (a
// static call's "qObjectStaticMethodN(...", its closing bracket left as it
// was) marks the Verbatim token with the bracket as its value, so that the
// passes pairing brackets take the token for the '(' it stands for. The
// value of a Verbatim token is written nowhere.
constexpr int32_t foldedOpenBracket = '(';
inline bool isFoldedOpenBracket(const Token& t) {
    return t.kind == TokenKind::Verbatim && t.value() == foldedOpenBracket;
}

// The dump's name of a kind number; "UNKNOWN" outside 0-27.
std::string_view kindName(int number);

}  // namespace bprep2
