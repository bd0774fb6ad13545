// Member references, static calls, METHOD and NEW on scanned lines: the
// texts they become, the statement bounds of their walks and their errors.
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
        EXPECT_TRUE(f.ctx.objectRuntimeUsed) << source;
    }
}

TEST(MemberReference, ReadsAssignmentsAndMethodCalls) {
    expectRewrites({
        {"V = OBJ->NAME", "V = qObjectGet1(OBJ,\"NAME\")"},
        {"OBJ->NAME = 5", "qObjectSet1(OBJ,\"NAME\" , 5)"},
        {"OBJ->M(1, 2)", "qObjectMethodN(OBJ,\"M\",1, 2)"},
        {"OBJ->M()", "qObjectMethodN(OBJ,\"M\")"},
        {"OBJ->M (A)", "qObjectMethodN(OBJ,\"M\", A)"},
        {"X = OBJ->@PROP", "X = qObjectGet1(OBJ,PROP)"},
        {"X = A->B->D", "X = qObjectGet1(qObjectGet1(A,\"B\"),\"D\")"},
        {"X = ARR(3)->NAME", "X = qObjectGet1(ARR(3),\"NAME\")"},
        {"X = A<1,2>->NAME", "X = qObjectGet1(A<1,2>,\"NAME\")"},
        {"X = OBJ -> NAME", "X = qObjectGet1(OBJ , \"NAME\")"},
        {"OBJ->NAME = 1; CRT 2", "qObjectSet1(OBJ,\"NAME\" , 1); CRT 2"},
        {"X = A->M(B->N(1))", "X = qObjectMethodN(A,\"M\",qObjectMethodN(B,\"N\",1))"},
    });
    expectRewrites({{"X = OBJ.NAME", "X = qObjectGet1(OBJ,\"NAME\")"}}, optObjects | optDotMember);
}

TEST(MemberReference, EqualsAfterMemberIsAssignmentOnlyWhereAStatementStarts) {
    expectRewrites({
        {"IF OBJ->X = 1 THEN CRT 1", "IF qObjectGet1(OBJ,\"X\") = 1 THEN CRT 1"},
        {"CASE OBJ->X = 1", "CASE qObjectGet1(OBJ,\"X\") = 1"},
        {"X = OBJ->Y = 5", "X = qObjectGet1(OBJ,\"Y\") = 5"},
        {"IF C THEN OBJ->X = 1", "IF C THEN qObjectSet1(OBJ,\"X\" , 1)"},
        {"IF C THEN CRT 1 ELSE OBJ->X = 1", "IF C THEN CRT 1 ELSE qObjectSet1(OBJ,\"X\" , 1)"},
        {"IF C THEN O->X = 1 ELSE O->X = 2", "IF C THEN qObjectSet1(O,\"X\" , 1) ELSE qObjectSet1(O,\"X\" , 2)"},
        {"IF C THEN O->X = (D ELSE E) ELSE F", "IF C THEN qObjectSet1(O,\"X\" , (D ELSE E)) ELSE F"},
        {"LOOP O->X = 1", "LOOP qObjectSet1(O,\"X\" , 1)"},
        {"LOOP WHILE O->X = 5 DO", "LOOP WHILE qObjectGet1(O,\"X\") = 5 DO"},
        {"UNTIL O->X = 5", "UNTIL qObjectGet1(O,\"X\") = 5"},
        {"WHILE C DO O->X = 1", "WHILE C DO qObjectSet1(O,\"X\" , 1)"},
    });
}

// Errors point the caret at the operator (or at NEW) and stop the line.
void expectError(std::string_view source, std::string_view message, size_t caretColumn,
                 uint32_t options = optObjects | optArrowMember) {
    LineFixture f(options);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(f.line(source)) << source;
    std::string err = testing::internal::GetCapturedStderr();
    std::string caret = std::string(caretColumn, '-') + "^\n";
    EXPECT_EQ(err, std::string(source) + "\n" + caret + "bprep2: Error " + std::string(message) +
                       ": Line 1 in file prog.b\n")
        << source;
}

TEST(MemberReference, IllegalReferencesAreReportedAtTheOperator) {
    const char* message = "Illegal syntax for object reference";
    expectError("X = OBJ->", message, 7);
    expectError("X = OBJ->;", message, 7);
    expectError("X = OBJ->@", message, 7);
    expectError("X = OBJ->(A", message, 7);
    // No object in the operator's own statement: never opened in the one before.
    expectError("A = 1; (2)->B", message, 10);
    expectError("CRT 1->B", message, 5);
}

TEST(StaticCall, ClassQualifiedCallsAndNonMatches) {
    // Static calls are rewritten whether or not the object extensions are on.
    for (uint32_t options : {optObjects | optArrowMember, optArrowMember}) {
        expectRewrites({{"X = K::M(A, B)", "X = qObjectStaticMethodN(\"K\",\"M\",A, B)"},
                        {"K::M()", "qObjectStaticMethodN(\"K\",\"M\")"},
                        {"K::M((A+B)*2)", "qObjectStaticMethodN(\"K\",\"M\",(A+B)*2)"}},
                       options);
    }
    for (const char* source : {"X = A::B", "X = A:B(1)", "X = \"K\"::M(1)"}) {
        LineFixture f;
        ASSERT_TRUE(f.line(source));
        EXPECT_EQ(f.lastLine(), std::string(source) + "\n");
        EXPECT_FALSE(f.ctx.objectRuntimeUsed) << source;
    }
}

TEST(MethodDeclaration, BecomesAFunctionUnderTheMangledName) {
    expectRewrites({{"METHOD K::M(A, B)", "FUNCTION qObj1KM1M_V(THIS,A, B)"},
                    {"METHOD CLS::INIT()", "FUNCTION qObj3CLSM4INIT_V(THIS)"},
                    {"METHOD CLS::~CLS()", "FUNCTION qObj3CLSD3CLS_V(THIS)"}});
    expectRewrites({{"METHOD K::M(A)", "FUNCTION qObj1KM1M_V(SELF,A)"}}, optObjects | optSelf);

    LineFixture f;
    ASSERT_TRUE(f.line("METHOD K::M(A)"));
    EXPECT_EQ(tokenAt(f.ctx, f.lineStart + 2).special, 7);  // never taken for an array

    LineFixture unmatched;
    ASSERT_TRUE(unmatched.line("METHOD K:M(A)"));
    EXPECT_EQ(unmatched.lastLine(), "METHOD K:M(A)\n");
}

TEST(MethodDeclaration, NamesLongerThanTheHostBufferAreKeptWhole) {
    std::string cls(5000, 'C'), method(4000, 'M');
    EXPECT_EQ(mangledMethodName(cls, method), "qObj5000" + cls + "M4000" + method + "_V");
    EXPECT_EQ(mangledMethodName(cls, "~" + method), "qObj5000" + cls + "D4000" + method + "_V");
    // Just under the limit the host's own result is used.
    std::string fits(8191 - 14, 'K');
    EXPECT_EQ(mangledMethodName(fits, "M"), "qObj8177" + fits + "M1M_V");
}

TEST(NewExpression, ObjectAndArrayForms) {
    expectRewrites({
        {"X = NEW OBJECT(CLS, A)", "X = qObjectNewObject(CLS, A)"},
        {"X = NEW OBJECT", "X = qObjectNewObject(\"\")"},
        {"X = NEW OBJECT()", "X = qObjectNewObject(\"\")"},
        {"X = NEW OBJECT ( )", "X = qObjectNewObject(\"\")"},
        {"X = NEW ARRAY(NAME)", "X = qObjectNewArray(NAME)"},
        {"X = new object (CLS)", "X = qObjectNewObject (CLS)"},
    });
    expectError("X = NEW", "Illegal syntax for NEW statement", 4);
    expectError("X = NEW OBJECTS(1)", "Illegal syntax for NEW statement", 4);
    expectError("X = NEW; Y = 1", "Illegal syntax for NEW statement", 4);
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

    LineFixture plain(optArrowMember);
    ASSERT_TRUE(plain.line("X = O->Y"));
    EXPECT_EQ(plain.lastLine(), "X = qObjectGet1(O,\"Y\")\n");
}

}  // namespace
}  // namespace bprep2_test
