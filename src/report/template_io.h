#pragma once

// The template stream: a version byte, the report header, then tagged page,
// object and dictionary records. Versions 21 to 24 are read; 24 is written.

#include <cstdint>
#include <string>

namespace quor {

class StreamReader;
class StreamWriter;
class TfrReport;

inline constexpr int kOldestTemplateVersion = 21;
inline constexpr int kTemplateVersion = 24;

// Record tags.
inline constexpr std::uint8_t kTagPage = 0xFF;
inline constexpr std::uint8_t kTagDictionary = 0xFE;
inline constexpr std::uint8_t kTagDataSources = 0xFD;
inline constexpr std::uint8_t kLastObjectKind = 10;

// Reads a whole template into the report. Failures are shown to the user
// here and never thrown: a version above 24 keeps the previous pages; any
// other damage outside object records leaves one empty page; errors inside
// an object record are absorbed, and classes that are not registered are
// listed once the whole stream has been read.
void readTemplate(TfrReport& report, StreamReader& in);

void writeTemplate(const TfrReport& report, StreamWriter& out);

// The text of the class-not-found message for a list of missing classes,
// each followed by a carriage return.
std::string classesMissingText(const std::string& missingClasses);

}  // namespace quor
