// Writes the token list as program text.
#pragma once

#include <cstdint>
#include <cstdio>

#include "driver/context.h"
#include "output/text_buffer.h"

namespace bprep2 {

// Whether any function is declared at all: the writer keeps the case of
// such a function's name. The table also holds every name a lookup
// missed, so it is seldom empty; this walks it.
bool anyFunctionDeclared(const PreprocessorContext& ctx);

// Adds the text of the list's tokens from `from` to the end to `text`.
// 0, or 2 after a reported error (a token that cannot be written, no room).
int32_t appendProgramText(PreprocessorContext& ctx, size_t from, bool functionsDeclared, TextBuffer& text);

// The same for the whole list, with room made for all its text at once.
int32_t appendWholeListText(PreprocessorContext& ctx, TextBuffer& text);

// Puts the object runtime's declarations in front of `text` when the
// program uses the runtime, and hands it over: to the in-process caller
// when `out` is standard output in an in-process run, else to `out`.
// 0, or 2 after a reported error.
int32_t deliverProgramText(PreprocessorContext& ctx, TextBuffer& text, FILE* out);

// Both at once, for the whole list. Nothing is written when a token
// cannot be.
int32_t writeOutput(PreprocessorContext& ctx, FILE* out);

}  // namespace bprep2
