// The library's version, compiled in from the same generated header its
// callers include.
#include "bprep2.h"

extern "C" const char* bprep2_version(void) { return BPREP2_VERSION_STRING; }
