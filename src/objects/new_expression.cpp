// NEW OBJECT and NEW ARRAY become calls of the runtime's constructors:
//
//   NEW OBJECT(CLS, A)   qObjectNewObject(CLS, A)
//   NEW OBJECT           qObjectNewObject("")
//   NEW OBJECT()         qObjectNewObject("")
//   NEW ARRAY(NAME)      qObjectNewArray(NAME)
//
// Anything else after NEW is reported with the caret at NEW.
#include <iterator>

#include "driver/report.h"
#include "objects/object_rewrite.h"

namespace bprep2 {

namespace {

int64_t illegalNew(PreprocessorContext& ctx, size_t keyword) {
    pointAtToken(ctx, keyword);
    report(ctx, "Illegal syntax for NEW statement");
    return -1;
}

}  // namespace

int64_t rewriteNewExpression(PreprocessorContext& ctx, size_t keyword) {
    restartIfObjectsOff(ctx);
    ctx.objectRuntimeUsed = true;

    size_t word = nextSignificantBringingIn(ctx, keyword, Reach::SameLine);
    if (word == npos) return illegalNew(ctx, keyword);
    std::string_view constructor;
    if (ctx.tokens.isWord(ctx.tokens[word], "ARRAY")) {
        constructor = "qObjectNewArray";
    } else if (ctx.tokens.isWord(ctx.tokens[word], "OBJECT")) {
        constructor = "qObjectNewObject";
    } else {
        return illegalNew(ctx, keyword);
    }

    size_t open = nextSignificantBringingIn(ctx, word, Reach::SameLine);
    bool hasParenthesis = open != npos && isBracket(ctx.tokens[open], '(');
    size_t close = hasParenthesis ? nextSignificantBringingIn(ctx, open, Reach::SameLine) : npos;
    bool emptyParentheses = close != npos && isBracket(ctx.tokens[close], ')');

    if (hasParenthesis && !emptyParentheses) {
        // The source's own arguments follow the constructor's name.
        Token name = ctx.tokens.make(TokenKind::Verbatim, constructor);
        ctx.tokens.replace(keyword, word, {&name, 1});
        return static_cast<int64_t>(keyword + 1);
    }
    Token call[4] = {
        ctx.tokens.make(TokenKind::Verbatim, constructor),
        ctx.tokens.make(TokenKind::Bracket, {}, '('),
        ctx.tokens.make(TokenKind::Verbatim, "\"\""),
        ctx.tokens.make(TokenKind::Bracket, {}, ')'),
    };
    ctx.tokens.replace(keyword, emptyParentheses ? close : word, call);
    return static_cast<int64_t>(keyword + std::size(call));
}

}  // namespace bprep2
