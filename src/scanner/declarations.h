// Recording of declared functions and dimensioned arrays while scanning.
#pragma once

#include <cstddef>

#include "objects/object_state.h"
#include "tokens/declared_names.h"

namespace bprep2 {

// The names the statement whose keyword stands at `index` of the line
// being scanned declares.
void recordDeclarations(ObjectLine& line, DeclaredNames& declared, size_t index);

}  // namespace bprep2
