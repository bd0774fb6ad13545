// Where the scanner looks for a source.
#pragma once

#include <string>
#include <vector>

namespace bprep2 {

// Where sources are looked for besides the name as given: database files
// and operating-system files under each include directory, items in the
// default database file.
struct SourceSearch {
    std::vector<std::string> includeDirs;  // the release's include directory last, when there is one
    std::string defaultDatabaseFile;
    std::string releaseIncludeDir;  // empty when there is none
    // The main source is read from standard input (an editor's unsaved
    // buffer) and is otherwise taken for the file it is named as.
    bool mainFromStandardInput = false;
    // Its text, read once for the run (a restart scans it again); null
    // until then.
    const std::string* standardInput = nullptr;
};

}  // namespace bprep2
