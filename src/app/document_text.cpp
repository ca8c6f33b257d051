#include "app/document_text.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include <unistd.h>

#include <cerrno>
#include <optional>

#include "platform/error.h"

namespace quor {

std::vector<std::string> splitDocumentLines(std::string_view bytes) {
    bytes = bytes.substr(0, bytes.find('\0'));
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

std::string readDocumentBytes(const std::string& path) {
    // Read-only and whole: a program still writing the file is not disturbed.
    std::error_code ec;
    std::ifstream in;
    if (!std::filesystem::is_directory(path, ec)) in.open(path, std::ios::binary);
    if (!in.is_open()) throw Error("Cannot open file " + path);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw Error("Cannot open file " + path);
    return bytes;
}

std::vector<std::string> readDocumentLines(const std::string& path) {
    return splitDocumentLines(readDocumentBytes(path));
}

const std::string& readStandardInputBytes() {
    static std::optional<std::string> bytes;
    if (!bytes) {
        std::string read;
        char buffer[65536];
        for (;;) {
            const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
            if (n == 0) break;
            if (n < 0) {
                if (errno == EINTR) continue;
                throw Error("Cannot read standard input");
            }
            read.append(buffer, static_cast<std::size_t>(n));
        }
        bytes = std::move(read);
    }
    return *bytes;
}

}  // namespace quor
