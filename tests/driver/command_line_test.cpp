// The command-line parser: clusters, arguments, definitions, the release
// include directory, help, and the in-process form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/command_line.h"
#include "driver/context.h"
#include "driver/driver_test_support.h"
#include "driver/platform.h"

using namespace bprep2;
using bprep2_test::Args;
using bprep2_test::ScopedEnv;

TEST(CommandLine, OptionsClustersAndInputName) {
    ScopedEnv release("BASCRELEASEDIR", "R");
    PreprocessorContext ctx;
    Args args{"bprep2", "-xDX=5", "-DY", "-Iinc1", "-I", "inc2", "-", "-aDB",
              "-e", "eq.txt", "prog.b", "extra", "-Dz"};
    testing::internal::CaptureStderr();
    EXPECT_EQ(parseCommandLine(ctx, args.argc(), args.argv()), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Warning: x is an unknown option\n");
    EXPECT_EQ(ctx.definitions, (std::map<std::string, int32_t>{{"X", 5}, {"Y", 1}}));
    std::string releaseDir = std::string("R") + pathSeparator + "include";
    EXPECT_EQ(ctx.includeDirs, (std::vector<std::string>{"inc1", "inc2", releaseDir}));
    EXPECT_EQ(ctx.defaultDatabaseFile, "DB");
    EXPECT_EQ(ctx.equateExportFile, "eq.txt");
    EXPECT_EQ(ctx.inputName, "prog.b");
    EXPECT_EQ(ctx.resultText, nullptr);
}

TEST(CommandLine, DefinitionValuesAndMissingArguments) {
    ScopedEnv release("BASCRELEASEDIR", nullptr);
    PreprocessorContext ctx;
    Args args{"bprep2", "-DA=abc", "-DB=-7", "-DC= 12x", "-DD=99999999999", "-DE=1=2",
              "-DA=3", "-I"};
    EXPECT_EQ(parseCommandLine(ctx, args.argc(), args.argv()), 0);
    EXPECT_EQ(ctx.definitions,
              (std::map<std::string, int32_t>{{"A", 3}, {"B", -7}, {"C", 12}, {"D", INT32_MAX}, {"E", 1}}));
    EXPECT_EQ(ctx.includeDirs, std::vector<std::string>{""});
    EXPECT_EQ(ctx.inputName, "");

    PreprocessorContext bare;
    Args lone{"bprep2", "-D"};
    EXPECT_EQ(parseCommandLine(bare, lone.argc(), lone.argv()), 0);
    EXPECT_EQ(bare.definitions, (std::map<std::string, int32_t>{{"", 1}}));
}

TEST(CommandLine, InProcessFormTakesTheSlotsAndParsesTheFurtherLine) {
    ScopedEnv release("BASCRELEASEDIR", "REL");
    char* text = nullptr;
    uint32_t length = 0, status = 7;
    Args args{"caller", "-DOUTER", "-m", "", "", "", "", "-DIGNORED"};
    args.setRaw(3, &text);
    args.setRaw(4, &length);
    args.setRaw(5, &status);
    // Longer than 8192 bytes and more than 1024 words: no limit applies.
    std::string further = "first  -DA=3   -Iinc";
    for (int i = 0; i < 3000; ++i) further += " -Id" + std::to_string(i);
    further += "  prog.b  after";
    args.setRaw(6, further.data());

    PreprocessorContext ctx;
    ctx.inProcess = true;
    EXPECT_EQ(parseCommandLine(ctx, args.argc(), args.argv()), 0);
    EXPECT_EQ(ctx.resultText, &text);
    EXPECT_EQ(ctx.resultLength, &length);
    EXPECT_EQ(ctx.resultStatus, &status);
    EXPECT_EQ(ctx.definitions, (std::map<std::string, int32_t>{{"A", 3}, {"OUTER", 1}}));
    ASSERT_EQ(ctx.includeDirs.size(), 3002u);
    EXPECT_EQ(ctx.includeDirs.front(), "inc");
    EXPECT_EQ(ctx.includeDirs[3000], "d2999");
    EXPECT_EQ(ctx.includeDirs.back(), std::string("REL") + pathSeparator + "include");
    EXPECT_EQ(ctx.inputName, "prog.b");
}

TEST(CommandLine, InProcessFormWithoutItsFourEntriesIsRefused) {
    char* text = nullptr;
    uint32_t length = 0;
    Args args{"caller", "-m", "", ""};
    args.setRaw(2, &text);
    args.setRaw(3, &length);
    PreprocessorContext ctx;
    ctx.inProcess = true;
    testing::internal::CaptureStderr();
    EXPECT_EQ(parseCommandLine(ctx, args.argc(), args.argv()), 2);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("bprep2: Error Option -m"), std::string::npos);
    EXPECT_EQ(ctx.resultText, nullptr);
}
