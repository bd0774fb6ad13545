// The pieces of the directive, INCLUDE and EQUATE handlers that are shared
// between their files, and the line-level steps small enough to test alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "directives/directives.h"

namespace bprep2 {

// Line-reading helpers: every one stays inside the line.
size_t skipBlanks(std::string_view line, size_t pos);
// End of the run of non-blank characters starting at `pos`.
size_t wordEnd(std::string_view line, size_t pos);
// Length of the name at `pos` (0 when none starts there or pos is past the end).
size_t nameLengthAt(const Options& options, std::string_view line, size_t pos);

// Conditional blocks. `negative` for #ifndef; `enclosed` when the block is
// opened inside an inactive one. Returns the state to push.
int32_t openedBlockState(const DirectiveState& state, const EquateTable& equates, std::string_view name,
                         bool negative, bool enclosed);
// The state after an #else.
int32_t switchedState(int32_t state);

// The branches of the dispatch; the reader's scanPos is just after the
// directive word. A branch that fails ends the run.
void openConditional(Scan& scan, DirectiveState& state, SourceReader& reader, bool negative);
void switchConditional(Scan& scan, DirectiveState& state, SourceReader& reader);
void closeConditional(Scan& scan, DirectiveState& state, SourceReader& reader);
void defineDirective(Scan& scan, DirectiveState& state, SourceReader& reader);
void optionDirective(Scan& scan, DirectiveState& state, SourceReader& reader);
void inlineBlock(Scan& scan, DirectiveState& state, SourceReader& reader);
void headerBlock(Scan& scan, DirectiveState& state, SourceReader& reader);
void cheaderDirective(Scan& scan, DirectiveState& state, SourceReader& reader);
void fileNameDirective(Scan& scan, DirectiveState& state, SourceReader& reader);

// #bprepfilename: the two words give the file name and the line number.
struct SourcePosition {
    bool present = false;     // false: fewer than two words
    std::string lineMarker;   // the "#line n \"name" text passed through
    std::string fileName;     // the name the following lines belong to
    int32_t lineNumber = 0;   // the number of the next line
};
SourcePosition parseSourcePosition(std::string_view rest);

// INCLUDE: where the member named by the statement text lives.
struct IncludeTarget {
    std::string item;
    std::string databaseFile;
    bool hasDatabaseFile = false;
};
IncludeTarget resolveIncludeTarget(std::string_view statement);

// The statements, the reader's scanPos just after the word.
void equateStatement(Scan& scan, SourceReader& reader);
void includeStatement(Scan& scan, SourceReader& reader);

// EQUATE: where the value starting at `start` ends (a ',' or ';' outside
// brackets and quotes, or the end of the line).
size_t equateValueEnd(std::string_view line, size_t start);
// A LIT/LITERALLY value: a leading quote and everything from its match on
// are dropped.
std::string_view literalValue(std::string_view value);

}  // namespace bprep2
