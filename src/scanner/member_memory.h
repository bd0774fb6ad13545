// The members a run has read, so that a member included many times is
// looked for and read once in the run.
//
// A member is known by the words that decide where it is found: whether a
// database file is named, that file, and the item or file name. The
// include directories, the default database file and the working directory
// stay as they are for the whole run, so the same words find the same
// member every time; the path a member was found by does not do as a key
// (a file and an item may share a path and differ in their bytes).
//
// Only a lookup that found its member is kept: one that finds nothing ends
// the run. The memory belongs to the scanner's records of one run, so the
// next run (an in-process caller's next call) sees the members as they are
// on disk then.
#pragma once

#include <compare>
#include <map>
#include <string>
#include <utility>

namespace bprep2 {

// The words an INCLUDE names its member by.
struct MemberName {
    bool inDatabaseFile = false;
    std::string databaseFile;  // empty without a database file named
    std::string item;

    auto operator<=>(const MemberName&) const = default;
};

// A member as it was found: its whole text, the path it was opened by and
// whether it is a database item.
struct ReadMember {
    std::string text;
    std::string path;
    bool isItem = false;
};

class MemberMemory {
   public:
    // The member found before by these words, or null.
    const ReadMember* find(const MemberName& name) const {
        auto at = members_.find(name);
        return at == members_.end() ? nullptr : &at->second;
    }

    void remember(MemberName name, ReadMember member) { members_.emplace(std::move(name), std::move(member)); }

   private:
    std::map<MemberName, ReadMember> members_;
};

}  // namespace bprep2
