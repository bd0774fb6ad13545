// The command line: options "a:D:e:h?I:mU:", the whole arguments --help,
// --version, -o FILE, --output=FILE and the dependency-file options -MD,
// -MMD, -MF FILE, -MT TARGET, -MQ TARGET and -MP, the message form's
// -fdiagnostics-format=FORM and -f[no-]diagnostics-show-caret,
// --stdin-filename=NAME, and the source name.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "scanner/source_search.h"

namespace bprep2 {

// What the command line asks for: a run, or an answer instead of one.
enum class Request { Run, Help, Version };

// Where an in-process caller receives the program text (-m); null for a
// run of the program.
struct ResultSlots {
    char** text = nullptr;
    uint32_t* length = nullptr;
    uint32_t* status = nullptr;
};

// The file name that stands for standard output.
constexpr const char* standardOutputName = "-";

// The dependency file -MD or -MMD asks for, as the options with them shape it.
struct DependencyRequest {
    bool wanted = false;               // -MD or -MMD
    bool releaseMembers = true;        // false with -MMD
    std::string file;                  // -MF, else named after the -o file or the source
    std::vector<std::string> targets;  // as written: -MT as given, -MQ quoted, else the -o file quoted
    bool phonyRules = false;           // -MP
};

struct CommandLine {
    Request request = Request::Run;
    std::string inputName;
    SourceSearch sources;                        // -I, the release's include directory, -a
    std::map<std::string, int32_t> definitions;  // -D and the predefined names, less -U
    std::string equateExportFile;                // -e
    std::string outputFile;                      // -o, --output=; standard output when empty or "-"
    DependencyRequest dependencies;              // -MD, -MMD, -MF, -MT, -MQ, -MP
    ResultSlots results;
};

// Reads the arguments. Reading stops at --help or --version, whose request
// the result carries; a refused option ends the run (status 2, after its
// message). `inProcess` is true only for the in-process entry point, which
// alone may use -m and may not use the options that write files.
CommandLine parseCommandLine(int argc, char** argv, bool inProcess);

// Writes the help text or the version (`request` is one of them) on
// standard output, the help of an in-process run on standard error; the
// status the run ends with (2 after the help, 0 after the version).
int32_t answerRequest(Request request, bool inProcess = false);

}  // namespace bprep2
