// Pieces shared by the object-syntax rewrites (member references, static
// calls, METHOD declarations, NEW) and by the TRY/CATCH/THROW translation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "driver/context.h"
#include "tokens/token_list.h"

namespace bprep2 {

// The significant token after / before the token at `index`, in the given
// scan mode; npos at the ends of the list or where the mode stops. Looking
// ahead brings in the tokens the after-line pass holds back.
size_t tokenAfter(PreprocessorContext& ctx, size_t index, int mode);
size_t tokenBefore(const PreprocessorContext& ctx, size_t index, int mode);

bool isExtract(const Token& token, char bracket);
// The token's text equals `word` ignoring letter case (whole word).
bool hasWord(const PreprocessorContext& ctx, const Token& token, std::string_view word);

// The keyword ELSE, in any case: it ends a value in a THEN clause.
bool isElse(const PreprocessorContext& ctx, const Token& token);
// +1 for a value's own opening round or square bracket, -1 for a closing
// one, 0 for anything else; unlike the walk back to an object's start, a
// value does not count angle brackets.
int64_t valueBracketStep(const Token& token);

// A fresh token for a work array handed to replaceTokens.
Token makeToken(PreprocessorContext& ctx, int32_t type, std::string_view text = {}, int32_t value = 0);

// Object syntax met while the extensions are off: abandon the attempt so the
// driver can compile again with them on (when the restart option allows).
void restartIfObjectsOff(const PreprocessorContext& ctx);

int64_t rewriteMemberReference(PreprocessorContext& ctx, size_t op);
int64_t rewriteStaticCall(PreprocessorContext& ctx, size_t colon);
int64_t rewriteMethodDeclaration(PreprocessorContext& ctx, size_t keyword);
int64_t rewriteNewExpression(PreprocessorContext& ctx, size_t keyword);

// The name of the function that implements method `method` of class `cls`.
std::string mangledMethodName(const std::string& cls, const std::string& method);

}  // namespace bprep2
