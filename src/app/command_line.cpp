#include "app/command_line.h"

#include <string_view>

namespace quor {

std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& words, std::string& error) {
    CommandLine line;
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
           "0 everything asked for was written, 1 the job failed, 2 bad options.\n"
           "\n"
           "  --help                 this text\n"
           "  --version              the program's version\n"
           "  --                     ends the options\n";
}

}  // namespace quor
