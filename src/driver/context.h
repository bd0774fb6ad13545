// The one state record of a run, and the per-source reader state.
//
// Every operation of every pass receives the context explicitly; nothing
// else in the program holds state. The context owns the token list and
// every name table.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <queue>
#include <string>
#include <string_view>
#include <vector>

#include "driver/command_line.h"
#include "output/diagnostics.h"
#include "tokens/keywords.h"
#include "tokens/options.h"
#include "tokens/token.h"
#include "tokens/token_list.h"
#include "tokens/word_table.h"

namespace bprep2 {

// A word the scanner has looked up: its keyword row (null for a word with
// none), and where the text of the word as first written lives in the text
// pool, so that the same word written again takes no room of its own there.
struct WordEntry {
    const KeywordEntry* row = nullptr;
    TextRef spelling;         // as the word was first written
    bool spelledAsKey = false;  // and that spelling is the key it is found by
};

// A chain of member reads and method calls A->B->M(1)->C... on the line
// being scanned. Every link's call opens where the first link's does, so
// inserting each one there would move the whole chain again for every link;
// instead the later links' calls wait here and are opened together
// (objects/member_reference.cpp).
struct MemberChain {
    size_t head = 0;     // index of the first link's call name
    size_t lastEnd = 0;  // the latest link's closing ')', or for a method
                         // call the (deleted) '(' of its arguments
    bool lastIsCall = false;
    std::vector<std::string_view> waiting;  // calls still to be opened at `head`, innermost first
    bool open = false;   // a member operator right after the latest link continues it
    bool regular = true; // every call's arguments in it close nested (see settleChains)
};

// What the latest member assignment on the line found, so that a statement
// of chained assignments A->X = B->Y = ... = 1 is not walked over again for
// every link (objects/member_reference.cpp).
struct AssignmentChain {
    static constexpr size_t none = static_cast<size_t>(-1);
    size_t comma = none;     // the latest assignment's '=', now the call's comma
    // Where its value ended among the held-back tokens: at the statement end
    // or at an ELSE (`stop`, none when not there), with its ')' owed before
    // held token `closer`. The held tokens from `clean` to `stop` hold no
    // ELSE, so a later value of the statement that reaches `clean` ends at
    // the same place: at once before a statement end, and before an ELSE
    // when it is not inside brackets there, which `heldDepth` (the bracket
    // depth before each held token, made when a value first ends at an
    // ELSE or at a line end a trailing comma leaves open) tells.
    size_t stop = none;
    bool stopIsElse = false;
    // The value did not end: the line ends after a trailing comma, and the
    // statement goes on with the next line (OpenAssignments).
    bool statementOpen = false;
    size_t closer = 0;
    size_t clean = 0;
    std::vector<int64_t> heldDepth;
};

// The ')' of member assignments whose statement a trailing comma leaves
// open at the end of a line: they wait for the line that ends the
// statement, or go right after the comma when a line marker or the end of
// the source comes first (objects/member_reference.cpp). Each is kept with
// the bracket depth its value had reached, less `shift`, which follows the
// depth of the lines that go on with the statement: before an ELSE the
// shallowest values close first.
struct OpenAssignments {
    std::priority_queue<int64_t, std::vector<int64_t>, std::greater<int64_t>> depths;
    int64_t shift = 0;

    bool empty() const { return depths.empty(); }
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

// The state of one source being scanned; it lives as long as the
// scanSource call that made it.
struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

struct SourceReader : ScannedLine {
    bool isItem = false;         // database item (else an operating-system file)
    // An item is read whole; a file a block at a time, as its lines are
    // needed, so that a large program is never held whole. The text holds
    // what is read and not yet cut into lines.
    std::string sourceText;
    size_t textCursor = 0;       // start of the next line not yet read
    size_t nextLineFeed = 0;     // where the last searches for an LF and a CR
    size_t nextCarriageReturn = 0;  // in the text ended (scanner/source.cpp)
    std::unique_ptr<std::FILE, FileCloser> file;  // the file while it has more to read
    size_t sourceSize = 0;       // the size the source had when it was found
    int32_t equateExpansions = 0;
    bool statementStart = false;
    uint32_t pendingLines = 1;
    int32_t statementTokenCount = 0;
    bool continued = false;
    bool inBlockComment = false;

    // Scanner bookkeeping that keeps its backward searches within the
    // current statement (token indexes into ctx.tokens).
    size_t firstToken = 0;       // this source's leading line marker
    size_t joinFloor = 0;        // a THEN/ELSE join stops above this index
    size_t lineFirstToken = 0;   // first token of the line being scanned
    size_t boundaryFreeLow = 0;  // [low, high) is known to hold no statement
    size_t boundaryFreeHigh = 0; // boundary (tokens/token_sets.h)
    size_t owedAfter = 0;        // continuation line ends still to be inserted
    uint32_t owedLineEnds = 0;   // right after this boundary token

    // The tokens of the line that the after-line pass has not reached yet,
    // held out of the list while it runs (objects/held_line.h);
    // heldBack[heldNext] is the next one to come back.
    std::vector<Token> heldBack;
    size_t heldNext = 0;
    // The ')' of assignments owed before heldBack[i], or after the last one
    // at [heldBack.size()] (empty when none is): an assignment's call closes
    // at the end of its statement, and putting the ')' there at once would
    // bring the whole statement into the list.
    std::vector<uint32_t> closersOwed;
    OpenAssignments openAssignments;

    int64_t scanRemaining() const {
        return scanPos < 0 ? 0 : static_cast<int64_t>(lineText.size()) - scanPos;
    }
};

struct PreprocessorContext {
    CommandLine commandLine;
    TokenList tokens;

    // Name to replacement text, in byte order of the name, plus an index from
    // the upper-cased name to the first key (in byte order) spelled that way.
    using EquateMap = std::map<std::string, std::string, std::less<>>;
    EquateMap equates;
    WordTable<const EquateMap::value_type*> equateFolded;

    // Every word looked up, with its row; a word with no row (null) is kept
    // too, as the keyword dump numbers it.
    WordTable<WordEntry> keywords;
    std::string foldBuffer;  // scratch for case-folded lookups
    NameSet atVariables;
    NameSet userFunctions;
    NameSet dimArrays;
    SourceReader* reader = nullptr;
    void* hostHandle = nullptr;
    uint32_t filesOpened = 0;
    uint32_t linesRead = 0;
    int32_t includeLevel = 0;
    bool objectRuntimeUsed = false;
    bool specialWordsMet = false;  // a word with a rewrite of its own was scanned
    ScannerCounts scanned;
    MemberChain memberChain;
    // Chains whose latest call's arguments hold references of their own,
    // innermost last; each goes on when its arguments close.
    std::vector<MemberChain> setAsideChains;
    AssignmentChain assignmentChain;
    Diagnostics diagnostics;
    FILE* traceFile = nullptr;
    std::string traceFileName;
    std::map<std::string, int32_t> definitions;
    int32_t conditionStack[11] = {1};
    int32_t conditionDepth = 0;
    int32_t catchSeen[4] = {0};
    int32_t tryDepth = 0;
    Options options;

    PreprocessorContext() = default;
    PreprocessorContext(const PreprocessorContext&) = delete;
    PreprocessorContext& operator=(const PreprocessorContext&) = delete;
    ~PreprocessorContext();
};

// Readies a context for the run the command line asks for: asks the host
// for the option word, applies UVCASE, echoes the command (`argc`, `argv`),
// fills the tables, opens the trace file.
void prepareRun(PreprocessorContext& ctx, CommandLine commandLine, int argc, char** argv);

// Adds or replaces one equate, keeping the folded index in step.
void setEquate(PreprocessorContext& ctx, const std::string& key, std::string_view value);

// The equate the scanner substitutes for a word: the first key in byte order
// that sameWord finds equal, or none.
const std::string* findEquate(PreprocessorContext& ctx, std::string_view word);

}  // namespace bprep2
