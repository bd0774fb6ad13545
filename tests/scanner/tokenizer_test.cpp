// The tokenizer and the line loop around it, table-driven: each row is a
// source and the tokens it must scan into, as kinds and texts, with the
// value, flags or special code where a row gives them.
#include "scanner/tokenizer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "scanner/line_loop.h"
#include "scanner/source.h"

namespace bprep2 {
namespace {

using K = TokenKind;

// A token as a row expects it. The value is checked unless a row leaves it
// out (a keyword's value is its row's flags, the keyword table's concern);
// flags and special code only where a row gives them.
struct Want {
    TokenKind kind;
    std::string_view text = {};
    std::optional<int32_t> value = 0;
    std::optional<uint32_t> flags = {};
    std::optional<int32_t> special = {};

    Want withFlags(uint32_t f) const {
        Want w = *this;
        w.flags = f;
        return w;
    }
    Want withSpecial(int32_t code) const {
        Want w = *this;
        w.special = code;
        return w;
    }
};

Want name(std::string_view text) { return {K::Name, text}; }
Want number(std::string_view text) { return {K::Number, text}; }
Want blank(int32_t width = 1) { return {K::Blank, {}, width}; }
Want lineEnd(int32_t lines = 1) { return {K::LineEnd, {}, lines}; }
Want bracket(char c) { return {K::Bracket, {}, c}; }
Want op(char c) { return {K::Operator, {}, c}; }
Want keyword(std::string_view text) { return {K::Keyword, text, std::nullopt}; }
Want function(std::string_view text) { return {K::Function, text, std::nullopt}; }
const Want equals{K::Equals};
const Want separator{K::Separator};

struct Row {
    std::string_view source;
    std::vector<Want> tokens;
    uint32_t options = 0;
};

std::string describe(const Want& w) {
    std::string text(kindName(kindNumber(w.kind)));
    if (!w.text.empty()) text += " \"" + std::string(w.text) + "\"";
    if (w.value) text += " value=" + std::to_string(*w.value);
    if (w.flags) text += " flags=" + std::to_string(*w.flags);
    if (w.special) text += " special=" + std::to_string(*w.special);
    return text;
}

// The token as `shape` asks about it: the fields it leaves out, left out.
Want seen(const TokenList& list, const Token& token, const Want& shape) {
    Want w{token.kind, list.text(token)};
    w.value = shape.value ? std::optional<int32_t>(list.value(token)) : std::nullopt;
    if (shape.flags) w.flags = token.flags;
    if (shape.special) w.special = token.special;
    return w;
}

// Records the statements handed on, each taken up to its ';' as the real
// handlers do; no line is a directive.
class RecordingHandlers final : public LineHandlers {
   public:
    std::vector<std::string> handed;

    bool directive(Scan&, SourceReader&) override { return false; }
    void equate(Scan&, SourceReader& reader) override { take("EQUATE", reader); }
    void include(Scan&, SourceReader& reader) override { take("INCLUDE", reader); }
    bool linesActive() const override { return true; }

   private:
    void take(std::string_view word, SourceReader& reader) {
        std::string_view rest = std::string_view(reader.lineText).substr(static_cast<size_t>(reader.scanPos));
        rest = rest.substr(0, rest.find(';'));
        handed.push_back(std::string(word) + ":" + std::string(rest));
        reader.scanPos += static_cast<int64_t>(rest.size());
    }
};

// A source held in memory, scanned as a main source is: its reader
// current and its line marker first.
class SourceScan {
   public:
    SourceScan(std::string_view source, uint32_t optionBits) {
        options.word = optionBits;
        reader.sourceText = source;
        reader.fileName = "prog.b";
        state.reader = &reader;
        diagnostics.pointAt(&reader);
        appendToken(scan, reader, K::LineMarker, reader.fileName, 1);
    }

    // The first line by the tokenizer alone; the lines after it are there
    // for a continuation to take.
    void tokenizeFirstLine() {
        ASSERT_TRUE(readSourceLine(scan, reader));
        reader.scanPos = 0;
        tokenizeLine(scan, reader);
        settleOwedLineEnds(tokens, reader);
    }

    void scanAllLines() {
        runLineLoop(scan, reader);
        settleOwedLineEnds(tokens, reader);
    }

    TokenList tokens;
    ScanState state;
    TryState tries;
    EquateTable equates;
    DeclaredNames declared;
    ObjectState objects;
    Options options;
    Diagnostics diagnostics;
    SourceSearch sources;
    RecordingHandlers handlers;
    Scan scan{tokens, state, tries, equates, declared, objects, options, diagnostics, sources, handlers};
    SourceReader reader;
};

// Compares what the scan made after the source's line marker.
void expectTokens(const SourceScan& s, const Row& row) {
    std::span<const Token> got = std::span<const Token>(&s.tokens[0], s.tokens.size()).subspan(1);
    std::vector<std::string> seenTokens, wanted;
    for (const Want& w : row.tokens) wanted.push_back(describe(w));
    for (size_t i = 0; i < got.size(); ++i)
        seenTokens.push_back(describe(seen(s.tokens, got[i], i < row.tokens.size() ? row.tokens[i] : Want{})));
    EXPECT_EQ(seenTokens, wanted) << "scanning: " << row.source;
}

void tokenizeEach(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        SourceScan s(row.source, row.options);
        s.tokenizeFirstLine();
        expectTokens(s, row);
    }
}

TEST(Tokenizer, BlanksAndComments) {
    tokenizeEach({
        // Blanks that end the line make no token.
        {"X  =\t1 \t ", {name("X"), blank(2), equals, blank(), number("1")}},
        {"* all of it", {}},
        {"! all of it", {}},
        {"A*B!C", {name("A"), op('*'), name("B"), op('!'), name("C")}},
        // After a separator a comment may start the next statement.
        {"A; * note", {name("A"), separator, blank()}},
        {"A // note", {name("A"), blank()}},
        {"X /* note */+2", {name("X"), blank(), op('+'), number("2")}},
        {"A /* open to the line's end", {name("A"), blank()}},
        {"rem a remark", {}},
        {"rem a", {name("rem"), blank(), name("a")}, optCaseSensitive},
        {"PRINT; Rem a remark", {keyword("PRINT"), separator, blank()}},
        {"X=REM", {name("X"), equals, function("REM")}},
        {"$options OBJECTS", {}},
    });
}

TEST(Tokenizer, Strings) {
    tokenizeEach({
        {R"(PRINT "it's",'say "hi"',\' and "\)",
         {keyword("PRINT"), blank(), {K::String, R"("it's")"}, {K::Comma}, {K::String, R"('say "hi"')"}, {K::Comma},
          {K::String, R"(\' and "\)"}}},
        {R"(X="a // b /* c")", {name("X"), equals, {K::String, R"("a // b /* c")"}}},
        // A backslash ending the line inside a string joins the next line
        // in its place; the statement's line ends come before it.
        {"X='ab\\\ncd\\\ne'+1",
         {lineEnd(), lineEnd(), name("X"), equals, {K::String, "'abcde'"}, op('+'), number("1")}},
        // A backslash that closes a string continues nothing.
        {"X=\\ab\\\ncd", {name("X"), equals, {K::String, "\\ab\\"}}},
    });
}

TEST(Tokenizer, PunctuationAndOperators) {
    tokenizeEach({
        {"A#B&C", {name("A"), {K::Hash}, name("B"), {K::Keyword, "&", '&'}, name("C")}},
        {"A(1)<B[2]>", {name("A"), bracket('('), number("1"), bracket(')'), bracket('<'), name("B"), bracket('['),
                        number("2"), bracket(']'), bracket('>')}},
        {"A <> B", {name("A"), blank(), {K::OperatorText, " NE "}, blank(), name("B")}},
        {"A<", {name("A"), bracket('<')}},
        {"-A^2/3+B", {op('-'), name("A"), op('^'), number("2"), op('/'), number("3"), op('+'), name("B")}},
        // A pair with a minus second is one token, unless it ends the line.
        {"1+-2--3^-4", {number("1"), {K::OperatorText, "+-"}, number("2"), {K::OperatorText, "--"}, number("3"),
                        {K::OperatorText, "^-"}, number("4")}},
        {"1+-", {number("1"), op('+'), op('-')}},
        {"A,B:C;D=E_F _G{H}~I",
         {name("A"), {K::Comma}, name("B"), {K::Colon}, name("C"), separator, name("D"), equals, name("E_F"), blank(),
          {K::Underscore}, name("G"), {K::Brace, {}, '{'}, name("H"), {K::Brace, {}, '}'}, {K::Tilde}, name("I")}},
    });
}

TEST(Tokenizer, NumbersDotsAndMembers) {
    tokenizeEach({
        {"12 12.5 12. .5 1.2.3 7AB", {number("12"), blank(), number("12.5"), blank(), number("12."), blank(),
                                      number(".5"), blank(), number("1.2"), number(".3"), blank(), number("7"),
                                      name("AB")}},
        // Three dots before ')' stand for the rest of the arguments.
        {"F(A, ... )", {name("F"), bracket('('), name("A"), {K::Comma}, blank(), {K::Keyword, "QAC_VARARG", 0}, blank(),
                        bracket(')')}},
        // Three dots that end the line join the next one after them.
        {"X=1+...  \n 2", {lineEnd(), name("X"), equals, number("1"), op('+'), blank(3), number("2")}},
        {"A.B A. $X.Y$2", {name("A.B"), blank(), name("A."), blank(), name("$X.Y$2")}},
        {"A.B.PRINT",
         {name("A"), {K::MemberOperator, "."}, {K::MemberName, "B"}, {K::MemberOperator, "."},
          {K::MemberName, "PRINT"}},
         optDotMember},
        // The word after a member operator is a member, never a keyword.
        {"P->PRINT", {name("P"), {K::MemberOperator, "->"}, {K::MemberName, "PRINT"}}, optArrowMember},
        {"P->Q", {name("P"), op('-'), bracket('>'), name("Q")}},
        // The arrow needs a character after it.
        {"P->", {name("P"), op('-'), bracket('>')}, optArrowMember},
    });
}

TEST(Tokenizer, NamesKeywordsAndFunctions) {
    tokenizeEach({
        {"PRINT ABS(X),ABS", {keyword("PRINT"), blank(), function("ABS"), bracket('('), name("X"), bracket(')'),
                              {K::Comma}, function("ABS")}},
        // A keyword that takes arguments is called as a function when '('
        // follows, blanks between or not; one that takes none never is.
        {"CHANGE (A);CHANGE A;PRINT(A)",
         {function("CHANGE"), blank(), bracket('('), name("A"), bracket(')'), separator, keyword("CHANGE"), blank(),
          name("A"), separator, keyword("PRINT"), bracket('('), name("A"), bracket(')')}},
        {"print x", {keyword("print"), blank(), name("x")}},
        {"print x", {name("print"), blank(), name("x")}, optCaseSensitive},
        // The system values are found in either case when case does not
        // matter, and in upper or all lower case when it does.
        {"$Quolt", {name("$Quolt").withSpecial(specialQuolt)}},
        {"$quolt", {name("$quolt").withSpecial(specialQuolt)}, optCaseSensitive},
        {"$Quolt", {name("$Quolt").withSpecial(0)}, optCaseSensitive},
        {"CALLdotNET", {name("CALLdotNET")}},
        {"CALLdotNET", {keyword("CALLdotNET")}, optCaseSensitive},
        {"@AM @am @X @ 1", {name("@AM"), blank(), {K::At}, name("am"), blank(), {K::At}, name("X"), blank(), {K::At},
                            blank(), number("1")}},
    });
}

// Where an assignment target may stand (Assign), the first token of a
// statement (First): a separator or THEN starts a new statement.
TEST(Tokenizer, StatementFlags) {
    const uint32_t start = flagAssign | flagFirst;
    tokenizeEach({
        {"X = 1;@AM=2", {name("X").withFlags(start), blank().withFlags(start), equals.withFlags(0), blank(),
                         number("1").withFlags(0), separator.withFlags(flagAssign), name("@AM").withFlags(start),
                         equals, number("2")}},
        // A statement that starts with a keyword is no assignment, and
        // after THEN the statement goes on, so '*' is an operator there.
        {"IF A THEN X=2*3",
         {keyword("IF").withFlags(flagFirst), blank(), name("A").withFlags(0), blank(),
          keyword("THEN").withFlags(flagAssign), blank(), name("X").withFlags(flagAssign), equals, number("2"), op('*'),
          number("3")}},
    });
}

// Each failure ends the scan with its message.
TEST(Tokenizer, FailuresAreReported) {
    const std::pair<std::string_view, std::string_view> rows[] = {
        {"X = ?", "Unknown character ? (63)"},
        {"X = `", "Unknown character ` (96)"},
        {"X = \xFD", "Unknown character \xFD (-3)"},
        {"X = .", "Unknown character . (46)"},
        {"X = ...Y", "Unknown character . (46)"},
        {"X = 'ab", "Unbalanced strings"},
        {"X = 'ab\\", "Unbalanced strings"},
        // The backslash that opens a string is not one that continues it.
        {"X = \\\nab\\", "Unbalanced strings"},
        {"X = 1 + ...", "Line continued past the end of the source"},
    };
    for (auto [source, message] : rows) {
        SourceScan s(source, 0);
        testing::internal::CaptureStderr();
        EXPECT_THROW(s.tokenizeFirstLine(), RunFailure) << source;
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find(message), std::string::npos) << source << "\n" << err;
    }
}

// An equated name is replaced in the line by its text, scanned in turn.
TEST(Tokenizer, EquatedNames) {
    SourceScan s("X=two+1", 0);
    s.equates.set("TWO", "ONE; Y");
    s.equates.set("ONE", "'a'");
    s.tokenizeFirstLine();
    expectTokens(s, {"X=two+1", {name("X"), equals, {K::String, "'a'"}, separator, blank(), name("Y"), op('+'),
                                 number("1")}});

    SourceScan exact("X=two", optCaseSensitive);
    exact.equates.set("TWO", "2");
    exact.tokenizeFirstLine();
    expectTokens(exact, {"X=two", {name("X"), equals, name("two")}});

    SourceScan endless("X = A", 0);
    endless.equates.set("A", "A");
    testing::internal::CaptureStderr();
    EXPECT_THROW(endless.tokenizeFirstLine(), RunFailure);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("EQUATE level exceeds maximum of 200 levels"),
              std::string::npos);
}

// EQUATE and INCLUDE are handed on at a statement's start only; the
// member's tokens are followed by a line marker back to this source.
TEST(Tokenizer, StatementWordsAreHandedOn) {
    SourceScan s("equ A TO 1;INSERT M;X=EQU;INCLUDE", 0);
    s.tokenizeFirstLine();
    EXPECT_EQ(s.handlers.handed, (std::vector<std::string>{"EQUATE: A TO 1", "INCLUDE: M", "INCLUDE:"}));
    expectTokens(s, {s.reader.lineText,
                     {separator, {K::LineMarker, "prog.b", 1}, separator, name("X"), equals, name("EQU"), separator,
                      {K::LineMarker, "prog.b", 1}}});

    SourceScan exact("Include M", optCaseSensitive);
    exact.tokenizeFirstLine();
    EXPECT_TRUE(exact.handlers.handed.empty());
}

// The line loop around the tokenizer: leading blanks, labels, comments
// over lines, the joins before THEN and ELSE, and each line's end.
TEST(ScannedLines, LabelsBlanksAndJoins) {
    const std::vector<Row> rows = {
        {"   X=1\n", {blank(3), name("X"), equals, number("1"), lineEnd()}},
        {"10 X=1", {Want{K::Label, "10"}.withFlags(flagLabel | flagAssign), separator, blank(),
                    name("X").withFlags(flagAssign | flagFirst), equals, number("1"), lineEnd()}},
        {"10.5: * comment", {{K::Label, "10.5:"}, separator, blank(), lineEnd()}},
        {"L.1$: PRINT", {{K::Label, "L.1$:"}, separator, blank(), keyword("PRINT"), lineEnd()}},
        // := and :: end no label.
        {"A:=1\nB::C\nD:", {name("A"), {K::Colon}, equals, number("1"), lineEnd(), name("B"), {K::Colon}, {K::Colon},
                            name("C"), lineEnd(), {K::Label, "D:"}, separator, lineEnd()}},
        // A line that goes on with a statement a trailing comma left open
        // starts with no label.
        {"PRINT A,\nB: C", {keyword("PRINT"), blank(), name("A"), {K::Comma}, lineEnd(), name("B"), {K::Colon}, blank(),
                            name("C"), lineEnd()}},
        // What a block comment takes of a line's start is a blank of its width.
        {"X /* a\nb\nc */ Y", {name("X"), blank(), lineEnd(), blank(), lineEnd(), blank(5), name("Y"), lineEnd()}},
        // The break before THEN or ELSE becomes one blank, and the lines it
        // folds are counted at the end of the joined line.
        {"IF A\n\n THEN B\nELSE C",
         {keyword("IF"), blank(), name("A"), {K::Deleted, {}, 0}, blank(), blank(), keyword("THEN"), blank(), name("B"),
          blank(), keyword("ELSE"), blank(), name("C"), lineEnd(4)}},
    };
    for (const Row& row : rows) {
        SourceScan s(row.source, row.options);
        s.scanAllLines();
        expectTokens(s, row);
    }
}

}  // namespace
}  // namespace bprep2
