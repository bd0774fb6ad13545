// Finding a source and reading it line by line.
//
// The main program or an included member is found (a database item through
// the host library, or an operating-system file, each also under the
// include directories) and the line loop runs over it. An item is
// read whole, a file a block at a time as its lines are asked for; a file
// that fails to read part way, or ends before the size it had when it was
// opened, ends the run with a message, so a partly read program never
// passes for the whole. Lines are cut from the text in
// place: each LF, CR LF pair and lone CR of a file ends one line (a line
// may be of any length); an item line ends at the attribute mark 0xFE, LF
// or CR. A member found once is taken from the run's memory of the
// members it has read when it is named again (member_memory.h): an
// INCLUDE repeated a thousand times costs no system call after the first.
// Guarantees: the source's reader is the current reader, and the line
// messages point at, exactly while the source is scanned, and on every
// way out (failures and the restart included) the reader that was current
// before is put back. A source that cannot be found ends the run with status
// 1, or with the host's item-read code for an item of a database file named;
// so does a name a line marker cannot hold (a quote or a control character).
#include "scanner/source.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>

#include "scanner/host_interface.h"
#include "scanner/line_loop.h"
#include "tokens/characters.h"
#include "tokens/limits.h"

namespace bprep2 {

namespace {

constexpr unsigned char attributeMark = 0xFE;

// Makes a reader the current one, and the line messages point at, while
// its source is scanned.
class CurrentReader {
   public:
    CurrentReader(Scan& scan, SourceReader& reader)
        : scan_(scan), previous_(scan.state.reader), previousLine_(scan.diagnostics.pointAt(&reader)) {
        scan.state.reader = &reader;
        reader.includedFrom = previousLine_;
    }
    ~CurrentReader() {
        scan_.state.reader = previous_;
        scan_.diagnostics.pointAt(previousLine_);
    }
    CurrentReader(const CurrentReader&) = delete;
    CurrentReader& operator=(const CurrentReader&) = delete;

   private:
    Scan& scan_;
    SourceReader* previous_;
    const ScannedLine* previousLine_;
};

// One member deeper while a member is scanned.
class MemberLevel {
   public:
    explicit MemberLevel(ScanState& state) : state_(state) { ++state.includeLevel; }
    ~MemberLevel() { --state_.includeLevel; }
    MemberLevel(const MemberLevel&) = delete;
    MemberLevel& operator=(const MemberLevel&) = delete;

   private:
    ScanState& state_;
};

// A file is read a block at a time: a large program is never held whole.
constexpr size_t fileBlock = size_t{1} << 18;

// A line's bytes are counted in columns of 32 bits; a line longer than that
// (a file of no line ends, such as a device that never ends) ends the run
// as soon as it is known, before more of it is held.
void checkLineLength(size_t bytes) {
    if (bytes > maxLineBytes) exceedLimit("Line length", maxLineBytes, "bytes");
}

// Reads the next block of the reader's file after the text not yet cut;
// false on a read error, or at an end that comes before the file's size
// when it was opened. At the file's end the file is let go. A file
// smaller than a block (most included members) is read in one block of its
// own size and a byte, which also finds its end; one of no size known (a
// pipe, or a file the size of which could not be had) in full blocks.
bool readFileBlock(SourceReader& reader) {
    SourceText& text = reader.sourceText;
    text.dropFront(reader.textCursor);
    for (size_t* known : {&reader.nextLineFeed, &reader.nextCarriageReturn})
        *known = *known > reader.textCursor ? *known - reader.textCursor : 0;
    reader.textCursor = 0;
    size_t size = reader.sourceSize;
    size_t block = size > 0 && size < fileBlock ? size + 1 : fileBlock;
    size_t got = std::fread(text.roomFor(block), 1, block, reader.file.get());
    text.added(got);
    reader.bytesRead += got;
    if (std::ferror(reader.file.get())) return false;
    if (got == block) return true;
    reader.file.reset();
    // A file that ends before the size it had when it was opened was cut
    // while it was read: what was read of it is not the whole program.
    return reader.bytesRead >= reader.sourceSize;
}

// The size of the open file when it is a regular one; 0 for any other
// (a pipe, a device), or when it cannot be had. Asked of the open file, not
// its path: the path is not looked up again.
size_t regularFileSize(std::FILE* file) {
#ifdef _WIN32
    struct _stat64 status;
    if (_fstat64(_fileno(file), &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG) return 0;
#else
    struct stat status;
    if (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode)) return 0;
#endif
    return static_cast<size_t>(status.st_size);
}

// Opens a regular file and reads its first block. A missing file, a
// directory or a read error all count as "not there".
bool openFile(const std::string& path, SourceReader& reader) {
    reader.file.reset(std::fopen(path.c_str(), "rb"));
    if (!reader.file) return false;
    // Each read asks for a whole block or the whole file: a buffer of the
    // stream's own would only be filled and copied out again, and sizing it
    // costs a system call per source.
    std::setvbuf(reader.file.get(), nullptr, _IONBF, 0);
    reader.sourceSize = regularFileSize(reader.file.get());
    if (readFileBlock(reader)) return true;
    reader.file.reset();
    reader.sourceText.clear();
    return false;
}

// Where a source was found: the path it was opened by, and the include
// directory that path is under (null when it is the name as given).
struct FoundSource {
    std::string path;
    const std::string* includeDir = nullptr;
};

// A database item: in the database file named (also under each include
// directory), else in the -a file. False when the file system is to be
// tried next; an item of a database file named that cannot be read ends
// the run with the host's code. `found` is the database file's path.
bool findItem(Scan& scan, std::string& itemText, const std::string& name, const std::string* databaseFile,
              FoundSource& found) {
    void*& port = scan.state.hostPort;
    const SourceSearch& sources = scan.sources;
    if (databaseFile) {
        found.path = *databaseFile;
        int32_t hostStatus = readDatabaseItem(port, found.path, name, itemText);
        for (size_t i = 0; hostStatus != 0 && i < sources.includeDirs.size(); ++i) {
            found = {joinPath(sources.includeDirs[i], *databaseFile), &sources.includeDirs[i]};
            hostStatus = readDatabaseItem(port, found.path, name, itemText);
        }
        if (hostStatus != 0)
            scan.diagnostics.errorWithStatus(hostStatus, "Unable to read item '%s' from file '%s'\n", name.c_str(),
                                             databaseFile->c_str());
        return true;
    }
    found.path = sources.defaultDatabaseFile;
    return !sources.defaultDatabaseFile.empty() &&
           readDatabaseItem(port, sources.defaultDatabaseFile, name, itemText) == 0;
}

// An operating-system file: as named, then under each include directory.
FoundSource findFile(Scan& scan, SourceReader& reader, const std::string& name) {
    if (openFile(name, reader)) return {name};
    for (const std::string& dir : scan.sources.includeDirs) {
        std::string path = joinPath(dir, name);
        if (openFile(path, reader)) return {std::move(path), &dir};
    }
    if (scan.state.includeLevel > 0)
        scan.diagnostics.error("Unable to read INCLUDE file '%s'\n", name.c_str());
    else
        scan.diagnostics.error("Unable to read file '%s'\n", name.c_str());
}

bool isReadFromStandardInput(const Scan& scan) {
    return scan.sources.standardInput && scan.state.includeLevel == 0;
}

FoundSource findSource(Scan& scan, SourceReader& reader, const std::string& name, const std::string* databaseFile) {
    FoundSource found;
    if (isReadFromStandardInput(scan)) {
        reader.sourceText = *scan.sources.standardInput;
        reader.sourceSize = reader.sourceText.size();
        return {name};
    }
    std::string itemText;
    if (findItem(scan, itemText, name, databaseFile, found)) {
        reader.sourceText = itemText;
        reader.isItem = true;
        reader.sourceSize = reader.sourceText.size();
        found.path = joinPath(found.path, name);
        return found;
    }
    reader.sourceText.clear();
    return findFile(scan, reader, name);
}

// Keeps the first opening of each path.
void recordOpened(ScanState& state, const SourceSearch& sources, FoundSource&& found) {
    if (!state.pathsOpened.insert(found.path).second) return;
    const std::string& release = sources.releaseIncludeDir;
    bool inRelease = found.includeDir && !release.empty() && *found.includeDir == release;
    state.sourcesOpened.push_back({std::move(found.path), inRelease});
}

// Cuts the next item line: up to 0xFE, LF or CR; then a run of LF and CR
// bytes and one 0xFE after it are passed.
std::string_view cutItemLine(SourceReader& reader) {
    std::string_view text = reader.sourceText.view();
    size_t start = reader.textCursor;
    size_t end = start;
    while (end < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[end]);
        if (c == attributeMark || c == '\n' || c == '\r') break;
        ++end;
    }
    checkLineLength(end - start);
    size_t next = end;
    while (next < text.size() && (text[next] == '\n' || text[next] == '\r')) ++next;
    if (next < text.size() && static_cast<unsigned char>(text[next]) == attributeMark) ++next;
    reader.textCursor = next;
    return text.substr(start, end - start);
}

// The first `byte` at or after `from` in the text, or the text's size.
// `known` is the answer of the last search for it, kept by the reader: a
// place that still holds the byte ahead of `from` is the answer again, and
// text a search found without the byte is not searched again. So the
// searches of a whole file pass over each byte once, even for a byte that
// is rare or missing (the CR of a file with LF line ends, or the reverse).
size_t nextByte(std::string_view text, size_t from, char byte, size_t& known) {
    if (known >= from && known < text.size() && text[known] == byte) return known;
    size_t start = std::min(std::max(from, known), text.size());
    const void* found = start < text.size() ? std::memchr(text.data() + start, byte, text.size() - start) : nullptr;
    known = found ? static_cast<size_t>(static_cast<const char*>(found) - text.data()) : text.size();
    return known;
}

// Cuts the next file line: up to its line end, which is an LF, a CR LF pair
// or a lone CR, and past it. More of the file is read while the text holds
// no line end, or ends with a CR that may be the first of a pair. False on
// a read error.
bool cutFileLine(SourceReader& reader, std::string_view& line) {
    const SourceText& text = reader.sourceText;
    size_t searched = 0;  // bytes after the cursor known to hold no line end
    size_t end = 0;
    for (;;) {
        size_t from = reader.textCursor + searched;
        end = std::min(nextByte(text.view(), from, '\n', reader.nextLineFeed),
                       nextByte(text.view(), from, '\r', reader.nextCarriageReturn));
        bool pairMayFollow = end + 1 == text.size() && text[end] == '\r';
        if ((end < text.size() && !pairMayFollow) || !reader.file) break;
        searched = end - reader.textCursor;
        checkLineLength(searched);
        if (!readFileBlock(reader)) return false;
    }
    size_t start = reader.textCursor;
    size_t next = end;
    if (next < text.size()) {
        bool pair = text[next] == '\r' && next + 1 < text.size() && text[next + 1] == '\n';
        next += pair ? 2 : 1;
    }
    reader.textCursor = next;
    line = text.view().substr(start, end - start);
    return true;
}

// A file that fails to read part way: what was read of it must not pass
// for the whole program.
LineRead unreadable(const Scan& scan, const SourceReader& reader) {
    scan.diagnostics.writeError("Unable to read file '%s'\n", reader.fileName.c_str());
    return LineRead::Unreadable;
}

// The #line markers name the source between double quotes, so a name
// holding a quote or a line end would end the marker early and put the rest
// of the name into the program as code. Backslashes are written as they are.
bool canBeWrittenInMarker(const std::string& name) {
    return std::none_of(name.begin(), name.end(), [](char c) { return c == '"' || isControlCharacter(c); });
}

// A name that cannot be written in a marker is refused before anything is
// looked for; a member's message points at the line that names it.
void refuseUnwritableName(const Scan& scan, const std::string& name) {
    if (canBeWrittenInMarker(name)) return;
    scan.diagnostics.error("File name '%s' cannot be written in a #line marker",
                           escapedForMessage(name).c_str());
}

// A member is kept once its whole text is held (a file larger than a
// block is read again each time, so that it is never held whole) and its
// lookup wrote nothing: without the host's handle every item lookup writes
// a message, which a remembered member would leave out.
bool canBeRemembered(const Scan& scan, const SourceReader& reader) {
    return !reader.file && scan.state.hostPort;
}

void recall(SourceReader& reader, const ReadMember& member) {
    reader.sourceText = member.text;
    reader.sourceSize = member.text.size();
    reader.isItem = member.isItem;
    reader.openedPath = member.path;
}

// Finds the source, or takes a member this run has found before: the same
// words find the same member, already in the list of sources opened.
void takeSource(Scan& scan, SourceReader& reader, const std::string& name, const std::string* databaseFile) {
    bool isMember = scan.state.includeLevel > 0;
    MemberName words{databaseFile != nullptr, databaseFile ? *databaseFile : std::string(), name};
    if (isMember) {
        if (const ReadMember* known = scan.state.membersRead.find(words)) {
            recall(reader, *known);
            return;
        }
    }
    FoundSource found = findSource(scan, reader, name, databaseFile);
    reader.openedPath = found.path;
    if (isMember && canBeRemembered(scan, reader))
        scan.state.membersRead.remember(std::move(words), {std::string(reader.sourceText.view()), found.path, reader.isItem});
    recordOpened(scan.state, scan.sources, std::move(found));
}

void scanSource(Scan& scan, const std::string& sourceName, const std::string* databaseFile) {
    refuseUnwritableName(scan, sourceName);
    SourceReader reader;
    CurrentReader current(scan, reader);
    takeSource(scan, reader, sourceName, databaseFile);

    reader.fileName = sourceName;
    scan.state.filesOpened += 1;
    // Room for what has been read, never for what the file's size claims:
    // a file that is mostly a hole, or lies about its size, is read first.
    scan.tokens.reserveForSource(reader.sourceText.size());
    reader.firstToken = scan.tokens.size();
    reader.joinFloor = reader.firstToken;
    appendToken(scan, reader, TokenKind::LineMarker, sourceName, 1);
    runLineLoop(scan, reader);
    settleOwedLineEnds(scan.tokens, reader);
}

}  // namespace

std::string joinPath(const std::string& directory, const std::string& name) {
    std::string path;
    path.reserve(directory.size() + 1 + name.size());
    path += directory;
    path += pathSeparator;
    path += name;
    return path;
}

int32_t readDatabaseItem(void*& hostPort, const std::string& databaseFile, const std::string& itemName,
                         std::string& itemText) {
    if (!hostPort) {
        hostPort = itemReadCalls.getdpEX(0, 0, 5, 0);
        // Not a failure of its own: the item is not found, which the caller
        // reports.
        if (!hostPort) {
            writeMessage("bprep2: Unable to allocate a port or object\n");
            return 1;
        }
    }
    char initial[QUOLT_ITEM_BUFFER_SIZE];
    char* buffer = initial;
    uint32_t size = sizeof initial;
    void* item = nullptr;
    int32_t status = itemReadCalls.openRead(hostPort, &item, databaseFile.c_str(), itemName.c_str(),
                                            &buffer, &size);
    itemReadCalls.close(hostPort, item, 0);
    if (status == 0 && buffer) itemText.assign(buffer, size);
    if (buffer && buffer != initial) std::free(buffer);
    return status;
}

LineRead fetchSourceLine(Scan& scan, SourceReader& reader, std::string_view& line) {
    if (reader.textCursor >= reader.sourceText.size() && reader.file && !readFileBlock(reader))
        return unreadable(scan, reader);
    if (reader.textCursor >= reader.sourceText.size()) return LineRead::End;
    if (reader.isItem) {
        line = cutItemLine(reader);
    } else if (!cutFileLine(reader, line)) {
        return unreadable(scan, reader);
    }
    if (scan.state.linesRead >= maxLineNumber) exceedLimit("Line count", maxLineNumber, "lines");
    scan.state.linesRead += 1;
    reader.pendingLines = 1;
    if (std::FILE* copy = scan.state.lineCopy) {
        std::fwrite(line.data(), 1, line.size(), copy);
        std::fputc('\n', copy);
    }
    if (reader.lineNumber >= maxLineNumber) exceedLimit("Line number", maxLineNumber, "");
    reader.lineNumber += 1;
    reader.physicalLine += 1;
    return LineRead::Read;
}

bool readSourceLine(Scan& scan, SourceReader& reader) {
    std::string_view line;
    switch (fetchSourceLine(scan, reader, line)) {
        case LineRead::Read:
            reader.lineText.assign(line);
            return true;
        case LineRead::End: return false;
        case LineRead::Unreadable: throw RunFailure{};  // its message is written
    }
    return false;
}

void scanMainSource(Scan& scan, const std::string& name) { scanSource(scan, name, nullptr); }

void scanMember(Scan& scan, const std::string& item, const std::string* databaseFile) {
    MemberLevel deeper(scan.state);
    scanSource(scan, item, databaseFile);
}

}  // namespace bprep2
