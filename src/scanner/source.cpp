#include "scanner/source.h"

namespace bprep2 {
int32_t compileSource(PreprocessorContext&, const std::string&, const std::string*) { return 0; }
int32_t readSourceLine(PreprocessorContext&) { return 1; }
int32_t readDatabaseItem(PreprocessorContext&, const std::string&, const std::string&, std::string&) { return 11; }
std::string joinPath(const std::string& directory, const std::string& name) { return directory + "/" + name; }
}  // namespace bprep2
