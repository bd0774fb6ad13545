// What the scanner works on: the records of the run it reads and writes,
// owned by the run's context, and the handlers of the lines it hands on.
#pragma once

#include <cstdint>
#include <string_view>

#include "objects/object_state.h"
#include "output/diagnostics.h"
#include "scanner/equate_table.h"
#include "scanner/line_handlers.h"
#include "scanner/scan_state.h"
#include "scanner/source_search.h"
#include "scanner/try_catch.h"
#include "tokens/declared_names.h"
#include "tokens/options.h"
#include "tokens/token_list.h"

namespace bprep2 {

struct Scan {
    TokenList& tokens;
    ScanState& state;
    TryState& tries;
    EquateTable& equates;
    DeclaredNames& declared;
    ObjectState& objects;
    Options& options;  // an #option line changes it
    Diagnostics& diagnostics;
    const SourceSearch& sources;
    LineHandlers& handlers;
};

// Appends a token read from `reader` to the scan's list.
[[gnu::always_inline]] inline void appendToken(Scan& scan, SourceReader& reader, TokenKind kind,
                                               std::string_view text = {}, int32_t value = 0, int32_t special = 0) {
    appendToken(scan.tokens, reader, scan.options.caseSensitive(), kind, text, value, special);
}

}  // namespace bprep2
