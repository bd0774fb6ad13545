// Writing the program text where the run sends it, and reporting what kept
// it from getting there.
#include "driver/program_text.h"

#include "driver/report.h"
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

int32_t reportNoRoom(PreprocessorContext& ctx, size_t bytes) {
    report(ctx, "Unable to allocate %zu bytes for the output text", bytes);
    return 2;
}

// The caller frees the text with free().
int32_t deliverInProcess(PreprocessorContext& ctx, TextBuffer& text) {
    size_t length = text.size();
    char* block = text.release();
    if (!block) return reportNoRoom(ctx, length + 1);
    *ctx.resultText = block;
    if (ctx.resultStatus) *ctx.resultStatus = 0;
    if (ctx.resultLength) *ctx.resultLength = static_cast<uint32_t>(length);
    return 0;
}

}  // namespace

int32_t writeProgramText(PreprocessorContext& ctx, FILE* out) {
    TextBuffer text;
    const WriteOutcome outcome = buildProgramText(ctx.tokens, writerSettingsFor(ctx), text);
    switch (outcome.result) {
        case WriteOutcome::Result::NoRoom: return reportNoRoom(ctx, outcome.bytesWanted);
        case WriteOutcome::Result::UnwritableToken:
            report(ctx, "Internal error: Token type of %d found\n", outcome.kindNumber);
            return 2;
        case WriteOutcome::Result::Written: break;
    }
    if (ctx.resultText && out == stdout) return deliverInProcess(ctx, text);
    // A short write would hand the compiler a truncated program under a
    // success status, so it fails the run instead.
    if (!writeText(out, text)) {
        report(ctx, "Unable to write the output text");
        return 2;
    }
    return 0;
}

}  // namespace bprep2
