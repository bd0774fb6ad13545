// The statement flags the scanner gives the tokens it appends.
#include <gtest/gtest.h>

#include <string_view>

#include "scanner/scan_state.h"
#include "tokens/keywords.h"

namespace bprep2 {
namespace {

class StatementStateTest : public ::testing::Test {
   protected:
    TokenList tokens;
    SourceReader reader;
    bool caseSensitive = false;
    void SetUp() override { add(TokenKind::LineMarker, "prog.b", 1); }
    void add(TokenKind kind, std::string_view text = {}, int32_t value = 0) {
        appendToken(tokens, reader, caseSensitive, kind, text, value);
    }
    uint8_t flagsAt(size_t i) { return tokens[i].flags; }
};

TEST_F(StatementStateTest, FlagsFollowTheStatementState) {
    add(TokenKind::Name, "X");
    add(TokenKind::Blank, {}, 1);
    add(TokenKind::Equals);
    add(TokenKind::Number, "1");
    EXPECT_EQ(flagsAt(1), flagAssign | flagFirst);
    // A blank after the first counted token is still "first".
    EXPECT_EQ(flagsAt(2), flagAssign | flagFirst);
    EXPECT_EQ(flagsAt(3), 0);
    EXPECT_EQ(flagsAt(4), 0);
}

TEST_F(StatementStateTest, ThenReopensTheStatementAndLabelsAreMarked) {
    add(TokenKind::LineEnd, {}, 1);
    add(TokenKind::Keyword, "IF", kwKeyword | kwBlock);
    add(TokenKind::Name, "A");
    add(TokenKind::Keyword, "then", kwKeyword | kwThenElse | kwBlock);
    add(TokenKind::Name, "B");
    EXPECT_EQ(flagsAt(2), flagFirst);
    EXPECT_EQ(flagsAt(3), 0);
    EXPECT_EQ(flagsAt(4), flagAssign);
    EXPECT_EQ(flagsAt(5), flagAssign);

    add(TokenKind::Label, "10");
    add(TokenKind::Name, "C");
    EXPECT_EQ(flagsAt(6), flagLabel | flagAssign);
    EXPECT_EQ(flagsAt(7), flagFirst | flagAssign);
}

// The object rewrites may report NEW after the line has moved on; it alone
// keeps the column it was read at (the rewrites keep their member
// operators' columns themselves).
TEST_F(StatementStateTest, NewKeepsItsColumn) {
    struct Read {
        TokenKind kind;
        std::string_view text;
        uint32_t value;
        int64_t at;
        int32_t kept;
    };
    const Read rows[] = {
        {TokenKind::Keyword, "NEW", kwKeyword | kwObject, 14, 14},
        {TokenKind::Name, "OBJ", 0, 3, -1},
        {TokenKind::MemberOperator, "->", 0, 5, -1},
        {TokenKind::Keyword, "new", kwKeyword | kwObject, 30, 30},
        {TokenKind::Keyword, "METHOD", kwKeyword | kwObject | kwCallLike, 40, -1},
        {TokenKind::Name, "NEW", 0, 44, -1},
        {TokenKind::Keyword, "NEW", kwKeyword | kwObject, -1, 0},
    };
    for (const Read& row : rows) {
        reader.scanPos = row.at;
        add(row.kind, row.text, static_cast<int32_t>(row.value));
        EXPECT_EQ(tokens.keptColumn(tokens.back()), row.kept) << row.text << " at " << row.at;
        EXPECT_EQ(tokens.text(tokens.back()), row.text);
    }
    // Keeping one leaves the statement flags as they were.
    EXPECT_EQ(flagsAt(1) & (flagAssign | flagFirst | flagLabel), flagFirst);
}

TEST_F(StatementStateTest, CaseSensitiveModeOnlyReopensOnUpperCaseWords) {
    caseSensitive = true;
    add(TokenKind::Keyword, "IF", kwKeyword);
    add(TokenKind::Keyword, "then", kwKeyword);
    add(TokenKind::Name, "B");
    EXPECT_EQ(flagsAt(3), 0);
}

}  // namespace
}  // namespace bprep2
