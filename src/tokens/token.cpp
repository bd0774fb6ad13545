// The token dump's names of the kinds: the spellings it has always shown,
// kept as data apart from the names the code uses.
#include "tokens/token.h"

#include <array>

#include "tokens/keywords.h"

namespace bprep2 {

namespace {

constexpr std::array<std::string_view, 28> dumpNames = {
    "changeline", "endofline",    "newstatement",    "whitespace",   "maths",
    "extract",    "extract_str",  "braces",          "oref_id",      "oref_expression",
    "unparsed",   "variable",     "var_no_case",     "system_keyword", "system_function",
    "property/method", "label",   "comma ,",         "colon :",      "tidle ~",
    "hash #",     "atsign @",     "equals =",        "underscore _", "numeric",
    "string",     "(null)",       "endoftype",
};

static_assert(dumpNames.size() == kindNumber(TokenKind::Invalid) + 1, "a dump name for every kind");
static_assert(specialNoResolve < (1 << specialCodeBits), "every special code fits a token");

}  // namespace

std::string_view kindName(int number) {
    if (number < 0 || number >= static_cast<int>(dumpNames.size())) return "UNKNOWN";
    return dumpNames[static_cast<size_t>(number)];
}

}  // namespace bprep2
