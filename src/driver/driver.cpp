// The run from the process arguments to the exit status.
//
// One attempt builds a context, scans the main source, checks conditional
// balance, runs the statement pass and writes the program text; then come
// the optional reports, the trace copy and the equate export. The first
// failing step writes its message and throws RunFailure, which ends the
// run with its status, so standard output stays empty after any failure.
//
// Object syntax met with the object extensions off abandons the attempt
// (ObjectSyntaxRestart); the run is made once more with them on. A second
// restart (the source switched them off again) ends the run with an error
// rather than restarting without end.
#include "driver/driver.h"

#include <cstdio>

#include "bprep2.h"
#include "driver/command_line.h"
#include "driver/context.h"
#include "driver/program_text.h"
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
    // A copy that cannot be made whole has its message written but does not
    // fail the run: the program text is already out.
    try {
        writeProgramText(ctx, ctx.traceFile);
    } catch (const RunFailure&) {
    }
    std::fputs(kEndMarker, ctx.traceFile);
    std::fflush(ctx.traceFile);
    std::fprintf(stderr, "bprep2: Trace file written to %s\n", ctx.traceFileName.c_str());
    std::fflush(stderr);
}

// A file that cannot be opened is reported in the system's words and does
// not fail the run: the program text is already out.
void exportEquates(PreprocessorContext& ctx) {
    if (ctx.commandLine.equateExportFile.empty()) return;
    FILE* out = std::fopen(ctx.commandLine.equateExportFile.c_str(), "wb");
    if (!out) {
        std::fflush(stdout);
        std::perror(ctx.commandLine.equateExportFile.c_str());
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

int32_t runAttempt(int argc, char** argv, bool inProcess, bool objectsOn) {
    CommandLine commandLine = parseCommandLine(argc, argv, inProcess);
    if (commandLine.request != Request::Run) return answerRequest(commandLine.request);
    auto owner = std::make_unique<PreprocessorContext>();
    PreprocessorContext& ctx = *owner;
    prepareRun(ctx, std::move(commandLine), argc, argv);
    if (objectsOn) {
        ctx.options.turnOn(optObjects);
        ctx.options.turnOff(optCaseSensitive);
    }
    if (ctx.commandLine.inputName.empty()) ctx.diagnostics.errorWithStatus(2, "No input file name specified");
    scanSource(ctx, ctx.commandLine.inputName, nullptr);
    if (ctx.conditionDepth != 0) ctx.diagnostics.error("At end of compilation, unbalanced #if/#endif");
    runStatementPass(ctx);
    writeProgramText(ctx, stdout);
    std::fflush(stdout);
    // The token dump shows the list as the text was written from it, the
    // joins after trailing commas made; so does the trace's copy of the text.
    if (ctx.options.tokenDump() || ctx.traceFile) applyCommaJoins(ctx.tokens);
    writeReports(ctx);
    completeTraceFile(ctx);
    exportEquates(ctx);
    return 0;
}

// Made again with the object extensions on after object syntax abandoned
// the first attempt; a second restart is an error rather than a loop.
int32_t runWithRestart(int argc, char** argv, bool inProcess) {
    try {
        return runAttempt(argc, argv, inProcess, false);
    } catch (const ObjectSyntaxRestart&) {
        // The attempt's context is gone with its frame.
    }
    try {
        return runAttempt(argc, argv, inProcess, true);
    } catch (const ObjectSyntaxRestart&) {
        const Diagnostics plain;
        plain.error("Object syntax met again after the restart with object extensions off");
    }
}

}  // namespace

int32_t runPreprocessor(int argc, char** argv, bool inProcess) {
    try {
        return runWithRestart(argc, argv, inProcess);
    } catch (const RunFailure& failure) {
        return failure.status;
    }
}

}  // namespace bprep2

extern "C" int bprep2_run(int argc, char** argv) { return bprep2::runPreprocessor(argc, argv, true); }
