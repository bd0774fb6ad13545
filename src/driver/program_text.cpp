// Writing the program text where the run sends it.
#include "driver/program_text.h"

#include <cinttypes>

#include "driver/context.h"
#include "output/writer.h"

namespace bprep2 {

namespace {

WriterSettings writerSettingsFor(RunContext& run) {
    WriterSettings settings;
    settings.caseSensitive = run.options.caseSensitive();
    settings.uvCase = run.options.uvCase();
    settings.dotMember = run.options.dotMember();
    settings.objectRuntimeUsed = run.objects.runtimeUsed;
    settings.declaredFunctions = &run.declared.functions;
    settings.recordsLookups = run.listsTokens();
    return settings;
}

}  // namespace

// The caller frees the text with free(). Its length slot holds 32 bits: a
// longer text cannot be delivered, as one that cannot be written.
void deliverInProcess(const ResultSlots& slots, TextBuffer& text, const Diagnostics& diagnostics) {
    size_t length = text.size();
    if (length > maxDeliveredBytes)
        diagnostics.errorWithStatus(unwrittenStatus, "Output text exceeds maximum of %" PRIu32 " bytes",
                                    maxDeliveredBytes);
    char* block = text.release();
    if (!block) failForRoom(diagnostics, length + 1);
    *slots.text = block;
    if (slots.status) *slots.status = 0;
    if (slots.length) *slots.length = static_cast<uint32_t>(length);
}

namespace {

// A streamed text goes out this much at a time: its buffer is the memory it
// takes, however long the program.
constexpr size_t streamedPieceBytes = size_t{256} << 10;

// With `diagnostics`, a failed write ends the run.
void streamTo(RunContext& run, std::FILE* out, const Diagnostics* diagnostics) {
    TextBuffer buffer(streamedPieceBytes);
    StreamSink sink(out, diagnostics);
    streamProgramText(run.tokens, writerSettingsFor(run), run.diagnostics, buffer, sink);
    sink.finish();
}

}  // namespace

void copyProgramText(RunContext& run, std::FILE* out) { streamTo(run, out, nullptr); }

void writeProgramText(RunContext& run, std::FILE* out) {
    const ResultSlots& slots = run.commandLine.results;
    if (!slots.text || out != stdout) {
        streamTo(run, out, &run.diagnostics);
        return;
    }
    TextBuffer text;
    buildProgramText(run.tokens, writerSettingsFor(run), run.diagnostics, text);
    deliverInProcess(slots, text, run.diagnostics);
}

}  // namespace bprep2
