// The statement pass stays linear in the number of tokens: a 200,000-line
// program full of formatted variables, and lines built to make a careless
// pass go over the same tokens again and again. Each would take minutes if
// the pass were quadratic; the bounds leave room for a sanitizer build.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "passes/statement_pass.h"
#include "tokens/keywords.h"
#include "tokens/token_list.h"

namespace bprep2 {
namespace {

struct Builder {
    PreprocessorContext ctx;
    SourceReader reader;
    explicit Builder(uint32_t options = 0) {
        ctx.options = options;
        ctx.reader = &reader;
        appendToken(ctx, changeline, "big.b", 1);
    }
    void add(int32_t type, std::string_view text = {}, int32_t value = 0, int32_t special = 0) {
        appendTokenSpecial(ctx, type, text, value, special);
    }
    // Runs the pass with no reader current and returns the seconds it took.
    double timedPass(int32_t expectedStatus = 0) {
        ctx.reader = nullptr;
        auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(runStatementPass(ctx), expectedStatus);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
};

size_t countText(const PreprocessorContext& ctx, std::string_view text) {
    size_t n = 0;
    for (const Token& t : ctx.tokens) n += ctx.text(t) == text;
    return n;
}

TEST(LinearTime, TwoHundredThousandLinesOfFormattedVariables) {
    constexpr int lines = 200000;
    Builder b;
    for (int i = 0; i < lines; ++i) {
        // X = A(1) + B(2)
        b.add(variable, "X");
        b.add(whitespace, {}, 1);
        b.add(equals);
        b.add(whitespace, {}, 1);
        for (const char* name : {"A", "B"}) {
            b.add(variable, name);
            b.add(extract, {}, '(');
            b.add(numeric, "1");
            b.add(extract, {}, ')');
            b.add(maths, {}, '+');
        }
        b.add(endofline, {}, 1);
    }
    size_t before = b.ctx.tokens.size();
    EXPECT_LT(b.timedPass(), 20.0);
    ASSERT_EQ(b.ctx.tokens.size(), before + 8u * lines);
    EXPECT_EQ(countText(b.ctx, "FMT"), 2u * lines);
    // The last line reads X = FMT(A,(1))+FMT(B,(1))+
    std::string last;
    for (size_t i = b.ctx.tokens.size() - 23; i < b.ctx.tokens.size(); ++i) {
        const Token& t = b.ctx.tokens[i];
        if (t.type == extract || t.type == maths) last += static_cast<char>(t.value);
        else if (t.type == comma) last += ',';
        else if (t.type == equals) last += '=';
        else if (t.type == whitespace) last += ' ';
        else if (t.type == endofline) last += '$';
        else last += b.ctx.text(t);
    }
    EXPECT_EQ(last, "X = FMT(A,(1))+FMT(B,(1))+$");
}

TEST(LinearTime, RepeatedScansOfOneStretch) {
    constexpr int n = 100000;
    const int32_t call = static_cast<int32_t>(kwKeyword | kwCallLike);

    Builder nested;  // X(X(X(...1...)))
    for (int i = 0; i < n; ++i) {
        nested.add(variable, "X");
        nested.add(extract, {}, '(');
    }
    nested.add(numeric, "1");
    for (int i = 0; i < n; ++i) nested.add(extract, {}, ')');
    nested.add(endofline, {}, 1);
    EXPECT_LT(nested.timedPass(), 5.0);
    EXPECT_EQ(countText(nested.ctx, "FMT"), static_cast<size_t>(n));

    Builder calls;  // CALL CALL CALL ... F(1)
    for (int i = 0; i < n; ++i) {
        calls.add(system_keyword, "CALL", call);
        calls.add(whitespace, {}, 1);
    }
    calls.add(variable, "F");
    calls.add(extract, {}, '(');
    calls.add(numeric, "1");
    calls.add(extract, {}, ')');
    calls.add(endofline, {}, 1);
    EXPECT_LT(calls.timedPass(), 5.0);
    EXPECT_EQ(countText(calls.ctx, "FMT"), 0u);

    Builder stops(optStopStatements);  // STOPE STOPE ... on one line
    for (int i = 0; i < n; ++i) {
        stops.add(system_keyword, "STOPE", kwKeyword, specialStop);
        stops.add(whitespace, {}, 1);
    }
    stops.add(endofline, {}, 1);
    EXPECT_LT(stops.timedPass(), 5.0);
    EXPECT_EQ(countText(stops.ctx, ")"), static_cast<size_t>(n));

    Builder deffuns;  // DEFFUN F( on every line, never closed, then DEFFUN DEFFUN ... (
    for (int i = 0; i < n; ++i) {
        deffuns.add(system_keyword, "DEFFUN", kwKeyword, specialDeffun);
        deffuns.add(variable, "F");
        deffuns.add(extract, {}, '(');
        deffuns.add(endofline, {}, 1);
    }
    for (int i = 0; i < n; ++i) deffuns.add(system_keyword, "DEFFUN", kwKeyword, specialDeffun);
    deffuns.add(extract, {}, '(');
    EXPECT_LT(deffuns.timedPass(), 5.0);
}

}  // namespace
}  // namespace bprep2
