// The include operation behind INCLUDE and INSERT statements and the
// #include, #insert, $INCLUDE and $INSERT directives.
//
// Reads the member's name from the statement text (up to a ';' or the end
// of the line), splits it into a database file and an item, and scans the
// member into the same token list. Guarantees: the nesting depth never
// passes 100; the calling reader is current again on return, its scan
// position on the ';' or at the line end.
#include "directives/directive_steps.h"
#include "scanner/source.h"
#include "tokens/words.h"

namespace bprep2 {

namespace {

constexpr int32_t maximumIncludeLevel = 100;

// Splits `name` at the last `separator` into database file and item.
bool splitAtLast(std::string_view name, char separator, IncludeTarget& target) {
    size_t at = name.rfind(separator);
    if (at == std::string_view::npos) return false;
    target.databaseFile = std::string(name.substr(0, at));
    target.item = std::string(name.substr(at + 1));
    target.hasDatabaseFile = true;
    return true;
}

}  // namespace

IncludeTarget resolveIncludeTarget(std::string_view statement) {
    size_t pos = 0;
    size_t start = 0;
    size_t end = 0;
    bool dict = false;
    // DICT may be written twice; the word after the last DICT is the name
    // (empty when the statement ends there).
    for (int round = 0; round < 2; ++round) {
        start = skipBlanks(statement, pos);
        end = wordEnd(statement, start);
        pos = end;
        if (!equalIgnoringCase(statement.substr(start, end - start), "DICT")) break;
        dict = true;
        if (pos < statement.size()) ++pos;
    }
    std::string name(statement.substr(start, end - start));
    if (dict) name = "DICT " + name;

    size_t itemStart = skipBlanks(statement, end);
    std::string_view itemWord = statement.substr(itemStart, wordEnd(statement, itemStart) - itemStart);

    IncludeTarget target;
    if (!itemWord.empty()) {
        target.databaseFile = name;
        target.item = std::string(itemWord);
        target.hasDatabaseFile = true;
    } else if (!splitAtLast(name, '/', target) && !splitAtLast(name, '\\', target)) {
        target.item = name;
    }
    return target;
}

void includeStatement(Scan& scan, SourceReader& reader) {
    if (scan.state.includeLevel >= maximumIncludeLevel)
        scan.diagnostics.error("INCLUDE level exceeds maximum of %d levels\n      Possible recursive INCLUDEs",
                              maximumIncludeLevel);

    std::string_view line = reader.lineText;
    size_t start = reader.scanPos < 0 ? line.size() : static_cast<size_t>(reader.scanPos);
    if (start > line.size()) start = line.size();
    size_t end = line.find(';', start);
    if (end == std::string_view::npos) end = line.size();
    IncludeTarget target = resolveIncludeTarget(line.substr(start, end - start));
    reader.scanPos = static_cast<int64_t>(end);

    scanMember(scan, target.item, target.hasDatabaseFile ? &target.databaseFile : nullptr);
}

}  // namespace bprep2
