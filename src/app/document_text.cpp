#include "app/document_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <utility>

#include "platform/error.h"

namespace quor {
namespace {

constexpr std::size_t kChunk = 1 << 20;

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

std::string sizeText(std::uint64_t bytes) {
    for (const auto& [shift, unit] : {std::pair{30, " GB"}, std::pair{20, " MB"}, std::pair{10, " KB"}})
        if (bytes >= (std::uint64_t{1} << shift) && bytes % (std::uint64_t{1} << shift) == 0)
            return std::to_string(bytes >> shift) + unit;
    return std::to_string(bytes) + " bytes";
}

// The bytes up to the first 0 (when asked) and at most `maxBytes`; a
// source that goes on beyond the bound is refused, not cut.
std::string readBounded(int fd, const std::string& path, const DocumentReading& reading,
                        const std::string& failure) {
    std::string bytes;
    for (;;) {
        const std::size_t start = bytes.size();
        bytes.resize(start + kChunk);
        const ssize_t n = ::read(fd, bytes.data() + start, kChunk);
        if (n < 0 && errno == EINTR) {
            bytes.resize(start);
            continue;
        }
        if (n < 0) throw Error(failure);
        bytes.resize(start + static_cast<std::size_t>(n));
        if (n == 0) return bytes;
        if (reading.stopAtZero) {
            const void* zero = std::memchr(bytes.data() + start, 0, static_cast<std::size_t>(n));
            if (zero) {
                bytes.resize(static_cast<std::size_t>(static_cast<const char*>(zero) - bytes.data()));
                return bytes;
            }
        }
        if (bytes.size() > reading.maxBytes)
            throw Error("The document " + path + " is larger than " + sizeText(reading.maxBytes) +
                        ", the most this run reads (--max-document-size sets another bound)");
    }
}

}  // namespace

std::vector<std::string> splitDocumentLines(std::string_view bytes, bool stopAtZero) {
    if (stopAtZero) bytes = bytes.substr(0, bytes.find('\0'));
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        lines.emplace_back(bytes.substr(start, i - start));
        i += (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < bytes.size()) lines.emplace_back(bytes.substr(start));
    return lines;
}

std::string readDocumentBytes(const std::string& path, const DocumentReading& reading) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) throw Error("Cannot open file " + path);
    // Opening a named pipe waits for its writer: say so rather than hang silently.
    if (S_ISFIFO(st.st_mode) && reading.onWait)
        reading.onWait("Waiting for a program to write into " + path + " ...");
    // Read-only: a program still writing the file is not disturbed.
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0) throw Error("Cannot open file " + path);
    return readBounded(file.get(), path, reading, "Cannot open file " + path);
}

void checkDocumentLines(const std::vector<std::string>& lines, const std::string& path) {
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (lines[i].size() > kMaxDocumentLineBytes)
            throw Error("Line " + std::to_string(i + 1) + " of the document " + path + " is longer than " +
                        std::to_string(kMaxDocumentLineBytes) + " bytes, the longest line a page can hold");
}

std::vector<std::string> readDocumentLines(const std::string& path, const DocumentReading& reading) {
    std::vector<std::string> lines = splitDocumentLines(readDocumentBytes(path, reading), reading.stopAtZero);
    checkDocumentLines(lines, path);
    return lines;
}

const std::string& readStandardInputBytes(const DocumentReading& reading) {
    static std::optional<std::string> bytes;
    if (!bytes) bytes = readBounded(STDIN_FILENO, "stdin", reading, "Cannot read standard input");
    return *bytes;
}

}  // namespace quor
