// The token record every pass works on.
//
// A token is small and held by value: its text lives in the context's text
// pool and the token holds only a reference to it, so a list of millions of
// tokens stays a few times the size of the source.
#pragma once

#include <cstdint>
#include <string_view>

namespace bprep2 {

enum TokenType : int32_t {
    changeline = 0,
    endofline = 1,
    newstatement = 2,
    whitespace = 3,
    maths = 4,
    extract = 5,
    extract_str = 6,
    braces = 7,
    oref_id = 8,
    oref_expression = 9,
    unparsed = 10,
    variable = 11,
    var_no_case = 12,
    system_keyword = 13,
    system_function = 14,
    property_method = 15,
    label = 16,
    comma = 17,
    colon = 18,
    tidle = 19,
    hash = 20,
    atsign = 21,
    equals = 22,
    underscore = 23,
    numeric = 24,
    string = 25,
    null_token = 26,
    endoftype = 27,
};

// Sets of token types as bits, so that a walk classes a token with one
// test instead of a choice among all the types. A type past the set's
// bits (only a corrupt token could have one) is in no set.
constexpr uint32_t typeBit(int32_t type) { return uint32_t{1} << type; }
static_assert(endoftype < 32, "every token type has a bit");
constexpr bool isTypeIn(uint32_t set, uint8_t type) { return type < 32 && (set & typeBit(type)) != 0; }

// Position flags computed when a token is appended by the scanner.
constexpr uint32_t flagAssign = 0x1;
constexpr uint32_t flagLabel = 0x2;
constexpr uint32_t flagFirst = 0x4;

// Where a text lives in the context's text pool.
struct TextRef {
    uint32_t offset = 0;
    uint32_t length = 0;
};

// The token list is the bulk of a run's memory, so a token keeps its text's
// length in two bytes. A text this long or longer has its full length in
// the four bytes before it in the pool instead (the context's storeText
// puts it there).
constexpr uint32_t longText = 0xFFFF;

struct Token {
    int32_t value = 0;
    int32_t column = 0;
    uint32_t textOffset = 0;
    uint16_t textLength = 0;  // up to longText
    uint8_t type = null_token;
    uint8_t flags : 4 = 0;    // the flag bits below
    uint8_t special : 4 = 0;  // a keyword's special code, 0 to 7

    void setText(TextRef ref) {
        textOffset = ref.offset;
        textLength = static_cast<uint16_t>(ref.length >= longText ? longText : ref.length);
    }
    void shareText(const Token& other) {
        textOffset = other.textOffset;
        textLength = other.textLength;
    }
};
static_assert(sizeof(Token) == 16, "a token is sixteen bytes");

// A rewrite that folds an opening bracket into the call text before it (a
// static call's "qObjectStaticMethodN(...", its closing bracket left as it
// was) marks the unparsed token with the bracket as its value, so that the
// passes pairing brackets take the token for the '(' it stands for. The
// value of an unparsed token is written nowhere.
constexpr int32_t foldedOpenBracket = '(';
inline bool isFoldedOpenBracket(const Token& t) { return t.type == unparsed && t.value == foldedOpenBracket; }

// The dump name of a type number; "UNKNOWN" outside 0-27.
std::string_view tokenTypeName(int32_t type);

}  // namespace bprep2
