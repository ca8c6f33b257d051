#include "app/spool_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "platform/error.h"

namespace quor {
namespace {

// Enough for any real clash; beyond it the folder is surely in trouble.
constexpr int kMaxNumber = 100000;

std::string extensionStart(const std::string& name, std::size_t& dot) {
    dot = name.rfind('.');
    // A leading dot is part of the name, not an extension.
    if (dot == std::string::npos || dot == 0) dot = name.size();
    return name.substr(0, dot);
}

}  // namespace

bool stampOf(const std::string& path, FileStamp& stamp) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    stamp.size = info.st_size;
    stamp.modifiedNs = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp.inode = info.st_ino;
    stamp.device = info.st_dev;
    return true;
}

FileIds filesOpenForWriting() {
    FileIds open;
    DIR* processes = ::opendir("/proc");
    if (!processes) return open;
    while (const dirent* process = ::readdir(processes)) {
        if (process->d_name[0] < '0' || process->d_name[0] > '9') continue;
        const std::string base = std::string("/proc/") + process->d_name;
        DIR* fds = ::opendir((base + "/fdinfo").c_str());
        if (!fds) continue;  // gone, or another user's
        while (const dirent* fd = ::readdir(fds)) {
            if (fd->d_name[0] < '0' || fd->d_name[0] > '9') continue;
            std::ifstream info(base + "/fdinfo/" + fd->d_name);
            std::string key;
            unsigned long flags = 0;
            while (info >> key && key != "flags:") info.ignore(4096, '\n');
            if (!(info >> std::oct >> flags) || (flags & O_ACCMODE) == O_RDONLY) continue;
            struct stat target {};
            if (::stat((base + "/fd/" + fd->d_name).c_str(), &target) == 0 && S_ISREG(target.st_mode))
                open.emplace(target.st_dev, target.st_ino);
        }
        ::closedir(fds);
    }
    ::closedir(processes);
    return open;
}

std::string numberedName(const std::string& name, int number) {
    if (number == 0) return name;
    std::size_t dot = 0;
    const std::string stem = extensionStart(name, dot);
    return stem + '-' + std::to_string(number) + name.substr(dot);
}

std::string pdfNameFor(const std::string& name) {
    std::size_t dot = 0;
    return extensionStart(name, dot) + ".pdf";
}

std::string freeNameIn(const std::string& folder, const std::string& name) {
    for (int number = 0; number < kMaxNumber; ++number) {
        const std::string candidate = numberedName(name, number);
        struct stat info {};
        if (::lstat((folder + candidate).c_str(), &info) != 0 && errno == ENOENT) return candidate;
    }
    throw Error("No free name for " + name + " in " + folder);
}

std::string moveIntoFolder(const std::string& from, const std::string& folder, const std::string& name) {
    for (int number = 0; number < kMaxNumber; ++number) {
        const std::string candidate = numberedName(name, number);
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, (folder + candidate).c_str(), RENAME_NOREPLACE) == 0)
            return candidate;
        if (errno != EEXIST) throw Error("Cannot move " + from + " to " + folder + ": " + std::strerror(errno));
    }
    throw Error("No free name for " + name + " in " + folder);
}

void writeTextFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) throw Error("Cannot write " + path);
}

}  // namespace quor
