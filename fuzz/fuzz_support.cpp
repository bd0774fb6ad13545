// The fuzz targets' fixture. The fake item read serves items from a map
// filled anew before every run, so a run leaves nothing for the next.
#include "fuzz_support.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "bprep2.h"
#include "driver/host_interface.h"

namespace fuzzing {

namespace {

int handleToken;  // any non-null address serves as the runtime handle

void* fakeGetdp(int, int, int, int) { return &handleToken; }

int fakeOpenRead(void*, void** item, const char* file, const char* name, char** buffer, uint32_t* size) {
    *item = nullptr;
    auto found = memoryItems().find(std::string(file) + "/" + name);
    if (found == memoryItems().end()) return 12;
    const std::string& text = found->second;
    if (text.size() > *size) {
        *buffer = static_cast<char*>(std::malloc(text.size() ? text.size() : 1));
    }
    std::memcpy(*buffer, text.data(), text.size());
    *size = static_cast<uint32_t>(text.size());
    return 0;
}

int fakeClose(void*, void*, int) { return 0; }

}  // namespace

std::map<std::string, std::string>& memoryItems() {
    static std::map<std::string, std::string> items;
    return items;
}

void setUpOnce() {
    static bool done = false;
    if (done) return;
    done = true;
    bprep2::itemReadCalls = {fakeGetdp, fakeOpenRead, fakeClose};
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, 2);
    char dir[] = "/tmp/bprep2-fuzz-XXXXXX";
    if (mkdtemp(dir) && chdir(dir) == 0) {
        // Files the command-line target may name.
        for (const char* name : {"prog.b", "inc.b"}) {
            FILE* f = std::fopen(name, "w");
            if (f) {
                std::fputs("PRINT 1\nINCLUDE inc.b\n", f);
                std::fclose(f);
            }
        }
    }
}

int runInProcess(const std::string& commandLine) {
    char* text = nullptr;
    uint32_t length = 0;
    uint32_t status = 1;
    std::string program = "bprep2", m = "-m", line = commandLine;
    std::vector<char*> argv = {program.data(), m.data(), reinterpret_cast<char*>(&text),
                               reinterpret_cast<char*>(&length), reinterpret_cast<char*>(&status),
                               line.data(), nullptr};
    int result = bprep2_run(static_cast<int>(argv.size() - 1), argv.data());
    if (result == 0 && (text == nullptr || status != 0 || text[length] != 0)) std::abort();
    std::free(text);
    return result;
}

std::string optionWords(uint16_t selector) {
    static const char* words[] = {"case", "objects", "dot", "arrow", "restart",
                                  "self", "stop", "uvcase", "warnings"};
    std::string out;
    for (size_t i = 0; i < sizeof words / sizeof *words; ++i) {
        out += (selector & (1u << i)) ? "" : "no";
        out += words[i];
        out += ',';
    }
    return out;
}

}  // namespace fuzzing
