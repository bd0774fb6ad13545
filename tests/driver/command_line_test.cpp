// The command-line parser: clusters, arguments, definitions and their
// cancelling, the release include directory, whole-argument options, help,
// and the in-process form.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "bprep2.h"
#include "driver/command_line.h"
#include "driver/driver_test_support.h"
#include "output/diagnostics.h"
#include "scanner/source.h"

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
CommandLine parseWords(std::vector<std::string> words) {
    words.insert(words.begin(), "bprep2");
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    return parseCommandLine(static_cast<int>(words.size()), argv.data(), false);
}

// The status a refused command line ends the run with.
int32_t refusedStatus(int argc, char** argv, bool inProcess) {
    try {
        parseCommandLine(argc, argv, inProcess);
    } catch (const RunFailure& failure) {
        return failure.status;
    }
    ADD_FAILURE() << "the command line was taken";
    return 0;
}

// What a command line of "bprep2" and `words`, which must be refused with
// status 2, writes on standard error.
std::string refusalOf(std::vector<std::string> words) {
    words.insert(words.begin(), "bprep2");
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    testing::internal::CaptureStderr();
    EXPECT_EQ(refusedStatus(static_cast<int>(argv.size()), argv.data(), false), 2) << testing::PrintToString(words);
    return testing::internal::GetCapturedStderr();
}

}  // namespace

TEST(CommandLine, OptionsClustersAndInputName) {
    ScopedEnv release("BASCRELEASEDIR", "R");
    Args args{"bprep2", "-xDX=5", "-DY", "-Iinc1", "-I", "inc2", "-", "-aDB",
              "-e", "eq.txt", "prog.b", "extra", "-Dz"};
    testing::internal::CaptureStderr();
    CommandLine line = parseCommandLine(args.argc(), args.argv(), false);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Warning: x is an unknown option\n");
    EXPECT_EQ(line.request, Request::Run);
    EXPECT_EQ(line.definitions, predefinedWith({{"X", 5}, {"Y", 1}}));
    EXPECT_EQ(line.sources.includeDirs, (std::vector<std::string>{"inc1", "inc2", joinPath("R", "include")}));
    EXPECT_EQ(line.sources.defaultDatabaseFile, "DB");
    EXPECT_EQ(line.equateExportFile, "eq.txt");
    EXPECT_EQ(line.inputName, "prog.b");
    EXPECT_EQ(line.results.text, nullptr);
}

// An empty BASCRELEASEDIR is as unset: joined with "include" it would
// search /include.
TEST(CommandLine, EmptyReleaseDirectoryAddsNoIncludeDirectory) {
    ScopedEnv release("BASCRELEASEDIR", "");
    Args args{"bprep2", "prog.b"};
    CommandLine line = parseCommandLine(args.argc(), args.argv(), false);
    EXPECT_EQ(line.sources.includeDirs, std::vector<std::string>{});
    EXPECT_EQ(line.sources.releaseIncludeDir, "");
}

TEST(CommandLine, DefinitionValuesAndMissingArguments) {
    ScopedEnv release("BASCRELEASEDIR", nullptr);
    Args args{"bprep2", "-DA=abc", "-DB=-7", "-DC= 12x", "-DD=99999999999", "-DE=1=2",
              "-DA=3", "-I"};
    CommandLine line = parseCommandLine(args.argc(), args.argv(), false);
    EXPECT_EQ(line.definitions, predefinedWith({{"A", 3}, {"B", -7}, {"C", 12}, {"D", INT32_MAX}, {"E", 1}}));
    EXPECT_EQ(line.sources.includeDirs, std::vector<std::string>{""});
    EXPECT_EQ(line.inputName, "");

    Args lone{"bprep2", "-D"};
    EXPECT_EQ(parseCommandLine(lone.argc(), lone.argv(), false).definitions, predefinedWith({{"", 1}}));
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
        CommandLine line = parseWords(words);
        EXPECT_EQ(line.definitions, row.expected) << "after " << testing::PrintToString(row.options);
        EXPECT_EQ(line.inputName, "prog.b");
    }
}

TEST(CommandLine, CancellingWithoutANameIsRefused) {
    for (const std::vector<std::string>& words : {std::vector<std::string>{"-DX", "-U"}, {"-U", "", "prog.b"}})
        EXPECT_EQ(refusalOf(words), "bprep2: Error Option -U needs a name\n");
}

// A whole-argument option counts only where an argument starts: as the
// argument of a letter, after the source name or inside a cluster it is what
// it always was. Reading stops where one is taken, and its answer is left
// to the run.
TEST(CommandLine, WholeArgumentOptionsOnlyWhereAnArgumentStarts) {
    ScopedEnv release("BASCRELEASEDIR", nullptr);
    Args asArgument{"bprep2", "-D", "--version", "-I", "--help", "prog.b", "--version"};
    CommandLine taken = parseCommandLine(asArgument.argc(), asArgument.argv(), false);
    EXPECT_EQ(taken.request, Request::Run);
    EXPECT_EQ(taken.definitions, predefinedWith({{"--version", 1}}));
    EXPECT_EQ(taken.sources.includeDirs, std::vector<std::string>{"--help"});
    EXPECT_EQ(taken.inputName, "prog.b");

    Args first{"bprep2", "-DX", "--version", "-eout", "prog.b"};
    testing::internal::CaptureStdout();
    CommandLine version = parseCommandLine(first.argc(), first.argv(), false);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(version.request, Request::Version);
    EXPECT_EQ(version.equateExportFile, "");
    EXPECT_EQ(version.inputName, "");
    testing::internal::CaptureStdout();
    EXPECT_EQ(answerRequest(version.request), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), std::string("bprep2 ") + BPREP2_VERSION_STRING + "\n");

    Args help{"bprep2", "-e", "out", "-?x", "--help", "-U"};
    testing::internal::CaptureStderr();
    CommandLine helped = parseCommandLine(help.argc(), help.argv(), false);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(helped.request, Request::Help);
    EXPECT_EQ(helped.equateExportFile, "out");
    testing::internal::CaptureStdout();
    EXPECT_EQ(answerRequest(helped.request), 2);
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("Called as\n", 0), 0u);
}

// -o and --output= are whole arguments; the last one counts. As the
// argument of a letter, in a cluster or after the source name they are
// what they always were.
TEST(CommandLine, OutputFile) {
    ScopedEnv release("BASCRELEASEDIR", nullptr);
    struct Row {
        std::vector<std::string> words;
        std::string outputFile;
        std::string inputName = "prog.b";
    };
    const Row rows[] = {
        {{"-o", "out.b", "prog.b"}, "out.b"},
        {{"--output=dir/out.b", "prog.b"}, "dir/out.b"},
        {{"-o", "-", "prog.b"}, "-"},
        {{"-o", "-o", "--output=b", "prog.b"}, "b"},
        {{"-o", "--version", "prog.b"}, "--version"},
        {{"-e", "-o", "prog.b"}, ""},
        {{"prog.b", "-o", "out.b"}, ""},
    };
    for (const Row& row : rows) {
        CommandLine line = parseWords(row.words);
        EXPECT_EQ(line.outputFile, row.outputFile) << testing::PrintToString(row.words);
        EXPECT_EQ(line.inputName, row.inputName) << testing::PrintToString(row.words);
    }
    EXPECT_EQ(refusalOf({"-o"}), "bprep2: Error Option -o needs a file name\n");
    EXPECT_EQ(refusalOf({"-o", "", "prog.b"}), "bprep2: Error Option -o needs a file name\n");
    EXPECT_EQ(refusalOf({"--output=", "prog.b"}), "bprep2: Error Option --output needs a file name\n");
}

// -MD and -MMD ask for the file; the -o file is the default target and
// names the file, else the source's base name does; -MT is taken as given,
// -MQ quoted, and either may repeat.
TEST(CommandLine, DependencyFileOptions) {
    ScopedEnv release("BASCRELEASEDIR", nullptr);
    struct Row {
        std::vector<std::string> words;
        std::string file;
        std::vector<std::string> targets;
        bool releaseMembers = true;
        bool phonyRules = false;
    };
    const Row rows[] = {
        {{"-MD", "-o", "out/prog.b.out", "dir/prog.b"}, "out/prog.b.d", {"out/prog.b.out"}},
        {{"-o", "out.dir/prog", "-MD", "prog.b"}, "out.dir/prog.d", {"out.dir/prog"}},
        {{"-MMD", "-MT", "$(O) x", "BP/PROG"}, "PROG.d", {"$(O) x"}, false},
        {{"-MD", "-MQ", "$(O) x", "-MT", "t", "-o", "-", "dir.x/prog.b"}, "prog.d", {"$$(O)\\ x", "t"}},
        {{"-MP", "-MMD", "-MD", "-MF", "deps", "--output=o b", "prog.b"}, "deps", {"o\\ b"}, true, true},
    };
    for (const Row& row : rows) {
        const DependencyRequest request = parseWords(row.words).dependencies;
        EXPECT_TRUE(request.wanted);
        EXPECT_EQ(request.file, row.file) << testing::PrintToString(row.words);
        EXPECT_EQ(request.targets, row.targets) << testing::PrintToString(row.words);
        EXPECT_EQ(request.releaseMembers, row.releaseMembers) << testing::PrintToString(row.words);
        EXPECT_EQ(request.phonyRules, row.phonyRules) << testing::PrintToString(row.words);
    }
    // Bare -M and -MM are the unknown letters they always were.
    testing::internal::CaptureStderr();
    EXPECT_FALSE(parseWords({"-M", "-MM", "prog.b"}).dependencies.wanted);
    std::string warning = "Warning: M is an unknown option\n";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), warning + warning + warning);
}

TEST(CommandLine, DependencyFileOptionsThatAreRefused) {
    ScopedEnv release("BASCRELEASEDIR", nullptr);
    const std::pair<std::vector<std::string>, std::string> rows[] = {
        {{"-MD", "prog.b"}, "Option -MD needs a target: -o FILE, -MT or -MQ"},
        {{"-MMD", "-o", "-", "prog.b"}, "Option -MMD needs a target: -o FILE, -MT or -MQ"},
        {{"-MP", "-MF", "x.d", "-o", "out", "prog.b"}, "Option -MP needs -MD or -MMD"},
        {{"-MT", "t", "prog.b"}, "Option -MT needs -MD or -MMD"},
        {{"-MD", "-MQ", "", "prog.b"}, "Option -MQ needs a target"},
        {{"-MD", "-o", "out", "-MF"}, "Option -MF needs a file name"},
    };
    for (const auto& [words, message] : rows) EXPECT_EQ(refusalOf(words), "bprep2: Error " + message + "\n");
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

    CommandLine line = parseCommandLine(args.argc(), args.argv(), true);
    EXPECT_EQ(line.results.text, &text);
    EXPECT_EQ(line.results.length, &length);
    EXPECT_EQ(line.results.status, &status);
    EXPECT_EQ(line.definitions, predefinedWith({{"A", 3}, {"OUTER", 1}}));
    const std::vector<std::string>& dirs = line.sources.includeDirs;
    ASSERT_EQ(dirs.size(), 3002u);
    EXPECT_EQ(dirs.front(), "inc");
    EXPECT_EQ(dirs[3000], "d2999");
    EXPECT_EQ(dirs.back(), joinPath("REL", "include"));
    EXPECT_EQ(line.inputName, "prog.b");
}

TEST(CommandLine, InProcessFormWithoutItsFourEntriesIsRefused) {
    char* text = nullptr;
    uint32_t length = 0;
    Args args{"caller", "-m", "", ""};
    args.setRaw(2, &text);
    args.setRaw(3, &length);
    testing::internal::CaptureStderr();
    EXPECT_EQ(refusedStatus(args.argc(), args.argv(), true), 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "bprep2: Error Option -m needs the three result references and a command line\n");
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
    EXPECT_EQ(parseCommandLine(args.argc(), args.argv(), true).definitions, predefinedWith({}, {"WINDOWS"}));

    args.setRaw(7, version.data());
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    EXPECT_EQ(refusedStatus(args.argc(), args.argv(), true), 2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "bprep2: Error Option --version is not for in-process callers: call bprep2_version()\n");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

// The options that write files are refused in process, before -m as in the
// further command line: the caller's text goes to its slots.
TEST(CommandLine, InProcessFormRefusesTheFileWritingOptions) {
    struct Row {
        std::vector<std::string> outer;  // two words before -m
        std::string further;
        std::string message;
    };
    const std::string toSlots = " is not for in-process callers: the text goes to the result slots";
    const Row rows[] = {
        {{"-o", "out.b"}, "first prog.b", "Option -o" + toSlots},
        {{"-DX", "-DY"}, "first --output=out.b prog.b", "Option --output" + toSlots},
        {{"-DX", "-DY"}, "first -o - prog.b", "Option -o" + toSlots},
        {{"-MD", "-DY"}, "first prog.b", "Option -MD is not for in-process callers: it writes a file"},
        {{"-DX", "-DY"}, "first -MT t -MMD prog.b", "Option -MT is not for in-process callers: it writes a file"},
        {{"-DX", "-DY"}, "first -MMD prog.b", "Option -MMD is not for in-process callers: it writes a file"},
        {{"-MF", "x.d"}, "first prog.b", "Option -MF is not for in-process callers: it writes a file"},
        {{"-MQ", "t"}, "first prog.b", "Option -MQ is not for in-process callers: it writes a file"},
        {{"-DX", "-MP"}, "first prog.b", "Option -MP is not for in-process callers: it writes a file"},
        {{"-DX", "-DY"}, "first -fdiagnostics-format=sarif-file prog.b",
         "Option -fdiagnostics-format is not for in-process callers: it writes a file"},
        {{"-DX", "-DY"}, "first --stdin-filename=p.b",
         "Option --stdin-filename is not for in-process callers: standard input is the caller's"},
    };
    for (Row row : rows) {
        char* text = nullptr;
        uint32_t length = 0, status = 7;
        Args args{"caller", row.outer[0], row.outer[1], "-m", "", "", "", row.further};
        args.setRaw(4, &text);
        args.setRaw(5, &length);
        args.setRaw(6, &status);
        testing::internal::CaptureStderr();
        EXPECT_EQ(refusedStatus(args.argc(), args.argv(), true), 2) << row.further;
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "bprep2: Error " + row.message + "\n");
    }
}
