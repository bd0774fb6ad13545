#include "driver/context.h"

namespace bprep2 {
TextRef PreprocessorContext::storeText(std::string_view) { return {}; }
void setEquate(PreprocessorContext&, const std::string&, std::string_view) {}
const std::string* findEquate(PreprocessorContext&, std::string_view) { return nullptr; }
bool isMember(NameTable&, const std::string&) { return false; }
}  // namespace bprep2
