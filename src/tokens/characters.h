// Classes of source characters, the measure of a name, and the reading of
// a decimal number: the one place every stage reads them from. Sources are
// read as bytes; only ASCII letters and digits count as such.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace bprep2 {

constexpr bool isBlank(char c) { return c == ' ' || c == '\t'; }
// A blank or a line-control character (what isspace takes in the C locale).
constexpr bool isSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
constexpr bool isDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool isLowerCaseLetter(char c) { return c >= 'a' && c <= 'z'; }
constexpr bool isUpperCaseLetter(char c) { return c >= 'A' && c <= 'Z'; }
constexpr bool isLetter(char c) { return isLowerCaseLetter(c) || isUpperCaseLetter(c); }
constexpr char toUpperCase(char c) { return isLowerCaseLetter(c) ? static_cast<char>(c - 'a' + 'A') : c; }
constexpr char toLowerCase(char c) { return isUpperCaseLetter(c) ? static_cast<char>(c - 'A' + 'a') : c; }
// The bytes below the blank, and DEL: the tab and the line ends among them.
constexpr char deleteCharacter = '\x7F';
constexpr bool isControlCharacter(char c) { return (c >= '\0' && c < ' ') || c == deleteCharacter; }

// A name starts with a letter or $ and goes on with letters, digits, _, $
// and the dot, unless the dot is the member operator.
constexpr bool isNameStart(char c) { return isLetter(c) || c == '$'; }
constexpr bool isNamePart(char c, bool dotIsMember) {
    return isLetter(c) || isDigit(c) || c == '_' || c == '$' || (c == '.' && !dotIsMember);
}

namespace name_bytes {

// The class of every byte as a name goes on with it, and whether it is a
// lower-case letter: a name without one is its own upper-cased spelling.
constexpr uint8_t part = 1;
constexpr uint8_t partUnlessDotIsMember = 2;
constexpr uint8_t lowerCase = 4;

constexpr std::array<uint8_t, 256> makeTable() {
    std::array<uint8_t, 256> table{};
    for (int c = 0; c < 256; ++c) {
        char ch = static_cast<char>(c);
        if (isNamePart(ch, true)) table[static_cast<size_t>(c)] = part;
        else if (isNamePart(ch, false)) table[static_cast<size_t>(c)] = partUnlessDotIsMember;
        if (isLowerCaseLetter(ch)) table[static_cast<size_t>(c)] |= lowerCase;
    }
    return table;
}

inline constexpr std::array<uint8_t, 256> table = makeTable();

}  // namespace name_bytes

// The name at `pos` in `line`: its length (0 when none starts there), and
// whether it holds a lower-case letter.
struct NameSpan {
    size_t length = 0;
    bool lowerCase = false;
};

namespace name_bytes {

constexpr uint8_t partsWhen(bool dotIsMember) { return dotIsMember ? part : part | partUnlessDotIsMember; }
constexpr uint8_t classOf(char c) { return table[static_cast<unsigned char>(c)]; }
constexpr NameSpan span(size_t length, uint8_t seen) { return {length, (seen & lowerCase) != 0}; }

}  // namespace name_bytes

inline NameSpan measureName(std::string_view line, size_t pos, bool dotIsMember) {
    if (pos >= line.size() || !isNameStart(line[pos])) return {};
    const uint8_t parts = name_bytes::partsWhen(dotIsMember);
    uint8_t seen = name_bytes::classOf(line[pos]);
    size_t end = pos + 1;
    for (; end < line.size(); ++end) {
        uint8_t kind = name_bytes::classOf(line[end]);
        if ((kind & parts) == 0) break;
        seen |= kind;
    }
    return name_bytes::span(end - pos, seen);
}

// Scans of a line held in a string: the NUL every string ends with is no
// blank, digit or name part, so it ends such a scan without a check of the
// line's length at every byte (a byte of the line that is NUL ends it just
// as it would anyway).
inline NameSpan measureNameInString(const std::string& line, size_t pos, bool dotIsMember) {
    if (pos >= line.size() || !isNameStart(line[pos])) return {};
    const uint8_t parts = name_bytes::partsWhen(dotIsMember);
    uint8_t seen = name_bytes::classOf(line[pos]);
    size_t end = pos + 1;
    for (uint8_t kind; ((kind = name_bytes::classOf(line[end])) & parts) != 0; ++end) seen |= kind;
    return name_bytes::span(end - pos, seen);
}

// Past the blanks from `pos` (at most the line's length).
inline size_t pastBlanks(const std::string& line, size_t pos) {
    while (isBlank(line[pos])) ++pos;
    return pos;
}

// Past the digits from `pos` (at most the line's length).
inline size_t pastDigits(const std::string& line, size_t pos) {
    while (isDigit(line[pos])) ++pos;
    return pos;
}

// The decimal number at the start of `text`: an optional sign and digits,
// 0 when there are none. A number beyond the 32-bit range is held to its
// nearest end rather than wrapped.
int32_t saturatingDecimal(std::string_view text);

}  // namespace bprep2
