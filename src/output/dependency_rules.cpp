// The dependency file's rules.
#include "output/dependency_rules.h"

#include <vector>

namespace bprep2 {

namespace {

// Make reads lines of any length; the break only keeps the file readable,
// at the column the other pre-processors break at.
constexpr size_t lastColumn = 72;

// Appends names separated by blanks, starting at `column`; a name that
// would pass the last column starts a continuation line. Returns the column
// after the last name.
size_t appendNames(std::string& out, std::span<const std::string> names, size_t column) {
    for (const std::string& name : names) {
        if (column > 0) {
            if (column + name.size() > lastColumn) {
                out += " \\\n";
                column = 0;
            }
            out += ' ';
            column += 1;
        }
        out += name;
        column += name.size();
    }
    return column;
}

}  // namespace

std::string quotedForMake(std::string_view name) {
    std::string quoted;
    quoted.reserve(name.size());
    size_t backslashes = 0;  // right before the character at hand
    for (char c : name) {
        if (c == ' ' || c == '\t') quoted.append(backslashes + 1, '\\');
        else if (c == '#') quoted += '\\';
        else if (c == '$') quoted += '$';
        backslashes = c == '\\' ? backslashes + 1 : 0;
        quoted += c;
    }
    return quoted;
}

std::string dependencyRules(std::span<const std::string> targets, std::span<const std::string> prerequisites,
                            bool phonyRules) {
    std::vector<std::string> quoted;
    quoted.reserve(prerequisites.size());
    for (const std::string& name : prerequisites) quoted.push_back(quotedForMake(name));
    std::string out;
    size_t column = appendNames(out, targets, 0);
    out += ':';
    appendNames(out, quoted, column + 1);
    out += '\n';
    if (phonyRules)
        for (size_t i = 1; i < quoted.size(); ++i) out += quoted[i] + ":\n";
    return out;
}

}  // namespace bprep2
