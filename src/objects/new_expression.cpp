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

[[noreturn]] void illegalNew(const ObjectLine& line, size_t keyword) {
    line.diagnostics.errorAtColumn(line.tokens.keptColumn(line.tokens[keyword]), "Illegal syntax for NEW statement");
}

}  // namespace

size_t rewriteNewExpression(ObjectLine& line, size_t keyword) {
    restartIfObjectsOff(line);
    line.state.runtimeUsed = true;

    size_t word = nextSignificantReading(line, keyword, Reach::SameLine);
    if (word == npos) illegalNew(line, keyword);
    RuntimeCall constructor = RuntimeCall::NewObject;
    if (line.tokens.isWord(line.tokens[word], "ARRAY")) {
        constructor = RuntimeCall::NewArray;
    } else if (line.tokens.isWord(line.tokens[word], "OBJECT")) {
        constructor = RuntimeCall::NewObject;
    } else {
        illegalNew(line, keyword);
    }

    size_t open = nextSignificantReading(line, word, Reach::SameLine);
    bool hasParenthesis = open != npos && isBracket(line.tokens[open], '(');
    size_t close = hasParenthesis ? nextSignificantReading(line, open, Reach::SameLine) : npos;
    bool emptyParentheses = close != npos && isBracket(line.tokens[close], ')');

    if (hasParenthesis && !emptyParentheses) {
        // The source's own arguments follow the constructor's name.
        Token name = runtimeCallToken(line, TokenKind::Verbatim, constructor);
        line.tokens.replace(keyword, word, {&name, 1});
        return keyword + 1;
    }
    Token call[4] = {
        runtimeCallToken(line, TokenKind::Verbatim, constructor),
        bracketToken('('),
        line.tokens.make(TokenKind::Verbatim, "\"\""),
        bracketToken(')'),
    };
    line.tokens.replace(keyword, emptyParentheses ? close : word, call);
    return keyword + std::size(call);
}

}  // namespace bprep2
