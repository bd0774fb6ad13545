// Fuzz target: after the two bytes of the option words, the bytes are split
// at 0x00 into a main source and up to five members, each reached its own
// way, so that includes, directives, equates and conditionals meet across
// members:
//   INCLUDE A        item of the default database file MEM
//   INCLUDE BP B     item of a named database file (also DICT BP B)
//   INCLUDE LIB C    item of a database file found under the include directory
//   INCLUDE D        file in the include directory inc
//   INCLUDE E        file in the working directory
// Bit 14 of the option bytes has the items read by the host stand-in from
// files instead of from memory.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    uint16_t selector = static_cast<uint16_t>(data[0] | (data[1] << 8));
    std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
    std::vector<std::string> parts = fuzzing::splitInput(rest, '\0', 6);
    parts.resize(6);
    fuzzing::RunInput input;
    input.optionWords = fuzzing::optionWords(selector);
    input.hostItems = (selector & 0x4000) != 0;
    input.items["MEM/A"] = parts[1];
    input.items["BP/B"] = parts[2];
    input.items["DICT BP/B"] = parts[2];
    input.items["inc/LIB/C"] = parts[3];
    input.files["inc/D"] = parts[4];
    input.files["E"] = parts[5];
    if (selector & 0x8000) {
        input.files["main.b"] = parts[0];
        fuzzing::runInProcess(input, "bprep2 -DDEBUG=0 -DLEVEL=3 -Iinc -aMEM main.b");
    } else {
        input.items["MEM/main"] = parts[0];
        fuzzing::runInProcess(input, "bprep2 -DDEBUG=0 -DLEVEL=3 -Iinc -aMEM main");
    }
    return 0;
}
