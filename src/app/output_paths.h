#pragma once

// An unattended run must never write over what it reads, nor write two
// outputs into one file: outputs are compared with the inputs and with
// each other as files (device and inode), so links and other spellings of
// a path are caught too.

#include <string>
#include <vector>

namespace quor {

struct NamedPath {
    std::string role;  // "the document", "the settings file", ...
    std::string path;
};

// The first clash as a sentence for the user; empty when there is none.
std::string findOutputClash(const std::vector<NamedPath>& outputs, const std::vector<NamedPath>& inputs);

}  // namespace quor
