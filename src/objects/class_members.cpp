// Class-qualified names: static method calls K::M(args) and METHOD K::M(args)
// declarations.
//
//   K::M(A, B)           qObjectStaticMethodN("K","M",A, B)
//   METHOD K::M(A, B)    FUNCTION <mangled K and M>(THIS,A, B)
//
// A pattern that does not match is left as it is; neither form is an error.
// The texts are built in growable strings, so class and method names of any
// length are handled.
#include <cstring>
#include <iterator>
#include <vector>

#include "host/quolt_host.h"
#include "objects/object_rewrite.h"
#include "tokens/keywords.h"

namespace bprep2 {

namespace {

bool isNameWord(const Token& token) {
    return token.kind == TokenKind::Name || token.kind == TokenKind::Function || token.kind == TokenKind::Keyword;
}

bool isKindAt(const ObjectLine& line, size_t index, TokenKind kind) {
    return index != npos && line.tokens[index].kind == kind;
}

bool isNameAt(const ObjectLine& line, size_t index) {
    return index != npos && isNameWord(line.tokens[index]);
}

// The host's name for a method, built the host's documented way:
// "qObj" <len><class> then "M" <len><method> (or "D" <len><name> for a
// destructor "~name"), then "_V". Used where the host's fixed buffer is too
// small to hold the whole name.
std::string mangleInString(const std::string& cls, const std::string& method) {
    bool destructor = !method.empty() && method[0] == '~';
    std::string_view base = destructor ? std::string_view(method).substr(1) : std::string_view(method);
    std::string name("qObj");
    name.append(std::to_string(cls.size())).append(cls);
    name.append(destructor ? "D" : "M").append(std::to_string(base.size())).append(base);
    return name.append("_V");
}

}  // namespace

std::string mangledMethodName(const std::string& cls, const std::string& method) {
    // The host cuts what does not fit its buffer; a name that fills the buffer
    // may have been cut, and cut names of different methods could collide.
    std::vector<char> buffer(QUOLT_MANGLE_BUFFER_SIZE, '\0');
    qobj_mangle(buffer.data(), cls.c_str(), method.c_str(), 'V');
    size_t length = strnlen(buffer.data(), buffer.size());
    if (length + 1 < buffer.size()) return std::string(buffer.data(), length);
    return mangleInString(cls, method);
}

size_t rewriteStaticCall(ObjectLine& line, size_t colonIndex) {
    size_t secondColon = nextSignificantReading(line, colonIndex, Reach::SameLine);
    if (!isKindAt(line, secondColon, TokenKind::Colon)) return colonIndex;
    size_t method = nextSignificantReading(line, secondColon, Reach::SameLine);
    size_t cls = previousSignificant(line.tokens, colonIndex, Reach::SameLine);
    size_t open = nextSignificantReading(line, method, Reach::SameLine);
    if (!isNameAt(line, method) || !isNameAt(line, cls) || open == npos || !isBracket(line.tokens[open], '('))
        return colonIndex;

    line.state.runtimeUsed = true;
    std::string text("qObjectStaticMethodN(\"");
    text.append(line.tokens.text(line.tokens[cls])).append("\",\"");
    text.append(line.tokens.text(line.tokens[method])).append("\"");
    size_t firstArgument = nextSignificantReading(line, open, Reach::SameLine);
    if (firstArgument == npos || !isBracket(line.tokens[firstArgument], ')')) text += ",";

    for (size_t index : {cls, colonIndex, secondColon, method}) resetToken(line.tokens[index], TokenKind::Deleted);
    line.tokens.reset(line.tokens[open], TokenKind::Verbatim, text);
    line.tokens.setValue(line.tokens[open], foldedOpenBracket);
    return colonIndex;
}

size_t rewriteMethodDeclaration(ObjectLine& line, size_t keyword) {
    restartIfObjectsOff(line);
    line.state.runtimeUsed = true;

    size_t cls = nextSignificantReading(line, keyword, Reach::SameLine);
    size_t firstColon = nextSignificantReading(line, cls, Reach::SameLine);
    size_t secondColon = nextSignificantReading(line, firstColon, Reach::SameLine);
    size_t method = nextSignificantReading(line, secondColon, Reach::SameLine);
    bool destructor = isKindAt(line, method, TokenKind::Tilde);
    if (destructor) method = nextSignificantReading(line, method, Reach::SameLine);
    size_t open = nextSignificantReading(line, method, Reach::SameLine);
    if (!isNameAt(line, cls) || !isKindAt(line, firstColon, TokenKind::Colon) ||
        !isKindAt(line, secondColon, TokenKind::Colon) || !isNameAt(line, method) ||
        !isKindAt(line, open, TokenKind::Bracket))
        return keyword;

    std::string methodName(destructor ? "~" : "");
    methodName.append(line.tokens.text(line.tokens[method]));
    std::string functionName = mangledMethodName(std::string(line.tokens.text(line.tokens[cls])), methodName);

    // FUNCTION name(THIS, ... : the declaration's own parameters follow, or
    // its ')' is taken over when it has none.
    size_t last = open;
    TokenKind closing = TokenKind::Comma;
    size_t afterOpen = nextSignificantReading(line, open, Reach::SameLine);
    if (isKindAt(line, afterOpen, TokenKind::Bracket)) {
        last = afterOpen;
        closing = TokenKind::Bracket;
    }
    Token work[6] = {
        line.tokens.make(TokenKind::Keyword, "FUNCTION"),
        line.tokens.make(TokenKind::Blank, {}, 1),
        line.tokens.make(TokenKind::Name, functionName),
        bracketToken('('),
        line.tokens.make(TokenKind::Name, line.options.self() ? "SELF" : "THIS"),
        line.tokens.make(closing, {}, closing == TokenKind::Bracket ? ')' : 0),
    };
    work[2].special = specialNoResolve;  // a function's name, not an array's
    line.tokens.replace(keyword, last, work);
    return keyword + std::size(work);
}

}  // namespace bprep2
