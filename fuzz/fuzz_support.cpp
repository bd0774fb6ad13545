// The fuzz targets' fixture. Each run gets its items, files and option words
// anew and leaves nothing behind: items come from the run's own map (or from
// files the host stand-in reads), the working directory (private to the
// process) is emptied after every run, and standard output and error,
// captured in files, are checked and cleared. The checks hold for every input: a run ends with a status and a
// message, and hands over the whole text or nothing.
//
// libFuzzer gives a target no place to keep state, so the fixture is the one
// process-wide record here; the pre-processor itself keeps none.
#include "fuzz_support.h"

#include <dirent.h>
#include <fcntl.h>
#include <sanitizer/common_interface_defs.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "bprep2.h"
#include "scanner/host_interface.h"
#include "host/quolt_host.h"

namespace fuzzing {

namespace {

struct Fixture {
    std::string root;       // the scratch directory, removed at exit
    std::string work;       // the runs' working directory inside it
    int homeFd = -1;        // the working directory libFuzzer keeps between runs
    int reportFd = 2;       // the real standard error, for the fixture's own complaints
    int stdoutFd = -1;      // the files standard output and error go to during a run
    int stderrFd = -1;
    int outsideStderr = -1; // standard error between runs (libFuzzer may have muted it)
    const std::map<std::string, std::string>* items = nullptr;  // the running run's items
    uint64_t runs = 0;
    bool ready = false;
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

std::string capturedText(int fd) {
    std::string text;
    off_t size = lseek(fd, 0, SEEK_END);
    if (size <= 0) return text;
    text.resize(static_cast<size_t>(size));
    ssize_t got = pread(fd, text.data(), text.size(), 0);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

// Shows what the run wrote on standard error (the pre-processor's messages),
// then the rule it broke, and aborts, so libFuzzer keeps the input.
[[noreturn]] void fail(const char* rule) {
    Fixture& f = fixture();
    std::string message;
    if (f.stderrFd >= 0) message = "--- the run's standard error:\n" + capturedText(f.stderrFd).substr(0, 4000) + "\n";
    message += std::string("fuzz fixture: ") + rule + "\n";
    ssize_t ignored = write(f.reportFd, message.data(), message.size());
    (void)ignored;
    std::abort();
}

int handleToken;  // any non-null address serves as the runtime handle

void* fakeGetdp(int, int, int, int) { return &handleToken; }

// Serves the running run's items: 11 for a database file with no items,
// 12 for a missing item, as the host does.
int fakeOpenRead(void*, void** item, const char* file, const char* name, char** buffer, uint32_t* size) {
    *item = nullptr;
    const auto* items = fixture().items;
    if (!items) return 11;
    std::string prefix = std::string(file) + "/";
    auto found = items->find(prefix + name);
    if (found == items->end()) {
        auto near = items->lower_bound(prefix);
        return near != items->end() && near->first.compare(0, prefix.size(), prefix) == 0 ? 12 : 11;
    }
    const std::string& text = found->second;
    if (text.size() > *size) *buffer = static_cast<char*>(std::malloc(text.size()));
    if (!text.empty()) std::memcpy(*buffer, text.data(), text.size());
    *size = static_cast<uint32_t>(text.size());
    return 0;
}

int fakeClose(void*, void*, int) { return 0; }

void removeScratch() {
    Fixture& f = fixture();
    if (f.root.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(f.root, ignored);
}

int captureFile(const std::string& path) {
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_APPEND, 0600);
    if (fd < 0) fail("cannot make a capture file");
    return fd;
}

// A private working directory under TMPDIR, entered only while a run is
// going, so that libFuzzer's own relative paths keep their meaning; the
// capture files lie beside it, where a run cannot name them (paths with
// separators are kept from the command-line target). Sanitizer reports go
// to the real standard error even while a run's is captured.
void setUp() {
    Fixture& f = fixture();
    if (f.ready) return;
    f.ready = true;
    f.reportFd = dup(2);
    if (f.reportFd < 0) f.reportFd = 2;
    __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<intptr_t>(f.reportFd)));
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/bprep2-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) fail("cannot make the scratch directory");
    f.root = pattern;
    std::atexit(removeScratch);
    f.work = f.root + "/work";
    f.homeFd = open(".", O_RDONLY | O_DIRECTORY);
    if (f.homeFd < 0 || mkdir(f.work.c_str(), 0700) != 0) fail("cannot make the working directory");
    f.stdoutFd = captureFile(f.root + "/stdout");
    f.stderrFd = captureFile(f.root + "/stderr");
    if (dup2(f.stdoutFd, 1) < 0) fail("cannot capture standard output");
    for (const char* name : {"UVCASE", "BASCRELEASEDIR", "BASC_BPREP2"}) unsetenv(name);
}

void writeFiles(const std::map<std::string, std::string>& files) {
    for (const auto& [path, text] : files) {
        std::error_code ignored;
        std::filesystem::path parent = std::filesystem::path(path).parent_path();
        if (!parent.empty()) std::filesystem::create_directories(parent, ignored);
        FILE* file = std::fopen(path.c_str(), "wb");
        if (!file) fail("cannot write a member file");
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
}

// Removes everything from the working directory: members, trace files and
// whatever an equate export file was named.
void emptyWorkingDirectory() {
    DIR* dir = opendir(".");
    if (!dir) fail("cannot list the working directory");
    std::vector<std::string> names;
    while (dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    }
    closedir(dir);
    for (const std::string& name : names) {
        std::error_code ignored;
        std::filesystem::remove_all(name, ignored);
    }
}

constexpr uint32_t kUntouched = 0xDEADBEEF;

void checkDelivery(int result, const char* text, uint32_t length, uint32_t status) {
    if (result == 0) {
        if (!text) fail("a run that succeeded delivered no text");
        if (status != 0) fail("a run that succeeded left a non-zero status in its slot");
        if (length == kUntouched) fail("a run that succeeded left its length slot untouched");
        if (text[length] != '\0') fail("the delivered text is not NUL-terminated at its length");
    } else if (text || status != kUntouched || length != kUntouched) {
        fail("a run that failed delivered output");
    }
}

// The descriptor number an open gets now. A file a run leaves open takes
// the lowest free number, so it moves up (a FILE left open is also a leak
// that LeakSanitizer reports). Measured around each run, since the
// sanitizers' symbolizer may keep pipes open between runs.
int lowestFreeDescriptor() {
    int probe = open("/dev/null", O_RDONLY);
    if (probe < 0) fail("cannot open /dev/null");
    close(probe);
    return probe;
}

void checkFilesClosed(int lowestBefore) {
    if (lowestFreeDescriptor() == lowestBefore) return;
    char target[512] = {};
    std::string link = "/proc/self/fd/" + std::to_string(lowestBefore);
    ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
    std::string what = "a run left a file open: " + std::string(target, n > 0 ? static_cast<size_t>(n) : 0);
    fail(what.c_str());
}

// In-process runs write nothing on standard output but the help text,
// which ends the run with 2. True when the help text was written.
// An in-process run writes nothing there, its help included.
void checkStandardOutput() {
    std::fflush(stdout);
    off_t size = lseek(1, 0, SEEK_END);
    if (size <= 0) return;
    if (ftruncate(1, 0) != 0) fail("cannot clear the captured standard output");
    fail("an in-process run wrote to standard output");
}

// Standard error goes to its capture file for the length of a run.
void captureStandardError() {
    Fixture& f = fixture();
    std::fflush(stderr);
    if (f.outsideStderr < 0) f.outsideStderr = dup(2);  // after libFuzzer has set it up
    if (f.outsideStderr < 0 || ftruncate(f.stderrFd, 0) != 0 || dup2(f.stderrFd, 2) < 0)
        fail("cannot capture standard error");
}

void releaseStandardError() {
    std::fflush(stderr);
    if (dup2(fixture().outsideStderr, 2) < 0) fail("cannot give standard error back");
}

bool isCaretLine(std::string_view line) {
    return !line.empty() && line.back() == '^' && line.find_first_not_of('-') == line.size() - 1;
}

bool startsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// A message line of the GNU form: "<file>:<line>:<column>: error: ". The
// source lines it echoes start with a blank margin and the token dump's
// rows with their number and a blank, so neither reads so.
bool isPlacedErrorLine(std::string_view line) {
    if (line.empty() || line.front() == ' ') return false;
    size_t firstBlank = line.find(' ');
    if (firstBlank != std::string_view::npos && line.find_first_not_of("0123456789") == firstBlank) return false;
    size_t mark = line.find(": error: ");
    if (mark == std::string_view::npos) return false;
    std::string_view place = line.substr(0, mark);
    for (int number = 0; number < 2; ++number) {
        size_t colon = place.rfind(':');
        if (colon == std::string_view::npos || colon + 1 == place.size()) return false;
        if (place.find_first_not_of("0123456789", colon + 1) != std::string_view::npos) return false;
        place = place.substr(0, colon);
    }
    return true;
}

// A SARIF log is written as one line holding one object; a result of level
// error in it is an error reported.
bool isSarifLogWithError(std::string_view line) {
    return startsWith(line, "{\"$schema\":") && !line.empty() && line.back() == '}' &&
           line.find("\"level\":\"error\"") != std::string_view::npos;
}

// Whether an error was reported, in whichever message format the run chose:
// a line of its own that begins "bprep2: Error " or "bprep2: error: ", or
// names a place and then "error: ", or is a SARIF log with an error in it;
// told apart from a source line echoed above a caret, which may read the
// same.
bool errorReported(std::string_view err) {
    while (!err.empty()) {
        size_t end = err.find('\n');
        std::string_view line = err.substr(0, end);
        err.remove_prefix(end == std::string_view::npos ? err.size() : end + 1);
        bool message = startsWith(line, "bprep2: Error ") || startsWith(line, "bprep2: error: ") ||
                       isPlacedErrorLine(line) || isSarifLogWithError(line);
        if (message && !isCaretLine(err.substr(0, err.find('\n')))) return true;
    }
    return false;
}

// Every failure but the help text is reported as an error, and a run that
// reported an error did not succeed.
// The help (status 2) is written on standard error in place of an error.
void checkMessages(int result) {
    std::string err = capturedText(fixture().stderrFd);
    bool reported = errorReported(err);
    bool helpShown = result == 2 && err.find("Called as\n") != std::string::npos;
    if (result == 0 && reported) fail("a run reported an error and still succeeded");
    if (result != 0 && !helpShown && !reported) fail("a run failed without an error message");
}

}  // namespace

std::string optionWords(uint16_t selector) {
    // The modes every run chooses between, then reports that are off unless chosen.
    static const char* modes[] = {"case", "objects", "dot", "arrow", "restart",
                                  "self", "stop",    "uvcase", "warnings"};
    static const char* reports[] = {"stats", "tokens", "trace", "echo", "keywords"};
    std::string out;
    size_t bit = 0;
    for (const char* word : modes) {
        out += (selector & (1u << bit++)) ? "" : "no";
        out += word;
        out += ',';
    }
    for (const char* word : reports) {
        if (selector & (1u << bit++)) out += std::string(word) + ",";
    }
    return out;
}

std::vector<std::string> splitInput(std::string_view data, char separator, size_t limit) {
    std::vector<std::string> parts;
    while (parts.size() + 1 < limit) {
        size_t cut = data.find(separator);
        if (cut == std::string_view::npos) break;
        parts.emplace_back(data.substr(0, cut));
        data.remove_prefix(cut + 1);
    }
    parts.emplace_back(data);
    return parts;
}

namespace {

// Each in-process call names its trace file with a number of its own
// (bprep2_trace_<pid>_<n>.txt); the messages naming it are compared
// without the number.
std::string withoutCallNumbers(std::string err) {
    const std::string prefix = "bprep2_trace_";
    for (size_t at = err.find(prefix); at != std::string::npos; at = err.find(prefix, at + prefix.size())) {
        size_t numberStart = err.find('_', at + prefix.size());
        size_t end = err.find(".txt", at);
        if (numberStart < end && end != std::string::npos) err.erase(numberStart, end - numberStart);
    }
    return err;
}

struct Outcome {
    int result = 0;
    std::string text, err;
    bool operator==(const Outcome&) const = default;
};

// One checked run in the working directory; the directory is emptied after it.
Outcome runOnce(const RunInput& input, const std::string& commandLine, const std::vector<std::string>& leading,
                const std::vector<std::string>& trailing) {
    writeFiles(input.files);
    if (input.hostItems) {
        writeFiles(input.items);
        bprep2::itemReadCalls = {quolt_getdpEX, DbioQuickOpenRead, DbioClose};
    } else {
        bprep2::itemReadCalls = {fakeGetdp, fakeOpenRead, fakeClose};
    }
    char* text = nullptr;
    uint32_t length = kUntouched;
    uint32_t status = kUntouched;
    std::vector<std::string> words = {"bprep2"};
    words.insert(words.end(), leading.begin(), leading.end());
    words.push_back("-m");
    std::string line = commandLine;
    std::vector<std::string> after = trailing;
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(reinterpret_cast<char*>(&text));
    argv.push_back(reinterpret_cast<char*>(&length));
    argv.push_back(reinterpret_cast<char*>(&status));
    argv.push_back(line.data());
    for (std::string& w : after) argv.push_back(w.data());
    argv.push_back(nullptr);
    captureStandardError();
    int lowestBefore = lowestFreeDescriptor();
    int result = bprep2_run(static_cast<int>(argv.size() - 1), argv.data());
    releaseStandardError();

    checkDelivery(result, text, length, status);
    checkStandardOutput();
    checkMessages(result);
    checkFilesClosed(lowestBefore);
    Outcome outcome{result, text ? std::string(text, length) : std::string(),
                    withoutCallNumbers(capturedText(fixture().stderrFd))};
    std::free(text);
    emptyWorkingDirectory();
    return outcome;
}

}  // namespace

int runInProcess(const RunInput& input, const std::string& commandLine,
                 const std::vector<std::string>& leading, const std::vector<std::string>& trailing) {
    setUp();
    Fixture& f = fixture();
    if (chdir(f.work.c_str()) != 0) fail("cannot enter the working directory");
    if (input.optionWords.empty()) unsetenv("BASC_BPREP2");
    else setenv("BASC_BPREP2", input.optionWords.c_str(), 1);
    f.items = &input.items;
    Outcome first = runOnce(input, commandLine, leading, trailing);
    // Every eighth input runs twice: a run that left state behind for the
    // next would change the second outcome.
    if (++f.runs % 8 == 0 && runOnce(input, commandLine, leading, trailing) != first)
        fail("the same input run twice gave different results");
    f.items = nullptr;
    if (fchdir(f.homeFd) != 0) fail("cannot return from the working directory");
    return first.result;
}

}  // namespace fuzzing

// libFuzzer calls this before it takes over standard error (-close_fd_mask),
// so the fixture's complaints and the sanitizers' reports reach the log.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::setUp();
    return 0;
}
