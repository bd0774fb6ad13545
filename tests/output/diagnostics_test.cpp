// The two forms of a message, warnings, and the failure an error ends the
// run with.
#include "output/diagnostics.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

namespace bprep2 {
namespace {

ScannedLine lineAt(std::string text, int64_t scanPos) {
    ScannedLine line;
    line.fileName = "prog.b";
    line.lineText = std::move(text);
    line.lineNumber = 7;
    line.scanPos = scanPos;
    return line;
}

// The status the run would end with.
template <typename Step>
int32_t failureStatus(Step&& step) {
    try {
        step();
    } catch (const RunFailure& failure) {
        return failure.status;
    }
    ADD_FAILURE() << "the step did not fail";
    return 0;
}

TEST(Diagnostics, CaretUnderTheScanPositionWithTabsAsBlanks) {
    Diagnostics diagnostics;
    ScannedLine line = lineAt("A\tB", 2);
    EXPECT_EQ(diagnostics.pointAt(&line), nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(failureStatus([&] { diagnostics.error("Unknown character %c (%d)", '?', 63); }), 1);
    line.scanPos = 3;  // at the very end of the line
    diagnostics.warning("Nested comments found");
    EXPECT_EQ(failureStatus([&] { diagnostics.errorAtColumn(0, "Illegal syntax for NEW statement"); }), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "A B\n--^\nbprep2: Error Unknown character ? (63): Line 7 in file prog.b\n"
              "A B\n---^\nbprep2: Warning Nested comments found: Line 7 in file prog.b\n"
              "A B\n^\nbprep2: Error Illegal syntax for NEW statement: Line 7 in file prog.b\n");
}

TEST(Diagnostics, PlainFormWithoutAPositionOnTheLine) {
    Diagnostics diagnostics;
    ScannedLine line = lineAt("X = 1", 6);  // beyond the end
    diagnostics.pointAt(&line);
    testing::internal::CaptureStderr();
    diagnostics.writeError("Unable to read file '%s'\n", "a.b");
    line.scanPos = -1;
    EXPECT_EQ(failureStatus([&] { diagnostics.errorWithStatus(2, "No input file name specified"); }), 2);
    EXPECT_EQ(diagnostics.pointAt(nullptr), &line);
    EXPECT_EQ(failureStatus([&] { diagnostics.errorAtColumn(2, "Illegal syntax for object reference"); }), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "bprep2: Error Unable to read file 'a.b'\n\n"
              "bprep2: Error No input file name specified\n"
              "bprep2: Error Illegal syntax for object reference\n");
}

TEST(Diagnostics, NoEchoKeepsTheLineAndFileButDropsTheCaret) {
    Diagnostics diagnostics;
    ScannedLine line = lineAt("X = A", 4);
    line.noEcho = true;
    diagnostics.pointAt(&line);
    testing::internal::CaptureStderr();
    EXPECT_EQ(failureStatus([&] {
                  diagnostics.error("EQUATE level exceeds maximum of %d levels\n      Possible recursive EQUATEs", 200);
              }),
              1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "bprep2: Error EQUATE level exceeds maximum of 200 levels\n"
              "      Possible recursive EQUATEs: Line 7 in file prog.b\n");
}

// NUL, ESC and the other control bytes of a line, a message or a file name
// are shown as \xHH, never written raw; the caret stays under the character
// the scan stopped at. A TAB in the line is still one blank.
TEST(Diagnostics, ControlBytesAreWrittenEscaped) {
    Diagnostics diagnostics;
    ScannedLine line = lineAt(std::string("X\t\0\x1B[2J = . 5", 13), 10);
    line.fileName = "pro\rg.b";
    diagnostics.pointAt(&line);
    testing::internal::CaptureStderr();
    EXPECT_EQ(failureStatus([&] { diagnostics.error("Unknown character %c (%d)", '.', 46); }), 1);
    diagnostics.pointAt(nullptr);
    diagnostics.writeError("Unable to read file '%s'\n", "a\x7F\x01");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "X \\x00\\x1B[2J = . 5\n"
              "----------------^\n"
              "bprep2: Error Unknown character . (46): Line 7 in file pro\\x0Dg.b\n"
              "bprep2: Error Unable to read file 'a\\x7F\\x01'\n\n");
}

// The gnu form for the rest of a test, the default put back after it.
struct GnuForm {
    explicit GnuForm(bool showCaret = true) { setDiagnosticsStyle({DiagnosticsFormat::Gnu, showCaret, {}}); }
    ~GnuForm() { setDiagnosticsStyle({}); }
};

ScannedLine openedLine(std::string path, uint32_t physicalLine, std::string text, int64_t scanPos) {
    ScannedLine line = lineAt(std::move(text), scanPos);
    line.openedPath = std::move(path);
    line.physicalLine = physicalLine;
    return line;
}

// The place is the path opened and the line read (not the renumbered one),
// the column one past the scan position; the margin widens past five
// digits; a warning, an unechoed line, a message's own line break and a
// control byte in the line each keep their part of the form.
TEST(Diagnostics, GnuFormNamesThePlaceAnEditorOpens) {
    GnuForm gnu;
    Diagnostics diagnostics;
    ScannedLine line = openedLine("sub/m.h", 123456, std::string("A\x01" "B"), 2);
    diagnostics.pointAt(&line);
    testing::internal::CaptureStderr();
    diagnostics.warning("Nested comments found");
    line.noEcho = true;
    EXPECT_EQ(failureStatus([&] { diagnostics.error("EQUATE level\n      Possible recursive EQUATEs\n"); }), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "sub/m.h:123456:3: warning: Nested comments found\n"
              "123456 | A\\x01B\n"
              "       |      ^\n"
              "sub/m.h:123456:3: error: EQUATE level\n      Possible recursive EQUATEs\n");
}

// A source that has read no line yet (one being looked for) has its
// messages placed at the INCLUDE that named it; without an includer, or
// off the line, a message names the program.
TEST(Diagnostics, GnuFormPlacesAMemberNotFoundAtItsInclude) {
    GnuForm gnu(false);
    Diagnostics diagnostics;
    ScannedLine main = openedLine("prog.b", 4, "INCLUDE m.h", 11);
    ScannedLine member = openedLine("", 0, "", -1);
    member.includedFrom = &main;
    diagnostics.pointAt(&member);
    testing::internal::CaptureStderr();
    diagnostics.writeError("Unable to read INCLUDE file '%s'\n", "m.h");
    diagnostics.pointAt(&main);
    main.scanPos = 12;
    diagnostics.writeError("Unbalanced strings");
    writeOutOfMemory();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "prog.b:4:12: error: Unable to read INCLUDE file 'm.h'\n"
              "bprep2: error: Unbalanced strings\n"
              "bprep2: error: Not enough memory\n");
}

// The SARIF log holds each message as a result, read back field by field:
// the place the gnu form names, the INCLUDE lines as related locations
// nearest first, the run's status; bytes that are not UTF-8 (a Latin-1
// name) arrive as U+FFFD, and nothing is written before the log.
TEST(Diagnostics, SarifLogHoldsEveryMessageWithItsPlace) {
    setDiagnosticsStyle({DiagnosticsFormat::SarifStderr, true, {}});
    Diagnostics diagnostics;
    ScannedLine main = openedLine("prog.b", 2, "INCLUDE m.h", 11);
    ScannedLine member = openedLine("sub/m.h", 5, "X = \"open", 4);
    member.includedFrom = &main;
    testing::internal::CaptureStderr();
    writeCommandLineWarning("q is an unknown option");
    diagnostics.pointAt(&member);
    diagnostics.writeError("Unable to read file '%s'\n", "caf\xE9");
    std::string before = testing::internal::GetCapturedStderr();
    testing::internal::CaptureStderr();
    EXPECT_EQ(finishDiagnostics(1, "9.8.7"), 1);
    std::string log = testing::internal::GetCapturedStderr();
    setDiagnosticsStyle({});
    EXPECT_EQ(before, "");

    nlohmann::json sarif = nlohmann::json::parse(log);
    EXPECT_EQ(sarif["version"], "2.1.0");
    ASSERT_EQ(sarif["runs"].size(), 1u);
    const nlohmann::json& run = sarif["runs"][0];
    EXPECT_EQ(run["tool"]["driver"]["name"], "bprep2");
    EXPECT_EQ(run["tool"]["driver"]["version"], "9.8.7");
    EXPECT_EQ(run["invocations"][0]["exitCode"], 1);
    EXPECT_EQ(run["invocations"][0]["executionSuccessful"], false);
    ASSERT_EQ(run["results"].size(), 2u);
    const nlohmann::json& warning = run["results"][0];
    EXPECT_EQ(warning["level"], "warning");
    EXPECT_EQ(warning["message"]["text"], "q is an unknown option");
    EXPECT_FALSE(warning.contains("locations"));
    const nlohmann::json& error = run["results"][1];
    EXPECT_EQ(error["level"], "error");
    EXPECT_EQ(error["message"]["text"], "Unable to read file 'caf\xEF\xBF\xBD'");
    const nlohmann::json& place = error["locations"][0]["physicalLocation"];
    EXPECT_EQ(place["artifactLocation"]["uri"], "sub/m.h");
    EXPECT_EQ(place["region"]["startLine"], 5);
    EXPECT_EQ(place["region"]["startColumn"], 5);
    ASSERT_EQ(error["relatedLocations"].size(), 1u);
    const nlohmann::json& from = error["relatedLocations"][0]["physicalLocation"];
    EXPECT_EQ(from["artifactLocation"]["uri"], "prog.b");
    EXPECT_EQ(from["region"]["startLine"], 2);
}

}  // namespace
}  // namespace bprep2
