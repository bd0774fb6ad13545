// NEW OBJECT and NEW ARRAY become calls of the runtime's constructors:
//
//   NEW OBJECT(CLS, A)   qObjectNewObject(CLS, A)
//   NEW OBJECT           qObjectNewObject("")
//   NEW OBJECT()         qObjectNewObject("")
//   NEW ARRAY(NAME)      qObjectNewArray(NAME)
//
// Anything else after NEW is reported with the caret at NEW.
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

    size_t word = tokenAfter(ctx, keyword, modeSameLine);
    if (word == npos) return illegalNew(ctx, keyword);
    std::string_view constructor;
    if (hasWord(ctx, tokenAt(ctx, word), "ARRAY")) {
        constructor = "qObjectNewArray";
    } else if (hasWord(ctx, tokenAt(ctx, word), "OBJECT")) {
        constructor = "qObjectNewObject";
    } else {
        return illegalNew(ctx, keyword);
    }

    size_t open = tokenAfter(ctx, word, modeSameLine);
    bool hasParenthesis = open != npos && isExtract(tokenAt(ctx, open), '(');
    size_t close = hasParenthesis ? tokenAfter(ctx, open, modeSameLine) : npos;
    bool emptyParentheses = close != npos && isExtract(tokenAt(ctx, close), ')');

    if (hasParenthesis && !emptyParentheses) {
        // The source's own arguments follow the constructor's name.
        Token name = makeToken(ctx, unparsed, constructor);
        replaceTokens(ctx, &name, 1, keyword, word);
        return static_cast<int64_t>(keyword + 1);
    }
    Token call[4] = {
        makeToken(ctx, unparsed, constructor),
        makeToken(ctx, extract, {}, '('),
        makeToken(ctx, unparsed, "\"\""),
        makeToken(ctx, extract, {}, ')'),
    };
    replaceTokens(ctx, call, 4, keyword, emptyParentheses ? close : word);
    return static_cast<int64_t>(keyword + 4);
}

}  // namespace bprep2
