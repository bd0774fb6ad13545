// The run from the process arguments to the exit status.
//
// One attempt builds a context, scans the main source, checks conditional
// balance, runs the statement pass and writes the program text; then come
// the optional reports, the trace copy and the equate export. The first
// failing step has already reported its error, and its status becomes the
// result at once, so standard output stays empty after any failure.
//
// Object syntax met with the object extensions off abandons the attempt with
// a RestartSignal; the run is made once more with them on. A second signal
// in the same process (the source switched them off again) ends the run with
// an error rather than restarting without end.
#include "driver/driver.h"

#include <cstdio>

#include "bprep2.h"
#include "driver/context.h"
#include "driver/program_text.h"
#include "driver/report.h"
#include "driver/reports.h"
#include "passes/statement_pass.h"
#include "scanner/source.h"
#include "tokens/comma_join.h"

namespace bprep2 {

namespace {

constexpr const char* kEndMarker = "---------------end-----------\n\n";

void writeReports(PreprocessorContext& ctx) {
    if (ctx.traceFile) std::fputs(kEndMarker, ctx.traceFile);
    if (ctx.options.tokenDump()) dumpTokens(ctx, stderr);
    if (ctx.options.keywordDump()) dumpKeywords(ctx, stderr);
    if (ctx.options.stats()) printStatistics(ctx, stderr);
    std::fflush(stderr);
}

// The trace copy of the output goes to the trace file even for an in-process
// caller: the writer hands text to the caller's slots only in place of
// standard output, so the slots are filled once.
void completeTraceFile(PreprocessorContext& ctx) {
    if (!ctx.traceFile) return;
    dumpTokens(ctx, ctx.traceFile);
    printStatistics(ctx, ctx.traceFile);
    std::fputs("\nOutput from bprep2\n------ ---- ----\n", ctx.traceFile);
    writeProgramText(ctx, ctx.traceFile);
    std::fputs(kEndMarker, ctx.traceFile);
    std::fflush(ctx.traceFile);
    std::fprintf(stderr, "bprep2: Trace file written to %s\n", ctx.traceFileName.c_str());
    std::fflush(stderr);
}

// A file that cannot be opened is reported in the system's words and does
// not fail the run: the program text is already out.
void exportEquates(PreprocessorContext& ctx) {
    if (ctx.equateExportFile.empty()) return;
    FILE* out = std::fopen(ctx.equateExportFile.c_str(), "wb");
    if (!out) {
        std::fflush(stdout);
        std::perror(ctx.equateExportFile.c_str());
        std::fflush(stderr);
        return;
    }
    for (const auto& [name, replacement] : ctx.equates) {
        std::fwrite(name.data(), 1, name.size(), out);
        std::fputc('\n', out);
        std::fwrite(replacement.data(), 1, replacement.size(), out);
        std::fputc('\n', out);
    }
    std::fclose(out);
}

int32_t runAttempt(int argc, char** argv, bool inProcess, bool restarted) {
    std::unique_ptr<PreprocessorContext> owner = makeContext(argc, argv, inProcess);
    PreprocessorContext& ctx = *owner;
    if (ctx.constructionStatus) return *ctx.constructionStatus;
    if (restarted) {
        ctx.options.turnOn(optObjects);
        ctx.options.turnOff(optCaseSensitive);
    }
    if (ctx.inputName.empty()) {
        report(ctx, "No input file name specified");
        return 2;
    }
    int32_t scanned = scanSource(ctx, ctx.inputName, nullptr);
    ctx.reader = nullptr;  // the readers died with their calls; later reports are plain
    if (scanned != 0) return scanned;
    if (ctx.conditionDepth != 0) {
        report(ctx, "At end of compilation, unbalanced #if/#endif");
        return 1;
    }
    if (int32_t status = runStatementPass(ctx)) return status;
    if (int32_t status = writeProgramText(ctx, stdout)) return status;
    std::fflush(stdout);
    // The token dump shows the list as the text was written from it, the
    // joins after trailing commas made; so does the trace's copy of the text.
    if (ctx.options.tokenDump() || ctx.traceFile) applyCommaJoins(ctx.tokens);
    writeReports(ctx);
    completeTraceFile(ctx);
    exportEquates(ctx);
    return 0;
}

}  // namespace

int32_t runPreprocessor(int argc, char** argv, bool inProcess) {
    try {
        return runAttempt(argc, argv, inProcess, false);
    } catch (const RestartSignal&) {
        // Made again below with the object extensions on; the attempt's
        // context is gone with its frame.
    }
    try {
        return runAttempt(argc, argv, inProcess, true);
    } catch (const RestartSignal&) {
        PreprocessorContext blank;  // no reader: the report takes its plain form
        report(blank, "Object syntax met again after the restart with object extensions off");
        return 1;
    }
}

}  // namespace bprep2

extern "C" int bprep2_run(int argc, char** argv) { return bprep2::runPreprocessor(argc, argv, true); }
