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

// The DOCUMENT that names standard input, and the title its job gets.
inline constexpr char kStandardInputName[] = "-";
inline constexpr char kStandardInputTitle[] = "stdin";

struct CommandLine {
    std::string pdfFile;       // --pdf FILE
    std::string printerName;   // --printer NAME
    std::string preparedFile;  // --save-prepared FILE
    std::string title;         // --title TEXT: the job's and the PDF's title
    std::string openPrepared;  // --open-prepared FILE: prepared pages instead of a document
    std::string watchFolder;   // --watch DIR
    std::string pdfFolder;     // --pdf-dir OUTDIR (with --watch)
    double settleSeconds = 2;  // --settle SECONDS (with --watch)
    bool preview = false;      // --preview: the window's job previews whatever "Preview" says
    // --max-document-size SIZE: bytes, or with K, M or G (binary units).
    std::uint64_t maxDocumentBytes = kDefaultMaxDocumentBytes;
    bool help = false;
    bool version = false;
    // What follows the options: document and settings file for the window
    // (any number) or for an unattended run (one or two); the settings file
    // alone for --watch and --open-prepared.
    std::vector<std::string> arguments;

    bool unattended() const { return !pdfFile.empty() || !printerName.empty() || !preparedFile.empty(); }
    bool watching() const { return !watchFolder.empty(); }
};

// Options come before the arguments; "--" ends them, and so does the first
// argument that does not start with "-" (a lone "-" is an argument). Each
// option with a value takes it as the next word or after "=". Returns the
// parsed line, or nothing with `error` set for a bad command line.
std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& words, std::string& error);

// The text of --help.
std::string usageText();

}  // namespace quor
