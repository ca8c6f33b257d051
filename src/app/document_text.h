#pragma once

// A DOS print file as the lines of the text object: the bytes as the file
// holds them, cut at line ends only.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quor {

// The default bound of a document read: far beyond any print file, well
// below what would exhaust memory.
inline constexpr std::uint64_t kDefaultMaxDocumentBytes = std::uint64_t{1} << 30;
// The longest line a page can hold: a stored line carries its end mark in
// a 16-bit length.
inline constexpr std::size_t kMaxDocumentLineBytes = 65534;

struct DocumentReading {
    // A byte 0 ends the text; the reading stops there. Settings that need
    // the bytes after it turn this off, and then only maxBytes bounds it.
    bool stopAtZero = true;
    // A document with more bytes than this is refused.
    std::uint64_t maxBytes = kDefaultMaxDocumentBytes;
    // Told before a read that waits for another program (a named pipe
    // that nobody writes yet); may be empty.
    std::function<void(const std::string& notice)> onWait;
};

// Lines end at CR LF, at a lone CR and at a lone LF; a last line without a
// line end is kept, a line end at the very end adds no empty line, and
// (with `stopAtZero`) a byte 0 ends the text. Every other byte (form feed,
// tab, escape) stays in its line.
std::vector<std::string> splitDocumentLines(std::string_view bytes, bool stopAtZero = true);

// The file's bytes as `reading` bounds them; raises quor::Error "Cannot
// open file <path>" when it cannot be read, and a clear error for a
// document beyond `reading.maxBytes`.
std::string readDocumentBytes(const std::string& path, const DocumentReading& reading = {});

// Raises a clear error naming the first line longer than
// kMaxDocumentLineBytes.
void checkDocumentLines(const std::vector<std::string>& lines, const std::string& path);

// Reads the file, splits it and checks the lines.
std::vector<std::string> readDocumentLines(const std::string& path, const DocumentReading& reading = {});

// Standard input as bytes, bounded as `reading` says, like a file. It is
// read once: later calls give the bytes of the first. Raises quor::Error
// "Cannot read standard input" when reading fails.
const std::string& readStandardInputBytes(const DocumentReading& reading = {});

}  // namespace quor
