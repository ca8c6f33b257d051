#include "app/output_paths.h"

#include <sys/stat.h>

#include <filesystem>

namespace quor {
namespace {

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    // A file not there yet: two spellings of one new path.
    std::error_code ea;
    std::error_code eb;
    const std::filesystem::path ca = std::filesystem::weakly_canonical(std::filesystem::absolute(a, ea), ea);
    const std::filesystem::path cb = std::filesystem::weakly_canonical(std::filesystem::absolute(b, eb), eb);
    return !ea && !eb && ca == cb;
}

}  // namespace

std::string findOutputClash(const std::vector<NamedPath>& outputs, const std::vector<NamedPath>& inputs) {
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        for (const NamedPath& input : inputs)
            if (!input.path.empty() && sameFile(outputs[i].path, input.path))
                return "the output " + outputs[i].path + " (" + outputs[i].role + ") is " + input.role + " " +
                       input.path + "; it would be overwritten";
        for (std::size_t j = i + 1; j < outputs.size(); ++j)
            if (sameFile(outputs[i].path, outputs[j].path))
                return outputs[i].role + " and " + outputs[j].role + " name the same file " + outputs[i].path;
    }
    return {};
}

}  // namespace quor
