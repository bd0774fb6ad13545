#include "driver/command_line.h"

namespace bprep2 {
int nextOption(PreprocessorContext&, int, char**, const char*) { return optionEnd; }
int32_t parseCommandLine(PreprocessorContext&, int, char**) { return 0; }
}  // namespace bprep2
