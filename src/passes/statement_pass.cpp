// The statement pass: the one pass over the whole token list after scanning.
//
// Three stages in a fixed order: comparison brackets are rewritten line by
// line; then one walk settles every NAME(...) and applies the keyword, brace
// and separator rules; then one walk rewrites the words with a special code.
// Each stage is linear in the number of tokens: the comparisons change
// tokens in place, and each walk reads the list once and writes it again
// (ListRewrite).
//
// This file also holds the rewriting the two walks share.
#include "passes/statement_pass.h"

#include <algorithm>

#include "passes/pass_steps.h"
#include "tokens/comma_join.h"

namespace bprep2 {

bool runStatementPass(TokenList& tokens, const Options& options, DeclaredNames& declared,
                      const Diagnostics& diagnostics, bool specialWordsMet, bool recordsLookups) {
    Pass pass{tokens, options, declared, diagnostics, recordsLookups};
    // The walk measures brackets, so the comparisons go first: `<` and `>`
    // pair nothing there, while their rewritten forms count as expressions.
    rewriteComparisons(tokens);
    // Only the scanner makes such words, and it says when it has.
    pass.findsSpecialWords = specialWordsMet;
    runNameAndKeywordWalk(pass);
    if (!pass.specialWordsAt.empty()) runSpecialWordWalk(pass);
    return pass.runtimeUsed;
}

void becomes(TokenList& tokens, Token& token, TokenKind kind, std::string_view text) {
    token.kind = kind;
    token.setValue(0);
    token.special = 0;
    tokens.setText(token, text);
}

size_t ListRewrite::nextSignificant(size_t i, Reach reach) const {
    if (i == npos) return npos;
    size_t found = bprep2::nextSignificant(list_, i + shift_, reach);
    return found == npos ? npos : found - shift_;
}

size_t ListRewrite::joinedStretchEnd(size_t comma) const {
    return bprep2::joinedStretchEnd(list_, comma + shift_) - shift_;
}

void ListRewrite::write(const Token& token) {
    if (written_ == kept_ + shift_) makeRoom();
    list_[written_++] = token;
}

void ListRewrite::makeRoom() {
    const size_t end = list_.size();
    const size_t from = kept_ + shift_;
    const size_t gap = gapFor(end - from);
    list_.resize(end + gap);
    Token* base = &list_[0];
    std::copy_backward(base + from, base + end, base + end + gap);
    shift_ += gap;
}

// At least a sixteenth of the input left, which keeps the moves linear in
// the list's length. Once the walk has read enough to tell, the gap is what
// it has been adding at, over the input left, with a little to spare: a
// walk that adds tokens all along (an FMT rewrite on every line) then
// moves the rest of the list twice, not 26 times (fmt, 1M lines).
size_t ListRewrite::gapFor(size_t left) const {
    constexpr size_t leastGap = 64;
    constexpr size_t readBeforeEstimate = 4096;
    const size_t least = std::max(left / 16, leastGap);
    if (kept_ < readBeforeEstimate) return least;
    const double added = static_cast<double>(written_ + plan_.size() - kept_);
    const double expected = added / static_cast<double>(kept_) * static_cast<double>(left) * (1.0 + 1.0 / 32);
    return std::max(least, static_cast<size_t>(expected));
}

void ListRewrite::insertBefore(size_t i, const Token& token) {
    plan_.push_back({i, plannedSoFar_++, token});
    std::push_heap(plan_.begin(), plan_.end(), ComesAfter{});
    attendFrom_ = std::min(attendFrom_, i);
}

// The tokens planned before input token `i` in the part of the heap under
// `node`. A part whose first token goes after `i` holds none of them, so
// only the tokens planned up to `i` are looked at, with their children.
size_t ListRewrite::countPlannedAt(size_t node, size_t i) const {
    if (node >= plan_.size() || plan_[node].before > i) return 0;
    const size_t here = plan_[node].before == i ? 1 : 0;
    return here + countPlannedAt(2 * node + 1, i) + countPlannedAt(2 * node + 2, i);
}

void ListRewrite::readWithPlanOrSkip(size_t i) {
    while (!plan_.empty() && plan_.front().before <= i) {
        std::pop_heap(plan_.begin(), plan_.end(), ComesAfter{});
        Planned planned = plan_.back();
        plan_.pop_back();
        if (isSkipped(planned.before)) resetToken(planned.token, TokenKind::Deleted);
        write(planned.token);
    }
    Token& t = (*this)[i];
    if (t.kind == TokenKind::LineMarker) {
        droppedLines_ = 0;
    } else if (isSkipped(i)) {
        if (t.kind == TokenKind::LineEnd) droppedLines_ += t.value();
        resetToken(t, TokenKind::Deleted);
    } else if (t.kind == TokenKind::LineEnd) {
        t.setValue(t.value() + droppedLines_);
        droppedLines_ = 0;
    }
    attendFromNext(i + 1);
}

// Where reading must attend again after the token before `next`: at the
// next token while line ends are owed, else at the first planned-before or
// skipped token.
void ListRewrite::attendFromNext(size_t next) {
    if (droppedLines_ != 0) {
        attendFrom_ = next;
        return;
    }
    attendFrom_ = plan_.empty() ? npos : plan_.front().before;
    if (skipFirst_ != npos && skipLast_ >= next) attendFrom_ = std::min(attendFrom_, std::max(skipFirst_, next));
}

void ListRewrite::keepUpTo(size_t end) {
    while (kept_ < end) {
        const size_t stop = std::min(end, attendFrom_);
        if (stop > kept_) {
            keepStretch(stop);
        } else {
            read(kept_);
            keep(kept_);
        }
    }
}

void ListRewrite::keepStretch(size_t end) {
    const size_t from = kept_ + shift_;
    const size_t count = end - kept_;
    if (written_ != from) {
        Token* base = &list_[0];
        std::copy(base + from, base + from + count, base + written_);
    }
    written_ += count;
    kept_ = end;
}

void ListRewrite::finish() {
    std::sort(plan_.begin(), plan_.end(), [](const Planned& a, const Planned& b) { return ComesAfter{}(b, a); });
    for (const Planned& planned : plan_) write(planned.token);
    plan_.clear();
    list_.truncate(written_);
}

}  // namespace bprep2
