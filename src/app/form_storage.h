#pragma once

// The main window's settings reader: which INI file and section are in force,
// and how one key is read as text, as an integer or as a number. Every read
// opens the file anew, so a change made by the settings dialog is seen at the
// next read. The program never writes the file.

#include <cstdint>
#include <string>

namespace quor {

class TFormStorage {
public:
    // `ownerClassName` is the section used while none is set.
    explicit TFormStorage(std::string ownerClassName) : ownerClassName_(std::move(ownerClassName)) {}

    // The stored path; when it is empty, the program file's base name with
    // ".INI" and no folder ("quorprn.INI"), which is taken from the current
    // folder.
    std::string IniFileName() const;
    void setIniFileName(std::string path) { iniFileName_ = std::move(path); }

    // The stored section; when it is empty, the owner's class name.
    std::string IniSection() const;
    void setIniSection(std::string section) { iniSection_ = std::move(section); }

    // The value, trimmed and unquoted; `defaultValue` when the file, the
    // section or the key is missing. A key present with an empty value gives "".
    std::string ReadString(const std::string& key, const std::string& defaultValue) const;

    // A signed 32-bit integer in decimal or hexadecimal ("$10", "0x10",
    // "x10"), with an optional sign; `defaultValue` for anything else.
    std::int32_t ReadInteger(const std::string& key, std::int32_t defaultValue) const;

    // A number with decimals ("36,9" or "36.9"), truncated toward zero;
    // raises quor::Error when the text is not a number.
    int ReadNumber(const std::string& key, const std::string& defaultValue) const;

private:
    std::string ownerClassName_;
    std::string iniFileName_;
    std::string iniSection_;
};

// The conversion ReadInteger applies to a value: nothing on failure.
bool parseIniInteger(const std::string& text, std::int32_t& value);

}  // namespace quor
