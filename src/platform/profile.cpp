#include "platform/profile.h"

#include <algorithm>
#include <fstream>

namespace quor {
namespace {

// A settings file is small; a line longer than this is cut rather than held
// whole, so a damaged or hostile file cannot exhaust memory.
constexpr std::size_t kMaxLine = 1 << 20;
// Settings files are small; beyond this much a file is damaged or endless
// (a link to /dev/zero), and the rest counts as absent. Room is left for a
// few over-long lines, which are cut, before the keys after them.
constexpr std::size_t kMaxFileBytes = 4 << 20;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

std::string cleanValue(std::string_view v) {
    v = trim(v);
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        v.remove_prefix(1);
        v.remove_suffix(1);
    }
    if (v.size() > kProfileValueMax) v = v.substr(0, kProfileValueMax);
    return std::string(v);
}

// Feeds lines to the lookup one at a time and remembers the answer.
class Lookup {
public:
    Lookup(std::string_view section, std::string_view key) : section_(trim(section)), key_(trim(key)) {}

    // Returns false once the key is found; later lines cannot change the answer.
    bool line(std::string_view text) {
        std::string_view s = trim(text);
        if (s.empty() || s.front() == ';' || s.front() == '#') return true;
        if (s.front() == '[') {
            s.remove_prefix(1);
            auto close = s.find(']');
            if (close != std::string_view::npos) s = s.substr(0, close);
            inSection_ = sameName(trim(s), section_);
            return true;
        }
        if (!inSection_) return true;
        auto eq = s.find('=');
        if (eq == std::string_view::npos) return true;
        if (!sameName(trim(s.substr(0, eq)), key_)) return true;
        value_ = cleanValue(s.substr(eq + 1));
        return false;
    }

    std::optional<std::string> result() && { return std::move(value_); }

private:
    std::string_view section_;
    std::string_view key_;
    bool inSection_ = false;
    std::optional<std::string> value_;
};

// Splits a byte stream into lines at CR LF, LF or CR, across chunk borders.
class LineSplitter {
public:
    explicit LineSplitter(Lookup& lookup) : lookup_(lookup) {}

    bool feed(std::string_view chunk) {
        for (char c : chunk) {
            if (c == '\n' && afterCr_) {
                afterCr_ = false;
                continue;
            }
            afterCr_ = (c == '\r');
            if (c == '\r' || c == '\n') {
                if (!flush()) return false;
                continue;
            }
            if (line_.size() < kMaxLine) line_.push_back(c);
        }
        return true;
    }

    bool finish() { return line_.empty() || flush(); }

private:
    bool flush() {
        std::string_view text = line_;
        if (first_ && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
        first_ = false;
        bool more = lookup_.line(text);
        line_.clear();
        return more;
    }

    Lookup& lookup_;
    std::string line_;
    bool afterCr_ = false;
    bool first_ = true;
};

}  // namespace

std::optional<std::string> findProfileString(std::string_view iniText, std::string_view section,
                                             std::string_view key) {
    Lookup lookup(section, key);
    LineSplitter lines(lookup);
    if (lines.feed(iniText)) lines.finish();
    return std::move(lookup).result();
}

std::optional<std::string> readProfileString(const std::string& path, std::string_view section,
                                             std::string_view key) {
    if (path.empty()) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    Lookup lookup(section, key);
    LineSplitter lines(lookup);
    char buffer[16384];
    bool more = true;
    std::size_t total = 0;
    while (more && in && total < kMaxFileBytes) {
        in.read(buffer, static_cast<std::streamsize>(std::min(sizeof buffer, kMaxFileBytes - total)));
        std::streamsize got = in.gcount();
        if (got <= 0) break;
        total += static_cast<std::size_t>(got);
        more = lines.feed(std::string_view(buffer, static_cast<std::size_t>(got)));
    }
    // A read error in the middle of the file counts as a missing key.
    if (in.bad()) return std::nullopt;
    // A line cut at the bound is not taken: its value may be cut too.
    if (more && (total < kMaxFileBytes || in.peek() == std::char_traits<char>::eof())) lines.finish();
    return std::move(lookup).result();
}

}  // namespace quor
