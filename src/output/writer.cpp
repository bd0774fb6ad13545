// Output writer: turns the final token list back into program text.
//
// The whole text is built in one buffer before anything is written, so a
// token that cannot be written leaves the stream untouched, and the text
// reaches the stream (or the in-process caller) in one piece. Every source
// line break survives: a comma at a line end pulls the next line up, and the
// line breaks it swallowed are written at the next line end instead (never
// past a line marker), so the compiler's line numbers after that point still
// match the source. The joins are followed as the list is read
// (CommaJoins).
//
// Guarantees: the list is only read; each look-ahead and look-back stops at
// the first token that is not blank, and the ranges different tokens scan
// do not overlap, so building the text is linear in the number of tokens
// however long the runs of blanks are; a token of a kind that cannot be
// written, or no room for the text, ends the run before anything is
// written.
#include "output/writer.h"

#include <array>
#include <cstring>
#include <string_view>

#include "tokens/characters.h"
#include "tokens/comma_join.h"
#include "tokens/scans.h"
#include "tokens/words.h"

namespace bprep2 {

namespace {

constexpr std::string_view objectPrologue =
    "\n#line 1 \"QUOLTOBJECT\"\n"
    " DEFC VAR qObjectNewObject(STRING,QAC_VARARG)\n"
    " DEFC VAR qObjectNewArray(STRING,QAC_VARARG)\n"
    " DEFC VAR qObjectGet1(VAR,VAR)\n"
    " DEFC VAR qObjectSet1(VAR,VAR,VAR)\n"
    " DEFC VAR qObjectMethodN(VAR,VAR,QAC_VARARG)\n"
    " DEFC VAR qObjectStaticMethodN(VAR,VAR,QAC_VARARG)\n"
    " DEFC VAR qObjectQUOLT(INT)\n"
    " DEFC INT qObjectThrow(QAC_VARARG)\n";

bool hasMixedCase(std::string_view text) {
    bool lower = false, upper = false;
    for (char c : text) {
        lower = lower || isLowerCaseLetter(c);
        upper = upper || isUpperCaseLetter(c);
    }
    return lower && upper;
}

// True when the text held a lower-case letter.
bool addUpperCased(std::string_view text, TextBuffer& out) {
    char* to = out.cursor();
    bool lowerCase = false;
    for (char c : text) {
        lowerCase |= isLowerCaseLetter(c);
        *to++ = toUpperCase(c);
    }
    out.advance(text.size());
    return lowerCase;
}

// The name of a called or declared subroutine keeps its case, because the
// platform looks subroutines up by the name as written.
bool followsSubroutineWord(const TokenList& tokens, size_t index) {
    size_t before = previousSignificant(tokens, index, Reach::SameLine);
    if (before == npos || tokens[before].kind != TokenKind::Keyword) return false;
    for (std::string_view word : {"call", "callc", "callj", "function", "subroutine"})
        if (tokens.isWord(tokens[before], word)) return true;
    return false;
}

// Most tokens write one byte: a blank, punctuation, or an operator or
// bracket (its own character). A table says which.
constexpr char ownCharacter = 1;

constexpr std::array<char, 256> makeSingleBytes() {
    std::array<char, 256> bytes{};
    auto set = [&bytes](TokenKind kind, char c) { bytes[static_cast<size_t>(kindNumber(kind))] = c; };
    set(TokenKind::Blank, ' ');
    set(TokenKind::Operator, ownCharacter);
    set(TokenKind::Bracket, ownCharacter);
    set(TokenKind::Colon, ':');
    set(TokenKind::Tilde, '~');
    set(TokenKind::Hash, '#');
    set(TokenKind::At, '@');
    set(TokenKind::Equals, '=');
    set(TokenKind::Underscore, '_');
    return bytes;
}

constexpr std::array<char, 256> singleBytes = makeSingleBytes();

class ProgramText {
   public:
    ProgramText(const TokenList& tokens, const WriterSettings& settings, const Diagnostics& diagnostics,
                TextBuffer& text)
        : tokens_(tokens), settings_(settings), diagnostics_(diagnostics), text_(text) {
        functionsDeclared_ = settings.declaredFunctions && settings.declaredFunctions->hasAnyMember();
        recordsLookups_ = settings.recordsLookups && settings.declaredFunctions && !settings.caseSensitive &&
                          !settings.uvCase;
    }

    void addTokens() {
        const size_t count = tokens_.size();
        for (size_t i = 0; i < count; ++i) {
            const Token& t = tokens_[i];
            if (char byte = singleBytes[static_cast<size_t>(kindNumber(t.kind))]) {
                if (!text_.reserve(1)) failForRoom(diagnostics_, text_.size() + 1);
                text_.push(byte == ownCharacter ? t.character() : byte);
                continue;
            }
            const bool dropped = joins_.drops(i, t);
            size_t most = dropped ? size_t{32} : mostBytesOf(i, t);
            if (!text_.reserve(most)) failForRoom(diagnostics_, text_.size() + most);
            if (dropped) continue;
            if (!addToken(i, t))
                diagnostics_.errorWithStatus(unwrittenStatus, "Internal error: Token type of %d found\n",
                                             kindNumber(t.kind));
        }
    }

   private:
    // The most a token adds to the text: its own text, a line marker's
    // frame, or the line breaks of a line end.
    size_t mostBytesOf(size_t index, const Token& t) const {
        size_t most = tokens_.textRef(t).length + size_t{32};
        if (t.kind == TokenKind::LineEnd) {
            int32_t lines = joins_.linesAt(index, t);
            if (lines > 0) most += static_cast<size_t>(lines);
        }
        return most;
    }

    // Keywords are folded to upper case unless the case options keep them.
    void addKeyword(std::string_view text) {
        if ((settings_.uvCase && hasMixedCase(text)) || settings_.caseSensitive) text_.push(text);
        else addUpperCased(text, text_);
    }

    // Written upper-cased first: a name written in upper case comes out the
    // same whichever rule keeps or changes its case, so none need be asked.
    void addName(size_t index, const Token& t) {
        std::string_view text = tokens_.text(t);
        if (recordsLookups_) settings_.declaredFunctions->noteLookup(text);
        char* written = text_.cursor();
        if (!addUpperCased(text, text_)) return;
        if (settings_.caseSensitive || settings_.uvCase ||
            (functionsDeclared_ && settings_.declaredFunctions->hasMember(text)) ||
            followsSubroutineWord(tokens_, index))
            std::memcpy(written, text.data(), text.size());
    }

    void addLineMarker(const Token& t) {
        char number[16];
        int length = std::snprintf(number, sizeof number, "%d", static_cast<int>(tokens_.value(t)));
        text_.push("\n#line ");
        text_.push(std::string_view(number, static_cast<size_t>(length)));
        text_.push(" \"");
        text_.push(tokens_.text(t));
        text_.push("\"\n");
    }

    // A statement separator is only needed when another statement follows
    // on the same output line.
    bool moreFollowsOnLine(size_t index) const { return nextSignificant(tokens_, index, Reach::SameLine) != npos; }

    // False for a kind that cannot be written.
    bool addToken(size_t index, const Token& t) {
        switch (t.kind) {
            case TokenKind::LineMarker: addLineMarker(t); return true;
            case TokenKind::LineEnd: {
                int32_t lines = joins_.linesAt(index, t);
                if (lines > 0) text_.pushRepeated('\n', static_cast<size_t>(lines));
                return true;
            }
            case TokenKind::Separator:
                if (moreFollowsOnLine(index)) text_.push(';');
                return true;
            case TokenKind::Brace: text_.push(t.character()); return true;
            case TokenKind::OperatorText:
            case TokenKind::CallName:
            case TokenKind::Verbatim:
            case TokenKind::MemberName:
            case TokenKind::Number:
            case TokenKind::String:
            case TokenKind::NameAsWritten: text_.push(tokens_.text(t)); return true;
            case TokenKind::MemberOperator: text_.push(settings_.dotMember ? "." : "->"); return true;
            case TokenKind::Keyword:
            case TokenKind::Function: addKeyword(tokens_.text(t)); return true;
            case TokenKind::Name:
            case TokenKind::Label: addName(index, t); return true;
            case TokenKind::Comma:
                text_.push(',');
                joins_.joinAfter(tokens_, index);
                return true;
            case TokenKind::Deleted: return true;
            default: return false;
        }
    }

    const TokenList& tokens_;
    const WriterSettings& settings_;
    const Diagnostics& diagnostics_;
    TextBuffer& text_;
    CommaJoins joins_;
    bool functionsDeclared_ = false;
    bool recordsLookups_ = false;
};

}  // namespace

void buildProgramText(const TokenList& tokens, const WriterSettings& settings, const Diagnostics& diagnostics,
                      TextBuffer& text) {
    // Room for every token's text and a byte or two more per token, so the
    // text is seldom moved as it grows.
    size_t expected = tokens.textBytes() + 2 * tokens.size() + objectPrologue.size() + 64;
    if (!text.reserve(expected)) failForRoom(diagnostics, expected);
    if (settings.objectRuntimeUsed) text.push(objectPrologue);
    ProgramText(tokens, settings, diagnostics, text).addTokens();
}

void failForRoom(const Diagnostics& diagnostics, size_t bytes) {
    diagnostics.errorWithStatus(unwrittenStatus, "Unable to allocate %zu bytes for the output text", bytes);
}

void writeText(std::FILE* out, const TextBuffer& text, const Diagnostics& diagnostics) {
    std::string_view view = text.view();
    size_t written = view.empty() ? 0 : std::fwrite(view.data(), 1, view.size(), out);
    if (written != view.size() || std::fflush(out) != 0)
        diagnostics.errorWithStatus(unwrittenStatus, "Unable to write the output text");
}

}  // namespace bprep2
