// The run's context: the records of one attempt at a run, each owned by the
// stage that keeps it, held together for the run.
//
// The driver hands each stage the records it reads or writes, by
// reference; no stage sees the context itself.
#pragma once

#include "directives/directives.h"
#include "driver/command_line.h"
#include "driver/trace.h"
#include "objects/object_state.h"
#include "output/diagnostics.h"
#include "scanner/equate_table.h"
#include "scanner/scan_state.h"
#include "scanner/try_catch.h"
#include "tokens/declared_names.h"
#include "tokens/options.h"
#include "tokens/token_list.h"

namespace bprep2 {

// Whether an attempt turns the object extensions on whatever the options
// say: the attempt after a restart does.
enum class ObjectSyntax { AsAsked, On };

struct RunContext {
    CommandLine commandLine;  // as read; its definitions are handed on to `directives`
    Options options;
    Diagnostics diagnostics;
    Trace trace;
    TokenList tokens;
    ScanState scan;
    TryState tries;
    DirectiveState directives;
    EquateTable equates;
    DeclaredNames declared;
    ObjectState objects;

    // Readies the run the command line asks for: asks the host for the
    // option word, applies UVCASE and `objectSyntax`, echoes the command
    // (`argc`, `argv`) when asked, opens the trace file when asked.
    // `inProcessCall` numbers the calls of the in-process entry (from 1),
    // which name their trace files; 0 for the program's run.
    RunContext(CommandLine line, ObjectSyntax objectSyntax, int argc, char** argv, uint64_t inProcessCall = 0);
    RunContext(const RunContext&) = delete;
    RunContext& operator=(const RunContext&) = delete;

    // The token dump will list the tokens and the name tables, on standard
    // error or in the trace file.
    bool listsTokens() const { return options.tokenDump() || trace.file() != nullptr; }
};

}  // namespace bprep2
