// Shared by the fuzz targets: runs the pre-processor in-process over an
// argument line, with database items served from memory.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace fuzzing {

// Items the fake item read serves, by "<database file>/<item>".
std::map<std::string, std::string>& memoryItems();

// Points the pre-processor's item read at memoryItems(), sends stderr to
// /dev/null and moves into a private scratch directory. Call once.
void setUpOnce();

// Runs bprep2 in-process with `commandLine` (its first word stands for the
// program name) and frees the delivered text. Returns the exit status.
int runInProcess(const std::string& commandLine);

// Option words chosen by the bits of `selector`, for BASC_BPREP2.
std::string optionWords(uint16_t selector);

}  // namespace fuzzing
