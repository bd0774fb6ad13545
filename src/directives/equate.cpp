// The EQUATE statement (EQU for short): NAME TO text, NAME LIT text and
// NAME LITERALLY text, in comma-separated lists.
//
// Produces no tokens; it only fills the equate table that the scanner
// substitutes from. A value ends at a ',' or ';' outside brackets and
// quotes; an unterminated quote runs to the end of the line and never past
// it. On return the scan position rests on the ';' or at the line end.
#include <string>

#include "directives/directive_steps.h"
#include "tokens/words.h"

namespace bprep2 {

namespace {

enum class EquateForm { Invalid, Plain, Literal };

EquateForm equateForm(std::string_view word, bool caseSensitive) {
    if (sameWord(word, "TO", caseSensitive)) return EquateForm::Plain;
    if (sameWord(word, "LIT", caseSensitive) || sameWord(word, "LITERALLY", caseSensitive)) return EquateForm::Literal;
    return EquateForm::Invalid;
}

[[noreturn]] void invalidEquate(const Scan& scan, SourceReader& reader, size_t pos) {
    reader.scanPos = static_cast<int64_t>(pos);
    scan.diagnostics.error("Invalid syntax for EQUATE");
}

}  // namespace

size_t equateValueEnd(std::string_view line, size_t start) {
    int32_t depth = 0;
    size_t pos = start;
    while (pos < line.size()) {
        char c = line[pos];
        if (c == '"' || c == '\'') {
            size_t close = line.find(c, pos + 1);
            pos = close == std::string_view::npos ? line.size() : close + 1;
            continue;
        }
        if (c == '(' || c == '<' || c == '[') {
            ++depth;
        } else if (c == ')' || c == '>' || c == ']') {
            --depth;
        } else if ((c == ',' || c == ';') && depth == 0) {
            return pos;
        }
        ++pos;
    }
    return pos;
}

std::string_view literalValue(std::string_view value) {
    if (value.empty() || (value.front() != '"' && value.front() != '\'')) return value;
    char quote = value.front();
    value.remove_prefix(1);
    size_t close = value.find(quote);
    return close == std::string_view::npos ? value : value.substr(0, close);
}

void equateStatement(Scan& scan, SourceReader& reader) {
    std::string_view line = reader.lineText;
    size_t pos = reader.scanPos < 0 ? line.size() : static_cast<size_t>(reader.scanPos);
    if (pos > line.size()) pos = line.size();

    while (true) {
        size_t nameStart = skipBlanks(line, pos);
        size_t nameLength = nameLengthAt(scan.options, line, nameStart);
        if (nameLength == 0) invalidEquate(scan, reader, nameStart);
        std::string_view name = line.substr(nameStart, nameLength);

        size_t formStart = skipBlanks(line, nameStart + nameLength);
        size_t formLength = nameLengthAt(scan.options, line, formStart);
        if (formLength == 0) invalidEquate(scan, reader, formStart);
        EquateForm form = equateForm(line.substr(formStart, formLength), scan.options.caseSensitive());
        // The word has been read by the time it is found wrong: the caret
        // stands after it.
        if (form == EquateForm::Invalid) invalidEquate(scan, reader, formStart + formLength);

        size_t valueStart = skipBlanks(line, formStart + formLength);
        size_t valueEnd = equateValueEnd(line, valueStart);
        std::string_view value = line.substr(valueStart, valueEnd - valueStart);
        if (form == EquateForm::Literal) value = literalValue(value);

        scan.equates.set(scan.options.caseSensitive() ? std::string(name) : upperCased(name), value);

        if (valueEnd >= line.size() || line[valueEnd] == ';') {
            reader.scanPos = static_cast<int64_t>(valueEnd);
            return;
        }
        pos = valueEnd + 1;
    }
}

}  // namespace bprep2
