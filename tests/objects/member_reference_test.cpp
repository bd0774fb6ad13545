// The walks of the object-syntax rewrites on scanned lines, beyond the forms
// the end-to-end cases show: bracket counting, where a statement starts for
// the assignment test, where an assignment closes, statement bounds, the
// patterns that are left alone, long mangled names and the restart.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "line_fixture.h"
#include "objects/object_rewrite.h"

namespace bprep2_test {
namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

void expectRewrites(const Rows& rows, uint32_t options = optObjects | optArrowMember) {
    for (const auto& [source, expected] : rows) {
        LineFixture f(options);
        ASSERT_TRUE(f.line(source)) << source;
        EXPECT_EQ(f.lastLine(), expected + "\n") << source;
    }
}

TEST(MemberReference, BracketsAroundTheObjectAndInsideArguments) {
    expectRewrites({
        {"X = A<1,2>->NAME", "X = qObjectGet1(A<1,2>,\"NAME\")"},
        {"X = F(A)[2]->NAME + 1", "X = qObjectGet1(F(A)[2],\"NAME\") + 1"},
        {"X = A->M(B->N(1), C->P)", "X = qObjectMethodN(A,\"M\",qObjectMethodN(B,\"N\",1), qObjectGet1(C,\"P\"))"},
        {"X = A->M()->N", "X = qObjectGet1(qObjectMethodN(A,\"M\"),\"N\")"},
    });
}

TEST(MemberReference, AssignmentOnlyWhereAStatementStarts) {
    expectRewrites({
        {"LOOP O->X = 1", "LOOP qObjectSet1(O,\"X\" , 1)"},
        {"LOOP WHILE O->X = 5 DO", "LOOP WHILE qObjectGet1(O,\"X\") = 5 DO"},
        {"UNTIL O->X = 5", "UNTIL qObjectGet1(O,\"X\") = 5"},
        {"WHILE C DO O->X = 1", "WHILE C DO qObjectSet1(O,\"X\" , 1)"},
        {"X = 1; O->X = 2", "X = 1; qObjectSet1(O,\"X\" , 2)"},
        // The ELSE of a THEN clause ends the value, one inside its brackets does not.
        {"IF C THEN O->X = F(D, E) ELSE O->X = 2", "IF C THEN qObjectSet1(O,\"X\" , F(D, E)) ELSE qObjectSet1(O,\"X\" , 2)"},
        {"IF C THEN O->X = (D ELSE E) ELSE F", "IF C THEN qObjectSet1(O,\"X\" , (D ELSE E)) ELSE F"},
    });
}

// Errors point the caret at the operator (its column is where the scan
// stood after it) and stop the line.
void expectError(std::string_view source, std::string_view message, size_t caretColumn) {
    LineFixture f;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(f.line(source)) << source;
    std::string err = testing::internal::GetCapturedStderr();
    std::string caret = std::string(caretColumn, '-') + "^\n";
    EXPECT_EQ(err, std::string(source) + "\n" + caret + "bprep2: Error " + std::string(message) +
                       ": Line 1 in file prog.b\n")
        << source;
}

TEST(MemberReference, NoMemberOrNoObjectInTheStatement) {
    const char* message = "Illegal syntax for object reference";
    expectError("X = OBJ->; Y = 1", message, 9);  // a ';' is no member
    expectError("CRT 1->B", message, 7);           // a number is no object
    expectError("CRT \"A\"->B", message, 9);
    expectError("IF C THEN (B)->X = 1", message, 15);  // not opened in the condition
}

TEST(StaticCall, PatternsThatAreLeftAlone) {
    for (const char* source : {"X = A::B", "X = A:B(1)", "X = \"K\"::M(1)", "X = K:: (1)"}) {
        LineFixture f;
        ASSERT_TRUE(f.line(source));
        EXPECT_EQ(f.lastLine(), std::string(source) + "\n");
        EXPECT_FALSE(f.ctx.objectRuntimeUsed) << source;
    }
    expectRewrites({{"K::M((A+B)*2)", "qObjectStaticMethodN(\"K\",\"M\",(A+B)*2)"}});
}

TEST(MethodDeclaration, MarkedNameAndUnmatchedForms) {
    LineFixture f;
    ASSERT_TRUE(f.line("METHOD K::M(A)"));
    EXPECT_EQ(tokenAt(f.ctx, f.lineStart + 2).special, 7);  // never taken for an array

    for (const char* source : {"METHOD K:M(A)", "METHOD K::M", "METHOD K::\"M\"(A)"}) {
        LineFixture unmatched;
        ASSERT_TRUE(unmatched.line(source));
        EXPECT_EQ(unmatched.lastLine(), std::string(source) + "\n");
        EXPECT_TRUE(unmatched.ctx.objectRuntimeUsed);
    }
}

TEST(MethodDeclaration, NamesLongerThanTheHostBufferAreKeptWhole) {
    std::string cls(5000, 'C'), method(4000, 'M');
    EXPECT_EQ(mangledMethodName(cls, method), "qObj5000" + cls + "M4000" + method + "_V");
    EXPECT_EQ(mangledMethodName(cls, "~" + method), "qObj5000" + cls + "D4000" + method + "_V");
    // One character short of the host's buffer: the host's own result.
    std::string fits(8177, 'K');
    EXPECT_EQ(mangledMethodName(fits, "M"), "qObj8177" + fits + "M1M_V");
}

TEST(Restart, ObjectSyntaxWithTheExtensionsOffRestartsWhenAllowed) {
    LineFixture restarting(optObjectRestart | optArrowMember);
    EXPECT_THROW(restarting.line("X = O->Y"), RestartSignal);
    EXPECT_TRUE(restarting.ctx.objectRuntimeUsed);

    // The scanner hands NEW over only with the extensions on; reached anyway, it restarts too.
    LineFixture withNew(optObjectRestart);
    ASSERT_TRUE(withNew.line("X = NEW OBJECT"));
    EXPECT_EQ(withNew.lastLine(), "X = NEW OBJECT\n");
    EXPECT_THROW(rewriteObjectSyntax(withNew.ctx, withNew.lineStart + 4), RestartSignal);

    // Without the restart option the reference is rewritten with the extensions off.
    expectRewrites({{"X = O->Y", "X = qObjectGet1(O,\"Y\")"}}, optArrowMember);
}

}  // namespace
}  // namespace bprep2_test
