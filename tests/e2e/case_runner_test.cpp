// Runs every tests/cases/*.case file against the built executable.
//
// Each case gets a fresh temporary directory as the child's working
// directory, an environment of PATH plus the case's own env lines, stdin
// from /dev/null, and its stdout/stderr captured to files outside that
// directory. Output, status and the files the run leaves behind are compared
// byte for byte; a mismatch prints both sides with control bytes escaped.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <regex>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bprep2.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr auto kRunTimeout = std::chrono::seconds(30);

// The executable under test, and how to start it: BPREP2_TEST_EXE names
// another build (bprep2.exe), BPREP2_TEST_WRAPPER a program that runs it
// (wine), and BPREP2_TEST_PLATFORM=windows selects the sections a case marks
// "windows" over its plain ones (and drops those marked "linux").
struct Target {
    std::string exe = getenv("BPREP2_TEST_EXE") ? getenv("BPREP2_TEST_EXE") : BPREP2_EXE;
    std::string wrapper = getenv("BPREP2_TEST_WRAPPER") ? getenv("BPREP2_TEST_WRAPPER") : "";
    std::string platform = getenv("BPREP2_TEST_PLATFORM") ? getenv("BPREP2_TEST_PLATFORM") : "linux";
};

const Target& target() {
    static const Target t;
    return t;
}

struct NamedContent {
    std::string name, content;
};

struct CaseFile {
    std::vector<std::string> args, env, dirs;
    std::vector<NamedContent> inputFiles, expectedFiles;
    std::string expectedStdout, expectedStderr;
    int expectedStatus = 0;
    bool hasStdin = false;
    std::string stdinText;  // standard input of the run; /dev/null without a stdin section
};

// ---- reading the case file -------------------------------------------------

std::string readWholeFile(const fs::path& path, bool* ok = nullptr) {
    std::ifstream in(path, std::ios::binary);
    if (ok) *ok = static_cast<bool>(in);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

// Splits at blanks; double quotes group blanks into a word and are dropped,
// so "" is an empty word.
std::vector<std::string> splitWords(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

bool unescape(const std::string& in, std::string& out, std::string& error) {
    out.clear();
    for (size_t i = 0; i < in.size(); ++i) {
        if (in[i] != '\\') {
            out += in[i];
            continue;
        }
        char e = i + 1 < in.size() ? in[++i] : '\0';
        if (e == 'n') out += '\n';
        else if (e == 'r') out += '\r';
        else if (e == 't') out += '\t';
        else if (e == '\\') out += '\\';
        else if (e == 'x' && i + 2 < in.size() && isxdigit(static_cast<unsigned char>(in[i + 1])) &&
                 isxdigit(static_cast<unsigned char>(in[i + 2]))) {
            out += static_cast<char>(std::stoi(in.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            error = e == '\0'  ? "lone backslash at the end of an escaped section"
                    : e == 'x' ? "\\x needs two hex digits"
                               : std::string("unknown escape \\") + e;
            return false;
        }
    }
    return true;
}

bool isSafeRelativeName(const std::string& name) {
    fs::path p(name);
    return !name.empty() && !p.is_absolute() && std::find(p.begin(), p.end(), "..") == p.end();
}

struct Section {
    std::vector<std::string> header;  // words after "--- "
    std::string body;                 // every line, each with its newline
};

// A second section for the same file, one marked for this platform,
// replaces the first.
void expectFile(CaseFile& c, const std::string& name, const std::string& content) {
    for (auto& f : c.expectedFiles)
        if (f.name == name) {
            f.content = content;
            return;
        }
    c.expectedFiles.push_back({name, content});
}

bool applySection(const Section& s, CaseFile& c, std::string& error) {
    const std::string kind = s.header.empty() ? std::string() : s.header[0];
    bool named = kind == "file" || kind == "dir" || kind == "output";
    size_t firstModifier = named || kind == "status" ? 2 : 1;
    if (s.header.size() < firstModifier) {
        error = "section header needs " + std::string(named ? "a name" : "a value") + ": --- " + kind;
        return false;
    }
    bool noeol = false, escaped = false;
    for (size_t i = firstModifier; i < s.header.size(); ++i) {
        const std::string& word = s.header[i];
        if (word == "windows" || word == "linux") {
            if (word != target().platform) return true;  // for the other platform
            continue;
        }
        bool& flag = word == "noeol" ? noeol : escaped;
        if (word != "noeol" && word != "escaped") {
            error = "unknown section word '" + word + "' in --- " + kind;
            return false;
        }
        flag = true;
    }
    std::string body = s.body;
    if (noeol && !body.empty() && body.back() == '\n') body.pop_back();
    if (escaped) {
        std::string raw;
        if (!unescape(body, raw, error)) return false;
        body = raw;
    }
    if (named && !isSafeRelativeName(s.header[1])) {
        error = "unsafe name '" + s.header[1] + "' in --- " + kind;
        return false;
    }
    if (kind == "file") c.inputFiles.push_back({s.header[1], body});
    else if (kind == "dir") c.dirs.push_back(s.header[1]);
    else if (kind == "output") expectFile(c, s.header[1], body);
    else if (kind == "stdout") c.expectedStdout = body;
    else if (kind == "stderr") c.expectedStderr = body;
    else if (kind == "stdin") {
        c.hasStdin = true;
        c.stdinText = body;
    } else if (kind == "status") {
        char* end = nullptr;
        c.expectedStatus = static_cast<int>(strtol(s.header[1].c_str(), &end, 10));
        if (*end != '\0' || s.header[1].empty()) error = "bad status '" + s.header[1] + "'";
        else if (s.body.find_first_not_of(" \t\r\n") != std::string::npos) error = "text after --- status";
        return error.empty();
    } else {
        error = "unknown section '--- " + kind + "'";
        return false;
    }
    return true;
}

bool parseCase(const std::string& text, CaseFile& c, std::string& error) {
    std::vector<Section> sections;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("--- ", 0) == 0) {
            sections.push_back({splitWords(line.substr(4)), {}});
        } else if (!sections.empty()) {
            sections.back().body += line + '\n';
        } else if (line.rfind("args:", 0) == 0) {
            auto words = splitWords(line.substr(5));
            c.args.insert(c.args.end(), words.begin(), words.end());
        } else if (line.rfind("env:", 0) == 0) {
            std::string assignment = line.substr(4);
            assignment.erase(0, assignment.find_first_not_of(" \t"));
            if (assignment.find('=') == std::string::npos || assignment[0] == '=') {
                error = "env line needs NAME=VALUE: " + line;
                return false;
            }
            c.env.push_back(assignment);
        }
        // any other line before the first section is a comment
    }
    // Sections marked for a platform come last, so they replace plain ones.
    auto marked = [](const Section& s) {
        return std::find_if(s.header.begin(), s.header.end(), [](const std::string& w) {
                   return w == "windows" || w == "linux";
               }) != s.header.end();
    };
    std::stable_partition(sections.begin(), sections.end(), [&](const Section& s) { return !marked(s); });
    for (const Section& s : sections)
        if (!applySection(s, c, error)) return false;
    return true;
}

// ---- running the executable ------------------------------------------------

struct RunResult {
    bool started = false, timedOut = false;
    pid_t pid = 0;
    int status = -1, signal = 0;
    std::string error;
};

RunResult runExecutable(const CaseFile& c, const fs::path& workDir, const fs::path& outPath,
                        const fs::path& errPath, const fs::path& inPath) {
    RunResult r;
    // A fixed program name, so echoed command lines do not name the build
    // dir; under a wrapper the program is copied in as bprep2.exe.
    std::vector<std::string> argStore{"bprep2"}, envStore;
    std::string program = target().exe;
    if (!target().wrapper.empty()) {
        std::error_code ec;
        fs::copy_file(target().exe, workDir / "bprep2.exe", ec);
        argStore = {target().wrapper, "bprep2.exe"};
        program = target().wrapper;
    }
    argStore.insert(argStore.end(), c.args.begin(), c.args.end());
    // Sanitizer settings do not change the program's behaviour; pass them on
    // so a sanitizer build can be tuned from outside. A wrapper needs its own.
    for (const char* name : {"PATH", "ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS", "HOME", "WINEPREFIX",
                             "WINEDEBUG"})
        if (const char* v = getenv(name)) envStore.push_back(std::string(name) + "=" + v);
    envStore.insert(envStore.end(), c.env.begin(), c.env.end());
    std::vector<char*> argv, envp;
    for (auto& a : argStore) argv.push_back(a.data());
    for (auto& e : envStore) envp.push_back(e.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, c.hasStdin ? inPath.c_str() : "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
    // Its own process group, so a timeout can stop anything it started too.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attr, 0);
    int rc = posix_spawnp(&r.pid, program.c_str(), &actions, &attr, argv.data(), envp.data());
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        r.error = std::string("posix_spawn failed: ") + strerror(rc);
        return r;
    }
    r.started = true;

    auto deadline = std::chrono::steady_clock::now() + kRunTimeout;
    int wstatus = 0;
    for (pid_t w; (w = waitpid(r.pid, &wstatus, WNOHANG)) != r.pid;) {
        if (w < 0 && errno != EINTR) {
            r.error = std::string("waitpid failed: ") + strerror(errno);
            return r;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            kill(-r.pid, SIGKILL);
            waitpid(r.pid, &wstatus, 0);
            r.timedOut = true;
            return r;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (WIFEXITED(wstatus)) r.status = WEXITSTATUS(wstatus);
    else if (WIFSIGNALED(wstatus)) r.signal = WTERMSIG(wstatus);
    return r;
}

// ---- comparing -------------------------------------------------------------

std::string replaceAll(std::string s, const std::string& from, const std::string& to) {
    for (size_t p = s.find(from); p != std::string::npos; p = s.find(from, p + to.size()))
        s.replace(p, from.size(), to);
    return s;
}

// One line per source line; control and high bytes shown as escapes, the
// line end as "\n" so that missing or extra newlines are visible.
std::vector<std::string> escapedLines(const std::string& s) {
    std::vector<std::string> lines(1);
    for (unsigned char ch : s) {
        std::string& cur = lines.back();
        char buf[8];
        if (ch == '\n') cur += "\\n";
        else if (ch == '\\') cur += "\\\\";
        else if (ch == '\t') cur += "\\t";
        else if (ch == '\r') cur += "\\r";
        else if (ch < 0x20 || ch >= 0x7F) cur += (snprintf(buf, sizeof buf, "\\x%02X", ch), buf);
        else cur += static_cast<char>(ch);
        if (ch == '\n') lines.emplace_back();
    }
    if (lines.back().empty()) lines.pop_back();
    return lines;
}

std::string describeDifference(const std::string& what, const std::string& expected,
                               const std::string& actual) {
    auto e = escapedLines(expected), a = escapedLines(actual);
    size_t first = 0;
    while (first < e.size() && first < a.size() && e[first] == a[first]) ++first;
    const size_t context = 3, shown = 40;
    size_t from = first > context ? first - context : 0;
    std::ostringstream out;
    out << what << " differs from line " << first + 1 << " on (expected " << expected.size()
        << " bytes, got " << actual.size() << ")\n";
    for (const auto& [title, lines] : {std::pair{"expected", e}, std::pair{"actual", a}}) {
        out << "  " << title << ":\n";
        if (from > 0) out << "    ...\n";
        for (size_t i = from; i < lines.size() && i < first + shown; ++i)
            out << (i == first ? "  > " : "    ") << lines[i] << "\n";
        if (lines.size() > first + shown) out << "    ... (" << lines.size() - first - shown << " more lines)\n";
        if (from >= lines.size()) out << "    (ends before this point)\n";
    }
    return out.str();
}

void expectSame(const std::string& what, const std::string& expected, const std::string& actual) {
    if (expected != actual) ADD_FAILURE() << describeDifference(what, expected, actual);
}

// ---- the parameterised test ------------------------------------------------

struct TempDir {
    fs::path path;
    TempDir() {
        std::string pattern = (fs::path(getenv("TMPDIR") ? getenv("TMPDIR") : "/tmp") / "bprep2-case-XXXXXX").string();
        if (mkdtemp(pattern.data())) path = pattern;
    }
    ~TempDir() {
        if (path.empty()) return;
        std::error_code ec;
        // A case may leave read-only directories behind; make them removable.
        for (auto it = fs::recursive_directory_iterator(path, ec); !ec && it != fs::end(it); it.increment(ec))
            if (it->is_directory(ec)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path, ec);
    }
};

bool writeFile(const fs::path& path, const std::string& content) {
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    return static_cast<bool>(out);
}

// The case's working directory `dir`/work with its files and directories,
// and its standard input as `dir`/stdin.
bool prepareInputs(const CaseFile& c, const fs::path& dir, std::string& error) {
    const fs::path work = dir / "work";
    std::error_code ec;
    fs::create_directory(work, ec);
    for (const auto& d : c.dirs) {
        fs::create_directories(work / d, ec);
        if (ec) error = "cannot make directory " + d;
    }
    for (const auto& f : c.inputFiles)
        if (!writeFile(work / f.name, f.content)) error = "cannot write " + f.name;
    if (c.hasStdin && !writeFile(dir / "stdin", c.stdinText)) error = "cannot write the standard input";
    return error.empty();
}

std::vector<fs::path> findCases() {
    std::vector<fs::path> cases;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(BPREP2_CASES_DIR, ec))
        if (entry.path().extension() == ".case") cases.push_back(entry.path());
    std::sort(cases.begin(), cases.end());
    return cases;
}

std::string testNameFor(const fs::path& path) {
    std::string name = path.stem().string();
    for (char& ch : name)
        if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return name.empty() ? std::string("unnamed") : name;
}

class CaseFileTest : public ::testing::TestWithParam<fs::path> {};

TEST_P(CaseFileTest, Runs) {
    const fs::path casePath = GetParam();
    bool ok = false;
    std::string text = readWholeFile(casePath, &ok), error;
    ASSERT_TRUE(ok) << "cannot read " << casePath;
    CaseFile c;
    ASSERT_TRUE(parseCase(text, c, error)) << casePath << ": " << error;

    TempDir tmp;
    ASSERT_FALSE(tmp.path.empty()) << "mkdtemp failed";
    const fs::path work = tmp.path / "work";
    ASSERT_TRUE(prepareInputs(c, tmp.path, error)) << error;

    const fs::path outPath = tmp.path / "stdout", errPath = tmp.path / "stderr", inPath = tmp.path / "stdin";
    RunResult r = runExecutable(c, work, outPath, errPath, inPath);
    // Wine now and then fails to start a program at all: status 1, nothing
    // written. bprep2 itself never fails without a message, so such a run
    // under a wrapper is tried once more; a fault of the program repeats.
    if (!target().wrapper.empty() && r.started && r.status == 1 && readWholeFile(outPath).empty() &&
        readWholeFile(errPath).empty())
        r = runExecutable(c, work, outPath, errPath, inPath);
    ASSERT_TRUE(r.started) << r.error;
    ASSERT_FALSE(r.timedOut) << "bprep2 did not finish within " << kRunTimeout.count() << " s";
    ASSERT_TRUE(r.error.empty()) << r.error;

    // The trace file's name carries the program's own process id, which
    // differs from the spawned one under a wrapper.
    std::string pid = std::to_string(r.pid);
    for (const auto& entry : fs::directory_iterator(work)) {
        std::string name = entry.path().filename().string();
        if (name.rfind("bprep2_trace_", 0) == 0 && name.size() > 17) pid = name.substr(13, name.size() - 17);
    }
    // The program name the run sees: under Wine, the Windows path of the copy.
    std::string argv0 = "bprep2";
    if (!target().wrapper.empty()) argv0 = replaceAll("Z:" + (work / "bprep2.exe").string(), "/", "\\");
    auto expand = [&](const std::string& s) {
        std::string named = replaceAll(replaceAll(s, "{PID}", pid), "{ARGV0}", argv0);
        return replaceAll(named, "{VERSION}", BPREP2_VERSION_STRING);
    };
    std::string out = readWholeFile(outPath), err = readWholeFile(errPath);
    EXPECT_EQ(r.signal, 0) << "bprep2 was killed by signal " << r.signal << "\nstderr:\n" << err;
    EXPECT_EQ(r.status, c.expectedStatus) << "exit status";
    expectSame("stdout", expand(c.expectedStdout), out);
    expectSame("stderr", expand(c.expectedStderr), err);
    std::set<fs::path> named = {"bprep2.exe"};
    for (const auto& f : c.inputFiles) named.insert(fs::path(f.name).lexically_normal());
    for (const auto& f : c.expectedFiles) {
        std::string name = f.name == "TRACE" ? "bprep2_trace_" + pid + ".txt" : f.name;
        named.insert(fs::path(name).lexically_normal());
        bool exists = false;
        std::string actual = readWholeFile(work / name, &exists);
        if (exists) expectSame("file " + name, expand(f.content), actual);
        else ADD_FAILURE() << "output file " << name << " was not written";
    }
    // Nor may a run leave a file the case does not name: a temporary file
    // left over, or an output a failed run should not have written.
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(work, ec); !ec && it != fs::end(it); it.increment(ec))
        if (it->is_regular_file(ec) && !named.count(it->path().lexically_relative(work)))
            ADD_FAILURE() << "the run left a file the case does not name: " << it->path().lexically_relative(work);
}

INSTANTIATE_TEST_SUITE_P(Cases, CaseFileTest, ::testing::ValuesIn(findCases()),
                         [](const ::testing::TestParamInfo<fs::path>& info) {
                             // An index suffix only when two file names sanitize alike.
                             std::string name = testNameFor(info.param);
                             int same = 0;
                             for (const auto& other : findCases()) same += testNameFor(other) == name;
                             return same > 1 ? name + "_" + std::to_string(info.index) : name;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(CaseFileTest);

// ---- the gnu form against the legacy one ------------------------------------

// The pattern of the $gcc problem matcher editors apply to each line.
const std::regex kGccProblemMatcher(R"(^(.*):(\d+):(\d+):\s+(?:fatal\s+)?(warning|error):\s+(.*)$)");
const std::regex kLegacyCaret(R"(^(-*)\^$)");
const std::regex kLegacyLocation(R"(: Line (\d+) in file (.*)$)");

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Where the first error of a legacy run points: the file as named, the line
// and the column under the caret; not located when it names no line.
struct MessagePlace {
    bool located = false;
    std::string file;
    int line = 0;
    int column = 0;  // 0: the message shows no caret
};

MessagePlace firstLegacyError(const std::string& stderrText) {
    std::vector<std::string> lines = linesOf(stderrText);
    MessagePlace place;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind("bprep2: Error ", 0) != 0) continue;
        std::smatch caret, location;
        if (i > 0 && std::regex_match(lines[i - 1], caret, kLegacyCaret))
            place.column = static_cast<int>(caret[1].length()) + 1;
        // A message of two lines names the line at the end of its second.
        for (size_t j = i; j < lines.size() && j <= i + 1 && !place.located; ++j) {
            if (j > i && lines[j].rfind("bprep2: ", 0) == 0) break;
            if (!std::regex_search(lines[j], location, kLegacyLocation)) continue;
            place = {true, location[2], std::stoi(location[1]), place.column};
        }
        return place;
    }
    return place;
}

bool namesTheSameFile(const std::string& opened, const std::string& named) {
    return opened == named || (opened.size() > named.size() && opened.ends_with("/" + named));
}

// Every error case run again in the gnu form: the matcher must find the
// file (the path it was opened by), line and column of the legacy message,
// and a message the legacy form names no line for must not match at all.
TEST(GnuDiagnostics, ProblemMatcherFindsTheLegacyPlaceOfEveryErrorCase) {
    int compared = 0;
    for (const fs::path& casePath : findCases()) {
        CaseFile c;
        std::string error;
        ASSERT_TRUE(parseCase(readWholeFile(casePath), c, error)) << casePath << ": " << error;
        bool chosenForm = std::any_of(c.args.begin(), c.args.end(),
                                      [](const std::string& a) { return a.rfind("-fdiagnostics-format=", 0) == 0; });
        if (c.expectedStatus == 0 || chosenForm || c.expectedStderr.find("bprep2: Error ") == std::string::npos)
            continue;
        SCOPED_TRACE(casePath.filename().string());
        MessagePlace legacy = firstLegacyError(c.expectedStderr);
        c.args.insert(c.args.begin(), "-fdiagnostics-format=gnu");

        TempDir tmp;
        ASSERT_FALSE(tmp.path.empty()) << "mkdtemp failed";
        ASSERT_TRUE(prepareInputs(c, tmp.path, error)) << error;
        RunResult r = runExecutable(c, tmp.path / "work", tmp.path / "stdout", tmp.path / "stderr", tmp.path / "stdin");
        ASSERT_TRUE(r.started && !r.timedOut) << r.error;
        EXPECT_EQ(r.status, c.expectedStatus);
        std::vector<std::string> lines = linesOf(readWholeFile(tmp.path / "stderr"));
        std::smatch match;
        auto matched = std::find_if(lines.begin(), lines.end(), [&](const std::string& line) {
            return std::regex_match(line, match, kGccProblemMatcher);
        });
        ++compared;
        if (!legacy.located) {
            // A member that cannot be found is placed at its INCLUDE in the
            // gnu form, in one of the case's own files; nothing else is.
            if (matched == lines.end()) {
                EXPECT_TRUE(std::any_of(lines.begin(), lines.end(),
                                        [](const std::string& l) { return l.rfind("bprep2: error: ", 0) == 0; }));
            } else {
                EXPECT_EQ(std::string(match[5]).rfind("Unable to read ", 0), 0u) << *matched;
                EXPECT_TRUE(std::any_of(c.inputFiles.begin(), c.inputFiles.end(),
                                        [&](const NamedContent& f) { return f.name == match[1]; }))
                    << *matched;
            }
            continue;
        }
        ASSERT_NE(matched, lines.end()) << "no line the matcher reads";
        EXPECT_TRUE(namesTheSameFile(match[1], legacy.file)) << match[1] << " for " << legacy.file;
        EXPECT_EQ(std::stoi(match[2]), legacy.line);
        if (legacy.column > 0) {
            EXPECT_EQ(std::stoi(match[3]), legacy.column);
        }
        EXPECT_EQ(match[4], "error");
    }
    EXPECT_GT(compared, 0);
}

// The runner's own parsing: a mistake here would silently weaken every case.
TEST(CaseFileFormat, SectionsModifiersAndHeaders) {
    CaseFile c;
    std::string error;
    ASSERT_TRUE(parseCase("free text\nargs: -DX \"a b\" \"\" prog.b\nenv: UVCASE=\nenv: A=1\n"
                          "--- file BP/X noeol\nline1\nline2\n"
                          "--- dir EMPTY\n"
                          "--- stdout escaped\n\\xFE\\t\\\\x\n"
                          "--- status 11\n\n"
                          "--- stdin noeol\nPRINT 1\n"
                          "--- output TRACE\nT\n",
                          c, error))
        << error;
    EXPECT_EQ(c.args, (std::vector<std::string>{"-DX", "a b", "", "prog.b"}));
    EXPECT_EQ(c.env, (std::vector<std::string>{"UVCASE=", "A=1"}));
    ASSERT_EQ(c.inputFiles.size(), 1u);
    EXPECT_EQ(c.inputFiles[0].name, "BP/X");
    EXPECT_EQ(c.inputFiles[0].content, "line1\nline2");
    EXPECT_EQ(c.dirs, std::vector<std::string>{"EMPTY"});
    EXPECT_EQ(c.expectedStdout, "\xFE\t\\x\n");
    EXPECT_EQ(c.expectedStderr, "");
    EXPECT_EQ(c.expectedStatus, 11);
    EXPECT_TRUE(c.hasStdin);
    EXPECT_EQ(c.stdinText, "PRINT 1");
    ASSERT_EQ(c.expectedFiles.size(), 1u);
    EXPECT_EQ(c.expectedFiles[0].content, "T\n");
}

// Whatever the order in the file, the section marked for this platform
// counts, and one for the other platform is left out.
TEST(CaseFileFormat, APlatformsOutputSectionReplacesThePlainOne) {
    const std::string mine = target().platform, other = mine == "linux" ? "windows" : "linux";
    CaseFile c;
    std::string error;
    ASSERT_TRUE(parseCase("--- output a.d " + mine + "\nmine\n--- output a.d\nplain\n--- output a.d " + other +
                              "\nnot mine\n",
                          c, error))
        << error;
    ASSERT_EQ(c.expectedFiles.size(), 1u);
    EXPECT_EQ(c.expectedFiles[0].content, "mine\n");
}

TEST(CaseFileFormat, RejectsMistakes) {
    for (const char* bad : {"--- stdot\n", "--- stdout noel\n", "--- file ../x\n", "--- file /etc/x\n",
                            "--- status x\n", "--- status 1\nextra\n", "--- stdout escaped\n\\q\n",
                            "--- stdout escaped\n\\x4\n", "--- stdout escaped\nx\\\n", "env: NOVALUE\n",
                            "--- stdin x\n"}) {
        CaseFile c;
        std::string error;
        EXPECT_FALSE(parseCase(bad, c, error)) << bad;
    }
}

TEST(CaseFileFormat, DifferenceShowsEscapedBytes) {
    std::string d = describeDifference("stdout", "a\nb\xFE\n", "a\nb\r\n");
    EXPECT_NE(d.find("line 2"), std::string::npos) << d;
    EXPECT_NE(d.find("b\\xFE\\n"), std::string::npos) << d;
    EXPECT_NE(d.find("b\\r\\n"), std::string::npos) << d;
}

}  // namespace
