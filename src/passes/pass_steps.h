// The stages of the statement pass and the few tools they share. Only the
// pass itself and its tests include this header.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "output/diagnostics.h"
#include "tokens/declared_names.h"
#include "tokens/keywords.h"
#include "tokens/options.h"
#include "tokens/scans.h"
#include "tokens/token_list.h"

namespace bprep2 {

// What the stages of the pass work on.
struct Pass {
    TokenList& tokens;
    const Options& options;
    DeclaredNames& declared;
    const Diagnostics& diagnostics;
    // The name sets keep the names looked up that are no members only for
    // the token dump: a program of a million distinct names would otherwise
    // hold each of them twice more, for nothing.
    bool recordsLookups = true;
    bool runtimeUsed = false;  // a rewrite made a call of the object runtime
    // Set when the scanner met a word with a rewrite of its own: the name
    // and keyword walk then notes where it leaves each such word, so that
    // the walk over them reads only those.
    bool findsSpecialWords = false;
    std::vector<size_t> specialWordsAt = {};  // list positions, in order
};

// Turns the `<` and `>` that are comparisons into " LT ", " LE ", " GT ",
// " GE ", line by line; works in place, changes no token outside the line
// it is rewriting, and never changes the length of the list.
void rewriteComparisons(TokenList& tokens);

// The per-token walk: NAME(...) resolution, keyword rules, separators after
// THEN/ELSE, brace blocks, CALL-word marking. A NAME(...) that is none of
// the three ends the run.
void runNameAndKeywordWalk(Pass& pass);

// Whether the walk over the `special` codes has anything to do for a token.
inline bool isSpecialWord(const Token& t) { return isRewrittenSpecial(t.special); }

// The walk over the `special` codes: DEFFUN argument lists, STOPE/STOPM and
// the system-object words, at the places pass.specialWordsAt names.
void runSpecialWordWalk(Pass& pass);

// A keyword used as a name: a NameAsWritten token spelled "Xxxx".
void demoteKeyword(TokenList& tokens, Token& token);

// Gives a token a new type and text while keeping where it stands (flags,
// column); what it used to be (value, special) is cleared.
void becomes(TokenList& tokens, Token& token, TokenKind kind, std::string_view text);

// A walk that reads the list from its front and writes it again from its
// front, in the same storage, the way a list is rebuilt by appending each
// token kept: the tokens not read yet (the input) stand at the tail of the
// list, those written (the output) at its head. The walk reads every token
// once, in order, may change the token it reads (and tokens ahead of it),
// and keeps it; a rewrite writes what goes before that token straight to
// the output, leaves what goes before a token ahead in a small plan keyed
// by its input position, and drops a stretch ahead by skipping it. Rules
// that look back read the output. When the output catches up with the
// input, what is left of the input moves up by a gap in proportion to its
// length, so the moves stay linear in the list's length, and the list grows
// by little more than the tokens it gains (a sixteenth of it, or a 32nd
// more than the walk's rate of adding so far asks for, at most).
class ListRewrite {
   public:
    explicit ListRewrite(TokenList& list) : list_(list), count_(list.size()) {}

    // The input, by position in the list as the walk found it: the token
    // being read and those after it.
    size_t inputSize() const { return count_; }
    Token& operator[](size_t i) { return list_[i + shift_]; }
    const Token& operator[](size_t i) const { return list_[i + shift_]; }
    // The input tokens, valid until the list next makes room.
    const Token* input() const { return list_.begin() + shift_; }
    size_t nextSignificant(size_t i, Reach reach) const;
    size_t joinedStretchEnd(size_t comma) const;
    std::string_view text(const Token& t) const { return list_.text(t); }
    // The list, for making tokens and storing texts.
    TokenList& tokens() { return list_; }

    // The output: tokens 0 to written() - 1 of the list.
    const TokenList& output() const { return list_; }
    size_t written() const { return written_; }
    // Writes `token` before the token being read.
    void write(const Token& token);

    // Plans `token` before input token `i`, ahead of the walk, behind what
    // is already planned there.
    void insertBefore(size_t i, const Token& token);
    size_t plannedBefore(size_t i) const { return countPlannedAt(0, i); }
    // Drops input tokens first..last, ahead of the walk, with what is
    // planned before them: each is written as a deleted token, except that
    // a line marker stays (without it the rest of the file would carry the
    // wrong file name and line numbers), and the line ends dropped are
    // added to the next line end read, so no source line goes missing (a
    // line marker coming first puts the numbers right by itself).
    void skip(size_t first, size_t last) {
        skipFirst_ = first;
        skipLast_ = last;
        attendFrom_ = std::min(attendFrom_, first);
    }

    // Reads input token `i`, the one after the last kept: writes what is
    // planned before it, and drops it when it is skipped. Most tokens have
    // nothing planned, skipped or carried, and are read where they stand.
    void read(size_t i) {
        if (i >= attendFrom_) readWithPlanOrSkip(i);
    }
    // Writes input token `i`, as the walk left it, to the output.
    void keep(size_t i) {
        const size_t from = i + shift_;
        if (written_ != from) list_[written_] = list_[from];
        ++written_;
        kept_ = i + 1;
    }
    // Reads and keeps the input tokens from the one after the last kept up
    // to `end` (not included), for a walk that changes none of them: a
    // stretch with nothing planned before it, skipped or owed is moved whole,
    // or left where it stands while the output has not caught up.
    void keepUpTo(size_t end);
    // Keeps the input tokens from the one after the last kept for as long as
    // `passes(input, i)` says of input token i (input[i]) that the walk
    // leaves it alone and reading it means nothing (the tokens asked about,
    // and those after them up to the end of the input, are final); returns
    // the first not kept.
    template <typename Passes>
    size_t keepWhile(Passes&& passes) {
        const size_t end = std::min(count_, attendFrom_);
        const Token* input = this->input();
        size_t i = kept_;
        if (written_ == kept_ + shift_) {
            while (i < end && passes(input, i)) ++i;
            written_ += i - kept_;
        } else {
            while (i < end && passes(input, i)) list_[written_++] = input[i++];
        }
        kept_ = i;
        return i;
    }
    // Writes what is planned after the last token; the list is the output.
    void finish();

   private:
    // A token planned before input position `before`; `order` keeps those
    // planned before the same token in the order they were planned.
    struct Planned {
        size_t before = 0;
        uint64_t order = 0;
        Token token;
    };
    // The heap's order, as a type of its own so that the heap steps are
    // compiled with it rather than called through a pointer.
    struct ComesAfter {
        bool operator()(const Planned& a, const Planned& b) const {
            return a.before != b.before ? a.before > b.before : a.order > b.order;
        }
    };

    bool isSkipped(size_t i) const { return i >= skipFirst_ && i <= skipLast_; }
    void makeRoom();
    size_t gapFor(size_t left) const;
    size_t countPlannedAt(size_t node, size_t i) const;
    void attendFromNext(size_t next);
    void keepStretch(size_t end);
    void readWithPlanOrSkip(size_t i);

    TokenList& list_;
    size_t count_;
    size_t shift_ = 0;    // input token i stands at i + shift_
    size_t written_ = 0;
    size_t kept_ = 0;     // input tokens before this one are in the output
    // A heap in a vector, the first planned token at its front: planning
    // allocates nothing, though a mask rewrite plans two tokens each.
    std::vector<Planned> plan_;
    uint64_t plannedSoFar_ = 0;
    size_t skipFirst_ = npos;
    size_t skipLast_ = npos;
    int32_t droppedLines_ = 0;  // line ends dropped, owed to the next line end read
    // No input token before this one has anything planned before it, is
    // skipped or is owed line ends, so reading it means nothing.
    size_t attendFrom_ = npos;
};

// Whether a name may be a declared function or array, asked before the
// name sets are: most names of a program are neither, and this answers for
// them with one short hash and no upper-casing. It holds a bit for every
// member of the two sets, found by a hash that ignores case; a clear bit
// says the name is in neither set, a set one says nothing. Made when the
// sets are complete.
class DeclaredNameFilter {
   public:
    explicit DeclaredNameFilter(const DeclaredNames& declared);
    bool mayBeDeclared(std::string_view name) const;

   private:
    size_t bitOf(std::string_view name) const;
    std::vector<uint64_t> bits_;
};

// One `(` of the list with its matching closing bracket (npos when it never
// closes) and the number of expressions between the two.
struct ParenSpan {
    size_t open = 0;
    size_t close = 0;
    int32_t count = 0;
};

// The bracket pairs NAME(...) resolution asks about: each `(` that follows
// a name (past blanks and deleted tokens), measured on the input of a walk
// when first asked for. Measuring a pair measures every such pair nested in
// it, kept for the questions that follow, so no token is measured twice and
// the pairs of names that need no resolution (calls, array elements) are
// never measured at all.
class BracketSpans {
   public:
    // The pair opened at input position `open`, a `(` that follows a name.
    // Asked for in increasing order of `open`; null when the pair lies in
    // one measured already and is no pair a name opens.
    const ParenSpan* spanAt(const ListRewrite& input, size_t open);

   private:
    struct OpenPair {
        size_t span = 0;            // its entry in spans_, npos when it has none
        uint64_t othersAtOpen = 0;  // tokens other than brackets and commas seen before it opened
        uint64_t othersAtFirstComma = 0;
        int32_t commas = 0;         // commas directly inside

        void noteComma(uint64_t othersNow) {
            if (commas++ == 0) othersAtFirstComma = othersNow;
        }
        int32_t expressionCount(uint64_t othersNow) const;
    };
    bool measureFlat(const ListRewrite& input, size_t open);
    void measureFrom(const ListRewrite& input, size_t open);

    std::vector<ParenSpan> spans_;  // the pairs measured last, in list order
    size_t nextSpan_ = 0;           // the first of them not asked for yet
    size_t measuredEnd_ = 0;        // input positions before this are measured
    std::vector<OpenPair> open_;
};

}  // namespace bprep2
