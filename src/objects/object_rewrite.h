// Pieces shared by the object-syntax rewrites (member references, static
// calls, METHOD declarations, NEW) and by the TRY/CATCH/THROW translation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "objects/line_input.h"
#include "objects/object_state.h"
#include "tokens/scans.h"

namespace bprep2 {

// The keyword ELSE, in any case: it ends a value in a THEN clause.
inline bool isElse(const TokenList& tokens, const Token& token) {
    return token.kind == TokenKind::Keyword && tokens.isWord(token, "ELSE");
}
// +1 for a value's own opening round or square bracket, -1 for a closing
// one, 0 for anything else; unlike the walk back to an object's start, a
// value does not count angle brackets.
inline int64_t valueBracketStep(const Token& token) {
    if (isBracket(token, '(') || isBracket(token, '[')) return 1;
    if (isBracket(token, ')') || isBracket(token, ']')) return -1;
    return 0;
}

// Object syntax met while the extensions are off: abandon the attempt so the
// driver can compile again with them on (when the restart option allows).
inline void restartIfObjectsOff(const ObjectLine& line) {
    if (!line.options.objects() && line.options.objectRestart()) throw ObjectSyntaxRestart{};
}

size_t rewriteMemberReference(ObjectLine& line, size_t op);
size_t rewriteStaticCall(ObjectLine& line, size_t colon);
size_t rewriteMethodDeclaration(ObjectLine& line, size_t keyword);
size_t rewriteNewExpression(ObjectLine& line, size_t keyword);

// Where the name of runtime call `call` lies in the pool, stored there now.
TextRef storeRuntimeCallName(TokenList& tokens, RuntimeCall call);

// A CallName or Verbatim token naming runtime call `call`, its text stored
// in the pool once per run; nearly every member reference makes one.
inline Token runtimeCallToken(ObjectLine& line, TokenKind kind, RuntimeCall call) {
    TextRef& stored = line.state.callNames[static_cast<size_t>(call)];
    if (stored.length == 0) stored = storeRuntimeCallName(line.tokens, call);
    Token token;
    token.kind = kind;
    token.setText(stored);
    return token;
}

// The name of the function that implements method `method` of class `cls`.
std::string mangledMethodName(const std::string& cls, const std::string& method);

}  // namespace bprep2
