// A file is read a block at a time: every line must come out whole, where
// a block ends inside it, inside its CR LF (a CR at a block's end may or
// may not be followed by an LF), or more than once (a line longer than a
// block), and the last line without its line end too.
#include <string>

#include "e2e/in_process_support.h"

namespace {

using namespace bprep2_test;

class FileLines : public ScratchDirectoryTest {};

// Lines of every length up to a few thousand bytes, so that block ends
// fall at every kind of place, one line far longer than a block, mixed LF,
// CR LF and lone CR ends, and no line end after the last line.
std::string longProgram(std::string& expected) {
    std::string program;
    for (int n = 0; n < 2400; ++n) {
        std::string line(n == 1200 ? "L" : "S");
        if (n != 1200) line += std::to_string(n);
        line.append(" = '").append(n == 1200 ? 700000 : static_cast<size_t>(n), static_cast<char>('a' + n % 26));
        line.push_back('\'');
        static const char* const lineEnds[] = {"\r\n", "\r", "\n"};
        program += line + lineEnds[n % 3];
        expected += line + "\n";
    }
    program += "LAST = 1";
    expected += "LAST = 1\n";
    return program;
}

TEST_F(FileLines, LinesAcrossBlocksComeOutWhole) {
    std::string body;
    write("prog.b", longProgram(body));
    Outcome r = runInProcess("bprep2 prog.b");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.text, "\n#line 1 \"prog.b\"\n" + body);
}

TEST_F(FileLines, IncludedMemberIsReadInBlocksToo) {
    std::string body;
    write("member.b", longProgram(body));
    write("prog.b", "INCLUDE member.b\nEND\n");
    Outcome r = runInProcess("bprep2 prog.b");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.text.find("\n#line 1 \"member.b\"\n" + body), std::string::npos);
    EXPECT_NE(r.text.find("END"), std::string::npos);
}

}  // namespace
