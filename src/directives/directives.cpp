// The directive handler: recognises the word after a line's leading # or $
// and hands the line to the branch for that word.
//
// Guarantees: no read leaves the line; a failure has been reported once
// and ends the run.
#include "directives/directive_steps.h"
#include "tokens/characters.h"
#include "tokens/words.h"

namespace bprep2 {

namespace {

void positiveBlock(Scan& scan, DirectiveState& state, SourceReader& reader) {
    openConditional(scan, state, reader, false);
}

void negativeBlock(Scan& scan, DirectiveState& state, SourceReader& reader) {
    openConditional(scan, state, reader, true);
}

void acceptAndIgnore(Scan&, DirectiveState&, SourceReader&) {}

void includeDirective(Scan& scan, DirectiveState&, SourceReader& reader) { includeStatement(scan, reader); }

struct DirectiveWord {
    std::string_view word;
    // Null for the words that look like directives but are program text
    // ($QUOLT and the like): the line is handed back to be scanned.
    void (*branch)(Scan&, DirectiveState&, SourceReader&);
};

// Searched in this order; the first whole-word match wins.
constexpr DirectiveWord directiveWords[] = {
    {"if", positiveBlock},          {"ifdef", positiveBlock},
    {"ifndef", negativeBlock},      {"else", switchConditional},
    {"endif", closeConditional},    {"end", closeConditional},
    {"cheader", cheaderDirective},  {"varappend", acceptAndIgnore},
    {"bprepfilename", fileNameDirective}, {"define", defineDirective},
    {"inline", inlineBlock},        {"header", headerBlock},
    {"option", optionDirective},    {"options", optionDirective},
    {"include", includeDirective},  {"insert", includeDirective},
    {"quolt", nullptr},             {"file", nullptr},
    {"system", nullptr},            {"development", nullptr},
};

// The entry for the directive word after the # or $, the scan position
// moved past it.
const DirectiveWord& findDirectiveWord(const Scan& scan, SourceReader& reader) {
    std::string_view line = reader.lineText;
    size_t pos = static_cast<size_t>(reader.scanPos) + 1;
    reader.scanPos = static_cast<int64_t>(pos);
    size_t length = nameLengthAt(scan.options, line, pos);
    if (length == 0) scan.diagnostics.error("Invalid syntax for # pre-processor directives");
    std::string_view word = line.substr(pos, length);
    reader.scanPos = static_cast<int64_t>(pos + length);
    for (const DirectiveWord& entry : directiveWords) {
        if (equalIgnoringCase(word, entry.word)) return entry;
    }
    scan.diagnostics.error("Unknown pre-processor directive");
}

}  // namespace

size_t skipBlanks(std::string_view line, size_t pos) {
    while (pos < line.size() && isBlank(line[pos])) ++pos;
    return pos;
}

size_t wordEnd(std::string_view line, size_t pos) {
    while (pos < line.size() && !isBlank(line[pos])) ++pos;
    return pos;
}

size_t nameLengthAt(const Options& options, std::string_view line, size_t pos) {
    if (pos >= line.size()) return 0;
    return measureName(line, pos, options.dotMember()).length;
}

bool DirectiveHandlers::directive(Scan& scan, SourceReader& reader) {
    int64_t start = reader.scanPos;
    if (start < 0 || start >= static_cast<int64_t>(reader.lineText.size())) return false;
    const DirectiveWord& directive = findDirectiveWord(scan, reader);
    if (!directive.branch) {
        reader.scanPos = start;
        return false;
    }
    directive.branch(scan, state_, reader);
    return true;
}

void DirectiveHandlers::equate(Scan& scan, SourceReader& reader) { equateStatement(scan, reader); }

void DirectiveHandlers::include(Scan& scan, SourceReader& reader) { includeStatement(scan, reader); }

}  // namespace bprep2
