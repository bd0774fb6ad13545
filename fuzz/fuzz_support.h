// Shared by the fuzz targets: runs the pre-processor in-process over a
// command line, with database items served from memory and members written
// into a private scratch directory, and checks what every run must keep to.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace fuzzing {

// What one run is given besides its command line. `items` are keyed
// "<database file>/<item>" and served from memory by a fake item read, or,
// with `hostItems`, written as those files and read by the host stand-in
// (which turns their line ends into attribute marks). `files` are written
// (by path relative to the working directory) before the run; everything is
// removed after it.
struct RunInput {
    std::map<std::string, std::string> items;
    std::map<std::string, std::string> files;
    std::string optionWords;  // BASC_BPREP2; empty leaves it unset
    bool hostItems = false;
};

// Runs bprep2 in-process with `leading` words ahead of -m, `commandLine` as
// the further command line (its first word stands for the program name) and
// `trailing` words after it. Aborts when the run breaks a rule every run keeps to: a
// success delivers its text NUL-terminated with status 0, a failure delivers
// nothing, nothing reaches standard output but the help text, and the
// working directory holds nothing new afterwards. Returns the exit status.
int runInProcess(const RunInput& input, const std::string& commandLine,
                 const std::vector<std::string>& leading = {},
                 const std::vector<std::string>& trailing = {});

// Option words chosen by the bits of `selector`, for BASC_BPREP2.
std::string optionWords(uint16_t selector);

// Splits `data` at `separator` into at most `limit` parts (the last part
// keeps the rest, separators included).
std::vector<std::string> splitInput(std::string_view data, char separator, size_t limit);

}  // namespace fuzzing
