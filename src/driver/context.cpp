// Construction and destruction of the one state record of a run.
//
// Once the command line has been read into it, the context asks the host
// for the option word, applies UVCASE, echoes the command when asked, fills
// the keyword and @-variable tables and opens the trace file.
#include <cstdio>
#include <cstdlib>
#include <string>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include "driver/context.h"
#include "host/quolt_host.h"
#include "tokens/keywords.h"

namespace bprep2 {

namespace {

int processId() {
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(getpid());
#endif
}

void applyUvCase(PreprocessorContext& ctx) {
    if (std::getenv("UVCASE")) ctx.options.turnOn(optUvCase);
    if (ctx.options.uvCase()) {
        ctx.options.turnOff(optCaseSensitive);
        ctx.options.turnOn(optStopStatements);
    }
}

// The in-process caller's result slots are addresses, not text; the echo
// shows a marker in their place instead of reading them as strings.
bool isResultSlot(const PreprocessorContext& ctx, const char* argument) {
    const void* p = argument;
    const ResultSlots& slots = ctx.commandLine.results;
    return slots.text && (p == static_cast<const void*>(slots.text) || p == static_cast<const void*>(slots.length) ||
                          p == static_cast<const void*>(slots.status));
}

void echoCommand(const PreprocessorContext& ctx, int argc, char** argv) {
    std::string line = "bprep2 called as ";
    for (int i = 0; i < argc; ++i) {
        line += ' ';
        line += !argv[i] ? "(null)" : isResultSlot(ctx, argv[i]) ? "<slot>" : argv[i];
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

void fillTables(PreprocessorContext& ctx) {
    for (const KeywordEntry& row : keywordTable()) ctx.keywords.findOrAdd(row.name) = WordEntry{&row, {}};
    for (std::string_view name : atVariableNames()) ctx.atVariables.add(name);
}

void openTraceFile(PreprocessorContext& ctx) {
    ctx.traceFileName = "bprep2_trace_" + std::to_string(processId()) + ".txt";
    ctx.traceFile = std::fopen(ctx.traceFileName.c_str(), "wb");
    if (ctx.traceFile) std::fputs("\nOriginal Input To bprep2\n-------- ----- -- ----\n", ctx.traceFile);
}

}  // namespace

PreprocessorContext::~PreprocessorContext() {
    if (traceFile) std::fclose(traceFile);
}

void prepareRun(PreprocessorContext& ctx, CommandLine commandLine, int argc, char** argv) {
    ctx.commandLine = std::move(commandLine);
    ctx.definitions = std::move(ctx.commandLine.definitions);
    ctx.hostHandle = quolt_getdp();
    ctx.options.word = QLibAGetCompilerOptions(ctx.hostHandle, ctx.commandLine.inputName.c_str());
    applyUvCase(ctx);
    if (ctx.options.echoCommand()) echoCommand(ctx, argc, argv);
    fillTables(ctx);
    if (ctx.options.trace()) openTraceFile(ctx);
}

}  // namespace bprep2
