#pragma once

// Writing keys of one section of an INI file so that the profile reader
// (platform/profile.h) reads back exactly the values written, while every
// other byte of the file stays as it was: other sections and keys, comments,
// blank lines, duplicates, letter case and line ends. Bytes in, bytes out.

#include <string>
#include <string_view>
#include <vector>

namespace quor {

struct ProfileEntry {
    std::string key;
    std::string value;
};

// `iniText` with every entry set in `section`. The line the reader takes for
// a key gets the new value after its '=' (the blanks right after '=' stay);
// a key the section lacks goes after the section's last key; a missing
// section is added at the end. New lines end like the file's first line
// (CR LF in a file without one). Raises quor::Error for a key or value the
// reader could not give back (a line break, a value beyond 2047 characters).
std::string setProfileStrings(std::string_view iniText, std::string_view section,
                              const std::vector<ProfileEntry>& entries);

// What a missing file at write time means.
enum class MissingFile {
    create,  // write a new file
    refuse,  // the file was there when it was read: it vanished, so refuse
};

// Reads `source` (nothing when it does not exist), sets the entries and
// writes the result to `target` through a temporary file beside it, synced
// and renamed into place. Raises quor::Error with a text for the user when
// `target` is read-only, `source` vanished (MissingFile::refuse) or cannot
// be read, or any write fails; the files are then as they were.
void writeProfileStrings(const std::string& source, const std::string& target, std::string_view section,
                         const std::vector<ProfileEntry>& entries, MissingFile missing);

}  // namespace quor
