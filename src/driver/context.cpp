#include "driver/context.h"

namespace bprep2 {
PreprocessorContext::~PreprocessorContext() {}
std::unique_ptr<PreprocessorContext> makeContext(int, char**, bool) {
    return std::make_unique<PreprocessorContext>();
}
}  // namespace bprep2
