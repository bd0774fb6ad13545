// The word tables a run's scan starts from; statement boundaries behind
// the scan and the line ends owed by continuations: the boundary memo and
// the owed line ends, described with the reader's fields (scan_state.h).
#include "scanner/scan_state.h"

#include "tokens/token_sets.h"

namespace bprep2 {

namespace {

void addStartingWords(WordTable<WordEntry>& keywords, NameSet& atVariables) {
    for (const KeywordEntry& row : keywordTable()) {
        WordEntry& entry = keywords.findOrAdd(row.name);
        entry = WordEntry{};
        entry.row = &row;
        // A keyword is found by its own spelling, whatever the case rule,
        // so the exact comparison answers for every spelling found by it.
        entry.opensStatement = isOpenerWord(row.name, true);
    }
    for (std::string_view name : atVariableNames()) atVariables.add(name);
}

// The starting tables made once in the process, for the runs that copy
// them.
struct StartingWords {
    WordTable<WordEntry> keywords;
    NameSet atVariables;

    StartingWords() { addStartingWords(keywords, atVariables); }
};

const StartingWords& startingWords() {
    static const StartingWords words;
    return words;
}

}  // namespace

ScanState::ScanState(WordTablesStart start) {
    if (start == WordTablesStart::Added) {
        addStartingWords(keywords, atVariables);
        return;
    }
    keywords = startingWords().keywords;
    atVariables = startingWords().atVariables;
}

void forgetBoundaries(SourceReader& reader) {
    reader.boundaryFreeLow = 0;
    reader.boundaryFreeHigh = 0;
}

size_t findLastBoundary(const TokenList& list, SourceReader& reader) {
    size_t end = list.size();
    bool canSkip = reader.boundaryFreeLow < reader.boundaryFreeHigh && reader.boundaryFreeHigh <= end;
    // i is one past the index examined next.
    for (size_t i = end; i > reader.firstToken; --i) {
        if (canSkip && i == reader.boundaryFreeHigh) {
            canSkip = false;
            i = reader.boundaryFreeLow;
            if (i <= reader.firstToken) break;
        }
        if (statementBoundaries.has(list[i - 1].kind)) {
            reader.boundaryFreeLow = i;
            reader.boundaryFreeHigh = end;
            return i - 1;
        }
    }
    return npos;
}

void settleOwedLineEnds(TokenList& tokens, SourceReader& reader) {
    if (reader.owedLineEnds == 0) return;
    size_t count = reader.owedLineEnds;
    reader.owedLineEnds = 0;
    size_t at = reader.owedAfter + 1;
    if (at > tokens.size()) at = tokens.size();

    Token lineEnd;
    lineEnd.kind = TokenKind::LineEnd;
    lineEnd.setValue(1);
    tokens.insert(at, count, lineEnd);
    noteInsertion(reader, at, count);
}

void noteInsertion(SourceReader& reader, size_t at, size_t count) {
    if (reader.lineFirstToken >= at) reader.lineFirstToken += count;
    if (reader.joinFloor >= at) reader.joinFloor += count;
    if (reader.owedLineEnds > 0 && reader.owedAfter >= at) reader.owedAfter += count;
    if (reader.boundaryFreeLow >= at) {
        reader.boundaryFreeLow += count;
        reader.boundaryFreeHigh += count;
    } else if (reader.boundaryFreeHigh > at) {
        forgetBoundaries(reader);
    }
}

void oweLineEnd(TokenList& tokens, SourceReader& reader) {
    size_t last = findLastBoundary(tokens, reader);
    if (last == npos) return;
    if (reader.owedLineEnds > 0) {
        // The owed line ends stand right after owedAfter; a later real
        // boundary is the last one, otherwise the last owed line end is.
        if (last == reader.owedAfter) {
            reader.owedLineEnds += 1;
            return;
        }
        size_t owed = reader.owedLineEnds;
        size_t owedAt = reader.owedAfter + 1;
        settleOwedLineEnds(tokens, reader);
        if (last >= owedAt) last += owed;
    }
    reader.owedAfter = last;
    reader.owedLineEnds = 1;
}

}  // namespace bprep2
