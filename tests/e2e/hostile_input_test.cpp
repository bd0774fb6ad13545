// Inputs that a case file cannot hold well, run whole through the in-process
// entry: lines of several megabytes, and members that are directories,
// links to nothing or unreadable items. Every run ends with its status and
// message and hands over either the whole text or none.
#include <cstring>
#include <string>

#include "scanner/host_interface.h"
#include "e2e/in_process_support.h"

namespace {

using namespace bprep2_test;

class HostileInput : public ScratchDirectoryTest {
protected:
    Outcome run(const std::string& commandLine) { return runInProcess(commandLine); }
};

// One physical line of several megabytes, of statements, of one name, of
// brackets, and an unterminated string, which is reported with the line.
TEST_F(HostileInput, LinesOfSeveralMegabytes) {
    const size_t count = 600000;
    write("statements.b", repeat("X = 1; ", count) + "\n");
    Outcome statements = run("bprep2 statements.b");
    EXPECT_EQ(statements.status, 0) << statements.err.substr(0, 200);
    EXPECT_EQ(occurrences(statements.text, "X = 1"), count);

    const std::string name(4 << 20, 'n');
    write("name.b", name + " = 1\n");
    Outcome longName = run("bprep2 name.b");
    EXPECT_EQ(longName.status, 0);
    EXPECT_EQ(longName.text, "\n#line 1 \"name.b\"\n" + std::string(4 << 20, 'N') + " = 1\n");

    const std::string brackets = "X = " + std::string(1 << 20, '(') + "1" + std::string(1 << 20, ')');
    write("nested.b", brackets + "\n");
    Outcome nested = run("bprep2 nested.b");
    EXPECT_EQ(nested.status, 0);
    EXPECT_EQ(nested.text, "\n#line 1 \"nested.b\"\n" + brackets + "\n");

    write("string.b", "X = \"" + std::string(4 << 20, 's') + "\nY = 2\n");
    Outcome string = run("bprep2 string.b");
    const std::string message = "bprep2: Error Unbalanced strings: Line 1 in file string.b\n";
    EXPECT_EQ(string.status, 1);
    EXPECT_EQ(string.err.rfind("X = \"" + std::string(4 << 20, 's') + "\n", 0), 0u);
    ASSERT_GT(string.err.size(), message.size());
    EXPECT_EQ(string.err.substr(string.err.size() - message.size()), message);
}

// A directory named as the source or as a member, a member that is a link
// to nothing, and an item that is a directory: each is a source that cannot
// be read, never a crash or a read of nothing as an empty source.
TEST_F(HostileInput, SourcesThatAreNotReadableFiles) {
    fs::create_directories(dir / "folder");
    fs::create_directories(dir / "BP" / "folder");
    fs::create_symlink(dir / "gone", dir / "link");
    write("dir.b", "INCLUDE folder\n");
    write("link.b", "X = 1\nINCLUDE link\n");
    write("item.b", "INCLUDE BP folder\n");
    struct Row {
        const char* commandLine;
        int status;
        const char* err;
    } rows[] = {
        {"bprep2 folder", 1, "bprep2: Error Unable to read file 'folder'\n\n"},
        {"bprep2 dir.b", 1, "bprep2: Error Unable to read INCLUDE file 'folder'\n\n"},
        {"bprep2 link.b", 1, "bprep2: Error Unable to read INCLUDE file 'link'\n\n"},
        {"bprep2 item.b", 12, "bprep2: Error Unable to read item 'folder' from file 'BP'\n\n"},
        {"bprep2 -a BP folder", 1, "bprep2: Error Unable to read file 'folder'\n\n"},
    };
    for (const Row& row : rows) {
        Outcome r = run(row.commandLine);
        EXPECT_EQ(r.status, row.status) << row.commandLine;
        EXPECT_EQ(r.err, row.err) << row.commandLine;
    }
}

// A source that is mostly a hole (64 GiB in size, one line of text) is
// read a block at a time: memory is taken for what is read, never for what
// the size claims, so the error on its first line is reached at once.
TEST_F(HostileInput, MemoryFollowsWhatIsReadNotTheFileSize) {
    write("hole.b", "#endif\n");
    fs::resize_file(dir / "hole.b", uintmax_t{64} << 30);
    Outcome r = run("bprep2 hole.b");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "#endif\n------^\nbprep2: Error #endif seen outside a conditional block: Line 1 in file hole.b\n");
}

// A source name holding a line end would put the rest of the name into
// the program as a line of code after the marker's first half: it is
// refused, and shown escaped, though the file is there.
TEST_F(HostileInput, NameWithALineEndIsRefused) {
    write("a\nCALL\tEVIL", "X = 1\n");
    Outcome r = run("bprep2 a\nCALL\tEVIL");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "bprep2: Error File name 'a\\x0ACALL\\x09EVIL' cannot be written in a #line marker\n");
}

int unreadableItem(void*, void** item, const char*, const char*, char**, uint32_t*) {
    *item = nullptr;
    return 13;
}

// An item the host finds but cannot read passes the host's code on as the
// run's status, from the main source and from a member alike.
TEST_F(HostileInput, UnreadableItemEndsWithTheHostsCode) {
    bprep2::ItemReadCalls saved = bprep2::itemReadCalls;
    bprep2::itemReadCalls.openRead = unreadableItem;
    write("prog.b", "X = 1\nINCLUDE BP LOCKED\n");
    Outcome main = run("bprep2 -a BP LOCKED");
    Outcome member = run("bprep2 prog.b");
    bprep2::itemReadCalls = saved;
    EXPECT_EQ(main.status, 1);
    EXPECT_EQ(main.err, "bprep2: Error Unable to read file 'LOCKED'\n\n");
    EXPECT_EQ(member.status, 13);
    EXPECT_EQ(member.err, "bprep2: Error Unable to read item 'LOCKED' from file 'BP'\n\n");
}

// An item read that cuts the main source to half its size, as another
// program might while the source is read: the source then ends before the
// size it had when it was opened, which is a failed read, not a program.
int itemThatCutsTheSource(void*, void** item, const char*, const char*, char** buffer, uint32_t* size) {
    *item = nullptr;
    fs::resize_file("prog.b", fs::file_size("prog.b") / 2);
    static const char text[] = "Y = 1";
    std::memcpy(*buffer, text, sizeof text - 1);
    *size = sizeof text - 1;
    return 0;
}

TEST_F(HostileInput, ASourceCutWhileReadIsUnreadable) {
    write("prog.b", "INCLUDE BP SUB\n" + repeat("X = 1\n", 200000));
    bprep2::ItemReadCalls saved = bprep2::itemReadCalls;
    bprep2::itemReadCalls.openRead = itemThatCutsTheSource;
    Outcome r = run("bprep2 prog.b");
    bprep2::itemReadCalls = saved;
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("bprep2: Error Unable to read file 'prog.b'\n"), std::string::npos) << r.err;
}

}  // namespace
