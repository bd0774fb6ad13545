// The writer on hand-built token lists: the joins after trailing commas,
// the name rule, and long runs of blanks around the tokens it looks past
// (what it refuses: driver/program_text_test.cpp).
#include "output/writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tokens/keywords.h"

namespace bprep2 {
namespace {

using K = TokenKind;

struct Fixture {
    TokenList tokens;
    NameSet functions;
    WriterSettings settings;
    Fixture() {
        settings.declaredFunctions = &functions;
        add(K::LineMarker, "prog.b", 1);
    }
    Fixture& add(TokenKind kind, std::string_view text = {}, int32_t value = 0) {
        tokens.append(tokens.make(kind, text, value));
        return *this;
    }
    // The whole text, as the in-process caller receives it.
    std::string whole() {
        TextBuffer text;
        buildProgramText(tokens, settings, Diagnostics(), text);
        return std::string(text.view());
    }
    // The text after the line marker; the list must come out as it went in.
    std::string render() {
        std::vector<Token> before(tokens.begin(), tokens.end());
        TextBuffer text;
        buildProgramText(tokens, settings, Diagnostics(), text);
        EXPECT_EQ(tokens.size(), before.size());
        for (size_t i = 0; i < before.size(); ++i) {
            EXPECT_EQ(tokens[i].kind, before[i].kind) << i;
            EXPECT_EQ(tokens.value(tokens[i]), tokens.value(before[i])) << i;
        }
        std::string written(text.view());
        return written.substr(std::min(written.size(), std::string("\n#line 1 \"prog.b\"\n").size()));
    }
};

TEST(Writer, TrailingCommasPullTheNextLineUpAndCarryItsBreaks) {
    struct Row {
        const char* name;
        std::vector<std::pair<TokenKind, int32_t>> tokens;  // a Name is written as X
        std::string text;
    };
    const Row rows[] = {
        {"joined", {{K::Name, 0}, {K::Comma, 0}, {K::LineEnd, 1}, {K::Blank, 3}, {K::Name, 0}, {K::LineEnd, 1}},
         "X, X\n\n"},
        {"separators dropped", {{K::Name, 0}, {K::Comma, 0}, {K::LineEnd, 1}, {K::Separator, 0}, {K::Name, 0},
          {K::LineEnd, 1}}, "X,X\n\n"},
        {"carried on by a second comma", {{K::Name, 0}, {K::Comma, 0}, {K::LineEnd, 2}, {K::Name, 0}, {K::Comma, 0},
          {K::LineEnd, 1}, {K::Name, 0}, {K::LineEnd, 1}}, "X,X,X\n\n\n\n"},
        {"stays before a marker", {{K::Name, 0}, {K::Comma, 0}, {K::LineEnd, 1}, {K::Separator, 0},
          {K::LineMarker, 2}, {K::Name, 0}}, "X,\n\n#line 2 \"m\"\nX"},
        {"separator kept after the join", {{K::Name, 0}, {K::Separator, 0}, {K::Name, 0}, {K::LineEnd, 1}},
         "X;X\n"},
        {"separator at a line end", {{K::Name, 0}, {K::Separator, 0}, {K::LineEnd, 1}}, "X\n"},
    };
    for (const Row& row : rows) {
        Fixture f;
        for (const auto& [kind, value] : row.tokens)
            f.add(kind, kind == K::Name ? "X" : kind == K::LineMarker ? "m" : "", value);
        EXPECT_EQ(f.render(), row.text) << row.name;
    }
}

TEST(Writer, NamesKeepTheirCaseOnlyWhereTheRuleSays) {
    Fixture f;
    f.functions.add("Fn");
    f.add(K::Name, "Fn").add(K::Blank, {}, 1).add(K::Name, "other").add(K::Blank, {}, 1);
    f.add(K::Keyword, "call", kwKeyword | kwCallLike).add(K::Blank, {}, 1).add(K::Name, "Sub1");
    f.add(K::Blank, {}, 1).add(K::Function, "len").add(K::MemberOperator).add(K::LineEnd, {}, 1);
    EXPECT_EQ(f.render(), "Fn OTHER CALL Sub1 LEN->\n");
    EXPECT_FALSE(f.functions.hasMember("other"));

    f.settings.recordsLookups = true;
    f.settings.dotMember = true;
    EXPECT_EQ(f.render(), "Fn OTHER CALL Sub1 LEN.\n");
    size_t kept = 0;
    for (const auto& entry : f.functions) kept += entry.first == "other" && !entry.second;
    EXPECT_EQ(kept, 1u);
}

// Texts are copied in pieces that depend on their length: every length up
// to a few words, as stored and upper-cased, comes out whole and in place.
TEST(Writer, TextsOfEveryLengthComeOutWhole) {
    Fixture f;
    std::string expected;
    for (size_t length = 0; length <= 40; ++length) {
        std::string text, name;
        for (size_t i = 0; i < length; ++i) {
            text += static_cast<char>('!' + (i * 7 + length) % 90);
            name += static_cast<char>('a' + (i + length) % 26);
        }
        f.add(K::Verbatim, text).add(K::Blank, {}, 1).add(K::Name, name).add(K::LineEnd, {}, 1);
        std::string upper = name;
        for (char& c : upper) c = static_cast<char>(c - 'a' + 'A');
        expected += text + " " + upper + "\n";
    }
    EXPECT_EQ(f.render(), expected);
}

// Short texts are upper-cased a word at a time: every byte, at every place
// of names and keywords of every short length and a little longer, comes
// out as it would one at a time, and a name declared as a function keeps
// its case wherever its one lower-case letter lies.
TEST(Writer, EveryByteAtEveryPlaceIsUpperCasedAsItsOwn) {
    auto upperCased = [](std::string text) {
        for (char& c : text)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        return text;
    };
    Fixture f;
    std::string expected;
    for (int byte = 1; byte < 256; ++byte) {
        for (size_t length : {2, 7, 8, 9, 15, 16, 17}) {
            const size_t place = static_cast<size_t>(byte) % length;
            std::string text(length, 'q');
            text[place] = static_cast<char>(byte);
            f.add(K::Name, text).add(K::Blank, {}, 1).add(K::Keyword, text).add(K::LineEnd, {}, 1);
            expected += upperCased(text) + " " + upperCased(text) + "\n";
        }
    }
    for (size_t length = 1; length <= 18; ++length) {
        for (size_t place = 0; place < length; ++place) {
            std::string declared(length, 'D');
            declared[place] = 'd';
            f.functions.add(declared);
            f.add(K::Name, declared).add(K::Blank, {}, 1).add(K::Name, declared + "x").add(K::LineEnd, {}, 1);
            expected += declared + " " + upperCased(declared + "x") + "\n";
        }
    }
    EXPECT_EQ(f.render(), expected);
}

// A quadratic walk past these blanks would take minutes.
TEST(Writer, LongBlankRunsStayLinear) {
    Fixture f;
    const int runs = 100, blanks = 20000;
    for (int i = 0; i < runs; ++i) {
        f.add(K::Keyword, "call").add(K::Separator);
        for (int j = 0; j < blanks; ++j) f.add(j % 2 ? K::Blank : K::Deleted);
        f.add(K::Name, "s").add(K::Comma);
        for (int j = 0; j < blanks; ++j) f.add(j % 2 ? K::Blank : K::Deleted);
    }
    f.add(K::LineEnd, {}, 1);
    std::string text = f.render();
    EXPECT_EQ(text.size(), runs * (4 + 1 + blanks + 2) + 1u);
    EXPECT_EQ(text.substr(0, 8), "CALL;   ");
}

// Keeps every piece handed on.
struct PieceSink final : TextSink {
    std::vector<std::string> pieces;
    void take(std::string_view piece) override { pieces.emplace_back(piece); }
};

// Tokens longer than the whole buffer go out in pieces with the same case
// rules as the rest; every piece fits the buffer, and together they are
// the whole text.
TEST(Writer, StreamedTextIsTheWholeTextInPiecesNoLargerThanTheBuffer) {
    const std::string longName(300, 'n'), keptName = "Fn" + std::string(200, 'k');
    const std::string longFile(120, 'f');
    std::string longString(152, 's');
    longString.front() = longString.back() = '"';
    Fixture f;
    f.functions.add(keptName);
    f.settings.objectRuntimeUsed = true;
    f.add(K::Name, longName).add(K::Blank, {}, 1).add(K::Name, keptName).add(K::Operator, {}, '=');
    f.add(K::String, longString).add(K::Comma).add(K::LineEnd, {}, 90).add(K::Keyword, "print");
    f.add(K::Separator).add(K::Function, std::string(100, 'l')).add(K::LineEnd, {}, 400);
    f.add(K::LineMarker, longFile, 7).add(K::Name, "x").add(K::LineEnd, {}, 1);
    // Ordinary lines after it, so that every way of writing a token meets
    // the end of the buffer at one place or another.
    std::string lines;
    for (int i = 0; i < 150; ++i) {
        f.add(K::Name, "total").add(K::Operator, {}, '=').add(K::Number, std::to_string(i)).add(K::Comma);
        const int blanks = 1 + i % 45;  // longer than a line marker's frame, at times
        for (int j = 0; j < blanks; ++j) f.add(K::Blank, {}, 1);
        f.add(K::Keyword, "then").add(K::String, "'s'").add(K::LineEnd, {}, 1);
        lines += "TOTAL=" + std::to_string(i) + "," + std::string(blanks, ' ') + "THEN's'\n";
    }
    const std::string whole = f.whole();
    EXPECT_NE(whole.find(std::string(300, 'N') + " " + keptName + "=" + longString + ",PRINT;" +
                         std::string(100, 'L') + std::string(490, '\n') + "\n#line 7 \"" + longFile + "\"\nX\n" +
                         lines),
              std::string::npos);
    for (size_t limit : {leastStreamedPiece, size_t{100}, size_t{257}, size_t{4096}}) {
        TextBuffer buffer(limit);
        PieceSink sink;
        streamProgramText(f.tokens, f.settings, Diagnostics(), buffer, sink);
        std::string streamed;
        for (const std::string& piece : sink.pieces) {
            EXPECT_LE(piece.size(), limit);
            EXPECT_FALSE(piece.empty());
            streamed += piece;
        }
        EXPECT_EQ(streamed, whole) << limit;
        EXPECT_GT(sink.pieces.size(), limit < whole.size() ? 1u : 0u) << limit;
    }
}

// A streamed text goes out before the list's end is reached, so a token the
// writer refuses must never be in the list: every kind is written but
// Invalid, which no stage makes.
TEST(Writer, EveryKindButInvalidIsWritten) {
    for (int kind = 0; kind <= kindNumber(K::Invalid); ++kind) {
        Fixture f;
        f.add(static_cast<TokenKind>(kind), "a", 1);
        int32_t status = 0;
        testing::internal::CaptureStderr();
        try {
            f.whole();
        } catch (const RunFailure& failure) {
            status = failure.status;
        }
        std::string message = testing::internal::GetCapturedStderr();
        EXPECT_EQ(status, kind == kindNumber(K::Invalid) ? unwrittenStatus : 0) << kind << message;
    }
    namespace fs = std::filesystem;
    const fs::path src = fs::path(BPREP2_SOURCE_DIR) / "src";
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(src)) {
        if (!entry.is_regular_file() || entry.path().parent_path().filename() == "tokens") continue;
        std::ifstream file(entry.path());
        std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        EXPECT_EQ(text.find("TokenKind::Invalid"), std::string::npos) << entry.path();
    }
}

}  // namespace
}  // namespace bprep2
