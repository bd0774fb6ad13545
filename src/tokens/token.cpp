// Dump names of the token types.
#include "tokens/token.h"

#include <array>

namespace bprep2 {

namespace {

constexpr std::array<std::string_view, 28> typeNames = {
    "changeline", "endofline",    "newstatement",    "whitespace",   "maths",
    "extract",    "extract_str",  "braces",          "oref_id",      "oref_expression",
    "unparsed",   "variable",     "var_no_case",     "system_keyword", "system_function",
    "property/method", "label",   "comma ,",         "colon :",      "tidle ~",
    "hash #",     "atsign @",     "equals =",        "underscore _", "numeric",
    "string",     "(null)",       "endoftype",
};

}  // namespace

std::string_view tokenTypeName(int32_t type) {
    if (type < 0 || type >= static_cast<int32_t>(typeNames.size())) return "UNKNOWN";
    return typeNames[static_cast<size_t>(type)];
}

}  // namespace bprep2
