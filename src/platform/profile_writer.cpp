#include "platform/profile_writer.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <optional>
#include <unistd.h>

#include "platform/error.h"
#include "platform/profile.h"

namespace quor {
namespace {

// A settings file is a few kilobytes; anything far beyond is not one.
constexpr qint64 kMaxFileSize = 16 << 20;

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

// One line of the file: its text and the line end that follows it.
struct Line {
    std::string text;
    std::string end;
};

std::vector<Line> splitLines(std::string_view bytes) {
    std::vector<Line> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n') continue;
        const std::size_t endSize = (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
        lines.push_back({std::string(bytes.substr(start, i - start)), std::string(bytes.substr(i, endSize))});
        i += endSize - 1;
        start = i + 1;
    }
    if (start < bytes.size()) lines.push_back({std::string(bytes.substr(start)), ""});
    return lines;
}

// What the reader sees in a line.
struct LineMeaning {
    enum Kind { other, header, key } kind = other;
    std::string_view name;  // section or key, trimmed
};

LineMeaning meaningOf(std::string_view text, bool first) {
    if (first && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::string_view s = trimmed(text);
    if (s.empty() || s.front() == ';' || s.front() == '#') return {};
    if (s.front() == '[') {
        s.remove_prefix(1);
        return {LineMeaning::header, trimmed(s.substr(0, s.find(']')))};
    }
    const auto eq = s.find('=');
    if (eq == std::string_view::npos) return {};
    return {LineMeaning::key, trimmed(s.substr(0, eq))};
}

// The value as a line must hold it for the reader to give it back.
std::string encodedValue(const std::string& key, const std::string& value) {
    if (value.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
        throw Error("Значение «" + key + "» не может содержать перевод строки");
    if (value.size() > kProfileValueMax)
        throw Error("Значение «" + key + "» длиннее " + std::to_string(kProfileValueMax) + " символов");
    const bool blankAtEdge = !value.empty() && (isBlank(value.front()) || isBlank(value.back()));
    const bool looksQuoted =
        value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
    return blankAtEdge || looksQuoted ? '"' + value + '"' : value;
}

void checkKey(std::string_view key) {
    const bool bad = key.empty() || trimmed(key) != key || key.find_first_of("=\r\n[") != std::string_view::npos ||
                     key.front() == ';' || key.front() == '#' || key.find('\0') != std::string_view::npos;
    if (bad) throw Error("Недопустимое имя параметра «" + std::string(key) + "»");
}

class ProfileText {
public:
    explicit ProfileText(std::string_view bytes) : lines_(splitLines(bytes)) {
        for (const Line& l : lines_)
            if (!l.end.empty()) {
                newline_ = l.end;
                break;
            }
    }

    void set(std::string_view section, const std::string& key, const std::string& value) {
        checkKey(key);
        const std::string encoded = encodedValue(key, value);
        bool inSection = false;
        std::optional<std::size_t> lastKeyOfFirstSection;
        bool firstSectionDone = false;
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            const LineMeaning m = meaningOf(lines_[i].text, i == 0);
            if (m.kind == LineMeaning::header) {
                if (inSection) firstSectionDone = true;
                inSection = equalIgnoringCase(m.name, section);
                if (inSection && !firstSectionDone && !lastKeyOfFirstSection) lastKeyOfFirstSection = i;
                continue;
            }
            if (!inSection || m.kind != LineMeaning::key) continue;
            if (equalIgnoringCase(m.name, key)) {
                replaceValue(lines_[i].text, encoded);
                return;
            }
            if (!firstSectionDone) lastKeyOfFirstSection = i;
        }
        if (lastKeyOfFirstSection) {
            insertAfter(*lastKeyOfFirstSection, key + '=' + encoded);
            return;
        }
        if (!lines_.empty()) {
            lines_.back().end = lines_.back().end.empty() ? newline_ : lines_.back().end;
            lines_.push_back({"", newline_});
        }
        lines_.push_back({'[' + std::string(section) + ']', newline_});
        lines_.push_back({key + '=' + encoded, newline_});
    }

    std::string bytes() const {
        std::string out;
        for (const Line& l : lines_) out += l.text + l.end;
        return out;
    }

private:
    static void replaceValue(std::string& text, const std::string& encoded) {
        std::size_t valueStart = text.find('=') + 1;
        while (valueStart < text.size() && isBlank(text[valueStart])) ++valueStart;
        text.replace(valueStart, std::string::npos, encoded);
    }

    void insertAfter(std::size_t index, std::string text) {
        if (lines_[index].end.empty()) lines_[index].end = newline_;
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index) + 1, Line{std::move(text), newline_});
    }

    std::vector<Line> lines_;
    std::string newline_ = "\r\n";
};

QString fileName(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

std::string readWhole(const std::string& path, bool& exists) {
    QFile file(fileName(path));
    exists = file.exists();
    if (!exists) return {};
    if (!file.open(QIODevice::ReadOnly))
        throw Error("Не удалось прочитать файл настроек " + path + ": " + file.errorString().toStdString());
    if (file.size() > kMaxFileSize) throw Error("Файл настроек " + path + " слишком велик");
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Error("Не удалось прочитать файл настроек " + path + ": " + file.errorString().toStdString());
    return bytes.toStdString();
}

void replaceFile(const std::string& path, const std::string& bytes) {
    const QString name = fileName(path);
    const QFileInfo info(name);
    // A file nobody may write is read-only for root too.
    constexpr auto anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (info.exists() && (!(info.permissions() & anyWrite) || !info.isWritable()))
        throw Error("Файл настроек " + path + " доступен только для чтения; он не изменён");
    QSaveFile file(name);
    auto fail = [&](const char* what) {
        const std::string reason = file.errorString().toStdString();
        file.cancelWriting();
        throw Error(std::string(what) + " " + path + ": " + reason + "; файл не изменён");
    };
    if (!file.open(QIODevice::WriteOnly)) fail("Не удалось записать файл настроек");
    if (file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()) || !file.flush())
        fail("Не удалось записать файл настроек");
    if (::fsync(file.handle()) != 0) fail("Не удалось сохранить на диск файл настроек");
    if (!file.commit()) fail("Не удалось заменить файл настроек");
}

}  // namespace

std::string setProfileStrings(std::string_view iniText, std::string_view section,
                              const std::vector<ProfileEntry>& entries) {
    ProfileText text(iniText);
    for (const ProfileEntry& e : entries) text.set(section, e.key, e.value);
    return text.bytes();
}

void writeProfileStrings(const std::string& source, const std::string& target, std::string_view section,
                         const std::vector<ProfileEntry>& entries, MissingFile missing) {
    bool exists = false;
    const std::string before = readWhole(source, exists);
    if (!exists && missing == MissingFile::refuse)
        throw Error("Файл настроек " + source + " больше не существует; сохраните настройки в другой файл");
    replaceFile(target, setProfileStrings(before, section, entries));
}

}  // namespace quor
