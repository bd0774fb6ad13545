// What the scanner keeps while it scans: the state of the source being
// scanned and of the run's scan, the statement state the tokens it appends
// are marked from, and the statement boundaries behind the scan position.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "objects/object_state.h"
#include "output/diagnostics.h"
#include "scanner/member_memory.h"
#include "scanner/source_text.h"
#include "tokens/keywords.h"
#include "tokens/token_list.h"
#include "tokens/word_table.h"
#include "tokens/words.h"

namespace bprep2 {

// A word the scanner has looked up: its keyword row (null for a word with
// none), and where the text of the word as first written lives in the text
// pool, so that the same word written again takes no room of its own there.
// The entry also keeps the word's equate as last looked up, so that a name
// costs one probe of this table for both questions.
struct WordEntry {
    const KeywordEntry* row = nullptr;
    TextRef spelling;         // as the word was first written
    const std::string* equate = nullptr;
    uint32_t equateVersion = 0;  // the table's version `equate` was looked up in; 0: never
    bool equateCaseSensitive = false;  // and the case rule it was looked up under
    bool spelledAsKey = false;  // the first spelling is the key the word is found by
    // Appended as a word at least once: the keyword dump numbers only those
    // and the keywords, not a word always replaced by its equate.
    bool appended = false;
    // THEN, ELSE, LOOP or DO: after this keyword a statement may start.
    bool opensStatement = false;
    // The token the word was first appended as, but for its kind and
    // marks: a word written again as it was the first time is that token
    // again, its text shared in the pool. Deleted when there is none, or
    // when each of the word's tokens needs a text of its own (a column
    // kept, a long text).
    Token written;
};

// Tokens of some kinds, counted as the scanner makes them: a stretch of the
// list made while a count stood still holds none of its kind.
struct ScannerCounts {
    // Member operators: the scanner is the only place they come from.
    uint64_t memberOperators = 0;
    // Tokens the after-line pass acts on (a member operator, a colon, a
    // declaring or object keyword, with objects on a name): the pass acts
    // on nothing else and makes tokens only from them, so a line during
    // which none was made needs no walk, and has no token the pass made.
    uint64_t linePassTokens = 0;
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The state of one source being scanned; it lives as long as the scan of
// the source. Messages point at its line while it is scanned.
struct SourceReader : ScannedLine {
    bool isItem = false;         // database item (else an operating-system file)
    // An item is read whole; a file a block at a time, as its lines are
    // needed, so that a large program is never held whole. The text holds
    // what is read and not yet cut into lines.
    SourceText sourceText;
    size_t textCursor = 0;       // start of the next line not yet read
    size_t nextLineFeed = 0;     // where the last searches for an LF and a CR
    size_t nextCarriageReturn = 0;  // in the text ended (source.cpp)
    std::unique_ptr<std::FILE, FileCloser> file;  // the file while it has more to read
    size_t sourceSize = 0;       // the size the source had when it was found
    size_t bytesRead = 0;        // of the file, so far
    int32_t equateExpansions = 0;
    bool statementStart = false;
    uint32_t pendingLines = 1;
    int32_t statementTokenCount = 0;
    bool continued = false;
    bool inBlockComment = false;

    // Where the scanner's backward searches stop (token indexes into the list).
    size_t firstToken = 0;       // this source's leading line marker
    size_t joinFloor = 0;        // a THEN/ELSE join stops above this index
    size_t lineFirstToken = 0;   // first token of the line being scanned

    // The boundary memo: the stretch [boundaryFreeLow, boundaryFreeHigh) of
    // the list, which the last search for the last statement boundary
    // (findLastBoundary) found free of boundaries. Every continuation line
    // of a statement searches back for the boundary before it; without the
    // memo a statement continued over many lines would be searched over
    // once per line. What keeps it right: the scanner only appends, so the
    // stretch stays free of boundaries; an insertion elsewhere moves it or
    // drops it (noteInsertion), and code that may change the list otherwise
    // drops it (forgetBoundaries).
    size_t boundaryFreeLow = 0;
    size_t boundaryFreeHigh = 0;
    // The owed line ends: a continued statement owes one LineEnd per extra
    // physical line right after the boundary token at `owedAfter`, so that
    // it is written on its last line. Inserting each at once would move the
    // statement's tokens once per continuation line. What keeps it right:
    // they are inserted together (settleOwedLineEnds) before anything but an
    // append looks at or changes the list there (a directive, a THEN/ELSE
    // join that would fold them, a line whose rewrites may reach back before
    // them), and every index the reader keeps moves past them then
    // (noteInsertion): the list is exactly the one inserting each at once
    // would have given.
    size_t owedAfter = 0;
    uint32_t owedLineEnds = 0;

    // Member assignments a trailing comma left open at the end of a line of
    // this source.
    OpenAssignments openAssignments;

    int64_t scanRemaining() const {
        return scanPos < 0 ? 0 : static_cast<int64_t>(lineText.size()) - scanPos;
    }
};

// A source the scan opened: the path it was opened by (an item as its
// database file's path and the item's name), and whether it was found in
// the release's include directory.
struct OpenedSource {
    std::string path;
    bool inReleaseIncludeDir = false;
};

// How a run's word tables get their keywords and @-variables. Adding them
// was a third of an in-process call on an empty source, and copying tables
// made once in the process costs a small part of that, which matters to a
// caller making many short runs; a process making one run adds them, since
// the copy would only touch more memory (a quarter more page faults).
enum class WordTablesStart { Added, Copied };

// The scanner's own record of a run.
struct ScanState {
    SourceReader* reader = nullptr;  // the source being scanned; null between sources
    uint32_t filesOpened = 0;
    // Each source opened once, in the order first opened: the main source,
    // then its members. What a build must watch to know the output is stale.
    std::vector<OpenedSource> sourcesOpened;
    std::unordered_set<std::string> pathsOpened;
    MemberMemory membersRead;        // each member found, with its text
    uint32_t linesRead = 0;
    int32_t includeLevel = 0;        // how deep in members the scan is
    ScannerCounts scanned;
    bool specialWordsMet = false;    // a word with a rewrite of its own was scanned
    // Every word looked up, with its row; a word with no row (null) is kept
    // too, as the keyword dump numbers the words appended among the rows.
    WordTable<WordEntry> keywords;
    NameSet atVariables;
    void* hostPort = nullptr;        // the host's handle, through which items are read
    std::FILE* lineCopy = nullptr;   // where each line read is copied (the trace file), or null

    // Starts the word tables with the keywords and the @-variables.
    explicit ScanState(WordTablesStart start = WordTablesStart::Added);
};

// Counts a token the scanner appends into the reader's statement state;
// returns whether the label mark is on. `opensStatement`: the token is a
// keyword after which a statement may start.
inline bool updateStatementState(SourceReader& r, TokenKind kind, bool opensStatement) {
    switch (kind) {
        case TokenKind::LineMarker:
        case TokenKind::LineEnd:
        case TokenKind::Separator:
            r.statementTokenCount = 0;
            r.statementStart = true;
            return false;
        case TokenKind::Label:
            r.statementTokenCount = 0;
            r.statementStart = true;
            return true;
        case TokenKind::Verbatim:
        case TokenKind::Keyword:
        case TokenKind::Equals:
            r.statementStart = false;
            r.statementTokenCount++;
            if (opensStatement) r.statementStart = true;
            return false;
        case TokenKind::Blank:
        case TokenKind::Deleted:
            return false;
        default:
            r.statementTokenCount++;
            return false;
    }
}

// The marks of a token's place in its statement, the reader's statement
// state just counted it: whether it is the first of its statement, whether
// an assignment target may stand there, whether it is a label.
inline uint8_t statementMarks(const SourceReader& reader, bool labelMark) {
    uint8_t flags = 0;
    if (reader.statementTokenCount == 1) flags |= flagFirst;
    if (reader.statementStart) flags |= flagAssign;
    if (labelMark) flags |= flagLabel;
    return flags;
}

// Whether a message may point at the token after the line is scanned: the
// object rewrites report a NEW they cannot rewrite at the column it was
// read at (a member operator's column is kept by the rewrites themselves,
// ObjectState::operatorColumns). No other token keeps its column.
inline bool keepsItsColumn(TokenKind kind, std::string_view text, int32_t value) {
    return kind == TokenKind::Keyword && (static_cast<uint32_t>(value) & kwObject) != 0 &&
           equalIgnoringCase(text, "NEW");
}

// Appends a token read from `reader`, marked from its statement state:
// whether it is the first of its statement, whether an assignment target
// may stand there, whether it is a label; and, for the few that need it,
// the column it was read at.
[[gnu::always_inline]] inline void appendToken(TokenList& tokens, SourceReader& reader, bool caseSensitive,
                                               TokenKind kind, std::string_view text = {}, int32_t value = 0,
                                               int32_t special = 0) {
    Token t;
    t.kind = kind;
    t.special = static_cast<uint8_t>(special);
    bool opensStatement = kind == TokenKind::Keyword && isOpenerWord(text, caseSensitive);
    t.flags = statementMarks(reader, updateStatementState(reader, kind, opensStatement));
    // Most tokens with a text (names, numbers, strings) have no value, nor a
    // column kept: their text is stored without asking the token for the
    // value just given it.
    if (!text.empty() && value == 0) {
        t.setText(tokens.storeText(text));
    } else {
        t.setValue(value);
        if (keepsItsColumn(kind, text, value))
            tokens.keepColumn(t, text, reader.scanPos < 0 ? 0 : static_cast<int32_t>(reader.scanPos));
        else if (!text.empty())
            tokens.setText(t, text);
    }
    tokens.append(t);
}

// Appends a word the scanner appended before with the same text and value
// (WordEntry::written): a keyword, a function or a name, which only needs
// its kind and its marks.
[[gnu::always_inline]] inline void appendWordAgain(TokenList& tokens, SourceReader& reader, const WordEntry& entry,
                                                   TokenKind kind) {
    Token t = entry.written;
    t.kind = kind;
    bool opensStatement = kind == TokenKind::Keyword && entry.opensStatement;
    t.flags = statementMarks(reader, updateStatementState(reader, kind, opensStatement));
    tokens.append(t);
}

// Index of the last statement boundary in the list, searching no lower than
// the reader's own first token; npos when there is none. Keeps the boundary
// memo (SourceReader::boundaryFreeLow).
size_t findLastBoundary(const TokenList& tokens, SourceReader& reader);

// Drops what findLastBoundary remembered; needed whenever code other than
// the scanner may have inserted or removed tokens.
void forgetBoundaries(SourceReader& reader);

// A continuation's line end: a LineEnd of one line directly after the
// last statement boundary, owed (SourceReader::owedLineEnds).
void oweLineEnd(TokenList& tokens, SourceReader& reader);

// Inserts the owed line ends. Must run before anything but an append looks
// at or changes the list.
void settleOwedLineEnds(TokenList& tokens, SourceReader& reader);

// Keeps the positions the reader holds in the list right when `count`
// tokens have been inserted before position `at` (other than by an append).
void noteInsertion(SourceReader& reader, size_t at, size_t count);

}  // namespace bprep2
