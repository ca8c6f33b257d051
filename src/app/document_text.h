#pragma once

// A DOS print file as the lines of the text object: the bytes as the file
// holds them, cut at line ends only.

#include <string>
#include <string_view>
#include <vector>

namespace quor {

// Lines end at CR LF, at a lone CR and at a lone LF; a last line without a
// line end is kept, a line end at the very end adds no empty line, and a
// byte 0 ends the text. Every other byte (form feed, tab, escape) stays in
// its line.
std::vector<std::string> splitDocumentLines(std::string_view bytes);

// The whole file as bytes; raises quor::Error "Cannot open file <path>"
// when it cannot be read.
std::string readDocumentBytes(const std::string& path);

// Reads the whole file and splits it.
std::vector<std::string> readDocumentLines(const std::string& path);

// Standard input read whole, as bytes, up to its end. It is read once:
// later calls give the same bytes. Raises quor::Error "Cannot read
// standard input" when reading fails.
const std::string& readStandardInputBytes();

}  // namespace quor
