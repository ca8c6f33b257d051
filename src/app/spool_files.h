#pragma once

// Files of the spool folder: moving a printout out of the way without ever
// replacing another file, and the names its PDF and its log get.

#include <cstdint>
#include <set>
#include <string>
#include <utility>

namespace quor {

// What says that a file has not changed.
struct FileStamp {
    std::int64_t size = -1;
    std::int64_t modifiedNs = 0;
    std::uint64_t inode = 0;
    std::uint64_t device = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp of a regular file (symbolic links followed); nothing else has one.
bool stampOf(const std::string& path, FileStamp& stamp);

// Device and inode of every file that a process this one may inspect
// holds open for writing, as /proc tells.
using FileIds = std::set<std::pair<std::uint64_t, std::uint64_t>>;
FileIds filesOpenForWriting();

// `name` with a number before its extension: "a.prn", 2 -> "a-2.prn";
// 0 leaves it as it is.
std::string numberedName(const std::string& name, int number);

// The PDF's name for a printout: its name without the last extension.
std::string pdfNameFor(const std::string& name);

// `name` or the first numbered name that is not taken in `folder`
// ("/"-terminated).
std::string freeNameIn(const std::string& folder, const std::string& name);

// Moves `from` into `folder` under `name`, numbered when taken; never
// replaces a file. Returns the name it got; raises quor::Error.
std::string moveIntoFolder(const std::string& from, const std::string& folder, const std::string& name);

// Writes `text` as the file `path` (replacing it); raises quor::Error.
void writeTextFile(const std::string& path, const std::string& text);

}  // namespace quor
