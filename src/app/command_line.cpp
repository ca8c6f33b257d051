#include "app/command_line.h"

#include <string_view>

namespace quor {
namespace {

// "512", "64K", "200M", "2G": bytes in binary units; nothing for anything else.
std::optional<std::uint64_t> parseSize(const std::string& text) {
    std::uint64_t value = 0;
    std::size_t i = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value > (std::uint64_t{1} << 40)) return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
    }
    if (i == 0) return std::nullopt;
    int shift = 0;
    if (i + 1 == text.size()) {
        const char unit = static_cast<char>(text[i] & ~0x20);
        shift = unit == 'K' ? 10 : unit == 'M' ? 20 : unit == 'G' ? 30 : -1;
        ++i;
    }
    if (shift < 0 || i != text.size() || value == 0 || value > (std::uint64_t{1} << 40)) return std::nullopt;
    return value << shift;
}

}  // namespace

std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& words, std::string& error) {
    CommandLine line;
    std::string sizeText;
    std::size_t i = 0;
    for (; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--") {
            ++i;
            break;
        }
        if (word.size() < 2 || word[0] != '-') break;
        if (word == "--help" || word == "-h") {
            line.help = true;
            continue;
        }
        if (word == "--version") {
            line.version = true;
            continue;
        }
        const std::size_t equals = word.find('=');
        const std::string_view name = std::string_view(word).substr(0, equals);
        std::string* target = name == "--pdf"             ? &line.pdfFile
                              : name == "--printer"       ? &line.printerName
                              : name == "--save-prepared" ? &line.preparedFile
                              : name == "--max-document-size" ? &sizeText
                                                              : nullptr;
        if (!target) {
            error = "unknown option " + std::string(name);
            return std::nullopt;
        }
        if (equals != std::string::npos) {
            *target = word.substr(equals + 1);
        } else if (i + 1 < words.size()) {
            *target = words[++i];
        } else {
            error = "option " + word + " needs a value";
            return std::nullopt;
        }
        if (target->empty()) {
            error = "option " + std::string(name) + " needs a value";
            return std::nullopt;
        }
    }
    line.arguments.assign(words.begin() + static_cast<std::ptrdiff_t>(i), words.end());
    if (line.help || line.version) return line;
    if (!sizeText.empty()) {
        const std::optional<std::uint64_t> size = parseSize(sizeText);
        if (!size) {
            error = "--max-document-size takes a size such as 2G, 500M or 4096, not " + sizeText;
            return std::nullopt;
        }
        line.maxDocumentBytes = *size;
    }
    if (!line.pdfFile.empty() && !line.printerName.empty()) {
        error = "--pdf and --printer exclude each other";
        return std::nullopt;
    }
    if (line.unattended() && (line.arguments.empty() || line.arguments.size() > 2)) {
        error = line.arguments.empty() ? "no document given" : "too many arguments";
        return std::nullopt;
    }
    return line;
}

std::string usageText() {
    return "Usage: quorprn [options] [DOCUMENT [SETTINGS]]\n"
           "Prints a DOS print file (CP866 text) with the settings of an INI file\n"
           "(default: quorprn.ini beside the program, section [Quor Print]).\n"
           "\n"
           "Without options the window opens; with a DOCUMENT it prints (or, with\n"
           "Preview=True, previews) the document and closes.\n"
           "\n"
           "Unattended printing, without a window or a display:\n"
           "  --pdf FILE             print into the PDF file FILE\n"
           "  --printer NAME         print on the CUPS queue NAME\n"
           "  --save-prepared FILE   save the prepared pages as FILE (*.frp); alone,\n"
           "                         build and save without printing\n"
           "Messages go to standard error; \"Preview\" has no effect. Exit status:\n"
           "0 everything asked for was written, 1 the job failed (or waits in a\n"
           "disabled queue) and no output was replaced, 2 bad options or an output\n"
           "that is one of the inputs.\n"
           "\n"
           "  --max-document-size SIZE\n"
           "                         refuse documents larger than SIZE (bytes, or\n"
           "                         with K, M or G; default 1G)\n"
           "\n"
           "  --help                 this text\n"
           "  --version              the program's version\n"
           "  --                     ends the options\n";
}

}  // namespace quor
