// The character scan of one line into tokens.
//
// Works in place on the reader's lineText from scanPos to the end: each
// character is classified, its token appended, and the position moved on.
// Only an EQUATE substitution (which rewrites the line) and a continuation
// (which extends it) change the line. Names are looked up through one
// reused key buffer, so scanning allocates nothing per character.
// Guarantees: every byte of the line is either taken by a token, dropped as
// comment, or reported; no read goes past the end of the line.
#include "scanner/tokenizer.h"

#include <cstdint>
#include <string>

#include "objects/objects.h"
#include "scanner/line_loop.h"
#include "tokens/characters.h"
#include "tokens/keywords.h"
#include "tokens/limits.h"
#include "tokens/words.h"

namespace bprep2 {

namespace {

constexpr int32_t maximumEquateExpansions = 200;

// EQUATE, EQU, INCLUDE, INSERT, $options and REM: the length and the first
// letter rule out every other word at a statement's start before any
// comparison.
bool mayBeStatementWord(std::string_view word) {
    char first = toUpperCase(word[0]);
    switch (word.size()) {
        case 3: return first == 'E' || first == 'R';
        case 6: return first == 'E' || first == 'I';
        case 7: return first == 'I';
        case 8: return word[0] == '$';
        default: return false;
    }
}

// The tokenizer's state for one line: the reader and a key buffer reused
// for every table lookup.
struct LineScan {
    LineScan(Scan& run, SourceReader& source)
        : scan(run), reader(source), tokens(run.tokens), state(run.state), equates(run.equates), options(run.options) {}

    // The scan, and the records of it that every token needs.
    Scan& scan;
    SourceReader& reader;
    TokenList& tokens;
    ScanState& state;
    EquateTable& equates;
    const Options& options;  // an INCLUDE on the line may change them
    std::string key;

    const std::string& line() const { return reader.lineText; }
    size_t pos() const { return static_cast<size_t>(reader.scanPos); }
    size_t remaining() const { return line().size() - pos(); }
    // The character `ahead` places after the scan position; callers check
    // remaining() first.
    char next(size_t ahead = 1) const { return line()[pos() + ahead]; }
    void moveTo(size_t position) { reader.scanPos = static_cast<int64_t>(position); }
    void advance(size_t count) { reader.scanPos += static_cast<int64_t>(count); }
    void dropRest() { moveTo(line().size()); }
    std::string_view slice(size_t from, size_t length) const {
        return std::string_view(line()).substr(from, length);
    }
};

[[gnu::always_inline]] inline void appendToken(LineScan& s, TokenKind kind, std::string_view text = {},
                                               int32_t value = 0, int32_t special = 0) {
    appendToken(s.tokens, s.reader, s.options.caseSensitive(), kind, text, value, special);
}

[[noreturn]] void unknownCharacter(LineScan& s, char c) {
    s.scan.diagnostics.error("Unknown character %c (%d)", c, static_cast<int>(static_cast<signed char>(c)));
}

// A token whose column is its first character: appended, then passed.
void appendHere(LineScan& s, TokenKind kind, char c) {
    appendToken(s, kind, {}, static_cast<unsigned char>(c));
    s.advance(1);
}

// A punctuation token whose column is just after it.
void appendAfter(LineScan& s, TokenKind kind) {
    s.advance(1);
    appendToken(s, kind);
}

void scanBlanks(LineScan& s) {
    size_t start = s.pos();
    size_t end = pastBlanks(s.line(), start);
    s.moveTo(end);
    // Blanks that end the line make no token.
    if (end < s.line().size()) appendToken(s, TokenKind::Blank, {}, static_cast<int32_t>(end - start));
}

// The delimiter is the opening character; there is no escape. A line that
// ends in a backslash inside the string is joined to the next one.
void scanString(LineScan& s) {
    size_t open = s.pos();
    char delimiter = s.line()[open];
    size_t from = open + 1;
    for (;;) {
        size_t close = s.line().find(delimiter, from);
        if (close != std::string::npos) {
            appendToken(s, TokenKind::String, s.slice(open, close - open + 1));
            s.moveTo(close + 1);
            return;
        }
        size_t length = s.line().size();
        // The backslash must not be the opening delimiter itself: dropping
        // that would lose the string's start.
        if (length - 1 > open && s.line()[length - 1] == '\\') {
            from = length - 1;  // the text before it has been searched already
            // With no line left to join, the string stays open like any other.
            if (continueLine(s.scan, s.reader, 1)) continue;
        }
        s.scan.diagnostics.error("Unbalanced strings");
    }
}

// A member operator just read; the scan position is right after it.
void appendMemberOperator(LineScan& s, std::string_view spelling) {
    appendToken(s, TokenKind::MemberOperator,
                memberOperatorText(s.scan.objects, s.tokens, spelling, static_cast<int32_t>(s.pos())));
    s.state.scanned.memberOperators += 1;
    s.state.scanned.linePassTokens += 1;
}

// + - ^ and a / that opens no comment.
void scanOperator(LineScan& s, char c) {
    if (s.remaining() > 2 && s.next() == '-') {
        size_t start = s.pos();
        s.advance(2);
        appendToken(s, TokenKind::OperatorText, s.slice(start, 2));
    } else if (s.remaining() > 2 && c == '-' && s.next() == '>' && s.options.arrowMember()) {
        s.advance(2);
        appendMemberOperator(s, "->");
    } else {
        appendHere(s, TokenKind::Operator, c);
    }
}

void scanSlash(LineScan& s) {
    if (s.remaining() >= 2 && s.next() == '/') {
        s.dropRest();
    } else if (s.remaining() >= 2 && s.next() == '*') {
        s.reader.inBlockComment = true;
        s.advance(2);
        scanBlockComment(s.scan, s.reader);
    } else {
        scanOperator(s, '/');
    }
}

// Digits, then a dot and more digits; or, from a dot, the dot and digits.
void scanNumber(LineScan& s) {
    const std::string& line = s.line();
    size_t start = s.pos();
    size_t end = start;
    if (line[end] == '.') {
        ++end;
    } else {
        end = pastDigits(line, end);
        if (line[end] == '.') ++end;  // the NUL after the line is no dot
    }
    end = pastDigits(line, end);
    s.moveTo(end);
    appendToken(s, TokenKind::Number, s.slice(start, end - start));
}

void scanDot(LineScan& s) {
    if (s.remaining() >= 3 && s.next(1) == '.' && s.next(2) == '.') {
        size_t after = s.pos() + 3;
        size_t nonBlank = pastBlanks(s.line(), after);
        if (nonBlank == s.line().size()) {
            s.moveTo(after);
            if (!continueLine(s.scan, s.reader, 0))
                s.scan.diagnostics.error("Line continued past the end of the source");
            return;
        }
        if (s.line()[nonBlank] == ')') {
            s.moveTo(after);
            appendToken(s, TokenKind::Keyword, "QAC_VARARG", 0);
            return;
        }
    }
    if (s.remaining() >= 2 && isDigit(s.next())) {
        scanNumber(s);
    } else if (s.options.dotMember()) {
        s.advance(1);
        appendMemberOperator(s, ".");
    } else {
        unknownCharacter(s, '.');
    }
}

// "@" and a name: one variable when the name is an @-variable, else the
// "@" alone and the name is scanned afresh.
void scanAtVariable(LineScan& s) {
    size_t at = s.pos();
    s.moveTo(at + 1);
    size_t length = measureNameInString(s.line(), at + 1, s.options.dotMember()).length;
    if (length > 0) {
        if (s.state.atVariables.lookUp(s.slice(at + 1, length))) {
            s.moveTo(at + 1 + length);
            appendToken(s, TokenKind::Name, s.slice(at, length + 1));
            return;
        }
    }
    appendToken(s, TokenKind::At);
}

// EQUATE, EQU, INCLUDE, INSERT, $options and REM at a statement's start.
// True when the word was one of them (and has been dealt with).
bool scanStatementWord(LineScan& s, std::string_view word, size_t end) {
    Scan& scan = s.scan;
    const bool caseSensitive = scan.options.caseSensitive();
    if (sameWord(word, "EQUATE", caseSensitive) || sameWord(word, "EQU", caseSensitive)) {
        s.moveTo(end);
        scan.handlers.equate(scan, s.reader);
        return true;
    }
    if (sameWord(word, "INCLUDE", caseSensitive) || sameWord(word, "INSERT", caseSensitive)) {
        s.moveTo(end);
        settleOwedLineEnds(scan.tokens, s.reader);
        scan.handlers.include(scan, s.reader);
        forgetBoundaries(s.reader);
        appendToken(s, TokenKind::LineMarker, s.reader.fileName, static_cast<int32_t>(s.reader.lineNumber));
        // A later THEN or ELSE must not fold line ends of the member into
        // this source's line.
        s.reader.joinFloor = scan.tokens.size() - 1;
        return true;
    }
    if (sameWord(word, "$options", caseSensitive) || sameWord(word, "REM", caseSensitive)) {
        s.dropRest();
        return true;
    }
    return false;
}

// The word's entry in the table of words looked up: the key is the word as
// written when case matters or it has no lower-case letter, else the word
// upper-cased, which is also how the equate table matches a word.
[[gnu::always_inline]] inline WordEntry& wordEntry(LineScan& s, std::string_view word, bool lowerCase) {
    const bool keyIsWord = s.options.caseSensitive() || !lowerCase;
    return s.state.keywords.findOrAdd(keyIsWord ? word : upperCased(word, s.key));
}

// The equate the entry's word names, looked up again only when an equate
// was set, or the case rule changed, since the entry last asked.
const std::string* equateOf(LineScan& s, WordEntry& entry, std::string_view word) {
    const bool caseSensitive = s.options.caseSensitive();
    const uint32_t version = s.equates.version();
    if (entry.equateVersion != version || version == EquateTable::unversioned ||
        entry.equateCaseSensitive != caseSensitive) {
        entry.equate = s.equates.find(word, caseSensitive);
        entry.equateVersion = version;
        entry.equateCaseSensitive = caseSensitive;
    }
    return entry.equate;
}

// Replaces the name in the line by its equate's text and scans on from the
// start of that text. True when an equate applied.
bool substituteEquate(LineScan& s, WordEntry& entry, std::string_view word, size_t start) {
    const std::string* replacement = equateOf(s, entry, word);
    if (!replacement) return false;
    s.reader.equateExpansions += 1;
    if (s.reader.equateExpansions >= maximumEquateExpansions) {
        s.reader.noEcho = true;
        s.scan.diagnostics.error("EQUATE level exceeds maximum of %d levels\n      Possible recursive EQUATEs",
                                maximumEquateExpansions);
    }
    // The line grows by the equate's text; its columns must still fit.
    if (s.reader.lineText.size() - word.size() + replacement->size() > maxLineBytes)
        exceedLimit("Line length", maxLineBytes, "bytes");
    s.reader.lineText.replace(start, word.size(), *replacement);
    s.moveTo(start);
    return true;
}

bool parenthesisFollows(const std::string& line, size_t from) {
    return line[pastBlanks(line, from)] == '(';
}

// The word just appended is the first of its entry. Its token serves again
// for the same spelling unless each token of the word keeps a text of its
// own: an object keyword may keep the column it was read at, and a long
// text is stored anew each time.
void noteFirstSpelling(LineScan& s, WordEntry& entry, bool keyIsWord) {
    const Token& appended = s.tokens.back();
    entry.spelling = s.tokens.textRef(appended);
    entry.spelledAsKey = keyIsWord;
    uint32_t flags = entry.row ? entry.row->flags : 0;
    if ((flags & kwObject) != 0 || entry.spelling.length >= longText || !fitsBesideText(static_cast<int32_t>(flags)))
        return;
    entry.written = appended;
    entry.written.flags = 0;
}

void appendName(LineScan& s, WordEntry& entry, std::string_view word, bool lowerCase, size_t end) {
    const bool keyIsWord = s.options.caseSensitive() || !lowerCase;
    entry.appended = true;
    const KeywordEntry* row = entry.row;
    uint32_t flags = row ? row->flags : 0;
    int32_t special = row ? static_cast<int32_t>(row->special) : 0;
    TokenKind kind = TokenKind::Name;
    if (flags & kwKeyword) {
        if (flags & kwThenElse) joinPreviousLine(s.scan, s.reader);
        bool callable = (flags & (kwAnyFunction | kwArgs)) != 0;
        kind = callable && parenthesisFollows(s.line(), end) ? TokenKind::Function : TokenKind::Keyword;
    } else if (flags != 0) {
        kind = TokenKind::Function;
    }
    // A word written as it was the first time takes that text from the pool.
    // When the word is its own key, it is written as the first time exactly
    // when that spelling was the key too.
    std::string_view first = s.tokens.textOf(entry.spelling);
    bool sameAsFirst = entry.spelling.length != 0 && (keyIsWord ? entry.spelledAsKey : first == word);
    if (sameAsFirst && entry.written.kind != TokenKind::Deleted)
        appendWordAgain(s.tokens, s.reader, entry, kind);
    else
        appendToken(s, kind, sameAsFirst ? first : word, static_cast<int32_t>(flags), special);
    if (isRewrittenSpecial(special)) s.state.specialWordsMet = true;
    if (kind == TokenKind::Keyword ? (flags & kwForLinePass) != 0 : kind == TokenKind::Name && s.options.objects())
        s.state.scanned.linePassTokens += 1;
    if (entry.spelling.length == 0) noteFirstSpelling(s, entry, keyIsWord);
}

void scanIdentifier(LineScan& s, char c) {
    size_t start = s.pos();
    NameSpan name = measureNameInString(s.line(), start, s.options.dotMember());
    size_t length = name.length;
    if (length == 0) unknownCharacter(s, c);
    size_t end = start + length;
    std::string_view word = s.slice(start, length);
    if (s.reader.statementTokenCount == 0 && mayBeStatementWord(word) && scanStatementWord(s, word, end)) return;
    // Without equates a member name needs no lookup at all.
    WordEntry* entry = nullptr;
    if (!s.equates.empty()) {
        entry = &wordEntry(s, word, name.lowerCase);
        if (substituteEquate(s, *entry, word, start)) return;
    }
    s.moveTo(end);
    if (!s.tokens.empty() && s.tokens.back().kind == TokenKind::MemberOperator) {
        appendToken(s, TokenKind::MemberName, memberNameText(s.scan.objects, s.tokens, word));
        return;
    }
    appendName(s, entry ? *entry : wordEntry(s, word, name.lowerCase), word, name.lowerCase, end);
}

void scanToken(LineScan& s) {
    char c = s.line()[s.pos()];
    switch (c) {
        case ' ':
        case '\t':
            scanBlanks(s);
            break;
        case '!':
        case '*':
            if (s.reader.statementTokenCount == 0) s.dropRest();
            else appendHere(s, TokenKind::Operator, c);
            break;
        case '"':
        case '\'':
        case '\\':
            scanString(s);
            break;
        case '#':
            appendAfter(s, TokenKind::Hash);
            break;
        case '&':
            appendToken(s, TokenKind::Keyword, "&", '&');
            s.advance(1);
            break;
        case '(':
        case ')':
        case '>':
        case '[':
        case ']':
            appendHere(s, TokenKind::Bracket, c);
            break;
        case '+':
        case '-':
        case '^':
            scanOperator(s, c);
            break;
        case '/':
            scanSlash(s);
            break;
        case ',':
            appendAfter(s, TokenKind::Comma);
            break;
        case '.':
            scanDot(s);
            break;
        case ':':
            appendAfter(s, TokenKind::Colon);
            s.state.scanned.linePassTokens += 1;
            break;
        case ';':
            appendAfter(s, TokenKind::Separator);
            break;
        case '<':
            if (s.remaining() >= 2 && s.next() == '>') {
                s.advance(2);
                appendToken(s, TokenKind::OperatorText, " NE ");
            } else {
                appendHere(s, TokenKind::Bracket, c);
            }
            break;
        case '=':
            appendAfter(s, TokenKind::Equals);
            break;
        case '@':
            scanAtVariable(s);
            break;
        case '_':
            appendAfter(s, TokenKind::Underscore);
            break;
        case '{':
        case '}':
            appendHere(s, TokenKind::Brace, c);
            break;
        case '~':
            appendAfter(s, TokenKind::Tilde);
            break;
        default:
            if (isDigit(c)) scanNumber(s);
            else scanIdentifier(s, c);
            break;
    }
}

}  // namespace

void tokenizeLine(Scan& scan, SourceReader& reader) {
    if (reader.scanPos < 0) return;
    LineScan s(scan, reader);
    while (s.reader.scanRemaining() >= 1) scanToken(s);
}

}  // namespace bprep2
