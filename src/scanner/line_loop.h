// The line loop: line-start steps, labels, comments, joins, after-line pass.
#pragma once

#include <cstddef>

#include "scanner/scan.h"

namespace bprep2 {

// Runs the loop over every line of `reader`, the current reader, to the end
// of the source.
void runLineLoop(Scan& scan, SourceReader& reader);

// Appends the next source line to the reader's line, less `dropChars` at
// its end; false when there is none (the end of the source, or a source
// that failed to read, whose message is written: the caller ends the run).
bool continueLine(Scan& scan, SourceReader& reader, size_t dropChars);

// A THEN or ELSE at the start of a line: the line break before it, and the
// line ends of blank lines between, become one blank.
void joinPreviousLine(Scan& scan, SourceReader& reader);
// Passes over block comment text from the scan position.
void scanBlockComment(Scan& scan, SourceReader& reader);

}  // namespace bprep2
