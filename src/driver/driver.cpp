// The run from the process arguments to the exit status.
//
// runAttempt reads as the pipeline: the run's context is made from the
// arguments; the main source is scanned with its members; the conditional
// blocks must be closed; the statement pass runs; the program text is
// written (to standard output, or to the -o file, which takes its place
// last); then come the optional reports, the trace, the equate export and
// the dependency file.
// A failing step writes its message and throws RunFailure, which ends the
// run with its status, so standard output stays empty after any failure;
// a size past its limit and memory that cannot be had end it the same way.
//
// Object syntax met with the object extensions off abandons the attempt
// (ObjectSyntaxRestart); the run is made once more with them on. A second
// restart (the source switched them off again) ends the run with an error
// rather than restarting without end.
#include "driver/driver.h"

#include <cerrno>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>

#include "bprep2.h"
#include "directives/directives.h"
#include "driver/command_line.h"
#include "driver/context.h"
#include "driver/platform.h"
#include "driver/program_text.h"
#include "driver/reports.h"
#include "output/dependency_rules.h"
#include "output/file_replacement.h"
#include "output/writer.h"
#include "passes/statement_pass.h"
#include "scanner/source.h"
#include "tokens/comma_join.h"

namespace bprep2 {

namespace {

constexpr const char* kEndMarker = "---------------end-----------\n\n";
constexpr int32_t noInputStatus = 2;

struct Arguments {
    int argc;
    char** argv;
    bool inProcess;      // the in-process entry point, which alone may use -m
    uint64_t call = 0;   // which call of the in-process entry, from 1
};

// The in-process calls made in this process so far. Both attempts of one
// call (the restart) share its number, so the second replaces the first's
// trace.
std::atomic<uint64_t> inProcessCalls{0};

// The main source's text when standard input holds it: read once, whole,
// since the attempt after a restart scans it again.
struct StandardInputText {
    bool read = false;
    std::string text;
};

void takeStandardInput(RunContext& run, StandardInputText& held) {
    SourceSearch& sources = run.commandLine.sources;
    if (!sources.mainFromStandardInput) return;
    if (!held.read) {
        if (!readStandardInput(held.text)) run.diagnostics.error("Unable to read standard input");
        held.read = true;
    }
    sources.standardInput = &held.text;
}

// The main source, and every member its INCLUDE lines and directives name,
// into the run's list.
void scanSources(RunContext& run) {
    const std::string& name = run.commandLine.inputName;
    if (name.empty()) run.diagnostics.errorWithStatus(noInputStatus, "No input file name specified");
    DirectiveHandlers handlers(run.directives);
    Scan scan{run.tokens,  run.scan,    run.tries,       run.equates,             run.declared,
              run.objects, run.options, run.diagnostics, run.commandLine.sources, handlers};
    scanMainSource(scan, name);
}

void checkConditionalBalance(const RunContext& run) {
    if (run.directives.conditionDepth != 0) run.diagnostics.error("At end of compilation, unbalanced #if/#endif");
}

void rewriteStatements(RunContext& run) {
    if (runStatementPass(run.tokens, run.options, run.declared, run.diagnostics, run.scan.specialWordsMet,
                         run.listsTokens()))
        run.objects.runtimeUsed = true;
}

void writeReports(RunContext& run) {
    // What standard output holds (an in-process caller's own text too) comes
    // out before the reports.
    std::fflush(stdout);
    std::FILE* trace = run.trace.file();
    // The token dump shows the list as the text was written from it, the
    // joins after trailing commas made; so does the trace's copy of the text.
    if (run.listsTokens()) applyCommaJoins(run.tokens);
    if (trace) std::fputs(kEndMarker, trace);
    if (run.options.tokenDump()) dumpTokens(run, stderr);
    if (run.options.keywordDump()) dumpKeywords(run, stderr);
    if (run.options.stats()) printStatistics(run, stderr);
    std::fflush(stderr);
}

// The trace copy of the output goes to the trace file even for an in-process
// caller: the writer hands text to the caller's slots only in place of
// standard output, so the slots are filled once.
void completeTraceFile(RunContext& run) {
    std::FILE* trace = run.trace.file();
    if (!trace) return;
    dumpTokens(run, trace);
    printStatistics(run, trace);
    std::fputs("\nOutput from bprep2\n------ ---- ----\n", trace);
    // A trace that cannot be written whole is reported once and does not
    // fail the run: the program text is already out.
    bool copied = true;
    try {
        copyProgramText(run, trace);
    } catch (const RunFailure&) {
        copied = false;
    }
    std::fputs(kEndMarker, trace);
    run.scan.lineCopy = nullptr;
    if (!run.trace.close() || !copied) {
        run.diagnostics.writeError("Unable to write the trace file");
        return;
    }
    std::fprintf(stderr, "bprep2: Trace file written to %s\n", run.trace.name().c_str());
    std::fflush(stderr);
}

// A file that cannot be written is reported in the system's words and does
// not fail the run: the program text is already out. It is written whole
// or not at all, so a full disk never leaves it cut off.
void exportEquates(const RunContext& run) {
    const std::string& name = run.commandLine.equateExportFile;
    if (name.empty()) return;
    FileReplacement out(name);
    if (out.open()) {
        for (const auto& [equate, replacement] : run.equates.entries()) {
            std::fwrite(equate.data(), 1, equate.size(), out.file());
            std::fputc('\n', out.file());
            std::fwrite(replacement.data(), 1, replacement.size(), out.file());
            std::fputc('\n', out.file());
        }
        if (out.commit()) return;
    }
    std::fflush(stdout);
    std::perror(name.c_str());
    std::fflush(stderr);
}

[[noreturn]] void failToWrite(const Diagnostics& diagnostics, const std::string& name) {
    diagnostics.errorWithStatus(unwrittenStatus, "Unable to write file '%s': %s", name.c_str(), std::strerror(errno));
}

// The -o file, opened only after the statement pass; null when the text
// goes to standard output. It takes the target's place only when
// the whole run has succeeded, so a failed run leaves no file and an
// existing one as it was.
std::unique_ptr<FileReplacement> openOutputFile(const RunContext& run) {
    const std::string& name = run.commandLine.outputFile;
    if (name.empty() || name == standardOutputName) return nullptr;
    auto file = std::make_unique<FileReplacement>(name);
    if (!file->open()) failToWrite(run.diagnostics, name);
    return file;
}

void putInPlace(FileReplacement& file, const RunContext& run) {
    if (!file.commit()) failToWrite(run.diagnostics, file.target());
}

// The main source and every member read, each once; with -MMD without the
// members found in the release's include directory (the main source stays
// wherever it was found). Written before the -o file takes its place, so
// that a build never finds the output without the list of what it was made
// from.
void writeDependencyFile(const RunContext& run) {
    const DependencyRequest& request = run.commandLine.dependencies;
    if (!request.wanted) return;
    std::vector<std::string> prerequisites;
    for (const OpenedSource& source : run.scan.sourcesOpened)
        if (prerequisites.empty() || request.releaseMembers || !source.inReleaseIncludeDir)
            prerequisites.push_back(source.path);
    if (!replaceFile(request.file, dependencyRules(request.targets, prerequisites, request.phonyRules)))
        failToWrite(run.diagnostics, request.file);
}

// The exit status of an attempt that did not fail: 0, or that of the answer
// the command line asked for instead of a run.
int32_t runAttempt(const Arguments& arguments, ObjectSyntax objectSyntax, StandardInputText& standardInput) {
    CommandLine commandLine = parseCommandLine(arguments.argc, arguments.argv, arguments.inProcess);
    if (commandLine.request != Request::Run) return answerRequest(commandLine.request, arguments.inProcess);
    RunContext run(std::move(commandLine), objectSyntax, arguments.argc, arguments.argv, arguments.call);
    takeStandardInput(run, standardInput);
    scanSources(run);
    checkConditionalBalance(run);
    rewriteStatements(run);
    std::unique_ptr<FileReplacement> outputFile = openOutputFile(run);
    writeProgramText(run, outputFile ? outputFile->file() : stdout);
    writeReports(run);
    completeTraceFile(run);
    exportEquates(run);
    writeDependencyFile(run);
    if (outputFile) putInPlace(*outputFile, run);
    return 0;
}

int32_t runWithRestart(const Arguments& arguments) {
    StandardInputText standardInput;
    try {
        return runAttempt(arguments, ObjectSyntax::AsAsked, standardInput);
    } catch (const ObjectSyntaxRestart&) {
        // Made again below; the attempt's context is gone with its frame.
    }
    try {
        return runAttempt(arguments, ObjectSyntax::On, standardInput);
    } catch (const ObjectSyntaxRestart&) {
        Diagnostics().error("Object syntax met again after the restart with object extensions off");
    }
}

// Every way a run ends is caught here, once: the failures that have written
// their message, a size past what the program can hold, and memory that
// cannot be had. Whatever the run held is released as the stack unwinds.
int32_t runCaught(int argc, char** argv, bool inProcess) {
    try {
        return runWithRestart({argc, argv, inProcess, inProcess ? ++inProcessCalls : 0});
    } catch (const RunFailure& failure) {
        return failure.status;
    } catch (const SizeLimitExceeded& limit) {
        Diagnostics().writeAtLimit(limit);
        return sizeLimitStatus;
    } catch (const std::bad_alloc&) {
        writeOutOfMemory();
        return outOfMemoryStatus;
    } catch (const std::length_error&) {
        // A container asked for more than it can ever hold.
        writeOutOfMemory();
        return outOfMemoryStatus;
    }
}

}  // namespace

// A SARIF log is written once the run's status is known, whatever ended it.
int32_t runPreprocessor(int argc, char** argv, bool inProcess) {
    setDiagnosticsStyle({});
    int32_t status = runCaught(argc, argv, inProcess);
    return finishDiagnostics(status, bprep2_version());
}

}  // namespace bprep2

extern "C" int bprep2_run(int argc, char** argv) { return bprep2::runPreprocessor(argc, argv, true); }
