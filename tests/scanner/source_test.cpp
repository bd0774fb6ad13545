// A file is read a block at a time: every line must come out whole, where
// a block ends inside it, inside its CR LF (a CR at a block's end may or
// may not be followed by an LF), or more than once (a line longer than a
// block), and the last line without its line end too. A member named
// again in a run is the one read the first time, and is looked for afresh
// in the next run.
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "scanner/host_interface.h"

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

// A host whose items the test sets, counting the items it delivers.
struct CountedItems {
    static inline std::map<std::string, std::string> items;  // by "FILE/ITEM"
    static inline int delivered = 0;
    static void* port(int, int, int, int) {
        static int handle;
        return &handle;
    }
    static int openRead(void*, void** handle, const char* file, const char* item, char** buffer, uint32_t* size) {
        *handle = nullptr;
        auto at = items.find(std::string(file) + "/" + item);
        if (at == items.end()) return 12;
        const std::string& text = at->second;
        if (text.size() > *size) *buffer = static_cast<char*>(std::malloc(text.size()));
        std::memcpy(*buffer, text.data(), text.size());
        *size = static_cast<uint32_t>(text.size());
        ++delivered;
        return 0;
    }
    static int close(void*, void*, int) { return 0; }
};

class RepeatedMembers : public ScratchDirectoryTest {
   protected:
    void SetUp() override {
        ScratchDirectoryTest::SetUp();
        saved_ = bprep2::itemReadCalls;
        bprep2::itemReadCalls = {CountedItems::port, CountedItems::openRead, CountedItems::close};
        CountedItems::items.clear();
        CountedItems::delivered = 0;
    }
    void TearDown() override {
        bprep2::itemReadCalls = saved_;
        ScratchDirectoryTest::TearDown();
    }

   private:
    bprep2::ItemReadCalls saved_{};
};

TEST_F(RepeatedMembers, AnItemNamedAgainIsReadOnceARunAndAfreshInTheNext) {
    write("prog.b", "INCLUDE BP A\nINCLUDE BP/A\nINCLUDE OTHER A\nINCLUDE BP A\n");
    CountedItems::items = {{"BP/A", "X = 1"}, {"OTHER/A", "Y = 2"}};
    Outcome first = runInProcess("bprep2 prog.b");
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(occurrences(first.text, "X = 1\n"), 3u);
    EXPECT_EQ(occurrences(first.text, "Y = 2\n"), 1u);
    EXPECT_EQ(CountedItems::delivered, 2);

    CountedItems::items["BP/A"] = "X = 3";
    Outcome second = runInProcess("bprep2 prog.b");
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(occurrences(second.text, "X = 3\n"), 3u);
    EXPECT_EQ(occurrences(second.text, "X = 1\n"), 0u);
    EXPECT_EQ(CountedItems::delivered, 4);

    CountedItems::items.erase("OTHER/A");
    Outcome third = runInProcess("bprep2 prog.b");
    EXPECT_EQ(third.status, 12);
    EXPECT_NE(third.err.find("Unable to read item 'A' from file 'OTHER'"), std::string::npos) << third.err;
}

TEST_F(RepeatedMembers, AFileRemovedBetweenCallsIsMissedByTheSecond) {
    write("prog.b", "INCLUDE M\nINCLUDE M\n");
    write("M", "X = 1\n");
    Outcome first = runInProcess("bprep2 prog.b");
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(occurrences(first.text, "X = 1\n"), 2u);

    fs::remove(dir / "M");
    Outcome second = runInProcess("bprep2 prog.b");
    EXPECT_EQ(second.status, 1);
    EXPECT_NE(second.err.find("Unable to read INCLUDE file 'M'"), std::string::npos) << second.err;
}

}  // namespace
