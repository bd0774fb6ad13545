// A walk's rewrite of the list in its own storage: tokens written before the
// one read, tokens planned ahead, skipped stretches and their line ends, and
// the input read ahead after the output has caught up with it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "passes/pass_steps.h"

namespace bprep2 {
namespace {

Token numbered(TokenKind kind, int32_t value) {
    Token t;
    resetToken(t, kind);
    t.setValue(value);
    return t;
}

// The list as kind:value words, for comparing whole lists at a glance.
std::string spelled(const TokenList& tokens) {
    std::string s;
    for (const Token& t : tokens) s += std::to_string(kindNumber(t.kind)) + ":" + std::to_string(t.value()) + " ";
    return s;
}

TEST(ListRewrite, WritesBeforeTheTokenReadAndAtPlannedPlacesWhileTheOutputOvertakesTheInput) {
    // The longer list reads far enough for the gaps to follow the rate of
    // adding rather than the length left.
    for (int32_t count : {1000, 20000}) {
        TokenList tokens;
        for (int32_t i = 0; i < count; ++i) tokens.append(numbered(TokenKind::Number, i));
        TokenList expected;
        ListRewrite list(tokens);
        for (size_t i = 0; i < list.inputSize(); ++i) {
            list.read(i);
            // Every token gains one before it now and one planned two ahead, so
            // the output soon reaches the input and the input moves up many times.
            const int32_t value = list[i].value();
            if (i + 1 < list.inputSize()) {
                EXPECT_EQ(list[i + 1].value(), value + 1);
            }
            list.write(numbered(TokenKind::Operator, value));
            list.insertBefore(i + 2, numbered(TokenKind::Comma, value));
            list.keep(i);
        }
        list.finish();
        for (int32_t i = 0; i < count + 2; ++i) {
            if (i >= 2) expected.append(numbered(TokenKind::Comma, i - 2));
            if (i < count) {
                expected.append(numbered(TokenKind::Operator, i));
                expected.append(numbered(TokenKind::Number, i));
            }
        }
        EXPECT_EQ(spelled(tokens), spelled(expected)) << count;
    }
}

// Rewrites plan in any order: a mask rewrite inside another plans before
// the outer one's plans, a second rewrite at the same place after the
// first. Each token comes out before its input token, those of one place
// in the order planned, however many wait at once.
TEST(ListRewrite, PlannedTokensComeOutByPlaceThenInTheOrderPlanned) {
    constexpr int32_t count = 40;
    TokenList tokens;
    for (int32_t i = 0; i < count; ++i) tokens.append(numbered(TokenKind::Number, i));
    ListRewrite list(tokens);
    // Places from the far end down, every third one planned twice, and the
    // place after the last token as well.
    int32_t label = 0;
    std::vector<std::vector<int32_t>> expectedAt(count + 1);
    for (int32_t at = count; at >= 0; at -= 2) {
        for (int copies = at % 3 == 0 ? 2 : 1; copies > 0; --copies) {
            list.insertBefore(static_cast<size_t>(at), numbered(TokenKind::Comma, label));
            expectedAt[static_cast<size_t>(at)].push_back(label++);
        }
    }
    EXPECT_EQ(list.plannedBefore(0), 2u);
    EXPECT_EQ(list.plannedBefore(4), 1u);
    EXPECT_EQ(list.plannedBefore(5), 0u);
    EXPECT_EQ(list.plannedBefore(count), 1u);
    for (size_t i = 0; i < list.inputSize(); ++i) {
        list.read(i);
        list.keep(i);
    }
    list.finish();
    TokenList expected;
    for (int32_t i = 0; i <= count; ++i) {
        for (int32_t planned : expectedAt[static_cast<size_t>(i)]) expected.append(numbered(TokenKind::Comma, planned));
        if (i < count) expected.append(numbered(TokenKind::Number, i));
    }
    EXPECT_EQ(spelled(tokens), spelled(expected));
}

struct SkipCase {
    const char* name;
    std::vector<Token> input;
    size_t first, last;
    std::vector<size_t> plannedBefore;  // a comma planned before each
    std::vector<Token> expected;
};

TEST(ListRewrite, SkippedTokensAreDeletedAndTheirLineEndsGoToTheNextOne) {
    using K = TokenKind;
    const Token name = numbered(K::Name, 0), end1 = numbered(K::LineEnd, 1), end2 = numbered(K::LineEnd, 2),
                marker = numbered(K::LineMarker, 7), gone = numbered(K::Deleted, 0), comma = numbered(K::Comma, 0);
    const SkipCase cases[] = {
        {"line ends carried", {name, name, end2, name, end1}, 1, 3, {}, {name, gone, gone, gone, numbered(K::LineEnd, 3)}},
        {"a marker inside stays, and only the line ends after it are carried",
         {name, end2, marker, end1, name, end1}, 1, 4, {}, {name, gone, marker, gone, gone, end2}},
        {"a marker after the stretch drops the carry", {name, end2, marker, end1}, 1, 1, {}, {name, gone, marker, end1}},
        {"planned inside are deleted, after it kept", {name, name, name, name}, 1, 2, {1, 3},
         {name, gone, gone, gone, comma, name}},
        {"planned after the last token", {name, name}, 1, 1, {2}, {name, gone, comma}},
    };
    for (const SkipCase& c : cases) {
        TokenList tokens;
        for (const Token& t : c.input) tokens.append(t);
        ListRewrite list(tokens);
        list.skip(c.first, c.last);
        for (size_t at : c.plannedBefore) list.insertBefore(at, comma);
        for (size_t i = 0; i < list.inputSize(); ++i) {
            list.read(i);
            list.keep(i);
        }
        list.finish();
        TokenList expected;
        for (const Token& t : c.expected) expected.append(t);
        EXPECT_EQ(spelled(tokens), spelled(expected)) << c.name;
    }
}

// A walk that changes nothing in a stretch may keep it whole: what is
// planned, skipped or owed in it comes out as token by token.
TEST(ListRewrite, KeepingAStretchWholeWritesWhatReadingItTokenByTokenWrites) {
    using K = TokenKind;
    struct StretchCase {
        const char* name;
        std::vector<size_t> plannedBefore;
        size_t first, last;       // skipped, npos for none
        size_t writtenBefore;     // a token written before this one, npos for none
    };
    const StretchCase cases[] = {
        {"nothing to attend to", {}, npos, npos, npos},
        {"tokens planned inside and after", {3, 3, 7, 12}, npos, npos, npos},
        {"a skipped stretch owing its line ends", {}, 2, 5, npos},
        {"the output caught up before the stretch", {9}, npos, npos, 1},
        {"all at once", {4, 10}, 6, 8, 1},
    };
    std::vector<Token> input;
    for (int32_t i = 0; i < 12; ++i) input.push_back(numbered(i % 3 == 2 ? K::LineEnd : K::Name, i % 3 == 2 ? 1 : i));
    for (const StretchCase& c : cases) {
        TokenList byToken;
        TokenList whole;
        for (const Token& t : input) {
            byToken.append(t);
            whole.append(t);
        }
        auto plan = [&](ListRewrite& list) {
            if (c.first != npos) list.skip(c.first, c.last);
            for (size_t at : c.plannedBefore) list.insertBefore(at, numbered(K::Comma, static_cast<int32_t>(at)));
        };
        const Token added = numbered(K::Operator, 0);
        ListRewrite one(byToken);
        plan(one);
        for (size_t i = 0; i < one.inputSize(); ++i) {
            one.read(i);
            if (i == c.writtenBefore) one.write(added);
            one.keep(i);
        }
        one.finish();
        ListRewrite stretches(whole);
        plan(stretches);
        if (c.writtenBefore != npos) {
            stretches.keepUpTo(c.writtenBefore);
            stretches.read(c.writtenBefore);
            stretches.write(added);
            stretches.keep(c.writtenBefore);
        }
        stretches.keepUpTo(stretches.inputSize());
        stretches.finish();
        EXPECT_EQ(spelled(whole), spelled(byToken)) << c.name;

        // A walk that stops only at the tokens it acts on: names 1 and 9
        // here, the first of them the one written before, if any.
        TokenList passed;
        for (const Token& t : input) passed.append(t);
        ListRewrite stops(passed);
        plan(stops);
        auto passes = [](const Token* input, size_t i) { return input[i].kind != K::Name || input[i].value() % 8 != 1; };
        for (size_t i = stops.keepWhile(passes); i < stops.inputSize(); i = stops.keepWhile(passes)) {
            stops.read(i);
            if (i == c.writtenBefore) stops.write(added);
            stops.keep(i);
        }
        stops.finish();
        EXPECT_EQ(spelled(passed), spelled(byToken)) << c.name << ", keeping while tokens pass";
    }
}

}  // namespace
}  // namespace bprep2
