#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

#include "platform/error.h"

namespace quor {
namespace {

constexpr std::size_t kBufferSize = 1 << 16;

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string hiddenNameBeside(const std::string& target, const char* tag) {
    const std::size_t slash = target.rfind('/');
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    return folder + "." + base + "." + tag;
}

// The mode a new file gets: the old target's, else what the umask allows.
mode_t modeFor(const std::string& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

std::string systemMessage(int error) { return std::strerror(error); }

}  // namespace

AtomicFileCalls& atomicFileCalls() {
    static AtomicFileCalls calls{::write, ::fsync, ::close};
    return calls;
}

AtomicFile::AtomicFile(std::string target) : target_(std::move(target)) {
    const mode_t mode = modeFor(target_);
    fd_ = ::open(folderOf(target_).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd_ < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        // No unnamed files here: a hidden name that the destructor removes.
        std::string name = hiddenNameBeside(target_, "XXXXXX");
        fd_ = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd_ >= 0) named_ = name;
    }
    if (fd_ < 0) throw Error("Cannot create the file " + target_ + ": " + systemMessage(errno));
    // open applies the umask to an unnamed file; the old file's mode wins.
    ::fchmod(fd_, mode);
    buffer_.reserve(kBufferSize);
}

AtomicFile::~AtomicFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!published_ && !named_.empty()) ::unlink(named_.c_str());
}

void AtomicFile::fail(const char* what) {
    if (error_.empty()) error_ = std::string("Cannot ") + what + " the file " + target_ + ": " + systemMessage(errno);
}

void AtomicFile::raise() const {
    if (!error_.empty()) throw Error(error_);
}

bool AtomicFile::flushBuffer() {
    std::size_t done = 0;
    while (done < buffer_.size() && error_.empty()) {
        const ssize_t n = atomicFileCalls().write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) fail("write");
        else done += static_cast<std::size_t>(n);
    }
    buffer_.clear();
    return error_.empty();
}

bool AtomicFile::write(std::string_view bytes) {
    if (!error_.empty()) return false;
    if (finished_) {
        errno = EBADF;
        fail("write");
        return false;
    }
    if (buffer_.size() + bytes.size() > kBufferSize && !flushBuffer()) return false;
    if (bytes.size() >= kBufferSize) {
        buffer_.assign(bytes.begin(), bytes.end());
        return flushBuffer();
    }
    buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
    return true;
}

void AtomicFile::finish() {
    if (finished_) return raise();
    flushBuffer();
    if (error_.empty() && atomicFileCalls().fsync(fd_) != 0) fail("write");
    raise();
    finished_ = true;
}

void AtomicFile::closeFile() {
    const int fd = fd_;
    fd_ = -1;
    if (atomicFileCalls().close(fd) != 0) fail("write");
}

void AtomicFile::stage() {
    if (!finished_ || published_) throw Error("The file " + target_ + " is not ready to be put in place");
    if (fd_ < 0) return raise();
    if (named_.empty()) {
        // Give the unnamed file a hidden name beside the target, to be
        // renamed over the target: rename replaces, linkat does not.
        std::mt19937_64 random(std::random_device{}());
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        for (int attempt = 0; named_.empty() && attempt < 100; ++attempt) {
            std::string name = hiddenNameBeside(target_, std::to_string(random() % 1000000000).c_str());
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
                named_ = std::move(name);
            else if (errno != EEXIST)
                break;
        }
        if (named_.empty()) fail("create");
        raise();
    }
    closeFile();
    if (!error_.empty()) {
        ::unlink(named_.c_str());
        named_.clear();
        raise();
    }
}

void AtomicFile::publish() {
    stage();
    if (::rename(named_.c_str(), target_.c_str()) != 0) {
        fail("replace");
        ::unlink(named_.c_str());
        named_.clear();
        raise();
    }
    published_ = true;
    // The rename itself reaches the disk with the folder.
    const int folder = ::open(folderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

std::string AtomicFile::readablePath() const {
    if (!named_.empty()) return named_;
    return "/proc/self/fd/" + std::to_string(fd_);
}

AtomicFile& AtomicFileSet::add(std::unique_ptr<AtomicFile> file) {
    files_.push_back(std::move(file));
    return *files_.back();
}

void AtomicFileSet::publishAll() {
    for (const std::unique_ptr<AtomicFile>& file : files_) file->finish();
    // A close fails before any file is in place; only a rename can still
    // fail after the first is.
    for (const std::unique_ptr<AtomicFile>& file : files_) file->stage();
    for (const std::unique_ptr<AtomicFile>& file : files_) file->publish();
    files_.clear();
}

}  // namespace quor
