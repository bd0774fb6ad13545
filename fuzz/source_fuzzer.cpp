// Fuzz target: the bytes are the main source. The first two choose the
// option words, so that every mode of the scanner and the passes is reached,
// whether the source is a database item or a file, whose lines end
// differently, and whether items come from memory or the host stand-in.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    uint16_t selector = static_cast<uint16_t>(data[0] | (data[1] << 8));
    std::string source(reinterpret_cast<const char*>(data + 2), size - 2);
    fuzzing::RunInput input;
    input.optionWords = fuzzing::optionWords(selector);
    input.hostItems = (selector & 0x4000) != 0;
    if (selector & 0x8000) {
        input.files["main.b"] = source;
        fuzzing::runInProcess(input, "bprep2 main.b");
    } else {
        input.items["MEM/main"] = source;
        fuzzing::runInProcess(input, "bprep2 -a MEM main");
    }
    return 0;
}
