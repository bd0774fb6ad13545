// Finding and reading a source, and scanning it into tokens.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "scanner/scan.h"

namespace bprep2 {

// Joins a directory and a name in paths the program builds itself.
#ifdef _WIN32
constexpr char pathSeparator = '\\';
#else
constexpr char pathSeparator = '/';
#endif
std::string joinPath(const std::string& directory, const std::string& name);

// Scans the main program, named as given on the command line, into the
// list.
void scanMainSource(Scan& scan, const std::string& name);

// INCLUDE's way into the scanner, the one way a handler enters it again:
// scans the member into the same list with a reader of its own, one member
// deeper, and makes the including source's reader current again on return.
// `databaseFile` null: an operating-system file, or an item of the default
// database file.
void scanMember(Scan& scan, const std::string& item, const std::string* databaseFile);

// Reads the next line of `reader` into its lineText; false at the end of
// the source. A source that fails to read ends the run.
bool readSourceLine(Scan& scan, SourceReader& reader);

// What reading the next physical line came to. A source that fails to
// read part way has its message written; the caller ends the run, after a
// message of its own where it has one.
enum class LineRead { Read, End, Unreadable };

// Cuts the next physical line of `reader` and does the per-line accounting
// (lines read, pending line count, the copy of the line, line number). The
// view lives in the reader's source text.
LineRead fetchSourceLine(Scan& scan, SourceReader& reader, std::string_view& line);

// Reads a whole database item through the host library, getting the
// host's handle first when there is none yet. 0 on success, else the
// host's code.
int32_t readDatabaseItem(void*& hostPort, const std::string& databaseFile, const std::string& itemName,
                         std::string& itemText);

}  // namespace bprep2
