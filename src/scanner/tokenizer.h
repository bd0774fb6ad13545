// The character scan of one line into tokens.
#pragma once

#include <cstddef>
#include <string_view>

#include "scanner/scan.h"

namespace bprep2 {

// Scans the reader's line from its scan position to its end.
void tokenizeLine(Scan& scan, SourceReader& reader);

}  // namespace bprep2
