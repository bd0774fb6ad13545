// The records an object rewrite works on, made empty for a test: a list, the
// object state, the open assignments, default options and diagnostics, and
// the line that ties them together.
#pragma once

#include "objects/object_state.h"

namespace bprep2 {

struct ObjectLineFixture {
    TokenList tokens;
    ObjectState state;
    OpenAssignments open;
    Options options;
    Diagnostics diagnostics;
    ObjectLine line{tokens, state, open, options, diagnostics};
};

}  // namespace bprep2
