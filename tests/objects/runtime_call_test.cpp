// The runtime calls' names the rewrites write into the list.
#include <gtest/gtest.h>

#include <string_view>

#include "objects/object_line_fixture.h"
#include "objects/object_rewrite.h"

namespace bprep2 {
namespace {

TEST(RuntimeCallToken, NamesEachCallAndStoresItsNameOnce) {
    struct Case {
        RuntimeCall call;
        std::string_view name;
    };
    const Case cases[] = {
        {RuntimeCall::Get, "qObjectGet1"},          {RuntimeCall::Set, "qObjectSet1"},
        {RuntimeCall::Method, "qObjectMethodN"},    {RuntimeCall::NewObject, "qObjectNewObject"},
        {RuntimeCall::NewArray, "qObjectNewArray"},
    };
    ObjectLineFixture f;
    f.tokens.append(f.tokens.make(TokenKind::Name, "OBJ"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        size_t before = f.tokens.textBytes();
        Token first = runtimeCallToken(f.line, TokenKind::CallName, c.call);
        EXPECT_EQ(f.tokens.textBytes(), before + c.name.size());
        f.tokens.append(f.tokens.make(TokenKind::Name, "OTHER"));  // the pool moves on between calls
        size_t stored = f.tokens.textBytes();
        Token again = runtimeCallToken(f.line, TokenKind::Verbatim, c.call);
        EXPECT_EQ(f.tokens.textBytes(), stored);
        EXPECT_EQ(f.tokens.text(first), c.name);
        EXPECT_EQ(f.tokens.text(again), c.name);
        EXPECT_EQ(first.kind, TokenKind::CallName);
        EXPECT_EQ(again.kind, TokenKind::Verbatim);
    }
}

}  // namespace
}  // namespace bprep2
