// Fuzz target: the bytes are a command line for the in-process entry point.
// Path separators are replaced so that -e and -I stay inside the scratch
// directory the fixture works in.
#include <cstdlib>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::setUpOnce();
    unsetenv("BASC_BPREP2");
    std::string line(reinterpret_cast<const char*>(data), size);
    for (char& c : line) {
        if (c == '/' || c == '\\' || c == '\0') c = '_';
    }
    auto& items = fuzzing::memoryItems();
    items.clear();
    items["MEM/main"] = "PRINT 1\n";
    fuzzing::runInProcess("bprep2 " + line);
    return 0;
}
