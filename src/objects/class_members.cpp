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
#include <vector>

#include "host/quolt_host.h"
#include "objects/object_rewrite.h"

namespace bprep2 {

namespace {

bool isNameWord(const Token& token) {
    return token.type == variable || token.type == system_function || token.type == system_keyword;
}

bool isTypeAt(const PreprocessorContext& ctx, size_t index, int type) {
    return index != npos && ctx.tokens[index].type == type;
}

bool isNameAt(const PreprocessorContext& ctx, size_t index) {
    return index != npos && isNameWord(ctx.tokens[index]);
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

int64_t rewriteStaticCall(PreprocessorContext& ctx, size_t colonIndex) {
    // Most colons join strings: one look past it settles those.
    size_t secondColon = tokenAfter(ctx, colonIndex, modeSameLine);
    if (!isTypeAt(ctx, secondColon, colon)) return static_cast<int64_t>(colonIndex);
    size_t method = tokenAfter(ctx, secondColon, modeSameLine);
    size_t cls = tokenBefore(ctx, colonIndex, modeSameLine);
    size_t open = tokenAfter(ctx, method, modeSameLine);
    if (!isNameAt(ctx, method) || !isNameAt(ctx, cls) || open == npos || !isExtract(tokenAt(ctx, open), '('))
        return static_cast<int64_t>(colonIndex);

    ctx.objectRuntimeUsed = true;
    std::string text("qObjectStaticMethodN(\"");
    text.append(ctx.text(tokenAt(ctx, cls))).append("\",\"").append(ctx.text(tokenAt(ctx, method))).append("\"");
    size_t firstArgument = tokenAfter(ctx, open, modeSameLine);
    if (firstArgument == npos || !isExtract(tokenAt(ctx, firstArgument), ')')) text += ",";

    for (size_t index : {cls, colonIndex, secondColon, method}) resetToken(tokenAt(ctx, index), null_token);
    resetToken(ctx, tokenAt(ctx, open), unparsed, text);
    tokenAt(ctx, open).value = foldedOpenBracket;
    return static_cast<int64_t>(colonIndex);
}

int64_t rewriteMethodDeclaration(PreprocessorContext& ctx, size_t keyword) {
    restartIfObjectsOff(ctx);
    ctx.objectRuntimeUsed = true;

    size_t cls = tokenAfter(ctx, keyword, modeSameLine);
    size_t firstColon = tokenAfter(ctx, cls, modeSameLine);
    size_t secondColon = tokenAfter(ctx, firstColon, modeSameLine);
    size_t method = tokenAfter(ctx, secondColon, modeSameLine);
    bool destructor = isTypeAt(ctx, method, tidle);
    if (destructor) method = tokenAfter(ctx, method, modeSameLine);
    size_t open = tokenAfter(ctx, method, modeSameLine);
    if (!isNameAt(ctx, cls) || !isTypeAt(ctx, firstColon, colon) || !isTypeAt(ctx, secondColon, colon) ||
        !isNameAt(ctx, method) || !isTypeAt(ctx, open, extract))
        return static_cast<int64_t>(keyword);

    std::string methodName(destructor ? "~" : "");
    methodName.append(ctx.text(tokenAt(ctx, method)));
    std::string functionName = mangledMethodName(std::string(ctx.text(tokenAt(ctx, cls))), methodName);

    // FUNCTION name(THIS, ... : the declaration's own parameters follow, or
    // its ')' is taken over when it has none.
    size_t last = open;
    int32_t closing = comma;
    size_t afterOpen = tokenAfter(ctx, open, modeSameLine);
    if (isTypeAt(ctx, afterOpen, extract)) {
        last = afterOpen;
        closing = extract;
    }
    Token work[6] = {
        makeToken(ctx, system_keyword, "FUNCTION"),
        makeToken(ctx, whitespace, {}, 1),
        makeToken(ctx, variable, functionName),
        makeToken(ctx, extract, {}, '('),
        makeToken(ctx, variable, ctx.has(optSelf) ? "SELF" : "THIS"),
        makeToken(ctx, closing, {}, closing == extract ? ')' : 0),
    };
    work[2].special = 7;  // the statement pass must not take name(...) for an array
    replaceTokens(ctx, work, 6, keyword, last);
    return static_cast<int64_t>(keyword + 6);
}

}  // namespace bprep2
