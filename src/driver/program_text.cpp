// Writing the program text where the run sends it.
#include "driver/program_text.h"

#include "output/writer.h"

namespace bprep2 {

namespace {

WriterSettings writerSettingsFor(PreprocessorContext& ctx) {
    WriterSettings settings;
    settings.caseSensitive = ctx.options.caseSensitive();
    settings.uvCase = ctx.options.uvCase();
    settings.dotMember = ctx.options.dotMember();
    settings.objectRuntimeUsed = ctx.objectRuntimeUsed;
    settings.declaredFunctions = &ctx.userFunctions;
    settings.recordsLookups = ctx.options.tokenDump() || ctx.traceFile != nullptr;
    return settings;
}

// The caller frees the text with free().
void deliverInProcess(PreprocessorContext& ctx, TextBuffer& text) {
    size_t length = text.size();
    char* block = text.release();
    if (!block) failForRoom(ctx.diagnostics, length + 1);
    const ResultSlots& slots = ctx.commandLine.results;
    *slots.text = block;
    if (slots.status) *slots.status = 0;
    if (slots.length) *slots.length = static_cast<uint32_t>(length);
}

}  // namespace

void writeProgramText(PreprocessorContext& ctx, FILE* out) {
    TextBuffer text;
    buildProgramText(ctx.tokens, writerSettingsFor(ctx), ctx.diagnostics, text);
    if (ctx.commandLine.results.text && out == stdout) deliverInProcess(ctx, text);
    else writeText(out, text, ctx.diagnostics);
}

}  // namespace bprep2
