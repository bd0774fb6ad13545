// Whole runs through the in-process entry, for what a case file cannot hold:
// the caller's slots, generated inputs (a chain of a hundred members, very
// large sources that a quadratic step would never finish), item reads from
// a host that delivers raw line ends, the keyword dump, and further inputs
// for messages that the cases already show once.
#include <sstream>
#include <string>
#include <vector>

#include "scanner/host_interface.h"
#include "e2e/in_process_support.h"
#include "scanner/source.h"

namespace {

using namespace bprep2_test;

class InProcess : public ScratchDirectoryTest {
protected:
    Outcome run(const std::string& commandLine, const char* options = nullptr) {
        return runInProcess(commandLine, options);
    }
};

TEST_F(InProcess, TextGoesToTheCallersSlotsOnlyOnSuccess) {
    write("prog.b", "print x\n");
    Outcome ok = run("bprep2 prog.b");
    EXPECT_EQ(ok.status, 0);
    EXPECT_EQ(ok.text, "\n#line 1 \"prog.b\"\nPRINT X\n");
    EXPECT_EQ(ok.statusSlot, 0u);

    Outcome missing = run("bprep2 missing.b");
    EXPECT_EQ(missing.status, 1);
    EXPECT_FALSE(missing.delivered);
    EXPECT_EQ(missing.statusSlot, 12345u);

    Outcome nested = run("bprep2 -m a b c prog.b");
    EXPECT_EQ(nested.status, 2);
    EXPECT_FALSE(nested.delivered);
    EXPECT_EQ(nested.err, "bprep2: Error Option -m cannot appear in the in-process command line\n");
}

// The caller's standard output is its own: the help goes to standard error.
TEST_F(InProcess, HelpGoesToStandardError) {
    Outcome r = run("bprep2 -h");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("This help screen"), std::string::npos) << r.err;
}

// The statistics take their internal form; the trace copy of the output goes
// to the trace file while the text goes to the slots. Each call in the
// process has a trace of its own, named for the process and the call.
TEST_F(InProcess, StatisticsAndTraceCopy) {
    const std::string statistics = "Compiled 5 tokens, 0 equates, 1 files, 1 lines, internal 26 bytes\n";
    const std::string written = "bprep2: Trace file written to ";
    const std::string prefix = "bprep2_trace_" + std::to_string(getpid()) + "_";
    std::vector<std::string> names;
    for (const char* number : {"1", "2"}) {
        write("prog.b", std::string("PRINT ") + number + "\n");
        Outcome r = run("bprep2 prog.b", "stats:trace");
        const std::string expected = std::string("\n#line 1 \"prog.b\"\nPRINT ") + number + "\n";
        EXPECT_EQ(r.text, expected);
        ASSERT_EQ(r.err.rfind(statistics + written + prefix, 0), 0u) << r.err;
        std::string name = r.err.substr(statistics.size() + written.size());
        name.pop_back();  // the line end
        EXPECT_EQ(name.substr(name.size() - 4), ".txt");
        names.push_back(name);
        std::stringstream trace;
        trace << std::ifstream(dir / name).rdbuf();
        EXPECT_NE(trace.str().find("\nOutput from bprep2\n------ ---- ----\n" + expected +
                                   "---------------end-----------\n\n"),
                  std::string::npos);
    }
    EXPECT_NE(names[0], names[1]);
    EXPECT_TRUE(fs::exists(dir / names[0])) << "the second call leaves the first one's trace alone";
}

// The keyword dump lists the table in byte order; names looked up in vain
// take a row number but print no row.
TEST_F(InProcess, KeywordDump) {
    write("prog.b", "AAA = CALLDOTNET\n");
    std::string dump = run("bprep2 prog.b", "keywords").err;
    EXPECT_EQ(dump.rfind("\nReser#   Name                 Value       Special\n"
                         "------   ----                 -----       -------\n"
                         "0        $DEVELOPMENT         00000000  6\n", 0), 0u);
    EXPECT_NE(dump.find("\n7        $system              00000000  5\n9        ABORT                0x00000001  0\n"),
              std::string::npos);
    EXPECT_NE(dump.find("\n47       CALLONEXIT           0x00800002  0\n48       CALLdotNET           0x00800001  0\n"),
              std::string::npos);
    EXPECT_EQ(dump.find("AAA"), std::string::npos);
    EXPECT_EQ(dump.find("BITCHANGE"), dump.rfind("BITCHANGE"));
}

// A word its equate always replaces, and a member name, are no words of
// the program: they take no row number in the dump.
TEST_F(InProcess, KeywordDumpLeavesOutWordsAlwaysReplaced) {
    write("prog.b", "EQU EQ.ONE TO 1\nX = 1 + ABORT\nOBJ->Y = 1\n");
    std::string without = run("bprep2 prog.b", "keywords").err;
    write("prog.b", "EQU EQ.ONE TO 1\nX = EQ.ONE + ABORT\nOBJ->EQ.MEMBER = 1\n");
    EXPECT_EQ(run("bprep2 prog.b", "keywords").err, without);
}

// A chain of 100 nested members is the deepest accepted; one more fails.
TEST_F(InProcess, IncludeChainOfAHundredMembers) {
    auto member = [](int i) { return std::string("M").append(std::to_string(i)); };
    for (int depth : {100, 101}) {
        write("prog.b", "INCLUDE M1\n");
        for (int i = 1; i < depth; ++i) write(member(i), "INCLUDE " + member(i + 1) + "\n");
        write(member(depth), "X = 1\n");
        Outcome r = run("bprep2 prog.b");
        if (depth == 101) {
            EXPECT_EQ(r.status, 1);
            EXPECT_FALSE(r.delivered);
            EXPECT_EQ(r.err, "INCLUDE M101\n-------^\nbprep2: Error INCLUDE level exceeds maximum of 100 levels\n"
                             "      Possible recursive INCLUDEs: Line 1 in file M100\n");
            continue;
        }
        std::string expected = "\n#line 1 \"prog.b\"\n";
        for (int i = 1; i <= depth; ++i) expected += "\n#line 1 \"" + member(i) + "\"\n";
        expected += "X = 1\n";
        for (int i = depth - 1; i >= 1; --i) expected += "\n#line 1 \"" + member(i) + "\"\n\n";
        expected += "\n#line 1 \"prog.b\"\n\n";
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.text, expected);
    }
}

// Inputs built so that a step that goes over the same tokens again and
// again, or moves the tail of the list for each insertion, would take
// minutes; the bound leaves room for a sanitizer build.
TEST_F(InProcess, LargeInputsStayLinear) {
    struct Row {
        const char* options;
        std::string source, needle;
        size_t count;
    };
    const std::string cls(5000, 'C'), method(4000, 'M'), longText(100000, 'a');
    std::string equates;
    for (int i = 0; i < 5000; ++i) equates += "EQU E" + std::to_string(i) + " TO " + std::to_string(i) + "\n";
    const Row rows[] = {
        {nullptr, repeat("X = A(1) + B(2)\n", 100000), "FMT(", 200000},
        {nullptr, "X = " + repeat("X(", 100000) + "1" + repeat(")", 100000) + "\n", "FMT(X,(", 100000},
        {nullptr, repeat("CALL ", 100000) + "F(1)\n", "CALL F(1)", 1},
        {"stop", repeat("STOPE ", 100000) + "\n", "\"stope\"", 100000},
        {nullptr, repeat("SUB ", 100000) + "MAT X)\nY = X(1)\n", "\nY = X(1)\n", 1},
        {nullptr, repeat("DIM A(", 100000) + "MAT X)\nY = A(1)\n", "\nY = A(1)\n", 1},
        {nullptr, repeat("DEFFUN F(\n", 100000) + repeat("DEFFUN ", 100000) + "(\n", "DEFFUN F(\n", 100000},
        {nullptr, "CALL F(0, ...\n" + repeat("1, ...\n", 50000) + "2)\n", repeat("\n", 50002) + "CALL F(0, 1, 1,", 1},
        {nullptr, "X = '" + longText + "'\r\nY = 2\n", "\nX = '" + longText + "'\nY = 2\n", 1},
        {nullptr, equates + repeat("X = E4999 + E0\n", 100000), "X = 4999 + 0\n", 100000},
        {nullptr, repeat("INCLUDE M\n", 20000), "Y = 1\n", 20000},
        {"vizla", "METHOD " + cls + "::" + method + "(A)\n",
         "FUNCTION qObj5000" + cls + "M4000" + method + "_V(THIS,A)\n", 1},
    };
    write("M", "Y = 1\n");
    for (const Row& row : rows) {
        write("prog.b", row.source);
        Outcome r = run("bprep2 prog.b", row.options);
        SCOPED_TRACE(row.source.substr(0, 40));
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(occurrences(r.text, row.needle), row.count);
        EXPECT_LT(r.seconds, 15.0);
    }
}

// Item reads answered the way the platform's library may deliver them: raw
// line ends, and a block of its own for an item larger than the buffer.
struct FakeItems {
    static inline std::string item;
    static inline int opens = 0, closes = 0;
    static void* noHandle(int, int, int, int) { return nullptr; }
    static int openRead(void*, void** handle, const char*, const char*, char** buffer, uint32_t* size) {
        ++opens;
        *handle = &item;
        if (item.size() > *size) *buffer = static_cast<char*>(std::malloc(item.size()));
        std::memcpy(*buffer, item.data(), item.size());
        *size = static_cast<uint32_t>(item.size());
        return 0;
    }
    static int close(void*, void* handle, int) {
        closes += handle != nullptr;
        return 0;
    }
};

TEST_F(InProcess, ItemsWithRawLineEnds) {
    struct Restore {
        bprep2::ItemReadCalls saved = bprep2::itemReadCalls;
        ~Restore() { bprep2::itemReadCalls = saved; }
    } restore;
    bprep2::itemReadCalls = {FakeItems::noHandle, FakeItems::openRead, FakeItems::close};
    const std::string big(6000, 'B');
    const std::pair<std::string, std::string> rows[] = {
        {"A\xFE\xFE" "B", "A\n\nB\n"},
        {"A\n\n\rB\xFE", "A\nB\n"},
        {"A\r\n\xFE" "B\xFE\xFE", "A\nB\n\n"},
        {"", ""},
        {big + "\xFE" "C", big + "\nC\n"},
    };
    write("prog.b", "INCLUDE BP ITEM\nX = 1\n");
    for (const auto& [item, text] : rows) {
        FakeItems::item = item;
        Outcome r = run("bprep2 prog.b");
        EXPECT_EQ(r.text, "\n#line 1 \"prog.b\"\n\n#line 1 \"ITEM\"\n" + text + "\n#line 1 \"prog.b\"\n\nX = 1\n");
    }
    EXPECT_EQ(FakeItems::closes, FakeItems::opens);

    // Without a runtime handle no item can be read.
    void* noPort = nullptr;
    std::string text;
    testing::internal::CaptureStderr();
    EXPECT_EQ(bprep2::readDatabaseItem(noPort, "BP", "ITEM", text), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "bprep2: Unable to allocate a port or object\n");
}

// Further inputs for messages that a case shows once. Each run fails with
// the status and message and hands over no text. A row with a line number
// expects that line of prog.b echoed (TABs as blanks) with a caret at the
// column; a row without expects its text as the whole of stderr.
TEST_F(InProcess, FurtherInputsForEachMessage) {
    struct Row {
        const char* options;
        std::string source;
        int line, column;
        std::string message;
        int status = 1;
    };
    const std::string badObject = "Illegal syntax for object reference", badDirective =
        "Invalid syntax for # pre-processor directives", unknown = "Unknown pre-processor directive",
        badEquate = "Invalid syntax for EQUATE";
    auto neither = [](const char* name, int line, int count) {
        return "bprep2: Error Variable " + std::string(name) + " at line " + std::to_string(line) +
               " in file prog.b is neither a function nor a dimensioned array.\n    As it has " +
               std::to_string(count) + " expressions between (), it is not a variable with formatting.\n\n";
    };
    const Row rows[] = {
        {"vizla", "CRT 1\nX = OBJ->(A + 1\n", 2, 9, badObject},
        {"vizla", "X = OBJ->; Y = 1\n", 1, 9, badObject},
        {"vizla", "A = 1; (2)->B\n", 1, 12, badObject},
        {"vizla", "IF C THEN (B)->X = 1\n", 1, 15, badObject},
        {"vizla", "CRT 1->B\n", 1, 7, badObject},
        {"vizla", "CRT \"A\"->B\n", 1, 9, badObject},
        {"vizla", "X = NEW OBJECTS(1)\n", 1, 7, "Illegal syntax for NEW statement"},
        {"objects", "CATCH E\n", 1, 7, "END TRY seen with no corresponding TRY"},
        {nullptr, "X = . 5\n", 1, 4, "Unknown character . (46)"},
        {nullptr, "X = \xFD\n", 1, 4, "Unknown character \xFD (-3)"},
        {nullptr, std::string("X\t= \0\n", 6), 0, 0,
         "X = \\x00\n----^\nbprep2: Error Unknown character \\x00 (0): Line 1 in file prog.b\n"},
        {nullptr, "X = 1\n#if 1\n#endif\n", 2, 4, badDirective},
        {nullptr, "#\n", 1, 1, badDirective},
        {nullptr, "#ifdef\n", 1, 6, badDirective},
        {nullptr, "#ifdef   \n", 1, 9, badDirective},
        {nullptr, "#ifdefX Y\n", 1, 7, unknown},
        {nullptr, "#defin X\n", 1, 6, unknown},
        {nullptr, "#define.X 1\n", 1, 9, unknown},
        {nullptr, "#define\n", 1, 7, "Invalid syntax for #define"},
        {nullptr, "X = 1\nEQUATE A AS 1\n", 2, 11, badEquate},
        {nullptr, "EQU\n", 1, 3, badEquate},
        {nullptr, "EQU 1 TO 2\n", 1, 4, badEquate},
        {nullptr, "EQU A\n", 1, 5, badEquate},
        {nullptr, "EQU A TO 1, ;\n", 1, 12, badEquate},
        {nullptr, "INCLUDE\n", 0, 0, "bprep2: Error Unable to read INCLUDE file ''\n\n"},
        {nullptr, "#include BP NOPE\n", 0, 0, "bprep2: Error Unable to read item 'NOPE' from file 'BP'\n\n", 12},
        {nullptr, "$INCLUDE SELF\n", 0, 0,
         "$INCLUDE SELF\n--------^\nbprep2: Error INCLUDE level exceeds maximum of 100 levels\n"
         "      Possible recursive INCLUDEs: Line 1 in file SELF\n"},
        // Line ends swallowed by a brace join or a THEN join, and a member's
        // lines, still count for the line a message names.
        {nullptr, "IF C {\n A = 1\n}\n\nelseif D {\n A = 2\n}\nX = Q(1, 2)\n", 0, 0, neither("Q", 8, 2)},
        {nullptr, "IF A\nTHEN B = 1\nINCLUDE SUB\nX = 1\nY = Z(1, 2)\n", 0, 0, neither("Z", 5, 2)},
        {nullptr, "X = Y()\n", 0, 0, neither("Y", 1, 0)},
        {nullptr, "X = C(())\n", 0, 0, neither("C", 1, 0)},
        {nullptr, "X = B(1,)\n", 0, 0, neither("B", 1, 2)},
    };
    write("SUB", "A = 1\n");
    write("SELF", "$INCLUDE SELF\n");
    write("BP/OTHER", "X = 1\n");
    for (const Row& row : rows) {
        write("prog.b", row.source);
        Outcome r = run("bprep2 prog.b", row.options);
        std::string expected = row.message;
        if (row.line > 0) {
            std::istringstream lines(row.source);
            std::string echoed;
            for (int i = 0; i < row.line; ++i) std::getline(lines, echoed);
            for (char& c : echoed) c = c == '\t' ? ' ' : c;
            expected = echoed + "\n" + std::string(static_cast<size_t>(row.column), '-') + "^\nbprep2: Error " +
                       row.message + ": Line " + std::to_string(row.line) + " in file prog.b\n";
        }
        EXPECT_EQ(r.status, row.status) << row.source;
        EXPECT_FALSE(r.delivered) << row.source;
        EXPECT_EQ(r.err, expected) << row.source;
    }
}

}  // namespace
