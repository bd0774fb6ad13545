// The scans for the significant token before or after a position.
#include "tokens/scans.h"

#include <algorithm>

#include "tokens/words.h"

namespace bprep2 {

bool isStatementOpener(const TokenList& tokens, const Token& t) {
    return t.kind == TokenKind::Keyword && isOpenerWord(tokens.text(t), false);
}

size_t nextSignificant(const TokenList& tokens, size_t index, Reach reach) {
    if (index == npos) return npos;
    for (size_t i = index + 1; i < tokens.size(); ++i) {
        TokenKind kind = tokens[i].kind;
        if (blanks.has(kind)) continue;
        switch (reach) {
            case Reach::Anywhere:
                if (statementEnds.has(kind)) continue;
                return i;
            case Reach::SameStatement:
            case Reach::SameLine:
                return endsScanAhead(kind, reach) ? npos : i;
        }
    }
    return npos;
}

size_t previousNonBlank(const TokenList& tokens, size_t index) {
    for (size_t i = std::min(index, tokens.size()); i-- > 0;)
        if (!blanks.has(tokens[i].kind)) return i;
    return npos;
}

}  // namespace bprep2
