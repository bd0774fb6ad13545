// The language's built-in keyword table and @-variable names.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace bprep2 {

struct KeywordEntry {
    std::string_view name;
    uint32_t flags = 0;
    uint32_t special = 0;  // a special code below, or 0
};

// Keyword flag bits.
constexpr uint32_t kwKeyword = 0x1;
constexpr uint32_t kwFunction1 = 0x2;
constexpr uint32_t kwFunction2 = 0x4;
constexpr uint32_t kwFunction3 = 0x8;
constexpr uint32_t kwArgs = 0x10;
constexpr uint32_t kwThenElse = 0x20;
constexpr uint32_t kwObject = 0x10000;
constexpr uint32_t kwBlock = 0x20000;
constexpr uint32_t kwDebug = 0x40000;
constexpr uint32_t kwError = 0x80000;
constexpr uint32_t kwTclread = 0x100000;
constexpr uint32_t kwDeclaration = 0x200000;
constexpr uint32_t kwDimension = 0x400000;
constexpr uint32_t kwCallLike = 0x800000;
constexpr uint32_t kwAnyFunction = kwFunction1 | kwFunction2 | kwFunction3;
// Keywords the after-line pass acts on: object words and the words that
// declare names.
constexpr uint32_t kwForLinePass = kwObject | kwDeclaration | kwDimension | kwCallLike;

// Special codes carried by tokens (Token::special).
constexpr int32_t specialDeffun = 1;
constexpr int32_t specialStop = 2;
constexpr int32_t specialQuolt = 3;
constexpr int32_t specialFile = 4;
constexpr int32_t specialSystem = 5;
constexpr int32_t specialDevelopment = 6;
constexpr int32_t specialNoResolve = 7;  // the statement pass leaves NAME(...) after this name alone

// Codes 1 to 6 ask for a rewrite of their own at the end of the statement pass.
constexpr bool isRewrittenSpecial(int32_t special) {
    return special >= specialDeffun && special <= specialDevelopment;
}

// All 468 rows, in table order.
std::span<const KeywordEntry> keywordTable();

// The 51 @-variable names.
std::span<const std::string_view> atVariableNames();

}  // namespace bprep2
