// Finding and reading a source, and scanning it into tokens.
#pragma once

#include <cstdint>
#include <string>

#include "driver/context.h"

namespace bprep2 {

// Scans one source (main program or included member) into ctx.tokens.
// `databaseFile` null: an operating-system file (or the -a default file).
void scanSource(PreprocessorContext& ctx, const std::string& sourceName, const std::string* databaseFile);

// Reads the next line of `reader` into its lineText; false at the end of
// the source. A source that fails to read ends the run.
bool readSourceLine(PreprocessorContext& ctx, SourceReader& reader);

// Reads a whole database item through the host library. 0 on success.
int32_t readDatabaseItem(PreprocessorContext& ctx, const std::string& databaseFile,
                         const std::string& itemName, std::string& itemText);

// Joins a directory and a name with the platform's separator.
std::string joinPath(const std::string& directory, const std::string& name);

}  // namespace bprep2
