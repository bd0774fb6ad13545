// Context construction: option word, UVCASE, echo, tables, predefined names
// and the trace file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "driver/context.h"
#include "driver/driver_test_support.h"

using namespace bprep2;
using bprep2_test::Args;
using bprep2_test::ScopedEnv;

TEST(Context, OptionWordTablesAndPredefinedNames) {
    ScopedEnv options("BASC_BPREP2", "case:trace:notrace");
    ScopedEnv uvcase("UVCASE", "");  // empty, yet it switches the mode on
    Args args{"bprep2", "-DWIN64=0", "-DMINE=4", "prog.b"};
    auto ctx = makeContext(args.argc(), args.argv(), false);
    EXPECT_EQ(ctx->constructionStatus, 0);
    EXPECT_NE(ctx->hostHandle, nullptr);
    EXPECT_EQ(ctx->options, 0x1180u | optUvCase | optStopStatements);
    EXPECT_EQ(ctx->keywords.size(), 467u);
    ASSERT_EQ(ctx->keywords.count("$file"), 1u);
    EXPECT_EQ(ctx->keywords.at("$file")->special, 4u);
    EXPECT_EQ(ctx->atVariables.size(), 51u);
    EXPECT_EQ(ctx->atVariables.at("USER_NO"), 1);
    EXPECT_EQ(ctx->definitions,
              (std::map<std::string, int32_t>{{"MINE", 4}, {"QUOLT_RELEASE_4", 1}, {"QUOLT_RELEASE_4_1", 1},
                                              {"WIN32", 1}, {"WIN64", 1}, {"WINDOWS", 1}}));
    EXPECT_EQ(ctx->traceFile, nullptr);
}

TEST(Context, EchoAndHelpStatus) {
    ScopedEnv options("BASC_BPREP2", "echo");
    Args args{"bprep2", "-Ia b", "prog.b"};
    testing::internal::CaptureStderr();
    auto ctx = makeContext(args.argc(), args.argv(), false);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "bprep2 called as  bprep2 -Ia b prog.b\n");

    Args help{"bprep2", "-?"};
    testing::internal::CaptureStdout();
    auto helped = makeContext(help.argc(), help.argv(), false);
    EXPECT_FALSE(testing::internal::GetCapturedStdout().empty());
    EXPECT_EQ(helped->constructionStatus, 2);
    EXPECT_TRUE(helped->keywords.empty());
}

TEST(Context, TraceFileOpenedWithItsHeaderAndClosedWithTheContext) {
    ScopedEnv options("BASC_BPREP2", "trace");
    char pattern[] = "/tmp/bprep2_ctx_XXXXXX";
    std::string dir = mkdtemp(pattern);
    std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir);
    std::string name;
    {
        Args args{"bprep2", "prog.b"};
        auto ctx = makeContext(args.argc(), args.argv(), false);
        name = ctx->traceFileName;
        EXPECT_NE(ctx->traceFile, nullptr);
    }
    std::filesystem::current_path(previous);
    EXPECT_EQ(name, "bprep2_trace_" + std::to_string(getpid()) + ".txt");
    std::ifstream in(dir + "/" + name, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    EXPECT_EQ(content.str(), "\nOriginal Input To bprep2\n-------- ----- -- ----\n");
    std::filesystem::remove_all(dir);
}
