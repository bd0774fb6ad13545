#include "driver/driver.h"

#include "bprep2.h"

namespace bprep2 {
int32_t runPreprocessor(int, char**, bool) { return 0; }
}  // namespace bprep2

extern "C" int bprep2_run(int argc, char** argv) { return bprep2::runPreprocessor(argc, argv, true); }
