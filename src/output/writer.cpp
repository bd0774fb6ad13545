// Output writer: turns the final token list back into program text.
//
// A text for a stream is written a buffer at a time, so that it never
// takes memory of its own size; the in-process caller receives the whole
// text in one block. Every source line break survives: a comma at a line
// end pulls the next line up, and the line breaks it swallowed are written
// at the next line end instead (never past a line marker), so the
// compiler's line numbers after that point still match the source. The
// joins are followed as the list is read (CommaJoins).
//
// Guarantees: the list is only read; each look-ahead and look-back stops at
// the first token that is not blank, and the ranges different tokens scan
// do not overlap, so building the text is linear in the number of tokens
// however long the runs of blanks are. No room for the text ends the run
// before anything is written: a streamed text's buffer takes its whole room
// before the first piece goes out, and nothing after that can fail but a
// write. A token of a kind that cannot be written ends the run too; no
// stage makes one (Invalid is named only for the writer to refuse, and
// every other kind is written: tests/output/writer_test.cpp holds both to
// that), so a streamed text never stops part way for it, and the list
// need not be read twice to find one first.
#include "output/writer.h"

#include <algorithm>
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

[[gnu::noinline]] char* copyLongText(char* to, std::string_view text) {
    std::memcpy(to, text.data(), text.size());
    return to + text.size();
}

template <typename Word>
void copyWord(char* to, const char* from) {
    Word word;
    std::memcpy(&word, from, sizeof word);
    std::memcpy(to, &word, sizeof word);
}

// Copies a text of any length: one not in the pool (a marker's frame), one
// too near the pool's end to be read by whole words, or a long one.
char* copyText(char* to, std::string_view text) {
    const char* from = text.data();
    const size_t n = text.size();
    if (n > 2 * sizeof(uint64_t)) return copyLongText(to, text);
    if (n >= sizeof(uint64_t)) {
        copyWord<uint64_t>(to, from);
        copyWord<uint64_t>(to + n - sizeof(uint64_t), from + n - sizeof(uint64_t));
    } else if (n >= sizeof(uint32_t)) {
        copyWord<uint32_t>(to, from);
        copyWord<uint32_t>(to + n - sizeof(uint32_t), from + n - sizeof(uint32_t));
    } else if (n > 0) {
        to[0] = from[0];
        to[n / 2] = from[n / 2];
        to[n - 1] = from[n - 1];
    }
    return to + n;
}

// Writes `text` upper-cased at `to`; true when it held a lower-case letter.
bool copyUpperCased(char* to, std::string_view text) {
    bool lowerCase = false;
    for (char c : text) {
        lowerCase |= isLowerCaseLetter(c);
        *to++ = toUpperCase(c);
    }
    return lowerCase;
}

// Most texts of a program (names, keywords, numbers) are short: they are
// copied, and upper-cased, sixteen bytes at once, the bytes after the text
// included, which whatever follows in the text writes over. A copy
// chosen by length, or a loop over the bytes, branched on each text's
// length, and neighbouring tokens' lengths vary too much for that branch
// to be foreseen.
constexpr size_t wordBytes = sizeof(uint64_t);
constexpr size_t shortTextBytes = 2 * wordBytes;

uint64_t loadWord(const char* from) {
    uint64_t word;
    std::memcpy(&word, from, sizeof word);
    return word;
}

void storeWord(char* to, uint64_t word) { std::memcpy(to, &word, sizeof word); }

// Copies a short text whose sixteen bytes can be read.
char* copyShortText(char* to, const char* from, size_t length) {
    storeWord(to, loadWord(from));
    storeWord(to + wordBytes, loadWord(from + wordBytes));
    return to + length;
}

// A short text's bytes taken at once, through the vector extension of the
// compilers the program is built with. Signed, so that a byte past 0x7F
// compares below 'a' on every platform: it is no letter.
using ByteVector = signed char __attribute__((vector_size(shortTextBytes)));

ByteVector loadVector(const char* from) {
    ByteVector bytes;
    std::memcpy(&bytes, from, sizeof bytes);
    return bytes;
}

// Read at 16 - n, the bytes that keep the first n bytes of a short text
// and clear the rest.
constexpr std::array<char, 2 * shortTextBytes> firstBytesMasks = [] {
    std::array<char, 2 * shortTextBytes> masks{};
    for (size_t i = 0; i < shortTextBytes; ++i) masks[i] = '\xFF';
    return masks;
}();

// Writes upper-cased at `to` a short text whose sixteen bytes can be read;
// true when it held a lower-case letter. Kept out of line: written into
// the writer's loop, it made every token of the loop slower.
[[gnu::noinline]] bool copyShortUpperCased(char* to, const char* from, size_t length) {
    const ByteVector bytes = loadVector(from);
    // Each byte of a comparison is all ones or zero.
    const ByteVector lowerCase = (bytes >= 'a') & (bytes <= 'z');
    const ByteVector upperCased = bytes - (lowerCase & ('a' - 'A'));
    std::memcpy(to, &upperCased, sizeof upperCased);
    const ByteVector inText = lowerCase & loadVector(firstBytesMasks.data() + shortTextBytes - length);
    uint64_t halves[2];
    std::memcpy(halves, &inText, sizeof halves);
    return (halves[0] | halves[1]) != 0;
}

void addUpperCased(std::string_view text, TextBuffer& out) {
    copyUpperCased(out.cursor(), text);
    out.advance(text.size());
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

// What a token writes besides its own text, at most: a line marker's frame.
constexpr size_t frameBytes = 32;
static_assert(frameBytes <= leastStreamedPiece);

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

// The kinds whose own text is written as it stands.
constexpr KindSet writtenAsStored{TokenKind::OperatorText, TokenKind::CallName,   TokenKind::Verbatim,
                                  TokenKind::MemberName,   TokenKind::Number,     TokenKind::String,
                                  TokenKind::NameAsWritten};

class ProgramText {
   public:
    // With a sink, the text is handed to it a buffer at a time; without,
    // `text` grows to hold it whole.
    ProgramText(const TokenList& tokens, const WriterSettings& settings, const Diagnostics& diagnostics,
                TextBuffer& text, TextSink* sink)
        : tokens_(tokens),
          settings_(settings),
          diagnostics_(diagnostics),
          text_(text),
          sink_(sink),
          pool_(tokens.textOf({}).data()),
          poolBytes_(tokens.textBytes()) {
        functionsDeclared_ = settings.declaredFunctions && settings.declaredFunctions->hasAnyMember();
        keywordsFolded_ = !settings.caseSensitive && !settings.uvCase;
    }

    // The loop writes through a cursor and an end of its own, in registers,
    // and settles them with the buffer only when the room runs out: kept in
    // the buffer, they would be stored and loaded again around every byte
    // written, as a byte stored may alias them.
    void addTokens() {
        noteNameLookups();
        if (settings_.objectRuntimeUsed) putInPieces(objectPrologue, false);
        const Token* const list = tokens_.begin();
        const size_t count = tokens_.size();
        Room room = roomLeft();
        for (size_t i = 0; i < count; ++i) {
            const Token t = list[i];
            if (char byte = singleBytes[static_cast<size_t>(kindNumber(t.kind))]) {
                if (room.at == room.end) room = roomAfter(room.at, 1);
                *room.at++ = byte == ownCharacter ? t.character() : byte;
                continue;
            }
            if (joins_.drops(i, t)) continue;
            const TextRef text = tokens_.textRef(t);
            size_t most = mostBytesOf(i, t, text.length);
            if (static_cast<size_t>(room.end - room.at) < most) {
                settle(room.at);
                bool whole = makeRoom(most);
                if (!whole) addInPieces(i, t);
                room = roomLeft();
                if (!whole) continue;
            }
            room.at = addToken(room.at, i, t, text);
        }
        settle(room.at);
        if (sink_) passOn();
    }

   private:
    struct Room {
        char* at;
        char* end;
    };

    Room roomLeft() { return {text_.cursor(), text_.cursor() + text_.room()}; }
    void settle(char* at) { text_.advance(static_cast<size_t>(at - text_.cursor())); }
    Room roomAfter(char* at, size_t most) {
        settle(at);
        makeRoom(most);
        return roomLeft();
    }

    // Kept before anything is written, since keeping a name may need
    // memory; the names are met in the order the text has them.
    void noteNameLookups() {
        if (!settings_.recordsLookups || !settings_.declaredFunctions || settings_.caseSensitive ||
            settings_.uvCase)
            return;
        for (const Token& t : tokens_)
            if (t.kind == TokenKind::Name || t.kind == TokenKind::Label)
                settings_.declaredFunctions->noteLookup(tokens_.text(t));
    }

    // The most a token adds to the text: its own text, a line marker's
    // frame, or the line breaks of a line end.
    size_t mostBytesOf(size_t index, const Token& t, size_t textBytes) const {
        size_t most = textBytes + frameBytes;
        if (t.kind == TokenKind::LineEnd) {
            int32_t lines = joins_.linesAt(index, t);
            if (lines > 0) most += static_cast<size_t>(lines);
        }
        return most;
    }

    // Room for `most` more bytes. A streamed text is handed on when the
    // buffer is full; false when the token is larger than the whole buffer
    // and goes out in pieces.
    bool makeRoom(size_t most) {
        if (!sink_ || most <= text_.limit() - text_.size()) {
            if (!text_.reserve(most)) failForRoom(diagnostics_, text_.size() + most);
            return true;
        }
        if (!handedOn_ && !text_.reserve(text_.limit() - text_.size())) failForRoom(diagnostics_, text_.limit());
        passOn();
        return most <= text_.limit();
    }

    void passOn() {
        if (!text_.empty()) sink_->take(text_.view());
        text_.clear();
        handedOn_ = true;
    }

    [[noreturn]] void refuse(const Token& t) const {
        diagnostics_.errorWithStatus(unwrittenStatus, "Internal error: Token type of %d found\n", kindNumber(t.kind));
    }

    // Keywords are folded to upper case unless the case options keep them.
    bool keywordKeepsCase(std::string_view text) const {
        return (settings_.uvCase && hasMixedCase(text)) || settings_.caseSensitive;
    }

    bool nameKeepsCase(size_t index, std::string_view text) const {
        return settings_.caseSensitive || settings_.uvCase ||
               (functionsDeclared_ && settings_.declaredFunctions->hasMember(text)) ||
               followsSubroutineWord(tokens_, index);
    }

    // Whether the text's sixteen bytes lie in the pool, which copyShortText
    // and copyShortUpperCased read whole.
    bool isShortInPool(TextRef text) const {
        return text.length <= shortTextBytes && size_t{text.offset} + shortTextBytes <= poolBytes_;
    }
    const char* inPool(TextRef text) const { return pool_ + text.offset; }

    char* addStored(char* to, TextRef text) const {
        if (isShortInPool(text)) return copyShortText(to, inPool(text), text.length);
        return copyText(to, tokens_.textOf(text));
    }

    char* addKeyword(char* to, TextRef text) const {
        if (!keywordsFolded_ || !isShortInPool(text)) return addKeywordAsRuled(to, tokens_.textOf(text));
        copyShortUpperCased(to, inPool(text), text.length);
        return to + text.length;
    }

    [[gnu::noinline]] char* addKeywordAsRuled(char* to, std::string_view text) const {
        if (keywordKeepsCase(text)) return copyText(to, text);
        copyUpperCased(to, text);
        return to + text.size();
    }

    // Written upper-cased first: a name written in upper case comes out the
    // same whichever rule keeps or changes its case, so none need be asked.
    char* addName(char* to, size_t index, TextRef text) const {
        if (!isShortInPool(text)) return addLongName(to, index, tokens_.textOf(text));
        if (!copyShortUpperCased(to, inPool(text), text.length)) return to + text.length;
        return keepCaseWhereRuled(to, index, tokens_.textOf(text));
    }

    [[gnu::noinline]] char* addLongName(char* to, size_t index, std::string_view text) const {
        if (!copyUpperCased(to, text)) return to + text.size();
        return keepCaseWhereRuled(to, index, text);
    }

    [[gnu::noinline]] char* keepCaseWhereRuled(char* to, size_t index, std::string_view text) const {
        if (nameKeepsCase(index, text)) copyText(to, text);
        return to + text.size();
    }

    // "\n#line N \"", the marker's frame before its name.
    std::string_view markerOpening(const Token& t, char (&room)[frameBytes]) const {
        int length = std::snprintf(room, sizeof room, "\n#line %d \"", static_cast<int>(tokens_.value(t)));
        return std::string_view(room, static_cast<size_t>(length));
    }

    [[gnu::noinline]] char* addLineMarker(char* to, const Token& t, std::string_view name) const {
        char room[frameBytes];
        to = copyText(to, markerOpening(t, room));
        to = copyText(to, name);
        return copyText(to, "\"\n");
    }

    // A statement separator is only needed when another statement follows
    // on the same output line.
    [[gnu::noinline]] char* addSeparator(char* to, size_t index) const {
        if (nextSignificant(tokens_, index, Reach::SameLine) != npos) *to++ = ';';
        return to;
    }

    [[gnu::noinline]] char* addLineEnds(char* to, int32_t lines) const {
        if (lines <= 0) return to;
        std::memset(to, '\n', static_cast<size_t>(lines));
        return to + lines;
    }

    [[gnu::noinline]] char* addComma(char* to, size_t index) {
        *to = ',';
        joins_.joinAfter(tokens_, index);
        return to + 1;
    }

    // Writes a token of text `text` at `to`, which has room for mostBytesOf
    // it, and returns the end of what it wrote. The common tokens are
    // written here without a call, and every rarer way ends in a call of
    // its own, kept out of line: one call that is not the last act of its
    // path made every token pay for saving and restoring registers, a third
    // of this step's instructions.
    char* addToken(char* to, size_t index, const Token& t, TextRef text) {
        switch (t.kind) {
            // The kinds of writtenAsStored, as cases of the one jump on the
            // kind: asking the set first put a second mispredicted branch
            // on every token (a tenth more of the writer's time for the
            // object syntax).
            case TokenKind::OperatorText:
            case TokenKind::CallName:
            case TokenKind::Verbatim:
            case TokenKind::MemberName:
            case TokenKind::Number:
            case TokenKind::String:
            case TokenKind::NameAsWritten: return addStored(to, text);
            case TokenKind::LineMarker: return addLineMarker(to, t, tokens_.textOf(text));
            case TokenKind::LineEnd: {
                int32_t lines = joins_.linesAt(index, t);
                if (lines != 1) return addLineEnds(to, lines);
                *to = '\n';
                return to + 1;
            }
            case TokenKind::Separator: return addSeparator(to, index);
            case TokenKind::Brace: *to++ = t.character(); return to;
            case TokenKind::MemberOperator: return copyText(to, settings_.dotMember ? "." : "->");
            case TokenKind::Keyword:
            case TokenKind::Function: return addKeyword(to, text);
            case TokenKind::Name:
            case TokenKind::Label: return addName(to, index, text);
            case TokenKind::Comma: return addComma(to, index);
            case TokenKind::Deleted: return to;
            default: refuse(t);
        }
    }

    // A token larger than the whole buffer (of a streamed text only: a
    // text, a line marker's name or a run of line ends that long) goes out
    // a buffer at a time.
    void addInPieces(size_t index, const Token& t) {
        std::string_view text = tokens_.text(t);
        if (writtenAsStored.has(t.kind)) {
            putInPieces(text, false);
            return;
        }
        switch (t.kind) {
            case TokenKind::LineMarker: {
                char room[frameBytes];
                putInPieces(markerOpening(t, room), false);
                putInPieces(text, false);
                putInPieces("\"\n", false);
                return;
            }
            case TokenKind::LineEnd:
                putRepeatedInPieces('\n', static_cast<size_t>(joins_.linesAt(index, t)));
                return;
            case TokenKind::Keyword:
            case TokenKind::Function: putInPieces(text, !keywordKeepsCase(text)); return;
            case TokenKind::Name:
            case TokenKind::Label: putInPieces(text, !nameKeepsCase(index, text)); return;
            default:
                // The rest write no more than a frame, whatever text they hold.
                makeRoom(frameBytes);
                settle(addToken(text_.cursor(), index, t, tokens_.textRef(t)));
        }
    }

    void putInPieces(std::string_view text, bool upperCased) {
        while (!text.empty()) {
            if (!text_.hasRoom(1)) makeRoom(1);
            std::string_view piece = text.substr(0, text_.room());
            if (upperCased) addUpperCased(piece, text_);
            else text_.push(piece);
            text.remove_prefix(piece.size());
        }
    }

    void putRepeatedInPieces(char c, size_t count) {
        while (count > 0) {
            if (!text_.hasRoom(1)) makeRoom(1);
            size_t piece = std::min(count, text_.room());
            text_.pushRepeated(c, piece);
            count -= piece;
        }
    }

    const TokenList& tokens_;
    const WriterSettings& settings_;
    const Diagnostics& diagnostics_;
    TextBuffer& text_;
    TextSink* sink_;
    const char* const pool_;  // the texts of the tokens, which the list holds still
    const size_t poolBytes_;
    CommaJoins joins_;
    bool functionsDeclared_ = false;
    bool keywordsFolded_ = false;  // every keyword is written upper-cased
    bool handedOn_ = false;
};

void writeText(const TokenList& tokens, const WriterSettings& settings, const Diagnostics& diagnostics,
               TextBuffer& text, TextSink* sink) {
    // Room for every token's text and a byte or two more per token, so the
    // text is seldom moved as it grows.
    size_t expected = std::min(tokens.textBytes() + 2 * tokens.size() + objectPrologue.size() + 64, text.limit());
    if (!text.reserve(expected)) failForRoom(diagnostics, expected);
    ProgramText(tokens, settings, diagnostics, text, sink).addTokens();
}

}  // namespace

void buildProgramText(const TokenList& tokens, const WriterSettings& settings, const Diagnostics& diagnostics,
                      TextBuffer& text) {
    writeText(tokens, settings, diagnostics, text, nullptr);
}

void streamProgramText(const TokenList& tokens, const WriterSettings& settings, const Diagnostics& diagnostics,
                       TextBuffer& buffer, TextSink& sink) {
    writeText(tokens, settings, diagnostics, buffer, &sink);
}

void failForRoom(const Diagnostics& diagnostics, size_t bytes) {
    diagnostics.errorWithStatus(unwrittenStatus, "Unable to allocate %zu bytes for the output text", bytes);
}

void StreamSink::take(std::string_view piece) {
    if (std::fwrite(piece.data(), 1, piece.size(), out_) != piece.size() && diagnostics_) fail();
}

void StreamSink::finish() {
    if (std::fflush(out_) != 0 && diagnostics_) fail();
}

void StreamSink::fail() const { diagnostics_->errorWithStatus(unwrittenStatus, "Unable to write the output text"); }

}  // namespace bprep2
