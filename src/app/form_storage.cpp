#include "app/form_storage.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <limits>

#include "platform/numbers.h"
#include "platform/profile.h"

namespace quor {
namespace {

int digitValue(char c, bool hex) {
    if (c >= '0' && c <= '9') return c - '0';
    if (hex && c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (hex && c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string programBaseName() {
    QString program = QCoreApplication::applicationFilePath();
    QString base = program.isEmpty() ? QStringLiteral("quorprn") : QFileInfo(program).completeBaseName();
    return QFile::encodeName(base).toStdString();
}

}  // namespace

bool parseIniInteger(const std::string& original, std::int32_t& value) {
    std::string text = original;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.replace(0, 2, "$");
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    bool hex = false;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i == text.size()) return false;
    // The magnitude may reach 2^31 for the most negative value.
    const std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + (negative ? 1 : 0);
    std::int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        int d = digitValue(text[i], hex);
        if (d < 0) return false;
        magnitude = magnitude * (hex ? 16 : 10) + d;
        if (magnitude > limit) return false;
    }
    value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
    return true;
}

std::string TFormStorage::IniFileName() const {
    return iniFileName_.empty() ? programBaseName() + ".INI" : iniFileName_;
}

std::string TFormStorage::IniSection() const { return iniSection_.empty() ? ownerClassName_ : iniSection_; }

std::string TFormStorage::ReadString(const std::string& key, const std::string& defaultValue) const {
    return readProfileString(IniFileName(), IniSection(), key).value_or(defaultValue);
}

std::int32_t TFormStorage::ReadInteger(const std::string& key, std::int32_t defaultValue) const {
    std::int32_t value = 0;
    return parseIniInteger(ReadString(key, ""), value) ? value : defaultValue;
}

int TFormStorage::ReadNumber(const std::string& key, const std::string& defaultValue) const {
    return floatTextToInt(ReadString(key, defaultValue));
}

}  // namespace quor
