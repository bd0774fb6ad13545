// The pieces of the directive, INCLUDE and EQUATE handlers that are shared
// between their files, and the line-level steps small enough to test alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "driver/context.h"

namespace bprep2 {

// Line-reading helpers: every one stays inside the line.
size_t skipBlanks(std::string_view line, size_t pos);
// End of the run of non-blank characters starting at `pos`.
size_t wordEnd(std::string_view line, size_t pos);
// Length of the name at `pos` (0 when none starts there or pos is past the end).
size_t nameLengthAt(const PreprocessorContext& ctx, std::string_view line, size_t pos);

// Conditional blocks. `negative` for #ifndef; `enclosed` when the block is
// opened inside an inactive one. Returns the state to push.
int32_t openedBlockState(const PreprocessorContext& ctx, std::string_view name, bool negative,
                         bool enclosed);
// The state after an #else.
int32_t switchedState(int32_t state);

// The branches of the dispatch; scanPos is just after the directive word.
// A branch that fails ends the run.
void openConditional(PreprocessorContext& ctx, SourceReader& reader, bool negative);
void switchConditional(PreprocessorContext& ctx, SourceReader& reader);
void closeConditional(PreprocessorContext& ctx, SourceReader& reader);
void defineDirective(PreprocessorContext& ctx, SourceReader& reader);
void optionDirective(PreprocessorContext& ctx, SourceReader& reader);
void inlineBlock(PreprocessorContext& ctx, SourceReader& reader);
void headerBlock(PreprocessorContext& ctx, SourceReader& reader);
void cheaderDirective(PreprocessorContext& ctx, SourceReader& reader);
void fileNameDirective(PreprocessorContext& ctx, SourceReader& reader);

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

// EQUATE: where the value starting at `start` ends (a ',' or ';' outside
// brackets and quotes, or the end of the line).
size_t equateValueEnd(std::string_view line, size_t start);
// A LIT/LITERALLY value: a leading quote and everything from its match on
// are dropped.
std::string_view literalValue(std::string_view value);

}  // namespace bprep2
