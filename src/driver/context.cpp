// Making the run's context from the command line.
#include "driver/context.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/quolt_host.h"

namespace bprep2 {

namespace {

void applyUvCase(Options& options) {
    if (std::getenv("UVCASE")) options.turnOn(optUvCase);
    if (options.uvCase()) {
        options.turnOff(optCaseSensitive);
        options.turnOn(optStopStatements);
    }
}

void applyObjectSyntax(Options& options, ObjectSyntax objectSyntax) {
    if (objectSyntax != ObjectSyntax::On) return;
    options.turnOn(optObjects);
    options.turnOff(optCaseSensitive);
}

// The in-process caller's result slots are addresses, not text; the echo
// shows a marker in their place instead of reading them as strings.
bool isResultSlot(const ResultSlots& slots, const char* argument) {
    const void* p = argument;
    return slots.text && (p == static_cast<const void*>(slots.text) || p == static_cast<const void*>(slots.length) ||
                          p == static_cast<const void*>(slots.status));
}

void echoCommand(const ResultSlots& slots, int argc, char** argv) {
    std::string line = "bprep2 called as ";
    for (int i = 0; i < argc; ++i) {
        line += ' ';
        line += !argv[i] ? "(null)" : isResultSlot(slots, argv[i]) ? "<slot>" : argv[i];
    }
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

}  // namespace

RunContext::RunContext(CommandLine line, ObjectSyntax objectSyntax, int argc, char** argv, uint64_t inProcessCall)
    : commandLine(std::move(line)), scan(inProcessCall != 0 ? WordTablesStart::Copied : WordTablesStart::Added) {
    directives.definitions = std::move(commandLine.definitions);
    scan.hostPort = quolt_getdp();
    options.word = QLibAGetCompilerOptions(scan.hostPort, commandLine.inputName.c_str());
    applyUvCase(options);
    if (options.echoCommand()) echoCommand(commandLine.results, argc, argv);
    if (options.trace()) trace.open(inProcessCall);
    scan.lineCopy = trace.file();
    applyObjectSyntax(options, objectSyntax);
}

}  // namespace bprep2
