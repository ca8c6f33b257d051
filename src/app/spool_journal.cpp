#include "app/spool_journal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>

#include "platform/error.h"

namespace quor {
namespace {

constexpr std::string_view kHeader = "quorprn spool journal 1";
// A journal is a few lines; anything bigger is not ours.
constexpr std::size_t kMaxJournalBytes = 64 * 1024;

// Names may hold any byte but "/" and 0: line ends and "%" are escaped.
std::string escape(std::string_view text) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || c == '%' || byte == 0x7F) {
            out += '%';
            out += digits[byte >> 4];
            out += digits[byte & 15];
        } else {
            out += c;
        }
    }
    return out;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<std::string> unescape(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        const int high = hexValue(text[i + 1]);
        const int low = hexValue(text[i + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return out;
}

// The next line of `text` from `at`, without its "\n"; nothing at the end.
std::optional<std::string_view> nextLine(std::string_view text, std::size_t& at) {
    const std::size_t end = text.find('\n', at);
    if (end == std::string_view::npos) return std::nullopt;
    const std::string_view line = text.substr(at, end - at);
    at = end + 1;
    return line;
}

bool validName(const std::string& name, bool mayBeEmpty) {
    if (name.empty()) return mayBeEmpty;
    return name != "." && name != ".." && name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

std::string journalPath(const std::string& folder) { return folder + kSpoolJournalName; }

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

std::string encodeSpoolRecord(const SpoolRecord& record) {
    std::string text(kHeader);
    text += '\n';
    text += record.state == SpoolRecord::State::printing   ? "printing\n"
            : record.state == SpoolRecord::State::retrying ? "retrying\n"
                                                            : "printed\n";
    text += escape(record.file) + '\n';
    text += escape(record.output) + '\n';
    return text;
}

std::optional<SpoolRecord> parseSpoolRecord(std::string_view text) {
    if (text.size() > kMaxJournalBytes) return std::nullopt;
    std::size_t at = 0;
    const auto header = nextLine(text, at);
    const auto state = nextLine(text, at);
    const auto file = nextLine(text, at);
    const auto output = nextLine(text, at);
    if (!header || !state || !file || !output || *header != kHeader || at != text.size()) return std::nullopt;
    SpoolRecord record;
    if (*state == "printing")
        record.state = SpoolRecord::State::printing;
    else if (*state == "retrying")
        record.state = SpoolRecord::State::retrying;
    else if (*state == "printed")
        record.state = SpoolRecord::State::printed;
    else
        return std::nullopt;
    auto fileName = unescape(*file);
    auto outputName = unescape(*output);
    if (!fileName || !outputName || !validName(*fileName, false) || !validName(*outputName, true)) return std::nullopt;
    record.file = std::move(*fileName);
    record.output = std::move(*outputName);
    return record;
}

Recovery recoveryFor(const SpoolRecord& record, bool fileStillThere, bool outputThere) {
    if (!fileStillThere) return Recovery::nothing;
    if (record.state == SpoolRecord::State::printed) return Recovery::markPrinted;
    // A PDF is put in place whole, so its presence says the job finished;
    // a printer's queue cannot tell whether it got the job. A file that
    // stopped the program twice gets no third try.
    if (!record.output.empty() && outputThere) return Recovery::markPrinted;
    if (!record.output.empty() && record.state == SpoolRecord::State::printing) return Recovery::printAgain;
    return Recovery::markFailed;
}

std::optional<SpoolRecord> readSpoolJournal(const std::string& folder) {
    std::ifstream in(journalPath(folder), std::ios::binary);
    if (!in) return std::nullopt;
    std::string text;
    char buffer[4096];
    while (in && text.size() <= kMaxJournalBytes) {
        in.read(buffer, sizeof buffer);
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
    }
    return parseSpoolRecord(text);
}

void writeSpoolJournal(const std::string& folder, const SpoolRecord& record) {
    const std::string path = journalPath(folder);
    const std::string temporary = path + ".new";
    const std::string text = encodeSpoolRecord(record);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool written = fd >= 0;
    for (std::size_t done = 0; written && done < text.size();) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        written = n > 0;
        if (written) done += static_cast<std::size_t>(n);
    }
    // On disk before the job starts: a crash must find it.
    written = written && ::fsync(fd) == 0;
    if (fd >= 0) ::close(fd);
    if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        throw Error("Cannot write the journal " + path);
    }
    syncFolder(folder);
}

void clearSpoolJournal(const std::string& folder) {
    std::remove(journalPath(folder).c_str());
    syncFolder(folder);
}

}  // namespace quor
