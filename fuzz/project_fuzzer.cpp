// Fuzz target: the bytes are split at 0x00 bytes into a main source and up
// to four members. Members are served as items of the database file BP and
// of the default database file MEM, so INCLUDE A, INCLUDE BP B and the
// directive forms reach them, with conditionals and equates across members.
#include <cstdlib>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::setUpOnce();
    if (size < 2) return 0;
    uint16_t selector = static_cast<uint16_t>(data[0] | (data[1] << 8));
    setenv("BASC_BPREP2", fuzzing::optionWords(selector).c_str(), 1);
    std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
    static const char* names[] = {"main", "A", "B", "C", "D"};
    auto& items = fuzzing::memoryItems();
    items.clear();
    for (const char* name : names) {
        size_t cut = rest.find('\0');
        std::string part(rest.substr(0, cut));
        items[std::string("MEM/") + name] = part;
        items[std::string("BP/") + name] = part;
        if (cut == std::string_view::npos) break;
        rest.remove_prefix(cut + 1);
    }
    fuzzing::runInProcess("bprep2 -DDEBUG=0 -DLEVEL=3 -a MEM main");
    return 0;
}
