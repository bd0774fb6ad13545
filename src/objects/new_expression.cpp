// NEW OBJECT and NEW ARRAY become calls of the runtime's constructors:
//
//   NEW OBJECT(CLS, A)   qObjectNewObject(CLS, A)
//   NEW OBJECT           qObjectNewObject("")
//   NEW OBJECT()         qObjectNewObject("")
//   NEW ARRAY(NAME)      qObjectNewArray(NAME)
//
// Anything else after NEW is reported with the caret at NEW.
#include <iterator>

#include "objects/object_rewrite.h"

namespace bprep2 {

namespace {

[[noreturn]] void illegalNew(const PreprocessorContext& ctx, size_t keyword) {
    ctx.diagnostics.errorAtColumn(ctx.tokens[keyword].column, "Illegal syntax for NEW statement");
}

}  // namespace

size_t rewriteNewExpression(PreprocessorContext& ctx, size_t keyword) {
    restartIfObjectsOff(ctx);
    ctx.objectRuntimeUsed = true;

    size_t word = nextSignificantBringingIn(ctx, keyword, Reach::SameLine);
    if (word == npos) illegalNew(ctx, keyword);
    std::string_view constructor;
    if (ctx.tokens.isWord(ctx.tokens[word], "ARRAY")) {
        constructor = "qObjectNewArray";
    } else if (ctx.tokens.isWord(ctx.tokens[word], "OBJECT")) {
        constructor = "qObjectNewObject";
    } else {
        illegalNew(ctx, keyword);
    }

    size_t open = nextSignificantBringingIn(ctx, word, Reach::SameLine);
    bool hasParenthesis = open != npos && isBracket(ctx.tokens[open], '(');
    size_t close = hasParenthesis ? nextSignificantBringingIn(ctx, open, Reach::SameLine) : npos;
    bool emptyParentheses = close != npos && isBracket(ctx.tokens[close], ')');

    if (hasParenthesis && !emptyParentheses) {
        // The source's own arguments follow the constructor's name.
        Token name = ctx.tokens.make(TokenKind::Verbatim, constructor);
        ctx.tokens.replace(keyword, word, {&name, 1});
        return keyword + 1;
    }
    Token call[4] = {
        ctx.tokens.make(TokenKind::Verbatim, constructor),
        ctx.tokens.make(TokenKind::Bracket, {}, '('),
        ctx.tokens.make(TokenKind::Verbatim, "\"\""),
        ctx.tokens.make(TokenKind::Bracket, {}, ')'),
    };
    ctx.tokens.replace(keyword, emptyParentheses ? close : word, call);
    return keyword + std::size(call);
}

}  // namespace bprep2
