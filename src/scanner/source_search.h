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
};

}  // namespace bprep2
