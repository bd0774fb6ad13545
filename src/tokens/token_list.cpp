#include "tokens/token_list.h"

namespace bprep2 {
void appendToken(PreprocessorContext&, int32_t, std::string_view, int32_t) {}
void appendTokenSpecial(PreprocessorContext&, int32_t, std::string_view, int32_t, int32_t) {}
void insertToken(PreprocessorContext&, size_t, int32_t, std::string_view, int32_t) {}
void resetToken(Token&, int32_t) {}
void resetToken(PreprocessorContext&, Token&, int32_t, std::string_view) {}
int32_t replaceTokens(PreprocessorContext&, const Token*, size_t, size_t, size_t) { return 0; }
size_t nextSignificant(const PreprocessorContext&, size_t, int) { return npos; }
size_t previousSignificant(const PreprocessorContext&, size_t, int) { return npos; }
void pointAtToken(PreprocessorContext&, size_t) {}
int32_t sameWord(const PreprocessorContext&, std::string_view, std::string_view) { return 1; }
int32_t equalsIgnoreCase(std::string_view, std::string_view) { return 1; }
std::string upperCased(std::string_view s) { return std::string(s); }
bool isStatementOpener(const PreprocessorContext&, const Token&) { return false; }
}  // namespace bprep2
