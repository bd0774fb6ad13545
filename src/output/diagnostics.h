// The run's messages, and the two ways a run is abandoned.
//
// A step that fails writes its message through Diagnostics::error, which
// then throws RunFailure with the status the run ends with. The run's entry
// catches it, once, and returns the status: nothing else in the program
// passes a failure on. A warning is only written. The run's entry also
// catches what ends a run without a message of its own: a size past its
// limit (tokens/limits.h) and memory that cannot be had.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "output/format_checking.h"
#include "tokens/limits.h"

namespace bprep2 {

// Thrown after the message of a failed step has been written.
struct RunFailure {
    int32_t status = 1;
};

// Object syntax met with the object extensions off: the run is made again
// with them on. Not a failure: nothing has been written.
struct ObjectSyntaxRestart {};

// The line a message points at while a source is scanned.
struct ScannedLine {
    std::string fileName;
    uint32_t lineNumber = 0;
    std::string lineText;   // without its terminator
    int64_t scanPos = -1;   // offset of the next character in lineText; -1 before the first line
    bool noEcho = false;    // the message names the line but does not show it
    // Where an editor finds the line: the path the source was opened by
    // (empty until it is found) and the lines read of it, which a
    // #bprepfilename line does not renumber.
    std::string openedPath;
    uint32_t physicalLine = 0;
    // The line of the including source that brought this one in (its
    // INCLUDE), null for the main source.
    const ScannedLine* includedFrom = nullptr;
};

// How messages are written. Legacy is the program's own form; Gnu is
// "path:line:col: error: message", the form editors' problem matchers read;
// the Sarif forms keep every message for one SARIF 2.1.0 log of the run,
// written at its end to standard error or to a file.
enum class DiagnosticsFormat { Legacy, Gnu, SarifStderr, SarifFile };

struct DiagnosticsStyle {
    DiagnosticsFormat format = DiagnosticsFormat::Legacy;
    bool showCaret = true;  // the gnu form's source and caret lines
    std::string logFile;    // the SarifFile form's file
};

// The form every message of the process takes from now on. The run sets it
// from its command line, after putting back the default, so that one run's
// choice never outlives it in an in-process caller.
void setDiagnosticsStyle(const DiagnosticsStyle& style);
const DiagnosticsStyle& diagnosticsStyle();

// Ends the run's messages: in a Sarif form writes the log, with `status`
// as the run's exit code and `toolVersion` as the program's version. The status the run ends with: unwrittenStatus
// when the log file cannot be written, else `status`.
int32_t finishDiagnostics(int32_t status, std::string_view toolVersion);

// A warning about the command line (an unknown option letter), which no
// source line is behind.
void writeCommandLineWarning(std::string_view message);

class Diagnostics {
   public:
    // The line messages point at from now on (null: none, messages are one
    // plain line); returns the one they pointed at before.
    const ScannedLine* pointAt(const ScannedLine* line) {
        const ScannedLine* previous = line_;
        line_ = line;
        return previous;
    }

    // printf-style. Writes "bprep2: Error <message>" and ends the run with
    // status 1, or with `status`. While a line is scanned and the scan
    // position lies on it, the message shows the line with a caret under
    // that position (or under `column`) and names the line and the file.
    [[noreturn]] void error(const char* format, ...) const BPREP2_PRINTF(2, 3);
    [[noreturn]] void errorWithStatus(int32_t status, const char* format, ...) const BPREP2_PRINTF(3, 4);
    [[noreturn]] void errorAtColumn(int32_t column, const char* format, ...) const BPREP2_PRINTF(3, 4);
    // The same as "bprep2: Warning <message>"; the run goes on.
    void warning(const char* format, ...) const BPREP2_PRINTF(2, 3);
    // An error's message, written as error() writes it, where the run ends
    // only after the caller has added its own (it throws RunFailure then).
    void writeError(const char* format, ...) const BPREP2_PRINTF(2, 3);
    // "<what> exceeds maximum of <maximum> <unit>", as writeError()
    // writes it; the run then ends with sizeLimitStatus.
    void writeAtLimit(const SizeLimitExceeded& limit) const;

   private:
    const ScannedLine* line_ = nullptr;
};

// Writes a finished message to standard error in one piece, after what
// standard output holds so far.
void writeMessage(std::string_view text);

// A run that cannot have the memory it needs ends with this status, as one
// whose output cannot be delivered does.
constexpr int32_t outOfMemoryStatus = 2;

// The error of a run that ran out of memory. It needs no memory of its own,
// so it can be written when none is left.
void writeOutOfMemory();

// `text` as a message shows it: each control character as \xHH, so that
// a NUL or a terminal's control sequence in a name or a line is seen
// rather than acted on. `keepLineFeeds` leaves LF as it is, for the line
// breaks of a message's own format.
std::string escapedForMessage(std::string_view text, bool keepLineFeeds = false);

}  // namespace bprep2
