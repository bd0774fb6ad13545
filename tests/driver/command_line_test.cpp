// The command-line parser: clusters, arguments, definitions and their
// cancelling, the release include directory, whole-argument options, help,
// and the in-process form.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "bprep2.h"
#include "driver/command_line.h"
#include "driver/context.h"
#include "driver/driver_test_support.h"
#include "driver/platform.h"

using namespace bprep2;
using bprep2_test::Args;
using bprep2_test::ScopedEnv;

namespace {

using Definitions = std::map<std::string, int32_t>;

// What every run starts with, plus `extra`, less `removed`.
Definitions predefinedWith(Definitions extra, std::vector<std::string> removed = {}) {
    for (const char* name : {"WIN32", "WINDOWS", "WIN64", "QUOLT_RELEASE_4_1", "QUOLT_RELEASE_4"})
        extra.emplace(name, 1);
    for (const std::string& name : removed) extra.erase(name);
    return extra;
}

// Parses "bprep2" followed by `words`.
std::optional<int32_t> parseWords(PreprocessorContext& ctx, std::vector<std::string> words) {
    words.insert(words.begin(), "bprep2");
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    return parseCommandLine(ctx, static_cast<int>(words.size()), argv.data());
}

}  // namespace

TEST(CommandLine, OptionsClustersAndInputName) {
    ScopedEnv release("BASCRELEASEDIR", "R");
    PreprocessorContext ctx;
    Args args{"bprep2", "-xDX=5", "-DY", "-Iinc1", "-I", "inc2", "-", "-aDB",
              "-e", "eq.txt", "prog.b", "extra", "-Dz"};
    testing::internal::CaptureStderr();
    EXPECT_EQ(parseCommandLine(ctx, args.argc(), args.argv()), std::nullopt);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Warning: x is an unknown option\n");
    EXPECT_EQ(ctx.definitions, predefinedWith({{"X", 5}, {"Y", 1}}));
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
    EXPECT_EQ(parseCommandLine(ctx, args.argc(), args.argv()), std::nullopt);
    EXPECT_EQ(ctx.definitions, predefinedWith({{"A", 3}, {"B", -7}, {"C", 12}, {"D", INT32_MAX}, {"E", 1}}));
    EXPECT_EQ(ctx.includeDirs, std::vector<std::string>{""});
    EXPECT_EQ(ctx.inputName, "");

    PreprocessorContext bare;
    Args lone{"bprep2", "-D"};
    EXPECT_EQ(parseCommandLine(bare, lone.argc(), lone.argv()), std::nullopt);
    EXPECT_EQ(bare.definitions, predefinedWith({{"", 1}}));
}

// -D and -U apply in command-line order; the predefined names are set after
// the command line, so a -D leaves them at 1 and only a -U removes them.
TEST(CommandLine, DefinitionsAndCancellingsApplyInOrder) {
    struct Row {
        std::vector<std::string> options;
        Definitions expected;
    };
    const Row rows[] = {
        {{"-DX", "-UX"}, predefinedWith({})},
        {{"-UX", "-DX=4"}, predefinedWith({{"X", 4}})},
        {{"-DX=2", "-UX", "-DX"}, predefinedWith({{"X", 1}})},
        {{"-UNEVER"}, predefinedWith({})},
        {{"-UWIN32", "-U", "QUOLT_RELEASE_4"}, predefinedWith({}, {"WIN32", "QUOLT_RELEASE_4"})},
        {{"-DWIN64=7"}, predefinedWith({})},
        {{"-UWIN64", "-DWIN64=7"}, predefinedWith({})},
        {{"-DWIN64=7", "-UWIN64"}, predefinedWith({}, {"WIN64"})},
        {{"-UX=1", "-DX=1"}, predefinedWith({{"X", 1}})},
    };
    ScopedEnv release("BASCRELEASEDIR", nullptr);
    for (const Row& row : rows) {
        std::vector<std::string> words = row.options;
        words.push_back("prog.b");
        PreprocessorContext ctx;
        EXPECT_EQ(parseWords(ctx, words), std::nullopt);
        EXPECT_EQ(ctx.definitions, row.expected) << "after " << testing::PrintToString(row.options);
        EXPECT_EQ(ctx.inputName, "prog.b");
    }
}

TEST(CommandLine, CancellingWithoutANameIsRefused) {
    for (const std::vector<std::string>& words : {std::vector<std::string>{"-DX", "-U"}, {"-U", "", "prog.b"}}) {
        PreprocessorContext ctx;
        testing::internal::CaptureStderr();
        EXPECT_EQ(parseWords(ctx, words), 2);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "bprep2: Error Option -U needs a name\n");
    }
}

// A whole-argument option counts only where an argument starts: as the
// argument of a letter, after the source name or inside a cluster it is what
// it always was.
TEST(CommandLine, WholeArgumentOptionsOnlyWhereAnArgumentStarts) {
    ScopedEnv release("BASCRELEASEDIR", nullptr);
    PreprocessorContext taken;
    Args asArgument{"bprep2", "-D", "--version", "-I", "--help", "prog.b", "--version"};
    testing::internal::CaptureStdout();
    EXPECT_EQ(parseCommandLine(taken, asArgument.argc(), asArgument.argv()), std::nullopt);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(taken.definitions, predefinedWith({{"--version", 1}}));
    EXPECT_EQ(taken.includeDirs, std::vector<std::string>{"--help"});
    EXPECT_EQ(taken.inputName, "prog.b");

    PreprocessorContext version;
    Args first{"bprep2", "-DX", "--version", "-eout", "prog.b"};
    testing::internal::CaptureStdout();
    EXPECT_EQ(parseCommandLine(version, first.argc(), first.argv()), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string("bprep2 ") + BPREP2_VERSION_STRING + "\n");
    EXPECT_EQ(version.equateExportFile, "");
    EXPECT_EQ(version.inputName, "");
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
    EXPECT_EQ(parseCommandLine(ctx, args.argc(), args.argv()), std::nullopt);
    EXPECT_EQ(ctx.resultText, &text);
    EXPECT_EQ(ctx.resultLength, &length);
    EXPECT_EQ(ctx.resultStatus, &status);
    EXPECT_EQ(ctx.definitions, predefinedWith({{"A", 3}, {"OUTER", 1}}));
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

// Cancellings before -m hold for the further command line, and it may cancel
// too; the version is not shown in process, where no text would arrive.
TEST(CommandLine, InProcessFormCancelsNamesAndRefusesTheVersion) {
    ScopedEnv release("BASCRELEASEDIR", nullptr);
    char* text = nullptr;
    uint32_t length = 0, status = 7;
    std::string cancelling = "first -DWIN32 -UWINDOWS -UOUTER prog.b", version = "first --version prog.b";
    Args args{"caller", "-UWIN32", "-DOUTER", "-m", "", "", "", ""};
    args.setRaw(4, &text);
    args.setRaw(5, &length);
    args.setRaw(6, &status);

    args.setRaw(7, cancelling.data());
    PreprocessorContext ctx;
    ctx.inProcess = true;
    EXPECT_EQ(parseCommandLine(ctx, args.argc(), args.argv()), std::nullopt);
    EXPECT_EQ(ctx.definitions, predefinedWith({}, {"WINDOWS"}));

    args.setRaw(7, version.data());
    PreprocessorContext refused;
    refused.inProcess = true;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(parseCommandLine(refused, args.argc(), args.argv()), 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "bprep2: Error Option --version is not for in-process callers: call bprep2_version()\n");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}
