#pragma once

// The program's command line: `quorprn [options] DOCUMENT [SETTINGS]`.
// Without output options the arguments go to the window unchanged; with
// any of them the program prints unattended, without a window.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/document_text.h"

namespace quor {

struct CommandLine {
    std::string pdfFile;       // --pdf FILE
    std::string printerName;   // --printer NAME
    std::string preparedFile;  // --save-prepared FILE
    // --max-document-size SIZE: bytes, or with K, M or G (binary units).
    std::uint64_t maxDocumentBytes = kDefaultMaxDocumentBytes;
    bool help = false;
    bool version = false;
    // What follows the options: document and settings file for the window
    // (any number) or for an unattended run (one or two).
    std::vector<std::string> arguments;

    bool unattended() const { return !pdfFile.empty() || !printerName.empty() || !preparedFile.empty(); }
};

// Options come before the arguments; "--" ends them, and so does the first
// argument that does not start with "-" (a lone "-" is an argument). Each
// option with a value takes it as the next word or after "=". Returns the
// parsed line, or nothing with `error` set for a bad command line.
std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& words, std::string& error);

// The text of --help.
std::string usageText();

}  // namespace quor
