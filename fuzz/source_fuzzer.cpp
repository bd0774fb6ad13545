// Fuzz target: the bytes are the main source; the first two choose the
// option words so that every mode of the scanner and the passes is reached.
#include <cstdlib>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::setUpOnce();
    if (size < 2) return 0;
    uint16_t selector = static_cast<uint16_t>(data[0] | (data[1] << 8));
    setenv("BASC_BPREP2", fuzzing::optionWords(selector).c_str(), 1);
    auto& items = fuzzing::memoryItems();
    items.clear();
    items["MEM/main"] = std::string(reinterpret_cast<const char*>(data + 2), size - 2);
    fuzzing::runInProcess("bprep2 -a MEM main");
    return 0;
}
