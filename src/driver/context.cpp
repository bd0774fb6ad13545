#include "driver/context.h"

namespace bprep2 {
PreprocessorContext::~PreprocessorContext() {}
TextRef PreprocessorContext::storeText(std::string_view) { return {}; }
std::unique_ptr<PreprocessorContext> makeContext(int, char**, bool) {
    return std::make_unique<PreprocessorContext>();
}
void setEquate(PreprocessorContext&, const std::string&, std::string_view) {}
const std::string* findEquate(PreprocessorContext&, std::string_view) { return nullptr; }
bool isMember(NameTable&, const std::string&) { return false; }
}  // namespace bprep2
