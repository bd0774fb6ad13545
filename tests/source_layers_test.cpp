// The folders of src/ stand in layers: a folder includes only from itself
// and from the folders below it, so each can be read, tested and changed
// without the ones above.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// What each folder may include besides itself. The in-process header
// (include/, named without a folder) is the driver's alone.
const std::map<std::string, std::set<std::string>> allowedIncludes = {
    {"tokens", {}},
    {"output", {"tokens"}},
    {"objects", {"tokens", "output", "host"}},
    {"scanner", {"tokens", "output", "objects", "host"}},
    {"directives", {"tokens", "output", "scanner", "host"}},
    {"passes", {"tokens", "output"}},
    {"driver", {"tokens", "output", "objects", "scanner", "directives", "passes", "host", "include"}},
    {"host", {}},
};

// The folder an include names: "scanner/scan.h" is in scanner; a name
// without a folder is one of include/.
std::string includedFolder(const std::string& name) {
    size_t slash = name.find('/');
    return slash == std::string::npos ? "include" : name.substr(0, slash);
}

// Every include of a project file in src/, as "file: included name".
std::vector<std::string> includesCrossingLayers() {
    const fs::path src = fs::path(BPREP2_SOURCE_DIR) / "src";
    const std::regex projectInclude(R"re(^\s*#\s*include\s*"([^"]+)")re");
    std::vector<std::string> crossings;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(src)) {
        if (!entry.is_regular_file()) continue;
        std::string folder = fs::relative(entry.path(), src).begin()->string();
        auto allowed = allowedIncludes.find(folder);
        if (allowed == allowedIncludes.end()) {
            crossings.push_back(entry.path().string() + ": in a folder no layer names");
            continue;
        }
        std::ifstream file(entry.path());
        std::smatch match;
        for (std::string line; std::getline(file, line);) {
            if (!std::regex_search(line, match, projectInclude)) continue;
            std::string included = includedFolder(match[1]);
            if (included != folder && !allowed->second.count(included))
                crossings.push_back(entry.path().string() + ": " + match[1].str());
        }
    }
    return crossings;
}

TEST(SourceLayers, NoFolderIncludesAHigherOne) {
    EXPECT_EQ(includesCrossingLayers(), std::vector<std::string>{});
}

}  // namespace
