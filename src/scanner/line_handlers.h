// What the scanner hands on: the lines and statements handled elsewhere.
#pragma once

#include "scanner/scan_state.h"

namespace bprep2 {

struct Scan;

// The scanner calls these for a directive line, an EQUATE and an INCLUDE;
// directives/ implements them. A handler that fails ends the run.
class LineHandlers {
   public:
    // A line whose first non-blank character is # or $, the reader's scan
    // position on it. True when the line was a directive and has been
    // handled; false when it is program text after all, the scan position
    // put back.
    virtual bool directive(Scan& scan, SourceReader& reader) = 0;
    // EQUATE or EQU, the scan position just after the word; it rests on the
    // ';' or at the line end after the statement.
    virtual void equate(Scan& scan, SourceReader& reader) = 0;
    // INCLUDE or INSERT, the scan position just after the word; it rests on
    // the ';' or at the line end after the member is scanned.
    virtual void include(Scan& scan, SourceReader& reader) = 0;
    // Whether the conditional state lets lines through.
    virtual bool linesActive() const = 0;

   protected:
    ~LineHandlers() = default;
};

}  // namespace bprep2
